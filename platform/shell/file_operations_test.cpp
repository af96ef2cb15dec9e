// Copy, move, rename, delete and make-folder on real temporary folders: wildcard expansion,
// destinations, the checks that keep a wrong operation from touching anything, and names
// with blanks, quotes and shell characters.
#include "platform/shell/file_operations.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/shell/shell_test_support.h"

namespace vok::shell {
namespace {

namespace fs = std::filesystem;
using test::Exists;
using test::Names;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using Strings = std::vector<std::string>;

struct MatchCase {
  const char* pattern;
  const char* name;
  bool matches;
};

class WildcardMatchTest : public testing::TestWithParam<MatchCase> {};

TEST_P(WildcardMatchTest, Matches) {
  const MatchCase& c = GetParam();
  EXPECT_EQ(c.matches, MatchesWildcards(c.pattern, c.name)) << c.pattern << " vs " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, WildcardMatchTest,
    testing::Values(MatchCase{"*.txt", "a.txt", true}, MatchCase{"*.txt", "a.TXT", false},
                    MatchCase{"*.txt", "a.txt.bak", false}, MatchCase{"a*b*c", "aXbYbZc", true},
                    MatchCase{"a*b*c", "aXbYbZ", false}, MatchCase{"?.txt", "ä.txt", true},
                    MatchCase{"??.txt", "ä.txt", false}, MatchCase{"*", "", true},
                    MatchCase{"*", ".hidden", false}, MatchCase{".*", ".hidden", true},
                    MatchCase{"?hidden", ".hidden", false}, MatchCase{"*.*", "README", false},
                    MatchCase{"a?c", "abc", true}, MatchCase{"a?c", "ac", false},
                    MatchCase{"**x", "yyx", true}, MatchCase{"x*", "x", true}));

class FileOperationsTest : public testing::Test {
 protected:
  FileOperationsTest() {
    WriteFile(dir_ / "src/a.txt", "A");
    WriteFile(dir_ / "src/b.txt", "B");
    WriteFile(dir_ / "src/c.log", "C");
    WriteFile(dir_ / "src/.hidden.txt", "H");
    WriteFile(dir_ / "src/sub/deep.txt", "D");
    fs::create_directories(dir_ / "dst");
  }
  std::string P(std::string_view relative) const { return (dir_ / relative).string(); }

  TempDir dir_;
};

TEST_F(FileOperationsTest, ExpandsOnlyTheLastPart) {
  std::vector<fs::path> found = ExpandWildcards(P("src/*.txt"));
  EXPECT_EQ((std::vector<fs::path>{dir_ / "src/a.txt", dir_ / "src/b.txt"}), found);
  EXPECT_EQ(1u, ExpandWildcards(P("src/sub/")).size());
  EXPECT_TRUE(ExpandWildcards(P("src/*.doc")).empty());
  EXPECT_TRUE(ExpandWildcards(P("s*c/a.txt")).empty());  // a wildcard in a folder is a name
  // A name holding "*" is matched literally on request.
  WriteFile(dir_ / "src/x*y", "star");
  EXPECT_EQ(std::vector<fs::path>{dir_ / "src/x*y"},
            ExpandWildcards(P("src/x*y"), Wildcards::kLiteral));
  EXPECT_TRUE(ExpandWildcards(P("src/x*z"), Wildcards::kLiteral).empty());
}

TEST_F(FileOperationsTest, CopiesAFileToANewNameAndMatchesIntoAFolder) {
  TransferPlan plan = PlanTransfer(TransferKind::kCopy, P("src/a.txt"), P("dst/new.txt"));
  ASSERT_EQ(FileOpError::kNone, plan.error);
  ASSERT_TRUE(CarryOut(plan, false));
  EXPECT_EQ("A", ReadFile(dir_ / "dst/new.txt"));
  EXPECT_EQ(Strings{"new.txt"}, Names(dir_ / "dst"));  // no temporary copy left behind
  ASSERT_TRUE(CarryOut(PlanTransfer(TransferKind::kCopy, P("src/*.txt"), P("dst")), false));
  EXPECT_EQ((Strings{"a.txt", "b.txt", "new.txt"}), Names(dir_ / "dst"));
  EXPECT_EQ(5u, Names(dir_ / "src").size());
  EXPECT_EQ("A", ReadFile(dir_ / "src/a.txt"));
}

TEST_F(FileOperationsTest, CopiesFoldersWithEverythingInThem) {
  fs::create_symlink("a.txt", dir_ / "src/link");
  chmod(P("src/b.txt").c_str(), 0640);
  ASSERT_TRUE(CarryOut(PlanTransfer(TransferKind::kCopy, P("src"), P("dst")), false));
  EXPECT_EQ("D", ReadFile(dir_ / "dst/src/sub/deep.txt"));
  EXPECT_EQ("H", ReadFile(dir_ / "dst/src/.hidden.txt"));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir_ / "dst/src/link")));
  EXPECT_EQ(fs::path("a.txt"), fs::read_symlink(dir_ / "dst/src/link"));
  EXPECT_EQ(fs::perms(0640), fs::status(dir_ / "dst/src/b.txt").permissions() & fs::perms::mask);
  EXPECT_EQ(Strings{"src"}, Names(dir_ / "dst"));
}

