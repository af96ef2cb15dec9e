// The small dialog that asks which network location to connect or disconnect. Run through the
// prompter (vok::ui::CurrentPrompter().Exec), so tests fill it in without showing a window.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/vok_types.h"
#include "platform/com/runtime.h"

namespace vok::sys {

enum class NetworkDialogKind { kConnect, kDisconnect };

// Object name of the dialog's address box (an editable QComboBox), for tests that fill it in.
inline constexpr char kNetworkAddressBox[] = "networkAddress";

// Asks for a location: an address to connect (`known` offers earlier ones), or one of the
// mounted locations in `known` to disconnect (another may be typed). The text entered, blanks
// stripped; nullopt when the dialog is cancelled or left empty. `owner` may be null.
VOK_PLATFORM_API std::optional<std::string> AskNetworkLocation(
    HWND owner, NetworkDialogKind kind, const std::vector<std::string>& known);

}  // namespace vok::sys
