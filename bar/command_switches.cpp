#include "bar/command_switches.h"

#include "common/text_util.h"

namespace vok::bar {

Switch FindSwitch(const std::string& commandLine) {
  size_t mark = commandLine.find_first_of("-/");
  while (mark != std::string::npos) {
    const std::string rest = commandLine.substr(mark + 1);
    if (EqualsNoCase(rest, "UnregServer")) return Switch::kUnregServer;
    if (EqualsNoCase(rest, "RegServer")) return Switch::kRegServer;
    mark = commandLine.find_first_of("-/", mark + 1);
  }
  return Switch::kNone;
}

std::string JoinArguments(int argc, const char* const* argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return line;
}

}  // namespace vok::bar
