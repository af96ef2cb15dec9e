#include "cmdline/smart_completion.h"

#include <algorithm>
#include <cstddef>

#include "common/text_util.h"

namespace vok::cmdline {
namespace {

// The word being typed: where it starts in the line and what surrounds it.
struct TypedWord {
  size_t start = 0;
  bool firstWord = false;
  bool wildcard = false;
  bool quoteOpen = false;
};

bool HasWildcard(std::string_view text) { return text.find_first_of("*?") != text.npos; }

std::string_view Trimmed(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\n\r";
  size_t begin = text.find_first_not_of(kBlanks);
  if (begin == text.npos) return {};
  return text.substr(begin, text.find_last_not_of(kBlanks) - begin + 1);
}

// The word runs back from the end of the line to the nearest double quote or, outside quotes,
// the nearest blank. Blanks inside an open quote belong to the word.
std::optional<TypedWord> FindTypedWord(std::string_view line) {
  TypedWord word;
  word.quoteOpen = std::count(line.begin(), line.end(), '"') % 2 == 1;
  size_t start = line.size();
  while (start > 0) {
    const char c = line[start - 1];
    if (c == '"' || (c == ' ' && !word.quoteOpen)) break;
    --start;
  }
  if (start == line.size()) return std::nullopt;
  word.start = start;
  // An opening quote at the very start still leaves the word the first one of the line.
  word.firstWord = start == 0 || (start == 1 && line[0] == '"');
  word.wildcard = HasWildcard(line.substr(start));
  return word;
}

// A completion replaces the word; one that does not begin with it would lose typed text.
bool Extends(std::string_view completion, std::string_view word) {
  if (!completion.empty() && completion.front() == '"') completion.remove_prefix(1);
  const std::string upper = ToUpper(completion);
  return std::string_view(upper).starts_with(ToUpper(word));
}

std::optional<std::string> FromHistory(const std::vector<std::string>& history,
                                       const std::string& pattern, bool wordHasWildcard) {
  for (const std::string& entry : history) {
    std::string_view spelled = Trimmed(entry);
    if (spelled.empty()) continue;
    const std::string upper = ToUpper(spelled);
    // The comparison takes '*' and '?' on either side as wildcards: where the user typed one,
    // or an old line holds one, only an equal entry counts.
    const bool matches =
        HasWildcard(upper) || wordHasWildcard ? upper == pattern : WildcardMatch(pattern, upper);
    if (matches) return std::string(spelled);
  }
  return std::nullopt;
}

}  // namespace

bool ShouldComplete(std::string_view text, size_t previousLength) {
  return text.size() > previousLength && text.size() >= 2 && text.back() != '*';
}

std::optional<Completion> CompleteLine(std::string_view typed,
                                       const std::vector<std::string>& history,
                                       const CompletionSwitches& switches,
                                       CompletionSources& sources) {
  if (typed.size() > kMaxCompletableBytes) return std::nullopt;
  const std::optional<TypedWord> word = FindTypedWord(typed);
  if (!word) return std::nullopt;
  const std::string_view wordText = typed.substr(word->start);
  const std::string pattern = ToUpper(wordText) + '*';

  std::optional<std::string> found;
  size_t replaceFrom = word->start;
  std::ptrdiff_t selectionShift = 0;
  const auto accept = [&](std::optional<std::string> candidate) {
    if (candidate && !candidate->empty() && Extends(*candidate, wordText))
      found = std::move(candidate);
  };

  if (switches.history && word->firstWord) accept(FromHistory(history, pattern, word->wildcard));
  if (!found && switches.commands && !word->wildcard)
    accept(sources.MatchCommand(pattern, word->firstWord));
  if (!found && switches.files && !word->wildcard) {
    accept(sources.MatchFile(pattern));
    if (found) {
      const bool quoted = found->front() == '"';
      if (!quoted && word->quoteOpen) {
        // An unquoted name needs no quote: it takes the open quote's place.
        --replaceFrom;
        selectionShift = -1;
      } else if (quoted && word->quoteOpen) {
        found->erase(0, 1);
      } else if (quoted) {
        selectionShift = 1;
      }
    }
  }
  if (!found) return std::nullopt;

  Completion completion;
  completion.text.assign(typed.substr(0, replaceFrom));
  completion.text.append(*found);
  completion.text.resize(Utf8PrefixLength(completion.text, kMaxCompletedBytes));
  const std::ptrdiff_t start = static_cast<std::ptrdiff_t>(typed.size()) + selectionShift;
  completion.selectionStart = std::min(static_cast<size_t>(start), completion.text.size());
  return completion;
}

}  // namespace vok::cmdline
