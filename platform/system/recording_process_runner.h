// Test doubles for the process, session and device seams: they record what would have been
// started and answer from a script, so no test ever launches a real program, ends the session
// or touches a real device.
#pragma once

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/system/media_eject.h"
#include "platform/system/process_runner.h"
#include "platform/system/session_control.h"

namespace vok::sys::test {

struct ProcessCall {
  bool detached = false;
  std::vector<std::string> argv;
  std::string workDir;
};

class RecordingProcessRunner final : public ProcessRunner {
 public:
  // Program names FindProgram finds (as "/usr/bin/NAME"); other names holding a "/" are looked
  // up on disk as the real runner would.
  std::set<std::string> installed;
  // Results of Run for a program name, in order; when none is left an installed program exits
  // with 0 and empty output.
  std::map<std::string, std::deque<RunResult>> results;
  // Programs whose start fails although they are installed.
  std::set<std::string> failingStarts;

  std::vector<ProcessCall> calls;

  inline static const std::string kBin = "/usr/bin/";

  bool StartDetached(const std::vector<std::string>& argv, const std::string& workDir) override {
    calls.push_back({true, argv, workDir});
    return !argv.empty() && FindProgram(argv[0]) && !failingStarts.count(argv[0]);
  }

  std::optional<RunResult> Run(const std::vector<std::string>& argv, const std::string& workDir,
                               std::chrono::milliseconds) override {
    calls.push_back({false, argv, workDir});
    if (argv.empty() || !FindProgram(argv[0]) || failingStarts.count(argv[0])) return std::nullopt;
    std::deque<RunResult>& queue = results[argv[0]];
    if (queue.empty()) return RunResult{0, {}, false};
    RunResult result = queue.front();
    queue.pop_front();
    return result;
  }

  std::optional<std::string> FindProgram(const std::string& name) override {
    if (name.rfind(kBin, 0) == 0 && installed.count(name.substr(kBin.size()))) return name;
    if (name.find('/') != std::string::npos) return FindProgramInPath(name, "");
    if (installed.count(name)) return kBin + name;
    return std::nullopt;
  }

  // The argument vectors of every call, in order.
  std::vector<std::vector<std::string>> Commands() const {
    std::vector<std::vector<std::string>> commands;
    for (const ProcessCall& call : calls) commands.push_back(call.argv);
    return commands;
  }
};

class RecordingSessionControl final : public SessionControl {
 public:
  bool accept = true;
  std::vector<SessionAction> performed;

  bool Perform(SessionAction action) override {
    performed.push_back(action);
    return accept;
  }
};

class FakeBlockDevices final : public BlockDevices {
 public:
  std::map<std::string, DriveKind> kinds;
  bool ejectSucceeds = true;
  std::vector<std::string> ejected;

  DriveKind KindOf(const std::string& device) override {
    auto found = kinds.find(device);
    return found == kinds.end() ? DriveKind::kNone : found->second;
  }
  bool EjectOptical(const std::string& device) override {
    ejected.push_back(device);
    return ejectSucceeds;
  }
};

}  // namespace vok::sys::test
