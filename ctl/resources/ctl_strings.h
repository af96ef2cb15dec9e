// The control library's string table.
#pragma once

#include "common/string_table.h"

namespace vok::ctl {

// The greyed item of a history menu that has nothing to offer.
inline constexpr UINT kIdsEmpty = 101;
// Name shown for the drives pseudo-folder; also the history key of that folder.
inline constexpr UINT kIdsDrives = 102;
// Room (zero included) given to the drives name.
inline constexpr int kDrivesTextRoom = 32;
// Title of the folder browser.
inline constexpr UINT kIdsSelectFolder = 170;

extern const ModuleResources kCtlResources;

}  // namespace vok::ctl
