#include "ctl/up_levels.h"

namespace vok::ctl {
namespace {

std::vector<std::string_view> Segments(std::string_view path) {
  std::vector<std::string_view> segments;
  size_t pos = 0;
  while (pos < path.size()) {
    size_t slash = path.find('/', pos);
    if (slash == std::string_view::npos) slash = path.size();
    if (slash > pos) segments.push_back(path.substr(pos, slash - pos));
    pos = slash + 1;
  }
  return segments;
}

bool IsAbsolute(std::string_view path) { return !path.empty() && path.front() == '/'; }

}  // namespace

int PathComponents(std::string_view path) {
  return static_cast<int>(Segments(path).size()) + (IsAbsolute(path) ? 1 : 0);
}

std::vector<std::string> ParentChain(std::string_view path) {
  const std::vector<std::string_view> segments = Segments(path);
  const bool absolute = IsAbsolute(path);
  std::vector<std::string> parents;
  // A parent keeps the first `kept` segments; a relative path cannot drop its first one.
  for (size_t kept = segments.size(); kept-- > (absolute ? 0 : 1);) {
    std::string parent = absolute ? "/" : "";
    for (size_t i = 0; i < kept; ++i) {
      if (i > 0) parent += '/';
      parent += segments[i];
    }
    parents.push_back(std::move(parent));
  }
  return parents;
}

}  // namespace vok::ctl
