#include "platform/shell/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace vok::shell {

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  long room = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(room > 0 ? static_cast<size_t>(room) : 16384);
  passwd entry;
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir && *found->pw_dir)
    return found->pw_dir;
  return "/";
}

std::string ExpandHome(const std::string& path) {
  if (path == "~") return HomeFolder();
  if (path.rfind("~/", 0) == 0) {
    std::string home = HomeFolder();
    if (!home.empty() && home.back() == '/') home.pop_back();
    return home + path.substr(1);
  }
  return path;
}

std::string FullPath(const std::string& path, const std::string& baseDir) {
  std::string expanded = ExpandHome(path);
  if (!expanded.empty() && expanded.front() == '/') return expanded;
  std::string base = baseDir;
  if (base.empty() || base.back() != '/') base += '/';
  return base + expanded;
}

}  // namespace vok::shell
