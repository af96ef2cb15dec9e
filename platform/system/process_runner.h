// Starting other programs. Every program Quillo launches (desktop tools, the file manager, the
// terminal, udisksctl, gio, systemctl ...) goes through the process-wide ProcessRunner, so tests
// install a recording fake and nothing real is ever started by a test.
//
// Programs are started with an argument vector, never through a command interpreter: no byte
// of an argument is ever interpreted by a shell.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/com/runtime.h"

namespace vok::sys {

// What a program run to completion left behind.
struct RunResult {
  int exitStatus = -1;  // the exit code; -1 when it was ended by a signal or the timeout
  std::string output;   // standard output and error, interleaved, at most kMaxCapturedOutput
  bool timedOut = false;
};

inline constexpr size_t kMaxCapturedOutput = 64 * 1024;
inline constexpr std::chrono::milliseconds kDefaultRunTimeout{30000};

class ProcessRunner {
 public:
  virtual ~ProcessRunner() = default;

  // Starts argv[0] (a path holding a "/", or a name looked up in PATH) with `argv` in
  // `workDir` (empty: the process's current directory) and does not wait for it. The program
  // inherits the environment, gets /dev/null as its standard streams and its own session.
  // True once the program runs; false when it could not be started (not found, not
  // executable, no such working directory, empty argv).
  virtual bool StartDetached(const std::vector<std::string>& argv, const std::string& workDir) = 0;

  // Runs argv to completion, capturing its output; a program still running after `timeout`
  // is killed (with the processes it started). nullopt when it could not be started.
  virtual std::optional<RunResult> Run(const std::vector<std::string>& argv,
                                       const std::string& workDir,
                                       std::chrono::milliseconds timeout) = 0;

  // The executable `name` stands for: itself when it holds a "/" and is an executable regular
  // file, else the first executable regular file of that name in PATH. Empty PATH entries
  // (the current directory) are never searched.
  virtual std::optional<std::string> FindProgram(const std::string& name) = 0;
};

// The runner in use: the posix_spawn one unless another was installed. Never null.
VOK_PLATFORM_API ProcessRunner& CurrentProcessRunner();
// Installs `runner` (not owned; null restores the default) and returns the previous one.
VOK_PLATFORM_API ProcessRunner* SetProcessRunner(ProcessRunner* runner);

// Looks `name` up as FindProgram describes, in the given PATH value.
VOK_PLATFORM_API std::optional<std::string> FindProgramInPath(const std::string& name,
                                                              const std::string& pathValue);

// Installs a runner for its own lifetime (tests).
class ScopedProcessRunner {
 public:
  explicit ScopedProcessRunner(ProcessRunner* runner) : previous_(SetProcessRunner(runner)) {}
  ~ScopedProcessRunner() { SetProcessRunner(previous_); }
  ScopedProcessRunner(const ScopedProcessRunner&) = delete;
  ScopedProcessRunner& operator=(const ScopedProcessRunner&) = delete;

 private:
  ProcessRunner* previous_;
};

}  // namespace vok::sys
