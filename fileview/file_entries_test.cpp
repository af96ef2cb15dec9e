// Reading folders, filter patterns, the order of the list and the size text.
#include "fileview/file_entries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/shell/shell_test_support.h"

namespace vok::fileview {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

struct SplitCase {
  const char* mask;
  Strings patterns;
};

class SplitPatternsTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitPatternsTest, Splits) {
  EXPECT_EQ(GetParam().patterns, SplitPatterns(GetParam().mask)) << GetParam().mask;
}

INSTANTIATE_TEST_SUITE_P(Masks, SplitPatternsTest,
                         testing::Values(SplitCase{"*.txt", {"*.txt"}},
                                         SplitCase{"a*;b*", {"a*", "b*"}}, SplitCase{";;", {}},
                                         SplitCase{"", {}}, SplitCase{" ; \t;", {}},
                                         SplitCase{"  *.c  x;\t*.h", {"*.c", "*.h"}},
                                         SplitCase{"*.txt *.doc", {"*.txt"}},
                                         SplitCase{";a;", {"a"}}));

TEST(MatchesAnyPatternTest, IgnoresCaseAndNeedsAPattern) {
  EXPECT_TRUE(MatchesAnyPattern({"*.txt"}, "README.TXT"));
  EXPECT_TRUE(MatchesAnyPattern({"a*", "b*"}, "Beta"));
  EXPECT_FALSE(MatchesAnyPattern({"a*", "b*"}, "gamma"));
  EXPECT_FALSE(MatchesAnyPattern({}, "anything"));
  EXPECT_TRUE(MatchesAnyPattern({"*"}, ".hidden"));
}

TEST(CompareNoCaseTest, FoldsAsciiAndOtherLetters) {
  EXPECT_LT(CompareNoCase("abc", "ABD"), 0);
  EXPECT_EQ(0, CompareNoCase("ÄRGER", "ärger"));
  EXPECT_GT(CompareNoCase("xÄb", "Xäa"), 0);
  EXPECT_EQ("tar.gz", TypeKey("a.tar.gz"));
}

FileEntry Entry(std::string name, EntryType type, uint64_t size = 0, int64_t modified = 0) {
  FileEntry entry;
  entry.name = std::move(name);
  entry.type = type;
  entry.size = size;
  entry.modified = modified;
  return entry;
}

constexpr uint64_t kGiB = uint64_t{1} << 30;

struct SortCase {
  int column;
  bool descending;
  Strings order;
};

class EntryOrderTest : public testing::TestWithParam<SortCase> {};

TEST_P(EntryOrderTest, Sorts) {
  // 5 GiB has the low 32 bits of 1 GiB: only a full comparison puts it above 2 GiB.
  std::vector<FileEntry> entries = {Entry("b.TXT", EntryType::kFile, 10, 3),
                                    Entry("beta", EntryType::kFolder, 0, 5),
                                    Entry("a.zip", EntryType::kFile, 5 * kGiB, 1),
                                    MakeUpEntry(".."),
                                    Entry("c.doc", EntryType::kFile, 2 * kGiB, 7),
                                    Entry("Alpha", EntryType::kFolder, 0, 9),
                                    Entry("d", EntryType::kFile, 0, 2)};
  const EntryOrder order{GetParam().column, GetParam().descending};
  std::vector<const FileEntry*> pointers;
  for (const FileEntry& entry : entries) pointers.push_back(&entry);
  Strings byKeys;
  for (int index : SortedOrder(pointers, order)) byKeys.push_back(entries[index].name);
  std::sort(entries.begin(), entries.end(), order);
  Strings names;
  for (const FileEntry& entry : entries) names.push_back(entry.name);
  EXPECT_EQ(GetParam().order, names);
  EXPECT_EQ(GetParam().order, byKeys);
}

