// The pop-up menus of the directory navigator: the back and forward history menus and the up
// menu. Menus are QMenus tracked through vok::ui::CurrentPrompter().TrackMenu, so tests pick an
// entry without a window; they need a QApplication.
#pragma once

#include <string>
#include <vector>

#include "common/fast_list_ifaces.h"

namespace vok::ctl {

// Identifier of the greyed "(Empty)" entry; never reported as a choice.
inline constexpr int kEmptyMenuId = 0xFFFF;

// Where a menu is shown: the owner window (may be null) and a screen position; without a
// position the menu opens at the mouse cursor.
struct MenuPlacement {
  HWND owner = nullptr;
  bool hasPosition = false;
  LONG x = 0;
  LONG y = 0;
};

// Shows the items of `list` newest first, numbered 1, 2, ... (filled by the iterator control,
// created by class identifier), or the greyed "(Empty)" entry for an empty list. *chosen is
// the picked number, or 0 when the menu was dismissed. A failure to build the menu is returned
// (E_UNEXPECTED without a QApplication).
HRESULT TrackHistoryMenu(const MenuPlacement& placement, IvokFastList* list, LONG* chosen);

// Shows `entries` numbered 1, 2, ... in order, or the greyed "(Empty)" entry when there are
// none; *chosen as above.
HRESULT TrackListMenu(const MenuPlacement& placement, const std::vector<std::string>& entries,
                      LONG* chosen);

}  // namespace vok::ctl
