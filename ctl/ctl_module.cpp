// The control library: its class table and the four component-library exports. Registration
// also enters the version-independent names ("VokCtl.vokChDir", "vokRebar.vokRebar").
#include "common/class_ids.h"
#include "common/vok_object.h"
#include "ctl/chdir.h"
#include "ctl/rebar.h"

namespace {

const vok::ClassEntry kClasses[] = {
    {&vok::clsid::kChDir, &vok::CreateObject<vokChDir>, "VokCtl.vokChDir.1", "vokChDir"},
    {&vok::clsid::kRebar, &vok::CreateObject<vokRebar>, "vokRebar.vokRebar.1", "vokRebar"},
    {nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

VOK_DEFINE_LIBRARY_EXPORTS(kClasses)