// The precomputed keys must order exactly as the full comparison, also past 16 bytes, for
// letters of other scripts and for names that differ only in case.
TEST(SortedOrderTest, AgreesWithTheFullComparison) {
  const char* names[] = {"abÄ",
                         "abz",
                         "ab",
                         "ABC",
                         "aaaaaaaaaaaaaaaaY",
                         "aaaaaaaaaaaaaaaaX",
                         "ÄRGER",
                         "ärger2",
                         "Zeta",
                         "é.TXT",
                         "x.a",
                         "X.b",
                         "readme",
                         "README",
                         "a.Ω",
                         "a.ω1",
                         "Ωmega",
                         "b.TXT",
                         "c.txt"};
  std::vector<FileEntry> entries;
  for (size_t i = 0; i < std::size(names); ++i) {
    FileEntry& entry = entries.emplace_back();
    entry.name = names[i];
    entry.type = i % 4 == 0 ? EntryType::kFolder : EntryType::kFile;
    entry.size = (i * 7) % 5;
    entry.modified = static_cast<int64_t>(i % 3) - 1;
  }
  entries.push_back(MakeUpEntry(".."));
  std::vector<const FileEntry*> pointers;
  for (const FileEntry& entry : entries) pointers.push_back(&entry);
  for (int column = 0; column < kSortColumnCount; ++column) {
    for (bool descending : {false, true}) {
      const EntryOrder order{column, descending};
      std::vector<const FileEntry*> expected = pointers;
      std::sort(expected.begin(), expected.end(),
                [&](const FileEntry* a, const FileEntry* b) { return order(*a, *b); });
      std::vector<const FileEntry*> actual;
      for (int index : SortedOrder(pointers, order)) actual.push_back(pointers[index]);
      EXPECT_EQ(expected, actual) << "column " << column << (descending ? " descending" : "");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Columns, EntryOrderTest,
    testing::Values(
        SortCase{kSortName, false, {"..", "Alpha", "beta", "a.zip", "b.TXT", "c.doc", "d"}},
        SortCase{kSortName, true, {"..", "d", "c.doc", "b.TXT", "a.zip", "beta", "Alpha"}},
        SortCase{kSortSize, false, {"..", "Alpha", "beta", "d", "b.TXT", "c.doc", "a.zip"}},
        SortCase{kSortSize, true, {"..", "a.zip", "c.doc", "b.TXT", "d", "beta", "Alpha"}},
        SortCase{kSortType, false, {"..", "Alpha", "beta", "d", "c.doc", "b.TXT", "a.zip"}},
        SortCase{kSortModified, false, {"..", "beta", "Alpha", "a.zip", "d", "b.TXT", "c.doc"}},
        SortCase{kSortModified, true, {"..", "c.doc", "b.TXT", "d", "a.zip", "Alpha", "beta"}}),
    [](const testing::TestParamInfo<SortCase>& info) {
      return std::to_string(info.param.column) +
             (info.param.descending ? "Descending" : "Ascending");
    });

TEST(EntryOrderTest, DrivesFollowTheirPath) {
  std::vector<FileEntry> drives = {Entry("/media/b", EntryType::kDrive),
                                   Entry("/", EntryType::kDrive),
                                   Entry("/home", EntryType::kDrive)};
  std::sort(drives.begin(), drives.end(), EntryOrder{kSortSize, true});
  EXPECT_EQ("/media/b", drives[0].name);
  EXPECT_EQ("/", drives[2].name);
}

TEST(SizeTextTest, KilobytesRoundedUpByOne) {
  EXPECT_EQ("1KB", SizeText(Entry("e", EntryType::kFile, 0)));
  EXPECT_EQ("2KB", SizeText(Entry("e", EntryType::kFile, 1024)));
  EXPECT_EQ("5242881KB", SizeText(Entry("e", EntryType::kFile, 5 * kGiB)));
  EXPECT_EQ("", SizeText(Entry("f", EntryType::kFolder, 4096)));
}

TEST(ReadFolderTest, ListsHiddenEntriesAndFoldersOnRequest) {
  shell::test::TempDir dir;
  shell::test::WriteFile(dir / "a.txt", "12345");
  shell::test::WriteFile(dir / ".hidden", "");
  fs::create_directories(dir / "sub");
  fs::create_symlink(dir / "sub", dir / "link-to-sub");
  fs::create_symlink(dir / "gone", dir / "dangling");

  auto summary = [](const std::vector<FileEntry>& entries) {
    Strings lines;
    for (const FileEntry& e : entries)
      lines.push_back(e.name + (e.type == EntryType::kFolder ? "/" : "") + " " +
                      std::to_string(e.size));
    std::sort(lines.begin(), lines.end());
    return lines;
  };
  std::optional<std::vector<FileEntry>> all = ReadFolder(dir.str(), true);
  ASSERT_TRUE(all);
  const uint64_t linkSize = fs::read_symlink(dir / "dangling").string().size();
  EXPECT_EQ((Strings{".hidden 0", "a.txt 5", "dangling " + std::to_string(linkSize),
                     "link-to-sub/ 0", "sub/ 0"}),
            summary(*all));
  std::optional<std::vector<FileEntry>> files = ReadFolder(dir.str(), false);
  ASSERT_TRUE(files);
  EXPECT_EQ((Strings{".hidden 0", "a.txt 5", "dangling " + std::to_string(linkSize)}),
            summary(*files));
  EXPECT_FALSE(ReadFolder((dir / "missing").string(), true));
}

}  // namespace
}  // namespace vok::fileview
