// How the bar turns a typed path into one the file system understands: "/" separates parts,
// a leading "~" is the home folder, and a relative path is taken against a given folder (the
// bar's current directory, which need not be the process's). Letter case is never changed.
#pragma once

#include <string>

#include "platform/com/runtime.h"

namespace vok::shell {

// $HOME, else the home folder of the password database, else "/".
VOK_PLATFORM_API std::string HomeFolder();

// "~" and "~/rest" with the home folder; every other path unchanged ("~ann" is a plain name).
VOK_PLATFORM_API std::string ExpandHome(const std::string& path);

// `path` with "~" expanded; a relative one becomes `baseDir` + "/" + path (one "/" between
// them). Nothing is resolved or normalised: "." and ".." stay for the kernel to follow.
VOK_PLATFORM_API std::string FullPath(const std::string& path, const std::string& baseDir);

}  // namespace vok::shell
