// Start-up of the bar program to its bar shown, and its resident memory once idle, each against
// a minimal Qt widget program started the same way. Both run as child processes on the
// offscreen platform with a state folder of their own (the component libraries registered in
// it and a data file to load) and write "shown" when their window is exposed.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// How long a program stays idle before its memory is read.
constexpr auto kIdle = std::chrono::milliseconds(500);

struct Child {
  pid_t pid = -1;
  int output = -1;  // read end of its standard output
};

// The environment of the children: the parent's, with home, state and user folders in the
// benchmark's own folder (nothing of the user's is read or written) and no display.
std::vector<std::string> ChildEnvironment(const std::string& state) {
  std::vector<std::string> entries;
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    for (const char* name :
         {"HOME=", "QUILLO_HOME=", "QT_QPA_PLATFORM=", "XDG_", "DISPLAY=", "WAYLAND_DISPLAY="})
      if (entry.starts_with(name)) entry.clear();
    if (!entry.empty()) entries.push_back(std::move(entry));
  }
  entries.push_back("HOME=" + state);
  entries.push_back("QUILLO_HOME=" + state);
  entries.push_back("XDG_RUNTIME_DIR=" + state);
  entries.push_back("QT_QPA_PLATFORM=offscreen");
  entries.push_back("QUILLO_REPORT_SHOWN=1");
  entries.push_back("QUILLO_DISABLE_SESSION_ACTIONS=1");
  return entries;
}

Child Spawn(const std::vector<std::string>& args, const std::vector<std::string>& environment) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const std::string& entry : environment) envp.push_back(const_cast<char*>(entry.c_str()));
  envp.push_back(nullptr);
  Child child;
  if (posix_spawn(&child.pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
    child.pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  child.output = pipeFds[0];
  return child;
}

// Reads the child's output up to the line "shown"; false when the output ended first.
bool WaitUntilShown(const Child& child) {
  std::string seen;
  char buffer[256];
  for (;;) {
    ssize_t n = read(child.output, buffer, sizeof buffer);
    if (n <= 0) return false;
    seen.append(buffer, static_cast<size_t>(n));
    if (seen.find("shown\n") != std::string::npos) return true;
  }
}

long ResidentKilobytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.starts_with("VmRSS:")) return std::stol(line.substr(6));
  return -1;
}

void End(Child& child) {
  if (child.pid > 0) {
    kill(child.pid, SIGKILL);
    waitpid(child.pid, nullptr, 0);
  }
  if (child.output >= 0) close(child.output);
  child = {};
}

int RunToEnd(const std::vector<std::string>& args, const std::vector<std::string>& environment) {
  Child child = Spawn(args, environment);
  if (child.pid <= 0) return -1;
  char buffer[256];
  while (read(child.output, buffer, sizeof buffer) > 0) {
  }
  int status = 0;
  waitpid(child.pid, &status, 0);
  close(child.output);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A state folder with the libraries registered and a data file the bar loads at start.
class Stage {
 public:
  Stage() {
    char pattern[] = "/tmp/quillo-startup-bench-XXXXXX";
    folder_ = mkdtemp(pattern) ? pattern : "";
    environment_ = ChildEnvironment(folder_);
    std::vector<std::string> regsvr = {VOK_REGSVR};
    for (const char* library :
         {VOK_LIB_ENGINE, VOK_LIB_TOOLS, VOK_LIB_CMDLINE, VOK_LIB_CTL, VOK_LIB_FILEVIEW})
      regsvr.push_back(library);
    ok_ = !folder_.empty() && RunToEnd(regsvr, environment_) == 0 &&
          RunToEnd({VOK_QUILLO, "--headless", "--data", folder_ + "/bench.qdx", "--save", "--exec",
                    "dock"},
                   environment_) == 0;
  }
  ~Stage() {
    if (!folder_.empty()) std::filesystem::remove_all(folder_);
  }
  bool Ok() const { return ok_; }
  const std::vector<std::string>& Environment() const { return environment_; }

 private:
  std::string folder_;
  std::vector<std::string> environment_;
  bool ok_ = false;
};

struct Measure {
  double seconds = 0;
  long rssKb = -1;
};

// Starts `program`, times it to "shown", optionally idles and reads its memory, and ends it.
bool StartAndMeasure(const char* program, const Stage& stage, bool readMemory, Measure* out) {
  const Clock::time_point start = Clock::now();
  Child child = Spawn({program}, stage.Environment());
  if (child.pid <= 0) return false;
  const bool shown = WaitUntilShown(child);
  out->seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (shown && readMemory) {
    std::this_thread::sleep_for(kIdle);
    out->rssKb = ResidentKilobytes(child.pid);
  }
  End(child);
  return shown;
}

void BM_StartupToShownAgainstMinimalQt(benchmark::State& state) {
  Stage stage;
  if (!stage.Ok()) {
    state.SkipWithError("could not prepare the state folder (libraries, data file)");
    return;
  }
  double quillo = 0;
  double minimal = 0;
  for (auto _ : state) {
    Measure bar;
    Measure yardstick;
    if (!StartAndMeasure(VOK_QUILLO, stage, false, &bar) ||
        !StartAndMeasure(VOK_MINIMAL_QT, stage, false, &yardstick)) {
      state.SkipWithError("a program ended before its window was shown");
      return;
    }
    quillo += bar.seconds;
    minimal += yardstick.seconds;
    state.SetIterationTime(bar.seconds);
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["quillo_ms"] = quillo / runs * 1e3;
  state.counters["minimal_ms"] = minimal / runs * 1e3;
  state.counters["ratio"] = minimal > 0 ? quillo / minimal : 0;
}
BENCHMARK(BM_StartupToShownAgainstMinimalQt)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

void BM_IdleMemoryAgainstMinimalQt(benchmark::State& state) {
  Stage stage;
  if (!stage.Ok()) {
    state.SkipWithError("could not prepare the state folder (libraries, data file)");
    return;
  }
  long quillo = 0;
  long minimal = 0;
  for (auto _ : state) {
    Measure bar;
    Measure yardstick;
    if (!StartAndMeasure(VOK_QUILLO, stage, true, &bar) ||
        !StartAndMeasure(VOK_MINIMAL_QT, stage, true, &yardstick) || bar.rssKb < 0 ||
        yardstick.rssKb < 0) {
      state.SkipWithError("a program ended before its memory could be read");
      return;
    }
    quillo += bar.rssKb;
    minimal += yardstick.rssKb;
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["quillo_rss_kb"] = static_cast<double>(quillo) / runs;
  state.counters["minimal_rss_kb"] = static_cast<double>(minimal) / runs;
  state.counters["ratio"] = minimal > 0 ? static_cast<double>(quillo) / minimal : 0;
}
BENCHMARK(BM_IdleMemoryAgainstMinimalQt)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
