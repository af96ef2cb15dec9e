#include "engine/resources/engine_strings.h"

#include <iterator>

namespace vok {
namespace {

// Sorted by identifier.
constexpr StringResource kStrings[] = {
    {kIdsEmptySubmenu, "(Empty)"},
};

}  // namespace

const ModuleResources kEngineResources = {"vokEngine", kStrings, std::size(kStrings)};

}  // namespace vok
