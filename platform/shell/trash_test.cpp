// The trash against the freedesktop.org layout: .trashinfo content, unique names, the volume
// trash folders, counting and emptying, and that a failed move never loses the item. Only the
// test's own home trash and volume folders made in temporary folders are touched: the mount
// table is always a test table.
#include "platform/shell/trash.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <regex>

#include "platform/shell/shell_test_support.h"
#include "platform/system/mounts.h"

namespace vok::shell {
namespace {

namespace fs = std::filesystem;
using test::Exists;
using test::Names;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using Strings = std::vector<std::string>;

// The Path value of a .trashinfo text.
std::string InfoPath(const std::string& info) {
  std::smatch match;
  if (!std::regex_search(info, match, std::regex("\nPath=([^\n]*)\n"))) return {};
  return match[1];
}

unsigned Mode(const fs::path& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

class TrashTest : public testing::Test {
 protected:
  TrashTest() : mounts_([this] { return volumes_; }) {
    std::error_code error;
    fs::remove_all(HomeTrashPath(), error);
  }

  fs::path Trash() const { return HomeTrashPath(); }

  TempDir dir_;
  std::vector<sys::MountEntry> volumes_;
  sys::ScopedMountReader mounts_;
};

TEST(TrashFormatTest, EncodesPathsAsUrls) {
  const std::pair<const char*, const char*> cases[] = {
      {"/home/ann/a.txt", "/home/ann/a.txt"},
      {"/a b/c", "/a%20b/c"},
      {"/ü", "/%C3%BC"},
      {"/100%;$(x)\"q\"", "/100%25%3B%24%28x%29%22q%22"},
      {"/-rf/~x_y.z", "/-rf/~x_y.z"},
      {"/a\nb", "/a%0Ab"},
  };
  for (const auto& [path, encoded] : cases) EXPECT_EQ(encoded, EncodeTrashPath(path)) << path;
}

TEST(TrashFormatTest, InfoTextHasTheGroupPathAndLocalDate) {
  std::tm when{.tm_sec = 9,
               .tm_min = 5,
               .tm_hour = 13,
               .tm_mday = 29,
               .tm_mon = 1,
               .tm_year = 2024 - 1900,
               .tm_isdst = -1};
  EXPECT_EQ("[Trash Info]\nPath=/a%20b\nDeletionDate=2024-02-29T13:05:09\n",
            TrashInfoText("/a%20b", std::mktime(&when)));
}

TEST_F(TrashTest, MovesAnItemToTheHomeTrashWithItsInfo) {
  WriteFile(dir_ / "my file.txt", "content");
  ASSERT_TRUE(MoveToTrash((dir_ / "my file.txt").string()));
  EXPECT_FALSE(Exists(dir_ / "my file.txt"));
  EXPECT_EQ("content", ReadFile(Trash() / "files/my file.txt"));
  std::string info = ReadFile(Trash() / "info/my file.txt.trashinfo");
  EXPECT_TRUE(
      std::regex_match(info, std::regex("\\[Trash Info\\]\nPath=[^\n]+\nDeletionDate="
                                        "[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\n")))
      << info;
  EXPECT_EQ(EncodeTrashPath(fs::canonical(dir_.path()).string() + "/my file.txt"), InfoPath(info));
  EXPECT_EQ(0700u, Mode(Trash()));
  EXPECT_EQ(0700u, Mode(Trash() / "files"));
  EXPECT_EQ(0700u, Mode(Trash() / "info"));
}

TEST_F(TrashTest, EqualNamesGetUniqueTrashNames) {
  for (const char* folder : {"one", "two", "three"}) WriteFile(dir_ / folder / "a.txt", folder);
  WriteFile(dir_ / "one/README", "r1");
  WriteFile(dir_ / "two/README", "r2");
  for (const char* path : {"one/a.txt", "two/a.txt", "three/a.txt", "one/README", "two/README"})
    ASSERT_TRUE(MoveToTrash((dir_ / path).string())) << path;
  EXPECT_EQ((Strings{"README", "README.2", "a.2.txt", "a.3.txt", "a.txt"}),
            Names(Trash() / "files"));
  EXPECT_EQ("two", ReadFile(Trash() / "files/a.2.txt"));
  EXPECT_EQ(EncodeTrashPath(fs::canonical(dir_ / "three").string() + "/a.txt"),
            InfoPath(ReadFile(Trash() / "info/a.3.txt.trashinfo")));
  EXPECT_EQ(5u, Names(Trash() / "info").size());
}

TEST_F(TrashTest, AnOrphanItemKeepsItsName) {
  // An item without .trashinfo (left by a crash) still holds its name.
  WriteFile(Trash() / "files/x.txt", "orphan");
  fs::create_directories(Trash() / "info");
  WriteFile(dir_ / "x.txt", "new");
  ASSERT_TRUE(MoveToTrash((dir_ / "x.txt").string()));
  EXPECT_EQ("orphan", ReadFile(Trash() / "files/x.txt"));
  EXPECT_EQ("new", ReadFile(Trash() / "files/x.2.txt"));
  EXPECT_EQ(Strings{"x.2.txt.trashinfo"}, Names(Trash() / "info"));
}

TEST_F(TrashTest, WildcardsTrashOnlyTheMatches) {
  WriteFile(dir_ / "a.log", "a");
  WriteFile(dir_ / "b.log", "b");
  WriteFile(dir_ / ".c.log", "c");
  WriteFile(dir_ / "d.txt", "d");
  ASSERT_TRUE(MoveToTrash((dir_ / "*.log").string()));
  EXPECT_EQ((Strings{".c.log", "d.txt"}), Names(dir_.path()));
  EXPECT_EQ((Strings{"a.log", "b.log"}), Names(Trash() / "files"));
  EXPECT_FALSE(MoveToTrash((dir_ / "*.doc").string()));
}

TEST_F(TrashTest, FoldersAndLinksGoWhole) {
  WriteFile(dir_ / "folder/inner.txt", "i");
  fs::create_symlink(dir_ / "folder", dir_ / "link");
  ASSERT_TRUE(MoveToTrash((dir_ / "link").string()));
  ASSERT_TRUE(MoveToTrash((dir_ / "folder").string()));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(Trash() / "files/link")));
  EXPECT_EQ("i", ReadFile(Trash() / "files/folder/inner.txt"));
}

TEST_F(TrashTest, AFailedMoveKeepsTheItemAndLeavesNoInfo) {
  WriteFile(dir_ / "keep.txt", "precious");
  // A trash whose files/ folder is missing: the rename fails after the info was written.
  fs::create_directories(dir_ / "broken/info");
  EXPECT_FALSE(TrashItemInto(dir_ / "keep.txt", TrashFolder{dir_ / "broken", {}}));
  EXPECT_TRUE(Names(dir_ / "broken/info").empty());
  // The home trash's place is taken by a file: it cannot be made, and the item must stay.
  WriteFile(dir_ / "data/Trash", "not a folder");
  {
    test::ScopedEnv data("XDG_DATA_HOME", (dir_ / "data").c_str());
    EXPECT_FALSE(MoveToTrash((dir_ / "keep.txt").string()));
  }
  EXPECT_EQ("precious", ReadFile(dir_ / "keep.txt"));
}

TEST_F(TrashTest, RefusesTheTrashItselfAndTheHomeFolder) {
  WriteFile(dir_ / "x", "x");
  ASSERT_TRUE(MoveToTrash((dir_ / "x").string()));
  EXPECT_FALSE(MoveToTrash(Trash().string()));
  EXPECT_FALSE(MoveToTrash(Trash().parent_path().string()));
  EXPECT_FALSE(MoveToTrash(std::getenv("HOME")));
  EXPECT_EQ(Strings{"x"}, Names(Trash() / "files"));
}

TEST_F(TrashTest, CountsAndEmpties) {
  EXPECT_EQ(0, CountTrashItems());  // no trash yet
  for (const char* name : {"a", "b", "c"}) {
    WriteFile(dir_ / name, name);
    ASSERT_TRUE(MoveToTrash((dir_ / name).string()));
  }
  WriteFile(Trash() / "directorysizes", "");
  EXPECT_EQ(3, CountTrashItems());
  EXPECT_TRUE(EmptyTrash());
  EXPECT_EQ(0, CountTrashItems());
  EXPECT_TRUE(Names(Trash() / "files").empty());
  EXPECT_TRUE(Names(Trash() / "info").empty());
  EXPECT_FALSE(Exists(Trash() / "directorysizes"));
}

TEST_F(TrashTest, VolumeTrashPrefersASafeSharedFolder) {
  const uid_t uid = getuid();
  const std::string id = std::to_string(uid);

  // No shared folder: the per-user one is made.
  TempDir plain;
  std::optional<TrashFolder> trash = VolumeTrash(plain.path(), uid, true);
  ASSERT_TRUE(trash);
  EXPECT_EQ(plain / (".Trash-" + id), trash->root);
  EXPECT_EQ(plain.path(), trash->topDir);
  EXPECT_EQ(0700u, Mode(trash->root));

  // A shared folder with the sticky bit holds the per-user one.
  TempDir sticky;
  fs::create_directories(sticky / ".Trash");
  chmod((sticky / ".Trash").c_str(), 01777);
  trash = VolumeTrash(sticky.path(), uid, true);
  ASSERT_TRUE(trash);
  EXPECT_EQ(sticky / ".Trash" / id, trash->root);

  // Without the sticky bit, or as a link, it is not trusted.
  TempDir unsafe;
  fs::create_directories(unsafe / ".Trash");
  chmod((unsafe / ".Trash").c_str(), 0777);
  trash = VolumeTrash(unsafe.path(), uid, true);
  ASSERT_TRUE(trash);
  EXPECT_EQ(unsafe / (".Trash-" + id), trash->root);
  EXPECT_FALSE(Exists(unsafe / ".Trash" / id));

  TempDir linked;
  fs::create_directory_symlink(sticky / ".Trash", linked / ".Trash");
  trash = VolumeTrash(linked.path(), uid, true);
  ASSERT_TRUE(trash);
  EXPECT_EQ(linked / (".Trash-" + id), trash->root);

  // Nothing is made when only looking.
  TempDir untouched;
  EXPECT_FALSE(VolumeTrash(untouched.path(), uid, false));
  EXPECT_TRUE(Names(untouched.path()).empty());
}

TEST_F(TrashTest, VolumeTrashesRecordRelativePathsAndFollowTheMountTable) {
  TempDir top;
  std::optional<TrashFolder> trash = VolumeTrash(top.path(), getuid(), true);
  ASSERT_TRUE(trash);
  WriteFile(top / "docs/my report.txt", "r");
  ASSERT_TRUE(TrashItemInto(top / "docs/my report.txt", *trash));
  EXPECT_EQ("docs/my%20report.txt",
            InfoPath(ReadFile(trash->root / "info/my report.txt.trashinfo")));
  EXPECT_EQ("r", ReadFile(trash->root / "files/my report.txt"));
  WriteFile(dir_ / "h.txt", "h");
  ASSERT_TRUE(MoveToTrash((dir_ / "h.txt").string()));

  EXPECT_EQ(1, CountTrashItems());  // the volume is not mounted (not in the table)
  volumes_ = {{"/dev/sdz1", top.str(), "ext4"}, {"proc", "/proc", "proc"}};
  ASSERT_EQ(2u, ExistingTrashFolders().size());
  EXPECT_EQ(2, CountTrashItems());
  EXPECT_TRUE(EmptyTrash());
  EXPECT_EQ(0, CountTrashItems());
  EXPECT_TRUE(Names(trash->root / "info").empty());
}

}  // namespace
}  // namespace vok::shell
