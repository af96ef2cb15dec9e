#include "bar/recent_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry/registry.h"

namespace vok::bar {
namespace {

using Paths = std::vector<std::string>;

// One step: put at head ("+path") or remove ("-path").
struct RecentCase {
  const char* name;
  Paths steps;
  Paths expected;
};
void PrintTo(const RecentCase& c, std::ostream* out) { *out << c.name; }

class RecentFilesTest : public testing::TestWithParam<RecentCase> {
 protected:
  void SetUp() override { reg::DeleteTree(reg::Hive::kCurrentUser, RecentFiles::kKey); }
};

TEST_P(RecentFilesTest, KeepsTheNewestFourWithoutDuplicatesAndStoresThem) {
  RecentFiles recent;
  recent.Load();
  for (const std::string& step : GetParam().steps) {
    const std::string path = step.substr(1);
    EXPECT_TRUE(SUCCEEDED(step[0] == '+' ? recent.PutAtHead(path) : recent.Remove(path)));
  }
  EXPECT_EQ(GetParam().expected, recent.Entries());

  // What another start reads back, with no value left over past the end of the list.
  RecentFiles reread;
  reread.Load();
  EXPECT_EQ(GetParam().expected, reread.Entries());
  std::string stale;
  EXPECT_EQ(S_FALSE,
            reg::GetString(reg::Hive::kCurrentUser, RecentFiles::kKey,
                           "File" + std::to_string(GetParam().expected.size() + 1), &stale));
}

INSTANTIATE_TEST_SUITE_P(
    Steps, RecentFilesTest,
    testing::Values(
        RecentCase{"NewestFirst",
                   {"+/d/a.qdx", "+/d/b.qdx", "+/d/c.qdx"},
                   {"/d/c.qdx", "/d/b.qdx", "/d/a.qdx"}},
        RecentCase{"ReopenedMovesToHead", {"+/a", "+/b", "+/c", "+/a"}, {"/a", "/c", "/b"}},
        RecentCase{"OldestFallsOff", {"+/1", "+/2", "+/3", "+/4", "+/5"}, {"/5", "/4", "/3", "/2"}},
        RecentCase{"LetterCaseMatters", {"+/d/A.qdx", "+/d/a.qdx"}, {"/d/a.qdx", "/d/A.qdx"}},
        RecentCase{"RemoveClosesGap", {"+/1", "+/2", "+/3", "+/4", "-/3"}, {"/4", "/2", "/1"}},
        RecentCase{"RemoveLast", {"+/1", "-/1"}, {}},
        RecentCase{"RemoveUnknownKeepsList", {"+/1", "-/2"}, {"/1"}}),
    [](const testing::TestParamInfo<RecentCase>& info) { return std::string(info.param.name); });

TEST(RecentFilesLoadTest, SkipsEmptyMissingAndRepeatedValues) {
  using reg::Hive;
  reg::DeleteTree(Hive::kCurrentUser, RecentFiles::kKey);
  reg::SetString(Hive::kCurrentUser, RecentFiles::kKey, "File1", "/x");
  reg::SetString(Hive::kCurrentUser, RecentFiles::kKey, "File2", "");
  reg::SetString(Hive::kCurrentUser, RecentFiles::kKey, "File3", "/x");
  reg::SetString(Hive::kCurrentUser, RecentFiles::kKey, "File4", "/y");
  reg::SetString(Hive::kCurrentUser, RecentFiles::kKey, "File5", "/z");
  RecentFiles recent;
  recent.Load();
  EXPECT_EQ((Paths{"/x", "/y"}), recent.Entries());
  EXPECT_EQ("/y", recent.Entry(1));
  EXPECT_EQ("", recent.Entry(2));
  EXPECT_EQ(E_INVALIDARG, recent.PutAtHead(""));
}

}  // namespace
}  // namespace vok::bar
