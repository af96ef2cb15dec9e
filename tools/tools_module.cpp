// The tools library: its class table and the four component-library exports.
#include "common/class_ids.h"
#include "common/vok_object.h"
#include "tools/comctl_ver.h"
#include "tools/fast_list.h"
#include "tools/fast_list_item_iterator_ctl.h"
#include "tools/fast_list_item_string.h"

namespace {

const vok::ClassEntry kClasses[] = {
    {&vok::clsid::kFastList, &vok::CreateObject<vokFastList>, "vokFastList.vokFastList.1",
     "vokFastList"},
    {&vok::clsid::kFastListItemString, &vok::CreateObject<vokFastListItemString>,
     "vokFastListItemString.vokFastListItemString.1", "vokFastListItemString"},
    {&vok::clsid::kFastListItemIteratorCtl, &vok::CreateObject<vokFastListItemIteratorCtl>,
     "vokFastListItemIteratorCtl.vokFastListItemIteratorCtl.1", "vokFastListItemIteratorCtl"},
    {&vok::clsid::kComCtlVer, &vok::CreateObject<vokComCtlVer>, "vokComCtlVer.vokComCtlVer.1",
     "vokComCtlVer"},
    {nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

VOK_DEFINE_LIBRARY_EXPORTS(kClasses)
