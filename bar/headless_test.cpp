// The built program in headless mode, run as a child process in a registry of its own.
#include "bar/headless.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bar/application_test_support.h"
#include "bar/resources/bar_strings.h"

namespace vok::bar {
namespace {

using Lines = std::vector<std::string>;

struct RunResult {
  int exitCode = -1;
  Lines lines;  // standard output
  std::string errors;
};

Lines SplitLines(const QByteArray& output) {
  Lines lines;
  for (const QByteArray& line : output.split('\n'))
    if (!line.isEmpty()) lines.push_back(line.toStdString());
  return lines;
}

// True when `wanted` appears in `lines` in this order (other lines may come between).
bool ContainsInOrder(const Lines& lines, const Lines& wanted) {
  auto at = lines.begin();
  for (const std::string& line : wanted) {
    at = std::find(at, lines.end(), line);
    if (at == lines.end()) return false;
    ++at;
  }
  return true;
}

class HeadlessTest : public testing::Test {
 protected:
  // A state folder of the runs' own, with the component libraries registered in it.
  static void SetUpTestSuite() {
    buildDir_ = std::getenv("VOK_BUILD_DIR");
    root_ = std::string(std::getenv("HOME")) + "/headless";
    std::filesystem::create_directories(root_ + "/quillo");
    environment_ = QProcessEnvironment::systemEnvironment();
    environment_.insert("QUILLO_HOME", QString::fromStdString(root_ + "/quillo"));
    // No display at all: headless runs must not need one.
    environment_.remove("DISPLAY");
    environment_.remove("WAYLAND_DISPLAY");
    environment_.remove("QT_QPA_PLATFORM");
    QStringList libraries;
    for (const char* name : {"vokEngine", "vokTools", "vokCmdLine", "vokCtl", "vokFileView"})
      libraries << QString::fromStdString(buildDir_ + "/lib/lib" + name + ".so");
    QProcess regsvr;
    // Unloading the libraries leaves the system libraries' allocations without a module, which
    // the leak checker of a sanitizer build reports now and then; leaks are the program's
    // business here, and vokregsvr's in its own tests.
    QProcessEnvironment registration = environment_;
    registration.insert("ASAN_OPTIONS", "detect_leaks=0");
    regsvr.setProcessEnvironment(registration);
    regsvr.start(QString::fromStdString(buildDir_ + "/bin/vokregsvr"), libraries);
    ASSERT_TRUE(regsvr.waitForFinished(30000));
    ASSERT_EQ(0, regsvr.exitCode()) << regsvr.readAllStandardError().toStdString();
  }

  static RunResult Quillo(const std::vector<std::string>& args) {
    QStringList arguments{"--headless"};
    for (const std::string& arg : args) arguments << QString::fromStdString(arg);
    QProcess quillo;
    quillo.setProcessEnvironment(environment_);
    quillo.setWorkingDirectory(QString::fromStdString(root_));
    quillo.start(QString::fromStdString(buildDir_ + "/bin/quillo"), arguments);
    RunResult run;
    if (!quillo.waitForFinished(60000)) {
      quillo.kill();
      quillo.waitForFinished();
      ADD_FAILURE() << "quillo did not finish";
      return run;
    }
    run.exitCode = quillo.exitStatus() == QProcess::NormalExit ? quillo.exitCode() : -1;
    run.lines = SplitLines(quillo.readAllStandardOutput());
    run.errors = quillo.readAllStandardError().toStdString();
    return run;
  }

  static std::string DataPath(const std::string& name) { return root_ + "/" + name; }

