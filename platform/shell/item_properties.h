// What the properties dialog shows about a file or folder, gathered without any window.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/com/runtime.h"

namespace vok::shell {

// (label, value) rows: Name, Type, Location, Size (files) or Contains (folders), Link target
// (symbolic links), Modified, Permissions, Owner. nullopt when `path` does not exist.
VOK_PLATFORM_API std::optional<std::vector<std::pair<std::string, std::string>>> ItemProperties(
    const std::string& path);

// "0 bytes", "1 byte", "512 bytes", "1.5 KiB (1,536 bytes)" ...
VOK_PLATFORM_API std::string DescribeSize(uint64_t bytes);

// "rwxr-x---" from a mode's permission bits (with s/t for the special bits).
VOK_PLATFORM_API std::string DescribePermissions(unsigned mode);

}  // namespace vok::shell
