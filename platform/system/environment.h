// The process's environment and the user's identity, from the C library.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/com/runtime.h"

namespace vok::sys {

// Sets `name` to `value` for this process and the programs it starts later. False (and
// nothing changed) for an empty name or one holding "=".
VOK_PLATFORM_API bool SetEnvironmentVariable(const std::string& name, const std::string& value);

// The process's environment as "name=value" strings, in the order the C library keeps them;
// nullopt when it cannot be read.
VOK_PLATFORM_API std::optional<std::vector<std::string>> EnvironmentBlock();

// The login name of the effective user (from the password database); nullopt when the user
// has no entry.
VOK_PLATFORM_API std::optional<std::string> CurrentUserName();

}  // namespace vok::sys
