// The engine library (libvokEngine.so): the engine container and the command parser.
#include "common/class_ids.h"
#include "common/vok_object.h"
#include "engine/command_parser.h"
#include "engine/qt_container_widgets.h"

namespace {

const vok::ClassEntry kEngineClasses[] = {
    {&vok::clsid::kEngineContainer, &vok::CreateQtEngineContainer,
     "vokEngineContainer.vokEngineContainer.1", "vokEngineContainer Class"},
    {&vok::clsid::kCommandParser, &vok::CreateCommandParser, "vokCommandParser.vokCommandParser.1",
     "vokCommandParser Class"},
    {nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

VOK_DEFINE_LIBRARY_EXPORTS(kEngineClasses)
