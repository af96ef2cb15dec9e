// The posix_spawn runner, exercised with harmless standard tools only (echo, pwd, head,
// sleep, touch): output capture, exit status, working folder, timeout, argument passing
// without a shell, and the PATH search.
#include "platform/system/process_runner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "platform/shell/shell_test_support.h"

namespace vok::sys {
namespace {

using shell::test::Exists;
using shell::test::TempDir;
using shell::test::WriteFile;
using namespace std::chrono_literals;

ProcessRunner& Runner() { return CurrentProcessRunner(); }

TEST(ProcessRunnerTest, ArgumentsReachTheProgramVerbatimWithoutAShell) {
  std::optional<RunResult> result =
      Runner().Run({"echo", "two words", "$(touch pwned)", "a;b", "\"q\"", "*"}, {}, 10s);
  ASSERT_TRUE(result);
  EXPECT_EQ(0, result->exitStatus);
  EXPECT_EQ("two words $(touch pwned) a;b \"q\" *\n", result->output);
  EXPECT_FALSE(Exists("pwned"));
}

TEST(ProcessRunnerTest, ReportsTheExitStatusAndRunsInTheGivenFolder) {
  std::optional<RunResult> result = Runner().Run({"false"}, {}, 10s);
  ASSERT_TRUE(result);
  EXPECT_EQ(1, result->exitStatus);
  EXPECT_FALSE(result->timedOut);
  TempDir dir;
  result = Runner().Run({"pwd"}, dir.str(), 10s);
  ASSERT_TRUE(result);
  EXPECT_EQ(std::filesystem::canonical(dir.path()).string() + "\n", result->output);
}

TEST(ProcessRunnerTest, CannotStartIsNotASuccess) {
  TempDir dir;
  EXPECT_FALSE(Runner().Run({"no-such-program-here"}, {}, 1s));
  EXPECT_FALSE(Runner().Run({}, {}, 1s));
  EXPECT_FALSE(Runner().Run({"true"}, (dir / "missing").string(), 1s));
  EXPECT_FALSE(Runner().StartDetached({"no-such-program-here"}, {}));
  EXPECT_FALSE(Runner().StartDetached({"true"}, (dir / "missing").string()));
}

TEST(ProcessRunnerTest, KillsAProgramThatOutlivesTheTimeout) {
  auto start = std::chrono::steady_clock::now();
  std::optional<RunResult> result = Runner().Run({"sleep", "20"}, {}, 200ms);
  ASSERT_TRUE(result);
  EXPECT_TRUE(result->timedOut);
  EXPECT_EQ(-1, result->exitStatus);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
}

TEST(ProcessRunnerTest, CapsTheCapturedOutputButLetsTheProgramFinish) {
  std::optional<RunResult> result = Runner().Run({"head", "-c", "300000", "/dev/zero"}, {}, 20s);
  ASSERT_TRUE(result);
  EXPECT_EQ(0, result->exitStatus);
  EXPECT_EQ(kMaxCapturedOutput, result->output.size());
}

TEST(ProcessRunnerTest, StartsDetachedInTheGivenFolder) {
  TempDir dir;
  ASSERT_TRUE(Runner().StartDetached({"touch", "started here"}, dir.str()));
  auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!Exists(dir / "started here") && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(10ms);
  EXPECT_TRUE(Exists(dir / "started here"));
}

TEST(FindProgramTest, SearchesPathButNeverTheCurrentFolder) {
  TempDir dir;
  WriteFile(dir / "a/tool", "#!/bin/true\n");
  WriteFile(dir / "b/tool", "#!/bin/true\n");
  WriteFile(dir / "a/plain", "text\n");
  std::filesystem::create_directories(dir / "b/folder");
  std::filesystem::create_directories(dir / "a/folder");
  chmod((dir / "a/tool").c_str(), 0755);
  chmod((dir / "b/tool").c_str(), 0755);
  const std::string a = (dir / "a").string(), b = (dir / "b").string();

  EXPECT_EQ(a + "/tool", FindProgramInPath("tool", a + ":" + b));
  EXPECT_EQ(b + "/tool", FindProgramInPath("tool", "/nonexistent:" + b));
  EXPECT_FALSE(FindProgramInPath("plain", a));             // not executable
  EXPECT_FALSE(FindProgramInPath("folder", a + ":" + b));  // folders are no programs
  EXPECT_FALSE(FindProgramInPath("", a));
  // A path is taken as it is, never searched.
  EXPECT_EQ(a + "/tool", FindProgramInPath(a + "/tool", ""));
  EXPECT_FALSE(FindProgramInPath(a + "/plain", a));

  // Empty entries stand for the current folder; they are skipped.
  std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir / "a");
  EXPECT_FALSE(FindProgramInPath("tool", "::" + (dir / "none").string() + ":"));
  std::filesystem::current_path(previous);
}

}  // namespace
}  // namespace vok::sys
