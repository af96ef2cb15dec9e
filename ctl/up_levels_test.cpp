#include "ctl/up_levels.h"

#include <gtest/gtest.h>

namespace vok::ctl {
namespace {

TEST(UpLevelsTest, CountsComponentsAndListsParentsNearestFirst) {
  const struct {
    const char* path;
    int components;
    std::vector<std::string> parents;
  } cases[] = {{"/", 1, {}},
               {"/a", 2, {"/"}},
               {"/a/b/c", 4, {"/a/b", "/a", "/"}},
               // Trailing and repeated slashes name the same folders.
               {"/a/b/", 3, {"/a", "/"}},
               {"//a//b", 3, {"/a", "/"}},
               {"/a b/c&d", 3, {"/a b", "/"}},
               // A relative path cannot climb above its first part.
               {"a/b", 2, {"a"}},
               {"a", 1, {}},
               {"", 0, {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(c.components, PathComponents(c.path));
    EXPECT_EQ(c.parents, ParentChain(c.path));
  }
}

}  // namespace
}  // namespace vok::ctl
