// The properties dialog of a file or folder (ItemProperties in a form), run through the
// prompter (Exec).
#pragma once

#include <string>

#include "common/vok_types.h"
#include "platform/com/runtime.h"

namespace vok::shell {

// Object name of the dialog; each value is a QLabel named after its row's label.
inline constexpr char kPropertiesDialog[] = "properties";

// Shows the properties of `path`; false (and nothing shown) when it does not exist.
VOK_PLATFORM_API bool ShowProperties(HWND owner, const std::string& path);

}  // namespace vok::shell
