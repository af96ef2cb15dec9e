#include "platform/system/process_runner.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>
#include <thread>

extern char** environ;

namespace vok::sys {
namespace {

bool IsExecutableFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Owns the posix_spawn attribute and file-action objects of one start.
class SpawnSetup {
 public:
  SpawnSetup() {
    posix_spawnattr_init(&attr_);
    posix_spawn_file_actions_init(&actions_);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attr_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  // The child gets its own session (so it outlives the bar's terminal and can be killed as a
  // group), default signal handling and an empty signal mask, whatever the bar set up.
  bool Prepare(const std::string& workDir) {
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    if (posix_spawnattr_setflags(
            &attr_, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) != 0 ||
        posix_spawnattr_setsigmask(&attr_, &none) != 0 ||
        posix_spawnattr_setsigdefault(&attr_, &all) != 0)
      return false;
    if (!workDir.empty() && posix_spawn_file_actions_addchdir_np(&actions_, workDir.c_str()) != 0)
      return false;
    return true;
  }

  bool NullInput() {
    return posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0) == 0;
  }
  bool NullOutput() {
    return posix_spawn_file_actions_addopen(&actions_, 1, "/dev/null", O_WRONLY, 0) == 0 &&
           posix_spawn_file_actions_adddup2(&actions_, 1, 2) == 0;
  }
  bool OutputTo(int fd) {
    return posix_spawn_file_actions_adddup2(&actions_, fd, 1) == 0 &&
           posix_spawn_file_actions_adddup2(&actions_, fd, 2) == 0;
  }
  // Nothing but the three standard streams reaches the child.
  bool CloseOthers() { return posix_spawn_file_actions_addclosefrom_np(&actions_, 3) == 0; }

  // posix_spawn (not the PATH-searching variant): the program is already resolved, and no
  // fallback ever hands a file to /bin/sh.
  pid_t Spawn(const std::string& program, const std::vector<std::string>& argv) {
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions_, &attr_, args.data(), environ) != 0) return -1;
    return pid;
  }

 private:
  posix_spawnattr_t attr_;
  posix_spawn_file_actions_t actions_;
};

int WaitForExit(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  ~FileDescriptor() { Reset(); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  void Reset() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

class PosixProcessRunner final : public ProcessRunner {
 public:
  bool StartDetached(const std::vector<std::string>& argv, const std::string& workDir) override {
    if (argv.empty()) return false;
    std::optional<std::string> program = FindProgram(argv[0]);
    if (!program || (!workDir.empty() && !IsDirectory(workDir))) return false;
    SpawnSetup setup;
    if (!setup.Prepare(workDir) || !setup.NullInput() || !setup.NullOutput() ||
        !setup.CloseOthers())
      return false;
    pid_t pid = setup.Spawn(*program, argv);
    if (pid < 0) return false;
    // The program is not waited for, but its exit status must still be collected so that it
    // does not linger as a zombie while the bar runs. Without a thread for that it still runs.
    try {
      std::thread([pid] { WaitForExit(pid); }).detach();
    } catch (const std::system_error&) {
    }
    return true;
  }

  std::optional<RunResult> Run(const std::vector<std::string>& argv, const std::string& workDir,
                               std::chrono::milliseconds timeout) override {
    if (argv.empty()) return std::nullopt;
    std::optional<std::string> program = FindProgram(argv[0]);
    if (!program || (!workDir.empty() && !IsDirectory(workDir))) return std::nullopt;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;
    FileDescriptor readEnd(fds[0]), writeEnd(fds[1]);
    SpawnSetup setup;
    if (!setup.Prepare(workDir) || !setup.NullInput() || !setup.OutputTo(writeEnd.get()) ||
        !setup.CloseOthers())
      return std::nullopt;
    pid_t pid = setup.Spawn(*program, argv);
    if (pid < 0) return std::nullopt;
    writeEnd.Reset();

    RunResult result;
    result.timedOut = !Drain(readEnd.get(), timeout, &result.output);
    if (result.timedOut) kill(-pid, SIGKILL);  // the child leads its own process group
    int status = WaitForExit(pid);
    result.exitStatus = result.timedOut ? -1 : status;
    return result;
  }

  std::optional<std::string> FindProgram(const std::string& name) override {
    const char* path = std::getenv("PATH");
    return FindProgramInPath(name, path ? path : "/usr/local/bin:/usr/bin:/bin");
  }

 private:
  // Reads the child's output until it closes it; false when the deadline passed first.
  static bool Drain(int fd, std::chrono::milliseconds timeout, std::string* output) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    char buffer[4096];
    for (;;) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      pollfd waiting{fd, POLLIN, 0};
      int ready = poll(&waiting, 1, static_cast<int>(left.count()));
      if (ready < 0 && errno == EINTR) continue;
      if (ready <= 0) return false;  // deadline, or a pipe that cannot be watched: stop it
      ssize_t got = read(fd, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return true;
      size_t room = kMaxCapturedOutput - std::min(kMaxCapturedOutput, output->size());
      output->append(buffer, std::min(room, static_cast<size_t>(got)));
    }
  }
};

PosixProcessRunner& DefaultRunner() {
  static PosixProcessRunner runner;
  return runner;
}

ProcessRunner* g_runner = nullptr;

}  // namespace

std::optional<std::string> FindProgramInPath(const std::string& name,
                                             const std::string& pathValue) {
  if (name.empty()) return std::nullopt;
  if (name.find('/') != std::string::npos) {
    if (IsExecutableFile(name)) return name;
    return std::nullopt;
  }
  size_t start = 0;
  while (start <= pathValue.size()) {
    size_t end = pathValue.find(':', start);
    if (end == std::string::npos) end = pathValue.size();
    std::string dir = pathValue.substr(start, end - start);
    if (!dir.empty()) {
      std::string candidate = dir + (dir.back() == '/' ? "" : "/") + name;
      if (IsExecutableFile(candidate)) return candidate;
    }
    start = end + 1;
  }
  return std::nullopt;
}

ProcessRunner& CurrentProcessRunner() { return g_runner ? *g_runner : DefaultRunner(); }

ProcessRunner* SetProcessRunner(ProcessRunner* runner) {
  ProcessRunner* previous = g_runner;
  g_runner = runner;
  return previous;
}

}  // namespace vok::sys
