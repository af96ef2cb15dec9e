// The small context menu of a file or folder (open, open with, copy path, rename, delete,
// properties) and the rename question. Shown through the prompter (TrackMenu / Exec), so
// tests pick entries and fill in dialogs without any window appearing. The caller carries out
// the chosen action.
#pragma once

#include <optional>
#include <string>

#include "common/vok_types.h"
#include "platform/com/runtime.h"

class QPoint;

namespace vok::shell {

enum class ItemAction { kNone, kOpen, kOpenWith, kCopyPath, kRename, kDelete, kProperties };

// The menu's entries, in menu order.
inline constexpr char kMenuOpen[] = "&Open";
inline constexpr char kMenuOpenWith[] = "Open &With...";
inline constexpr char kMenuCopyPath[] = "&Copy Path";
inline constexpr char kMenuRename[] = "Re&name...";
inline constexpr char kMenuDelete[] = "&Delete";
inline constexpr char kMenuProperties[] = "P&roperties";

// Object name of the rename dialog's text box (a QLineEdit).
inline constexpr char kNewNameBox[] = "newName";

// Shows the menu at `pos` (screen coordinates) and returns the chosen entry; kNone when it
// was dismissed. `owner` may be null.
VOK_PLATFORM_API ItemAction ChooseItemAction(HWND owner, const QPoint& pos);

// Asks for a new name for `currentName`; nullopt when cancelled, empty or unchanged.
VOK_PLATFORM_API std::optional<std::string> AskNewName(HWND owner, const std::string& currentName);

// Puts `path` on the clipboard (and the X11 selection).
VOK_PLATFORM_API void CopyPathToClipboard(const std::string& path);

}  // namespace vok::shell
