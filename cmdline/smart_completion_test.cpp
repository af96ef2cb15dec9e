#include "cmdline/smart_completion.h"

#include <gtest/gtest.h>

namespace vok::cmdline {
namespace {

// Answers from the case and records every question ("cmd CO* first", "file MA*").
class FakeSources final : public CompletionSources {
 public:
  std::optional<std::string> command, file;
  std::string calls;

  std::optional<std::string> MatchCommand(const std::string& pattern, bool firstWord) override {
    Record("cmd " + pattern + (firstWord ? " first" : ""));
    return command;
  }
  std::optional<std::string> MatchFile(const std::string& pattern) override {
    Record("file " + pattern);
    return file;
  }

 private:
  void Record(const std::string& call) { calls += (calls.empty() ? "" : "|") + call; }
};

struct CompletionCase {
  const char* name;
  std::string typed;
  std::vector<std::string> history;
  std::optional<std::string> command, file;  // the sources' answers
  std::optional<Completion> expected;
  std::string calls;             // the questions asked, joined by "|"
  const char* switches = "hcf";  // history, commands, files
};

std::string Line(size_t bytes, const std::string& word) {
  return "ls " + std::string(bytes - 4 - word.size(), 'x') + " " + word;
}

using C = Completion;
const auto kNone = std::nullopt;

// clang-format off
const CompletionCase kCases[] = {
  {"EmptyWordAfterBlank", "ls ", {"ls -l"}, "x", "y", kNone, ""},
  {"HistoryWinsForTheFirstWord", "co", {"  ", "cd /tmp", "  copy a b "}, "color", "corn",
   C{"copy a b", 2}, ""},
  {"HistoryKeepsTheEntrysSpelling", "CO", {"Copy x"}, kNone, kNone, C{"Copy x", 2}, ""},
  {"HistoryOnlyForTheFirstWord", "x co", {"copy a b"}, "copy", kNone, C{"x copy", 4}, "cmd CO*"},
  {"HistorySwitchedOff", "co", {"copy a b"}, "copy", kNone, C{"copy", 2}, "cmd CO* first", "cf"},
  {"WildcardInAnEntryNeedsEquality", "de", {"del *.tmp", "dir"}, "del", kNone, C{"del", 2},
   "cmd DE* first"},
  {"WildcardWordMatchesOnlyAnEqualEntry", "c?", {"cd x", "c?*"}, "cd", "cat", C{"c?*", 2}, ""},
  {"WildcardWordAsksNoOtherSource", "ls m?", {}, "md", "my", kNone, ""},
  {"CommandsBeforeFiles", "ls ma", {}, "map", "makefile", C{"ls map", 5}, "cmd MA*"},
  {"CommandsSwitchedOff", "ls ma", {}, "map", "makefile", C{"ls makefile", 5}, "file MA*", "hf"},
  {"FilesWhenNoCommandMatches", "ls ma", {}, kNone, "Makefile", C{"ls Makefile", 5},
   "cmd MA*|file MA*"},
  {"FilesSwitchedOff", "ls ma", {}, kNone, "Makefile", kNone, "cmd MA*", "hc"},
  {"QuotedNameAfterAnOpenQuoteDropsItsQuote", "ls \"my", {}, kNone, "\"my file.txt\"",
   C{"ls \"my file.txt\"", 6}, "cmd MY*|file MY*"},
  {"QuotedNameWithoutOpenQuoteShiftsTheSelection", "ls my", {}, kNone, "\"my file.txt\"",
   C{"ls \"my file.txt\"", 6}, "cmd MY*|file MY*"},
  {"PlainNameTakesTheOpenQuotesPlace", "ls \"ma", {}, kNone, "makefile", C{"ls makefile", 5},
   "cmd MA*|file MA*"},
  {"BlanksInsideAnOpenQuoteBelongToTheWord", "ls \"my fi", {}, kNone, "\"my file.txt\"",
   C{"ls \"my file.txt\"", 9}, "cmd MY FI*|file MY FI*"},
  {"OpeningQuoteKeepsTheFirstWord", "\"co", {}, "copy", kNone, C{"\"copy", 3}, "cmd CO* first",
   "cf"},
  {"LeadingBlankEndsTheFirstWord", " co", {"copy"}, "copy", kNone, C{" copy", 3}, "cmd CO*"},
  {"CompletionThatDropsTypedTextIsRefused", "ls abc", {}, "a*", "ab", kNone,
   "cmd ABC*|file ABC*"},
  {"LongestCompletableLine", Line(509, "ab"), {}, kNone, "abc", C{Line(510, "abc"), 509},
   "cmd AB*|file AB*"},
  {"LineOf510BytesIsLeftAlone", Line(510, "ab"), {}, "abc", "abc", kNone, ""},
  {"CompletionIsCutTo511Bytes", Line(509, "ab"), {}, kNone, "ab" + std::string(10, 'c'),
   C{Line(509, "ab") + "cc", 509}, "cmd AB*|file AB*"},
};
// clang-format on

class CompleteLineTest : public testing::TestWithParam<CompletionCase> {};

TEST_P(CompleteLineTest, Completes) {
  const CompletionCase& c = GetParam();
  FakeSources sources;
  sources.command = c.command;
  sources.file = c.file;
  const std::string_view on = c.switches;
  const CompletionSwitches switches{on.find('h') != on.npos, on.find('c') != on.npos,
                                    on.find('f') != on.npos};
  EXPECT_EQ(c.expected, CompleteLine(c.typed, c.history, switches, sources));
  EXPECT_EQ(c.calls, sources.calls);
}

INSTANTIATE_TEST_SUITE_P(Cases, CompleteLineTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ShouldCompleteTest, OnlyWhenTheTextGrewToTwoBytesWithoutTrailingStar) {
  const struct {
    const char* text;
    size_t previous;
    bool expected;
  } kCases[] = {
      {"c", 0, false},  {"co", 1, true}, {"co", 2, false},  {"co", 5, false},
      {"c*", 1, false}, {"*", 0, false}, {"cd x", 3, true}, {"ls *.t", 5, true},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(c.expected, ShouldComplete(c.text, c.previous)) << c.text << " after " << c.previous;
}

}  // namespace
}  // namespace vok::cmdline
