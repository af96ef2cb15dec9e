// The "Select" / "Deselect" dialog of the file view: one editable mask box filled from the
// mask history, newest first. Run through the prompter (Exec).
#pragma once

#include <optional>
#include <string>

#include "common/fast_list_ifaces.h"
#include "common/vok_types.h"

namespace vok::fileview {

// Object name of the mask box (an editable QComboBox).
inline constexpr char kMaskBox[] = "mask";

// The mask the user entered; nullopt when the dialog was cancelled. `owner` may be null;
// `history` must not be.
std::optional<std::string> AskSelectionMask(HWND owner, bool select, IvokFastList* history);

}  // namespace vok::fileview
