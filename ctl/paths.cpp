#include "ctl/paths.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/cmdline_ifaces.h"

namespace vok::ctl {
namespace {

std::string Join(std::string_view dir, std::string_view rest) {
  std::string joined(dir);
  if (joined.empty() || joined.back() != '/') joined += '/';
  joined += rest;
  return joined;
}

}  // namespace

std::string ExpandHome(std::string_view path) {
  if (path.empty() || path[0] != '~' || (path.size() > 1 && path[1] != '/'))
    return std::string(path);
  const char* home = getenv("HOME");
  if (!home || !*home) return std::string(path);
  std::string expanded = home;
  // "~/x" with HOME "/" must not become "//x".
  if (path.size() > 1 && expanded.size() > 1 && expanded.back() == '/') expanded.pop_back();
  if (path.size() > 1 && expanded == "/") return std::string(path.substr(1));
  expanded += path.substr(1);
  return expanded;
}

std::optional<std::string> ProcessCurrentDir() {
  char buffer[kPathBufferSize];
  // getcwd fails with ERANGE instead of cutting, and with ENOENT once the folder is gone.
  if (!getcwd(buffer, sizeof buffer) || buffer[0] != '/') return std::nullopt;
  return std::string(buffer);
}

std::optional<std::string> ResolveDirectory(const std::string& path) {
  if (path.empty()) return std::nullopt;
  char resolved[PATH_MAX];
  if (!realpath(path.c_str(), resolved)) return std::nullopt;
  struct stat info;
  if (stat(resolved, &info) != 0 || !S_ISDIR(info.st_mode)) return std::nullopt;
  return std::string(resolved);
}

std::string CompletePath(std::string_view base, std::string_view path) {
  const std::string expanded = ExpandHome(path);
  if (expanded.empty()) return std::string(base);
  const std::string absolute = expanded[0] == '/' ? expanded : Join(base, expanded);
  const size_t slash = absolute.rfind('/');
  const std::string folder = absolute.substr(0, slash + 1);
  const std::string name = absolute.substr(slash + 1);
  // "x/.." names a directory through its last part: resolve it whole instead of keeping ".."
  // after the resolved folder.
  if (name != "." && name != "..") {
    if (std::optional<std::string> resolved = ResolveDirectory(folder))
      return Join(*resolved, name);
  }
  if (std::optional<std::string> resolved = ResolveDirectory(absolute)) return *resolved;
  return absolute;
}

}  // namespace vok::ctl