TEST_F(FileOperationsTest, ExistingFilesAreReplacedOnlyWhenAllowed) {
  WriteFile(dir_ / "dst/a.txt", "old");
  TransferPlan plan = PlanTransfer(TransferKind::kCopy, P("src/*.txt"), P("dst"));
  ASSERT_EQ(FileOpError::kNone, plan.error);
  EXPECT_EQ(std::vector<fs::path>{dir_ / "dst/a.txt"}, plan.existing);
  EXPECT_FALSE(CarryOut(plan, false));
  EXPECT_EQ("old", ReadFile(dir_ / "dst/a.txt"));
  EXPECT_EQ(Strings{"a.txt"}, Names(dir_ / "dst"));  // b.txt not copied either
  EXPECT_TRUE(CarryOut(plan, true));
  EXPECT_EQ("A", ReadFile(dir_ / "dst/a.txt"));
  EXPECT_EQ("B", ReadFile(dir_ / "dst/b.txt"));
}

struct RefusedCase {
  const char* name;
  TransferKind kind;
  const char* source;
  const char* destination;
  FileOpError error;
};

class RefusedTransferTest : public FileOperationsTest,
                            public testing::WithParamInterface<RefusedCase> {};

// A refused plan does nothing at all, whatever else would have worked.
TEST_P(RefusedTransferTest, ChangesNothing) {
  const RefusedCase& c = GetParam();
  fs::create_directories(dir_ / "dst/b.txt");  // a folder where a file would go
  WriteFile(dir_ / "dst/file", "F");
  const Strings srcBefore = Names(dir_ / "src"), dstBefore = Names(dir_ / "dst");
  TransferPlan plan = PlanTransfer(c.kind, P(c.source), P(c.destination));
  EXPECT_EQ(c.error, plan.error);
  EXPECT_FALSE(CarryOut(plan, true));
  EXPECT_EQ(srcBefore, Names(dir_ / "src"));
  EXPECT_EQ(dstBefore, Names(dir_ / "dst"));
  EXPECT_EQ("A", ReadFile(dir_ / "src/a.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Plans, RefusedTransferTest,
    testing::Values(
        RefusedCase{"NoMatch", TransferKind::kCopy, "src/*.doc", "dst", FileOpError::kNotFound},
        RefusedCase{"Missing", TransferKind::kMove, "src/none", "dst", FileOpError::kNotFound},
        RefusedCase{"FolderInTheWay", TransferKind::kCopy, "src/*.txt", "dst",
                    FileOpError::kConflict},
        RefusedCase{"FolderOverFile", TransferKind::kMove, "src/sub", "dst/file",
                    FileOpError::kConflict},
        RefusedCase{"PatternToNonFolder", TransferKind::kCopy, "src/*.txt", "dst/new",
                    FileOpError::kInvalid},
        RefusedCase{"NoSuchParent", TransferKind::kCopy, "src/a.txt", "none/new.txt",
                    FileOpError::kInvalid},
        RefusedCase{"ItselfByName", TransferKind::kCopy, "src/a.txt", "src/a.txt",
                    FileOpError::kInvalid},
        RefusedCase{"ItselfInFolder", TransferKind::kMove, "src/a.txt", "src",
                    FileOpError::kInvalid},
        RefusedCase{"IntoItself", TransferKind::kCopy, "src", "src/sub", FileOpError::kInvalid},
        RefusedCase{"MoveIntoItself", TransferKind::kMove, "src", "src/sub/new",
                    FileOpError::kInvalid}),
    [](const testing::TestParamInfo<RefusedCase>& info) { return info.param.name; });

TEST_F(FileOperationsTest, MovesMatchesAndFolders) {
  ASSERT_TRUE(CarryOut(PlanTransfer(TransferKind::kMove, P("src/*.txt"), P("dst")), false));
  EXPECT_EQ((Strings{"a.txt", "b.txt"}), Names(dir_ / "dst"));
  ASSERT_TRUE(CarryOut(PlanTransfer(TransferKind::kMove, P("src/sub"), P("dst/moved")), false));
  EXPECT_EQ("D", ReadFile(dir_ / "dst/moved/deep.txt"));
  EXPECT_EQ((Strings{".hidden.txt", "c.log"}), Names(dir_ / "src"));
}

TEST_F(FileOperationsTest, RenamesInPlace) {
  ASSERT_TRUE(CarryOut(PlanRename(P("src/a.txt"), "A b.TXT"), false));
  EXPECT_EQ("A", ReadFile(dir_ / "src/A b.TXT"));
  EXPECT_FALSE(Exists(dir_ / "src/a.txt"));
  // The same name is nothing to do.
  EXPECT_TRUE(CarryOut(PlanRename(P("src/b.txt"), "b.txt"), false));
}

TEST_F(FileOperationsTest, RefusesBadNewNames) {
  for (const char* name : {"", ".", "..", "sub/x.txt", "/abs"})
    EXPECT_EQ(FileOpError::kInvalid, PlanRename(P("src/a.txt"), name).error) << name;
  EXPECT_EQ(FileOpError::kInvalid, PlanRename(P("src/*.txt"), "x").error);  // two matches
  EXPECT_EQ(FileOpError::kNotFound, PlanRename(P("src/none"), "x").error);
  TransferPlan onto = PlanRename(P("src/a.txt"), "b.txt");
  EXPECT_EQ(std::vector<fs::path>{dir_ / "src/b.txt"}, onto.existing);
  EXPECT_FALSE(CarryOut(onto, false));
  EXPECT_EQ("B", ReadFile(dir_ / "src/b.txt"));
  EXPECT_EQ(FileOpError::kConflict, PlanRename(P("src/a.txt"), "sub").error);
}

TEST_F(FileOperationsTest, DeletesOnlyTheMatchesAndALinkNotWhatItPointsTo) {
  fs::create_directory_symlink(dir_ / "src/sub", dir_ / "dst/link");
  ASSERT_TRUE(DeleteItems(P("dst/link")));
  EXPECT_EQ("D", ReadFile(dir_ / "src/sub/deep.txt"));
  ASSERT_TRUE(DeleteItems(P("src/*.txt")));
  EXPECT_EQ((Strings{".hidden.txt", "c.log", "sub"}), Names(dir_ / "src"));
  ASSERT_TRUE(DeleteItems(P("src/sub")));
  EXPECT_FALSE(Exists(dir_ / "src/sub"));
  EXPECT_FALSE(DeleteItems(P("src/*.doc")));
}

TEST_F(FileOperationsTest, DotEntriesNameTheirFolder) {
  // "sub/." is the folder itself; its contents are not emptied through the "." entry.
  ASSERT_TRUE(CarryOut(PlanTransfer(TransferKind::kCopy, P("src/sub/."), P("dst")), false));
  EXPECT_EQ("D", ReadFile(dir_ / "dst/sub/deep.txt"));
}

TEST_F(FileOperationsTest, NeverDeletesOrMovesTheHomeFolder) {
  const fs::path home = getenv("HOME");
  EXPECT_TRUE(IsProtectedFolder("/"));
  EXPECT_TRUE(IsProtectedFolder(home));
  EXPECT_TRUE(IsProtectedFolder(home.parent_path()));
  EXPECT_FALSE(IsProtectedFolder(dir_.path()));
  EXPECT_FALSE(DeleteItems(home.string()));
  EXPECT_EQ(FileOpError::kInvalid,
            PlanTransfer(TransferKind::kMove, home.string(), P("dst")).error);
  EXPECT_TRUE(Exists(dir_ / "src/a.txt"));
  // A link to the home folder is only a link.
  fs::create_directory_symlink(home, dir_ / "dst/home-link");
  EXPECT_FALSE(IsProtectedFolder(dir_ / "dst/home-link"));
}

TEST_F(FileOperationsTest, AwkwardNamesAreJustNames) {
  for (const char* name : test::kAwkwardNames) {
    WriteFile(dir_ / "odd" / name, name);
    ASSERT_TRUE(CarryOut(PlanTransfer(TransferKind::kCopy, P("odd/") + name, P("dst")), false))
        << name;
    EXPECT_EQ(name, ReadFile(dir_ / "dst" / name));
    ASSERT_TRUE(DeleteItems(P("odd/") + name)) << name;
  }
  EXPECT_TRUE(Names(dir_ / "odd").empty());
  EXPECT_EQ(std::size(test::kAwkwardNames), Names(dir_ / "dst").size());
  EXPECT_EQ((Strings{".hidden.txt", "a.txt", "b.txt", "c.log", "sub"}), Names(dir_ / "src"));
  EXPECT_FALSE(Exists("pwned"));
}

TEST_F(FileOperationsTest, MakesMissingFoldersAndRenamesWithoutReplacing) {
  EXPECT_TRUE(MakeDirectories(P("new/one/two")));
  EXPECT_TRUE(fs::is_directory(dir_ / "new/one/two"));
  EXPECT_TRUE(MakeDirectories(P("new/one")));  // all there already
  EXPECT_FALSE(MakeDirectories(P("src/a.txt/x")));
  EXPECT_FALSE(MakeDirectories(P("src/a.txt")));
  EXPECT_EQ("A", ReadFile(dir_ / "src/a.txt"));
  EXPECT_FALSE(RenameNoReplace(dir_ / "src/a.txt", dir_ / "src/b.txt"));
  EXPECT_EQ("B", ReadFile(dir_ / "src/b.txt"));
  EXPECT_TRUE(RenameNoReplace(dir_ / "src/a.txt", dir_ / "src/z.txt"));
}

TEST_F(FileOperationsTest, FreeNamesNumberTheStem) {
  WriteFile(dir_ / "dst/r.txt", "");
  WriteFile(dir_ / "dst/r (2).txt", "");
  WriteFile(dir_ / "dst/a.tar.gz", "");
  WriteFile(dir_ / "dst/.profile", "");
  fs::create_directories(dir_ / "dst/folder");
  const fs::path dst = dir_ / "dst";
  EXPECT_EQ("free.txt", FreeNameIn(dst, "free.txt"));
  EXPECT_EQ("r (3).txt", FreeNameIn(dst, "r.txt"));
  EXPECT_EQ("r (4).txt", FreeNameIn(dst, "r.txt", false, {"r (3).txt"}));
  EXPECT_EQ("a.tar (2).gz", FreeNameIn(dst, "a.tar.gz"));
  EXPECT_EQ(".profile (2)", FreeNameIn(dst, ".profile"));
  EXPECT_EQ("folder (2)", FreeNameIn(dst, "folder", true));
  fs::create_directories(dir_ / "dst/v1.2");
  EXPECT_EQ("v1.2 (2)", FreeNameIn(dst, "v1.2", true));
}

TEST_F(FileOperationsTest, TransfersIntoAFolderRenameOnCollision) {
  WriteFile(dir_ / "dst/a.txt", "old");
  WriteFile(dir_ / "other/a.txt", "other");
  const fs::path dst = dir_ / "dst";
  TransferPlan plan = PlanTransferInto(
      TransferKind::kCopy, {dir_ / "src/a.txt", dir_ / "other/a.txt", dir_ / "src/sub"}, dst);
  ASSERT_EQ(FileOpError::kNone, plan.error);
  EXPECT_TRUE(plan.existing.empty());
  ASSERT_TRUE(CarryOut(plan, false));
  EXPECT_EQ((Strings{"a (2).txt", "a (3).txt", "a.txt", "sub"}), Names(dst));
  EXPECT_EQ("old", ReadFile(dst / "a.txt"));
  EXPECT_EQ("A", ReadFile(dst / "a (2).txt"));
  EXPECT_EQ("other", ReadFile(dst / "a (3).txt"));

  // A new name that is taken is numbered too; a copy beside itself gets a number.
  ASSERT_TRUE(
      CarryOut(PlanTransferInto(TransferKind::kMove, {dir_ / "src/b.txt"}, dst, "a.txt"), false));
  EXPECT_EQ("B", ReadFile(dst / "a (4).txt"));
  EXPECT_FALSE(Exists(dir_ / "src/b.txt"));
  ASSERT_TRUE(
      CarryOut(PlanTransferInto(TransferKind::kCopy, {dir_ / "src/c.log"}, dir_ / "src"), false));
  EXPECT_EQ("C", ReadFile(dir_ / "src/c (2).log"));

  // A name with "*" is a name, not a pattern.
  WriteFile(dir_ / "src/x*", "star");
  ASSERT_TRUE(CarryOut(PlanTransferInto(TransferKind::kCopy, {dir_ / "src/x*"}, dst), false));
  EXPECT_EQ("star", ReadFile(dst / "x*"));
}

TEST_F(FileOperationsTest, RefusesTransfersIntoThatCannotWork) {
  const fs::path dst = dir_ / "dst";
  const std::pair<TransferPlan, FileOpError> cases[] = {
      {PlanTransferInto(TransferKind::kCopy, {}, dst), FileOpError::kNotFound},
      {PlanTransferInto(TransferKind::kCopy, {dir_ / "src/a.txt"}, dir_ / "src/a.txt"),
       FileOpError::kInvalid},
      {PlanTransferInto(TransferKind::kMove, {dir_ / "src/a.txt"}, dir_ / "src"),
       FileOpError::kInvalid},
      {PlanTransferInto(TransferKind::kCopy, {dir_ / "src/a.txt", dir_ / "src/b.txt"}, dst, "n"),
       FileOpError::kInvalid},
      {PlanTransferInto(TransferKind::kCopy, {dir_ / "src/a.txt"}, dst, "x/y"),
       FileOpError::kInvalid},
      {PlanTransferInto(TransferKind::kMove, {dir_ / "src"}, dir_ / "src/sub"),
       FileOpError::kInvalid},
  };
  for (const auto& [plan, error] : cases) {
    EXPECT_EQ(error, plan.error);
    EXPECT_FALSE(CarryOut(plan, true));
  }
  EXPECT_EQ(5u, Names(dir_ / "src").size());
  EXPECT_TRUE(Names(dst).empty());
}

TEST_F(FileOperationsTest, DeniedFolderIsCheckedBeforeActing) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  chmod(P("dst").c_str(), 0555);
  TransferPlan plan = PlanTransfer(TransferKind::kMove, P("src/*.txt"), P("dst"));
  EXPECT_EQ(FileOpError::kDenied, plan.error);
  EXPECT_FALSE(CarryOut(plan, true));
  chmod(P("dst").c_str(), 0755);
  EXPECT_EQ(5u, Names(dir_ / "src").size());
}

}  // namespace
}  // namespace vok::shell
