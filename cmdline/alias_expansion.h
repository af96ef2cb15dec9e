// Expansion of an alias definition into the command lines it runs: the placeholders %1..%9
// are replaced by the arguments typed after the alias name, then the text is split into lines,
// leaving out blank lines and comments. Pure functions, no engine state.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vok::cmdline {

// Room of the expanded text, zero included: at most kAliasOutputSize - 1 bytes come out.
inline constexpr size_t kAliasOutputSize = 15360;

// Expands `definition`. It is split at every run of '%'; when the character after a run is a
// digit 1..9, the digit becomes a blank and argument digit - 1 is inserted before it (nothing
// when that argument was not typed); any other character after a run stays, so a lone '%' is
// dropped. arguments[0] is the first argument after the alias name. The result is cut on a
// character boundary at kAliasOutputSize - 1 bytes; nothing is appended after a cut.
std::string ExpandAlias(std::string_view definition, const std::vector<std::string>& arguments);

// The command lines of an expanded alias, in order. Lines end at '\n' (a '\r' before it stays
// with the line). Lines made only of blanks, tabs, carriage returns and line feeds are left out;
// leading blanks and tabs are removed; a line that then starts with '#' is a comment and left
// out. With `firstLineOnly` only the first line is considered (so the result may be empty).
// The views point into `expanded`.
std::vector<std::string_view> AliasCommandLines(std::string_view expanded, bool firstLineOnly);

// `token` as it must appear in a command line to be read back as one token: wrapped in double
// quotes when it holds a blank or a tab (the parser dropped the quotes it was typed with).
std::string RequoteArgument(std::string_view token);

}  // namespace vok::cmdline