  static inline std::string buildDir_;
  static inline std::string root_;
  static inline QProcessEnvironment environment_;
};

struct HeadlessCase {
  const char* name;
  std::vector<std::string> args;
  Lines expected;  // in this order, other lines may come between
  Lines absent;
  int exitCode;
};
void PrintTo(const HeadlessCase& c, std::ostream* out) { *out << c.name; }

class HeadlessCaseTest : public HeadlessTest, public testing::WithParamInterface<HeadlessCase> {};

TEST_P(HeadlessCaseTest, PrintsEntriesAndMessagesAndExits) {
  const HeadlessCase& c = GetParam();
  RunResult run = Quillo(c.args);
  EXPECT_EQ(c.exitCode, run.exitCode) << run.errors;
  EXPECT_TRUE(ContainsInOrder(run.lines, c.expected)) << testing::PrintToString(run.lines);
  for (const std::string& line : c.absent)
    EXPECT_EQ(run.lines.end(), std::find(run.lines.begin(), run.lines.end(), line));
}

const std::string kNotRecognized = "E\t" + BarString(kIdsNotRecognized);

INSTANTIATE_TEST_SUITE_P(
    Lines, HeadlessCaseTest,
    testing::Values(
        HeadlessCase{"Echo",
                     {"--exec", "autohide", "--exec", "ontop"},
                     {"L\tautohide", "I\tAutohide is off.", "L\tontop", "I\tAlways on top is on."},
                     {},
                     kHeadlessOk},
        HeadlessCase{"UnknownWordFails",
                     {"--exec", "zzqx-no-such-command-word"},
                     {kNotRecognized},
                     {},
                     kHeadlessFailed},
        HeadlessCase{"MessageBoxPrinted",
                     {"--exec", "pause hi"},
                     {"L\tpause hi", "M\tPause\thi"},
                     {},
                     kHeadlessOk},
        HeadlessCase{"ExitEndsTheRun",
                     {"--exec", "exit", "--exec", "autohide"},
                     {},
                     {"I\tAutohide is off."},
                     kHeadlessOk},
        HeadlessCase{"NoLine", {"--save"}, {}, {}, kHeadlessUsage},
        HeadlessCase{"MissingValue", {"--exec"}, {}, {}, kHeadlessUsage},
        HeadlessCase{"UnknownOption", {"--exec", "dock", "--fast"}, {}, {}, kHeadlessUsage}),
    [](const testing::TestParamInfo<HeadlessCase>& info) { return std::string(info.param.name); });

TEST_F(HeadlessTest, SavedSettingsReachTheNextRunAndIndependentReaders) {
  const std::string path = DataPath("saved.qdx");
  std::filesystem::remove(path);
  RunResult first = Quillo({"--data", path, "--save", "--exec", "dock top"});
  ASSERT_EQ(kHeadlessOk, first.exitCode) << first.errors << testing::PrintToString(first.lines);
  ASSERT_TRUE(std::filesystem::exists(path));

  RunResult second = Quillo({"--data", path, "--exec", "dock"});
  EXPECT_EQ(kHeadlessOk, second.exitCode);
  EXPECT_TRUE(ContainsInOrder(second.lines, {"I\tToolbar is docked on top."}))
      << testing::PrintToString(second.lines);

  // olefile reads it without reporting any defect, and finds every stream written.
  QProcess python;
  python.start("/usr/bin/python3",
               {"-c",
                "import olefile, sys\n"
                "ole = olefile.OleFileIO(sys.argv[1], raise_defects=olefile.DEFECT_INCORRECT)\n"
                "print('\\n'.join('/'.join(e) for e in ole.listdir()))\n",
                QString::fromStdString(path)});
  ASSERT_TRUE(python.waitForFinished(30000));
  ASSERT_EQ(0, python.exitCode()) << python.readAllStandardError().toStdString();
  const Lines streams = SplitLines(python.readAllStandardOutput());
  for (const char* stream : {"UI_DATA", "ENG_CONTAINER", "ENG_CMD_LINE"})
    EXPECT_NE(streams.end(), std::find(streams.begin(), streams.end(), stream)) << stream;
}

TEST_F(HeadlessTest, CorruptDataFileGivesDefaultsAndIsNeverWritten) {
  const std::string path = DataPath("corrupt.qdx");
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "not a compound file at all";
  }
  const std::vector<uint8_t> before = test::ReadBytes(path);
  std::string defaults = BarString(kIdsDataFileDefaults);
  defaults.replace(defaults.find("%s"), 2, path);

  RunResult run = Quillo({"--data", path, "--exec", "dock"});
  EXPECT_EQ(kHeadlessOk, run.exitCode);
  EXPECT_TRUE(ContainsInOrder(run.lines, {"E\t" + defaults, "I\tToolbar is floating."}))
      << testing::PrintToString(run.lines);

  // Asked to save, it still does not replace a file it could not read.
  RunResult saving = Quillo({"--data", path, "--save", "--exec", "dock top"});
  EXPECT_EQ(kHeadlessFailed, saving.exitCode);
  EXPECT_EQ(before, test::ReadBytes(path));
}

}  // namespace
}  // namespace vok::bar
