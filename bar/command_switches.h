// The program's command-line switches "RegServer" and "UnregServer", after "-" or "/".
#pragma once

#include <string>

namespace vok::bar {

enum class Switch { kNone, kRegServer, kUnregServer };

// Scans `commandLine` (the arguments joined by blanks) for a switch: after each "-" or "/" in
// turn, the whole rest of the line is compared with "UnregServer" and "RegServer" without
// regard to letter case; the first match wins. Anything after the switch word, blanks
// included, makes the comparison fail, so such a line starts the bar normally.
Switch FindSwitch(const std::string& commandLine);

// The arguments after the program name, joined by single blanks.
std::string JoinArguments(int argc, const char* const* argv);

}  // namespace vok::bar
