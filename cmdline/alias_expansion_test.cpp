#include "cmdline/alias_expansion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vok::cmdline {
namespace {

struct ExpansionCase {
  const char* name;
  std::string definition;
  std::vector<std::string> arguments;
  std::string expected;
};

class AliasExpansionTest : public testing::TestWithParam<ExpansionCase> {};

TEST_P(AliasExpansionTest, ReplacesPlaceholders) {
  const ExpansionCase& c = GetParam();
  EXPECT_EQ(c.expected, ExpandAlias(c.definition, c.arguments));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AliasExpansionTest,
    testing::Values(
        // The blank that replaced the digit stays after the argument.
        ExpansionCase{"TrailingPlaceholder", "notepad %1", {"readme.txt"}, "notepad readme.txt "},
        ExpansionCase{"LeadingPlaceholder", "%1 x", {"a"}, "a  x"},
        // The second argument is missing: only its blank remains.
        ExpansionCase{"MissingArgument", "copy %1 %2", {"a"}, "copy a   "},
        ExpansionCase{"LonePercentDropped", "100% sure", {}, "100 sure"},
        ExpansionCase{"PercentRunIsOneSeparator", "a%%%1b", {"X"}, "aX b"},
        ExpansionCase{"AdjacentPlaceholders", "%1%2", {"a", "b"}, "a b "},
        ExpansionCase{"ZeroIsNoPlaceholder", "%0 %a", {"x"}, "0 a"},
        ExpansionCase{"NinthArgument",
                      "run %9",
                      {"1", "2", "3", "4", "5", "6", "7", "8", "nine"},
                      "run nine "},
        ExpansionCase{"OnlyPercent", "%", {"a"}, ""},
        ExpansionCase{"EndsWithPercents", "end%%", {"a"}, "end"},
        ExpansionCase{"NoPlaceholders", "cd /tmp\r\nls", {"a"}, "cd /tmp\r\nls"},
        ExpansionCase{"ArgumentUsedTwice", "%1-%1", {"q"}, "q -q "},
        ExpansionCase{"Utf8Untouched", "caf\xC3\xA9 %1", {"\xC3\xBC"}, "caf\xC3\xA9 \xC3\xBC "}),
    [](const testing::TestParamInfo<ExpansionCase>& info) { return info.param.name; });

TEST(AliasExpansionLimitTest, OutputIsCutAtTheBufferSize) {
  std::string definition;
  while (definition.size() + 2 < 5119) definition += "%1";
  std::string expanded = ExpandAlias(definition, {std::string(500, 'x')});
  EXPECT_EQ(kAliasOutputSize - 1, expanded.size());
}

TEST(AliasExpansionLimitTest, CutNeverSplitsACharacterAndStopsAppending) {
  // 15359 bytes of two-byte characters cannot fill the buffer exactly: the cut keeps whole
  // characters, and the shorter pieces after it are not appended after a gap.
  std::string wide;
  while (wide.size() < kAliasOutputSize) wide += "\xC3\xA9";
  std::string expanded = ExpandAlias("%1%2 tail", {wide, "b"});
  EXPECT_EQ(kAliasOutputSize - 2, expanded.size());
  EXPECT_EQ(wide.substr(0, kAliasOutputSize - 2), expanded);
}

struct LinesCase {
  const char* name;
  std::string expanded;
  bool firstLineOnly;
  std::vector<std::string> expected;
};

class AliasLinesTest : public testing::TestWithParam<LinesCase> {};

TEST_P(AliasLinesTest, SplitsIntoCommandLines) {
  const LinesCase& c = GetParam();
  std::vector<std::string> lines;
  for (std::string_view line : AliasCommandLines(c.expanded, c.firstLineOnly))
    lines.emplace_back(line);
  EXPECT_EQ(c.expected, lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AliasLinesTest,
    testing::Values(
        LinesCase{"CommentSkipped", "cd /tmp\r\n# comment\r\nls", false, {"cd /tmp\r", "ls"}},
        LinesCase{"FirstLineOnly", "cd /tmp\r\n# comment\r\nls", true, {"cd /tmp\r"}},
        // The first line is the only one considered, even when it does not run.
        LinesCase{"FirstLineIsComment", "# c\r\nls", true, {}},
        LinesCase{"BlankLinesSkipped", " \t\r\n\r\n\n  ls -l\n", false, {"ls -l"}},
        LinesCase{"LeadingBlanksRemoved", "  \tcd /", false, {"cd /"}},
        LinesCase{"IndentedComment", "   #x\nrun", false, {"run"}},
        LinesCase{"HashInsideLineKept", "echo a#b", false, {"echo a#b"}},
        LinesCase{"Empty", "", false, {}},
        LinesCase{"TrailingLineBreak", "a\nb\n", false, {"a", "b"}}),
    [](const testing::TestParamInfo<LinesCase>& info) { return info.param.name; });

TEST(RequoteArgumentTest, QuotesOnlyTokensWithBlanks) {
  EXPECT_EQ("a.txt", RequoteArgument("a.txt"));
  EXPECT_EQ("\"my file.txt\"", RequoteArgument("my file.txt"));
  EXPECT_EQ("\"a\tb\"", RequoteArgument("a\tb"));
  EXPECT_EQ("", RequoteArgument(""));
}

}  // namespace
}  // namespace vok::cmdline
