#include "ctl/paths.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "ctl/ctl_test_support.h"

namespace vok::ctl {
namespace {

// Sets HOME (unset for null) and puts the previous value back.
class HomeOverride {
 public:
  explicit HomeOverride(const char* value) { value ? setenv("HOME", value, 1) : unsetenv("HOME"); }
  ~HomeOverride() { setenv("HOME", saved_.c_str(), 1); }

 private:
  const std::string saved_ = getenv("HOME") ? getenv("HOME") : "";
};

TEST(ExpandHomeTest, ExpandsOnlyALeadingTildeWord) {
  const struct {
    const char *home, *path, *expected;
  } cases[] = {{"/h/me", "~", "/h/me"},
               {"/h/me", "~/", "/h/me/"},
               {"/h/me", "~/docs/x", "/h/me/docs/x"},
               {"/h/me/", "~/docs", "/h/me/docs"},
               {"/", "~/docs", "/docs"},
               {"/h/me", "~other/x", "~other/x"},
               {"/h/me", "a/~", "a/~"},
               {"/h/me", "", ""},
               {nullptr, "~/x", "~/x"},
               {"", "~/x", "~/x"}};
  for (const auto& c : cases) {
    HomeOverride home(c.home);
    EXPECT_EQ(c.expected, ExpandHome(c.path)) << "HOME=" << (c.home ? c.home : "(unset)");
  }
}

TEST(CompletePathTest, ResolvesTheFolderPartAndKeepsTheName) {
  test::TempFolder root;
  root.MakeDir("sub/deeper");
  root.Touch("sub/file.txt");
  std::filesystem::create_directory_symlink(root.path() + "/sub", root.path() + "/link");
  const std::string r = root.path();
  const struct {
    std::string typed, expected;
  } cases[] = {
      {"", r},
      {"file.txt", r + "/file.txt"},
      {"sub/file.txt", r + "/sub/file.txt"},
      {"sub/missing", r + "/sub/missing"},
      {"sub", r + "/sub"},
      {"sub/", r + "/sub/"},
      {"sub/deeper/..", r + "/sub"},
      {"sub/./deeper/../file.txt", r + "/sub/file.txt"},
      {"link/file.txt", r + "/sub/file.txt"},  // links resolved, as the system reports them
      {"link", r + "/link"},                   // the last part is kept as typed
      {"../" + std::filesystem::path(r).filename().string() + "/sub/x", r + "/sub/x"},
      {"missing/x", r + "/missing/x"},
      {r + "/sub/x", r + "/sub/x"},
      {"/no-such-root-folder/x", "/no-such-root-folder/x"},
      {"/", "/"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, CompletePath(r, c.typed)) << c.typed;

  HomeOverride home((r + "/sub").c_str());  // a tilde means home
  EXPECT_EQ(r + "/sub/file.txt", CompletePath("/elsewhere", "~/file.txt"));
  EXPECT_EQ(r + "/sub", CompletePath("/elsewhere", "~"));
}

}  // namespace
}  // namespace vok::ctl
