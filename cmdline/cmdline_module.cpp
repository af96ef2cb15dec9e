// The command-line library (libvokCmdLine.so): its class table and the four component-library
// exports.
#include "cmdline/cmd_browser.h"
#include "cmdline/engine_cmd_line.h"
#include "cmdline/engine_prof.h"
#include "cmdline/engine_shell_exec.h"
#include "cmdline/engine_sys_info.h"
#include "cmdline/fast_list_item_alias.h"
#include "cmdline/fast_list_item_favorite.h"
#include "cmdline/fast_list_item_filter.h"
#include "cmdline/fast_list_item_script.h"
#include "cmdline/pp_shell_exec.h"
#include "common/class_ids.h"
#include "common/vok_object.h"

namespace {

const vok::ClassEntry kClasses[] = {
    {&vok::clsid::kEngineCmdLine, &CreateEngineCmdLine, "vokEngineCmdLine.vokEngineCmdLine.1",
     "vokEngineCmdLine Class"},
    {&vok::clsid::kFastListItemAlias, &vok::CreateObject<vokFastListItemAlias>,
     "VokCmdLine.vokFastListItemAlias.1", "vokFastListItemAlias Class"},
    {&vok::clsid::kFastListItemFavorite, &vok::CreateObject<vokFastListItemFavorite>,
     "VokCmdLine.vokFastListItemFavorite.1", "vokFastListItemFavorite Class"},
    {&vok::clsid::kFastListItemScript, &vok::CreateObject<vokFastListItemScript>,
     "VokCmdLine.vokFastListItemScript.1", "vokFastListItemScript Class"},
    {&vok::clsid::kCmdBrowser, &vok::CreateObject<vokCmdBrowser>, "VokCmdLine.vokCmdBrowser.1",
     "vokCmdBrowser Class"},
    {&vok::clsid::kEngineShellExec, &CreateEngineShellExec,
     "vokEngineShellExec.vokEngineShellExec.1", "vokEngineShellExec Class"},
    {&vok::clsid::kEngineProf, &vok::CreateObject<vokEngineProf>, "VokCmdLine.vokEngineProf.1",
     "vokEngineProf Class"},
    {&vok::clsid::kFastListItemFilter, &vok::CreateObject<vokFastListItemFilter>,
     "vokFastListItemFilter.vokFastListItemFilter.1", "vokFastListItemFilter Class"},
    {&vok::clsid::kPPShellExec, &vok::CreateObject<vokPPShellExec>, "VokExecPP.vokPPShellExec.1",
     "vokPPShellExec Class"},
    {&vok::clsid::kEngineSysInfo, &vok::CreateObject<vokEngineSysInfo>,
     "vokEngineSysInfo.vokEngineSysInfo.1", "vokEngineSysInfo Class"},
    {nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

VOK_DEFINE_LIBRARY_EXPORTS(kClasses)
