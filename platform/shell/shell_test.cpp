// Opening targets: what is started for each kind of target and verb, and that every target
// reaches the started program as one argument, never through a shell.
#include "platform/shell/shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/shell/shell_test_support.h"
#include "platform/system/recording_process_runner.h"

namespace vok::shell {
namespace {

using Command = std::vector<std::string>;
using sys::RunResult;
using sys::test::RecordingProcessRunner;
using test::TempDir;
using test::WriteFile;

class OpenTest : public testing::Test {
 protected:
  OpenTest() : scoped_(&runner_) {
    runner_.installed = {"xdg-open", "lp", "gimp"};
    WriteFile(dir_ / "notes.txt", "hello");
    std::filesystem::create_directories(dir_ / "folder");
    WriteFile(dir_ / "run.sh", "#!/bin/true\n");
    chmod((dir_ / "run.sh").c_str(), 0755);
  }

  std::string In(std::string_view name) const { return (dir_ / name).string(); }

  TempDir dir_;
  RecordingProcessRunner runner_;
  sys::ScopedProcessRunner scoped_;
};

TEST_F(OpenTest, DocumentsAndFoldersGoToTheDesktop) {
  EXPECT_TRUE(Open(In("notes.txt"), Verb::kOpen));
  EXPECT_TRUE(Open("folder", Verb::kOpen, dir_.str()));  // relative to the working folder
  // Explore shows the folder, or the folder holding a file.
  EXPECT_TRUE(Open(In("folder"), Verb::kExplore));
  EXPECT_TRUE(Open(In("notes.txt"), Verb::kExplore));
  EXPECT_EQ((std::vector<Command>{{"xdg-open", In("notes.txt")},
                                  {"xdg-open", In("folder")},
                                  {"xdg-open", In("folder")},
                                  {"xdg-open", dir_.str()}}),
            runner_.Commands());
  EXPECT_TRUE(runner_.calls[0].detached);
}

TEST_F(OpenTest, ExecutablesAndProgramsAreStartedDirectly) {
  EXPECT_TRUE(Open("run.sh", Verb::kOpen, dir_.str()));
  EXPECT_EQ(dir_.str(), runner_.calls[0].workDir);
  // A bare name is a program only when nothing here has that name.
  EXPECT_TRUE(Open("gimp", Verb::kOpen, dir_.str()));
  WriteFile(dir_ / "gimp", "a document called gimp");
  EXPECT_TRUE(Open("gimp", Verb::kOpen, dir_.str()));
  EXPECT_EQ((std::vector<Command>{{In("run.sh")}, {"/usr/bin/gimp"}, {"xdg-open", In("gimp")}}),
            runner_.Commands());
}

TEST_F(OpenTest, HomeFolderShorthandAndUrls) {
  WriteFile(std::filesystem::path(getenv("HOME")) / "in home.txt", "x");
  EXPECT_TRUE(Open("~/in home.txt", Verb::kOpen, dir_.str()));
  EXPECT_EQ((Command{"xdg-open", std::string(getenv("HOME")) + "/in home.txt"}),
            runner_.calls.back().argv);
  runner_.calls.clear();
  // URLs, but not drive words.
  EXPECT_TRUE(Open("https://example.org/a b", Verb::kOpen, dir_.str()));
  EXPECT_TRUE(Open("trash:///", Verb::kExplore, dir_.str()));
  EXPECT_FALSE(Open("d:", Verb::kOpen, dir_.str()));
  EXPECT_FALSE(Open("c:x", Verb::kOpen, dir_.str()));
  EXPECT_FALSE(Open("mailto:ann@example.org", Verb::kPrint, dir_.str()));
  EXPECT_EQ(
      (std::vector<Command>{{"xdg-open", "https://example.org/a b"}, {"xdg-open", "trash:///"}}),
      runner_.Commands());
}

TEST_F(OpenTest, FailuresAreNotReportedAsSuccess) {
  EXPECT_FALSE(Open(In("missing.txt"), Verb::kOpen));
  EXPECT_FALSE(Open("", Verb::kOpen));
  EXPECT_TRUE(runner_.calls.empty());
  runner_.installed.erase("xdg-open");
  EXPECT_FALSE(Open(In("notes.txt"), Verb::kOpen));
  runner_.installed.insert("xdg-open");
  runner_.failingStarts = {"xdg-open"};
  EXPECT_FALSE(Open(In("folder"), Verb::kOpen));
}

TEST_F(OpenTest, PrintsWithLp) {
  EXPECT_TRUE(Open("notes.txt", Verb::kPrint, dir_.str()));
  EXPECT_EQ((Command{"lp", "--", In("notes.txt")}), runner_.calls.back().argv);
  EXPECT_FALSE(runner_.calls.back().detached);

  runner_.results["lp"] = {RunResult{1, "lp: No default destination.", false}};
  EXPECT_FALSE(Open(In("notes.txt"), Verb::kPrint));
  EXPECT_FALSE(Open(In("folder"), Verb::kPrint));
  EXPECT_FALSE(Open(In("missing.txt"), Verb::kPrint));
  runner_.installed.erase("lp");
  EXPECT_FALSE(Open(In("notes.txt"), Verb::kPrint));
}

TEST_F(OpenTest, AwkwardNamesStayOneArgument) {
  for (const char* name : test::kAwkwardNames) {
    WriteFile(dir_ / name, "x");
    runner_.calls.clear();
    EXPECT_TRUE(Open(name, Verb::kOpen, dir_.str())) << name;
    EXPECT_TRUE(Open(name, Verb::kPrint, dir_.str())) << name;
    // The full path: the argument never starts with "-".
    EXPECT_EQ((std::vector<Command>{{"xdg-open", In(name)}, {"lp", "--", In(name)}}),
              runner_.Commands())
        << name;
  }
}

TEST_F(OpenTest, ProgramsGetTheirArguments) {
  EXPECT_TRUE(OpenWithArguments("gimp", {"-n", "a b.png"}, dir_.str()));
  EXPECT_TRUE(OpenWithArguments("run.sh", {"$(x)"}, dir_.str()));
  // A document's application takes no arguments.
  EXPECT_TRUE(OpenWithArguments("notes.txt", {"ignored"}, dir_.str()));
  EXPECT_FALSE(OpenWithArguments("no-such-thing", {"x"}, dir_.str()));
  EXPECT_EQ((std::vector<Command>{{"/usr/bin/gimp", "-n", "a b.png"},
                                  {In("run.sh"), "$(x)"},
                                  {"xdg-open", In("notes.txt")}}),
            runner_.Commands());
}

TEST(IsUrlTest, SchemesOfTwoLettersOrMore) {
  const std::pair<const char*, bool> cases[] = {
      {"http://x", true}, {"mailto:a@b", true}, {"trash:///", true}, {"svn+ssh://h", true},
      {"d:", false},      {"c:x", false},       {"/a:b", false},     {"ab:", false},
      {"1ab:x", false},   {"a b:x", false},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(expected, IsUrl(text)) << text;
}

}  // namespace
}  // namespace vok::shell
