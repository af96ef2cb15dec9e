// Network locations (smb://, sftp://, dav:// ...) mounted and unmounted through GIO's
// `gio mount`, so they show up in every desktop file manager like the ones it mounts itself.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/com/runtime.h"

namespace vok::sys {

class ProcessRunner;

// True for a text of the form scheme://rest with a scheme other than file.
VOK_PLATFORM_API bool IsNetworkLocation(std::string_view uri);

// `gio mount -- URI` / `gio mount -u -- URI`. False for a text that is not a network location,
// when gio is missing or when it reports a failure.
VOK_PLATFORM_API bool MountNetworkLocation(const std::string& uri, ProcessRunner& runner);
VOK_PLATFORM_API bool UnmountNetworkLocation(const std::string& uri, ProcessRunner& runner);

// The network locations in the output of `gio mount -l` (the "Mount(N): name -> uri" lines),
// in order, without duplicates.
VOK_PLATFORM_API std::vector<std::string> ParseMountedLocations(std::string_view listing);
// The network locations mounted now; empty when gio is missing.
VOK_PLATFORM_API std::vector<std::string> MountedNetworkLocations(ProcessRunner& runner);

}  // namespace vok::sys
