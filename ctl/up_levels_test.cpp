#include "ctl/up_levels.h"

#include <gtest/gtest.h>

namespace vok::ctl {
namespace {

struct UpCase {
  const char* path;
  int components;
  std::vector<std::string> parents;  // nearest first
};

void PrintTo(const UpCase& c, std::ostream* os) { *os << '"' << c.path << '"'; }

class UpLevelsTest : public testing::TestWithParam<UpCase> {};

TEST_P(UpLevelsTest, CountsComponentsAndListsParentsNearestFirst) {
  const UpCase& c = GetParam();
  EXPECT_EQ(c.components, PathComponents(c.path));
  EXPECT_EQ(c.parents, ParentChain(c.path));
  EXPECT_EQ(static_cast<size_t>(std::max(c.components - 1, 0)), ParentChain(c.path).size());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, UpLevelsTest,
    testing::Values(UpCase{"/", 1, {}}, UpCase{"/a", 2, {"/"}}, UpCase{"/a/b", 3, {"/a", "/"}},
                    UpCase{"/a/b/c", 4, {"/a/b", "/a", "/"}},
                    // Trailing and repeated slashes name the same folders.
                    UpCase{"/a/b/", 3, {"/a", "/"}}, UpCase{"//a//b", 3, {"/a", "/"}},
                    UpCase{"/a b/c&d", 3, {"/a b", "/"}},
                    // A relative path cannot climb above its first part.
                    UpCase{"a/b", 2, {"a"}}, UpCase{"a", 1, {}}, UpCase{"", 0, {}}));

}  // namespace
}  // namespace vok::ctl
