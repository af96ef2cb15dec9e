// Smart completion of the command box: while the user types, the word at the end of the line
// is completed from the history (first word only), from the registered commands and from the
// file names of the current directory, and the completed part is selected so that the next
// keystroke overwrites it. Logic only: the panel supplies the text, its list entries and the
// two outside sources.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vok::cmdline {

// A line longer than this (bytes) is left as typed.
inline constexpr size_t kMaxCompletableBytes = 509;
// Longest command-box text (bytes); a completion is cut to it.
inline constexpr size_t kMaxCompletedBytes = 511;

// The engine's three completion settings.
struct CompletionSwitches {
  bool history = true;
  bool commands = true;
  bool files = true;
};

// The outside sources. Patterns are upper-cased words followed by '*'.
class CompletionSources {
 public:
  virtual ~CompletionSources() = default;
  // The first registered command word matching `pattern` as its source spells it; commands
  // that complete only the first word of a line are offered only when `firstWord` is set.
  virtual std::optional<std::string> MatchCommand(const std::string& pattern, bool firstWord) = 0;
  // The first name of the current directory matching `pattern`, in double quotes when it
  // holds a blank.
  virtual std::optional<std::string> MatchFile(const std::string& pattern) = 0;
};

struct Completion {
  std::string text;           // the new command-box text
  size_t selectionStart = 0;  // bytes; the selection runs to the end of `text`
  bool operator==(const Completion&) const = default;
};

// Whether an edit that left `text` in the box should be completed: the text grew since the
// last edit (previousLength bytes), has at least two bytes and does not end in '*'.
bool ShouldComplete(std::string_view text, size_t previousLength);

// Completes the word at the end of `typed`. `history` holds the command box's list entries,
// top (newest) first. Nothing when the line is too long, the word is empty or no enabled
// source offers a completion that extends the word.
std::optional<Completion> CompleteLine(std::string_view typed,
                                       const std::vector<std::string>& history,
                                       const CompletionSwitches& switches,
                                       CompletionSources& sources);

}  // namespace vok::cmdline
