// The engine library's string table.
#pragma once

#include "common/string_table.h"

namespace vok {

// Text of the disabled item that fills an empty submenu.
inline constexpr UINT kIdsEmptySubmenu = 101;
// Room (zero included) the container gives that text.
inline constexpr int kEmptySubmenuTextRoom = 31;

extern const ModuleResources kEngineResources;

}  // namespace vok
