#include "ctl/resources/ctl_strings.h"

#include <iterator>

namespace vok::ctl {
namespace {

// Sorted by identifier.
constexpr StringResource kStrings[] = {
    {kIdsEmpty, "(Empty)"},
    {kIdsDrives, "Drives"},
    {kIdsSelectFolder, "Select new folder:"},
};

}  // namespace

const ModuleResources kCtlResources = {"vokCtl", kStrings, std::size(kStrings)};

}  // namespace vok::ctl
