// The "up" chain of a directory: how many levels lie above it and which folders they are.
// Paths use "/"; the root counts as one component, so "/" has one component and "/a/b" three.
// Repeated and trailing slashes do not add components.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vok::ctl {

// The root (for an absolute path) plus every named segment: "/" 1, "/a/b" 3, "a/b" 2, "" 0.
int PathComponents(std::string_view path);

// The folders above `path`, nearest first, ending with "/" for an absolute path:
// "/a/b/c" gives "/a/b", "/a", "/". Holds PathComponents(path) - 1 entries (none for "/").
std::vector<std::string> ParentChain(std::string_view path);

}  // namespace vok::ctl
