#include "ctl/paths.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "ctl/ctl_test_support.h"

namespace vok::ctl {
namespace {

using test::TempFolder;

// Sets HOME for one test and puts the previous value back.
class HomeOverride {
 public:
  explicit HomeOverride(const char* value) {
    if (const char* old = getenv("HOME")) saved_ = old;
    if (value)
      setenv("HOME", value, 1);
    else
      unsetenv("HOME");
  }
  ~HomeOverride() { setenv("HOME", saved_.c_str(), 1); }

 private:
  std::string saved_;
};

struct HomeCase {
  const char* home;
  const char* path;
  const char* expected;
};

void PrintTo(const HomeCase& c, std::ostream* os) {
  *os << "HOME=" << (c.home ? c.home : "(unset)") << " path=" << c.path;
}

class ExpandHomeTest : public testing::TestWithParam<HomeCase> {};

TEST_P(ExpandHomeTest, ExpandsOnlyALeadingTildeWord) {
  HomeOverride home(GetParam().home);
  EXPECT_EQ(GetParam().expected, ExpandHome(GetParam().path));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExpandHomeTest,
    testing::Values(HomeCase{"/h/me", "~", "/h/me"}, HomeCase{"/h/me", "~/", "/h/me/"},
                    HomeCase{"/h/me", "~/docs/x", "/h/me/docs/x"},
                    HomeCase{"/h/me/", "~/docs", "/h/me/docs"}, HomeCase{"/", "~/docs", "/docs"},
                    HomeCase{"/h/me", "~other/x", "~other/x"}, HomeCase{"/h/me", "a/~", "a/~"},
                    HomeCase{"/h/me", "", ""}, HomeCase{nullptr, "~/x", "~/x"},
                    HomeCase{"", "~/x", "~/x"}));

class CompletePathTest : public testing::Test {
 protected:
  void SetUp() override {
    root_.MakeDir("sub/deeper");
    root_.Touch("sub/file.txt");
    std::filesystem::create_directory_symlink(root_.path() + "/sub", root_.path() + "/link");
  }
  TempFolder root_;
};

TEST_F(CompletePathTest, ResolvesTheFolderPartAndKeepsTheName) {
  const std::string r = root_.path();
  const struct {
    std::string typed;
    std::string expected;
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
}

TEST_F(CompletePathTest, TildeMeansHome) {
  HomeOverride home((root_.path() + "/sub").c_str());
  EXPECT_EQ(root_.path() + "/sub/file.txt", CompletePath("/elsewhere", "~/file.txt"));
  EXPECT_EQ(root_.path() + "/sub", CompletePath("/elsewhere", "~"));
}

}  // namespace
}  // namespace vok::ctl
