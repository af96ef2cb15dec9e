#include "platform/shell/shell.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/shell/paths.h"
#include "platform/system/process_runner.h"

namespace vok::shell {
namespace {

namespace fs = std::filesystem;
using sys::CurrentProcessRunner;
using sys::ProcessRunner;

// `lp` only queues the job; it answers quickly.
constexpr std::chrono::milliseconds kPrintTimeout{30000};

std::string CurrentDirectory() {
  std::error_code error;
  fs::path cwd = fs::current_path(error);
  return error ? std::string("/") : cwd.string();
}

bool IsDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

bool IsExecutableFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// A working directory the start can use: `workDir` when it is a folder, else none.
std::string UsableWorkDir(const std::string& workDir) {
  return IsDirectory(workDir) ? workDir : std::string();
}

bool DesktopOpen(const std::string& what, const std::string& workDir) {
  return CurrentProcessRunner().StartDetached({"xdg-open", what}, UsableWorkDir(workDir));
}

bool Print(const std::string& file) {
  ProcessRunner& runner = CurrentProcessRunner();
  if (!runner.FindProgram("lp")) return false;
  std::optional<sys::RunResult> result = runner.Run({"lp", "--", file}, {}, kPrintTimeout);
  return result && result->exitStatus == 0;
}

bool OpenExisting(const std::string& path, Verb verb, const std::string& workDir) {
  switch (verb) {
    case Verb::kPrint:
      return !IsDirectory(path) && Print(path);
    case Verb::kExplore:
      return DesktopOpen(IsDirectory(path) ? path : fs::path(path).parent_path().string(), workDir);
    case Verb::kOpen:
      break;
  }
  // A file that claims to be executable but is no program the kernel can run (a document on
  // a volume that marks every file executable) still opens with its application.
  if (IsExecutableFile(path) &&
      CurrentProcessRunner().StartDetached({path}, UsableWorkDir(workDir)))
    return true;
  return DesktopOpen(path, workDir);
}

// The executable `program` names, as Open resolves it; empty when it names none.
std::string ResolveProgram(const std::string& program, const std::string& base) {
  std::string path = FullPath(program, base);
  if (Exists(path)) return IsExecutableFile(path) ? path : std::string();
  if (program.find('/') != std::string::npos) return {};
  return CurrentProcessRunner().FindProgram(program).value_or(std::string());
}

}  // namespace

bool IsUrl(const std::string& text) {
  size_t colon = text.find(':');
  if (colon == std::string::npos || colon < 2 || colon + 1 >= text.size()) return false;
  for (size_t i = 0; i < colon; ++i) {
    char c = text[i];
    bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    if (!(alpha || (i > 0 && other))) return false;
  }
  return true;
}

bool Open(const std::string& target, Verb verb, const std::string& workDir) {
  if (target.empty()) return false;
  const std::string base = workDir.empty() ? CurrentDirectory() : workDir;
  std::string path = FullPath(target, base);
  if (Exists(path)) return OpenExisting(path, verb, base);
  if (verb == Verb::kOpen && target.find('/') == std::string::npos) {
    if (std::optional<std::string> program = CurrentProcessRunner().FindProgram(target))
      return CurrentProcessRunner().StartDetached({*program}, UsableWorkDir(base));
  }
  if (verb != Verb::kPrint && IsUrl(target)) return DesktopOpen(target, base);
  return false;
}

bool OpenWithArguments(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& workDir) {
  if (program.empty()) return false;
  const std::string base = workDir.empty() ? CurrentDirectory() : workDir;
  std::string executable = ResolveProgram(program, base);
  if (executable.empty()) return Open(program, Verb::kOpen, base);
  std::vector<std::string> argv{executable};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return CurrentProcessRunner().StartDetached(argv, UsableWorkDir(base));
}

}  // namespace vok::shell
