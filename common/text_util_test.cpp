#include "common/text_util.h"

#include <gtest/gtest.h>

#include <string>

namespace vok {
namespace {

struct CopyCase {
  const char* text;
  ULONG room;
  const char* expected;
  ULONG expectedSize;
};

class CopyToBufferTest : public testing::TestWithParam<CopyCase> {};

TEST_P(CopyToBufferTest, FollowsCallerBufferConvention) {
  const CopyCase& c = GetParam();
  char buffer[64];
  std::memset(buffer, 'x', sizeof buffer);
  ULONG size = c.room;
  ASSERT_EQ(S_OK, CopyToBuffer(c.text, buffer, &size));
  EXPECT_EQ(c.expectedSize, size);
  if (c.room > 0) {
    EXPECT_STREQ(c.expected, buffer);
  } else {
    EXPECT_EQ('x', buffer[0]) << "a size of 0 must write nothing";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CopyToBufferTest,
    testing::Values(CopyCase{"abcdef", 0, "", 0}, CopyCase{"abcdef", 1, "", 0},
                    CopyCase{"abcdef", 4, "abc", 3}, CopyCase{"abcdef", 7, "abcdef", 6},
                    CopyCase{"abcdef", 50, "abcdef", 6},
                    // "é" is two bytes: a cut inside it drops the whole character.
                    CopyCase{"ab\xC3\xA9", 4, "ab", 2}, CopyCase{"ab\xC3\xA9", 5, "ab\xC3\xA9", 4},
                    // "€" is three bytes.
                    CopyCase{"\xE2\x82\xAC"
                             "x",
                             3, "", 0},
                    CopyCase{"\xE2\x82\xAC"
                             "x",
                             4, "\xE2\x82\xAC", 3}));

TEST(CopyToBufferTest, NullArgumentsAreRefused) {
  char buffer[4];
  EXPECT_EQ(E_POINTER, CopyToBuffer("x", buffer, nullptr));
  ULONG size = 4;
  EXPECT_EQ(E_POINTER, CopyToBuffer("x", nullptr, &size));
}

TEST(CopyToFixedBufferTest, CutsOnCharacterBoundary) {
  char buffer[4];
  CopyToFixedBuffer("a\xC3\xA9\xC3\xA9", buffer, sizeof buffer);
  EXPECT_STREQ("a\xC3\xA9", buffer);
}

struct CaseMapping {
  const char* lower;
  const char* upper;
};

class CaseMappingTest : public testing::TestWithParam<CaseMapping> {};

TEST_P(CaseMappingTest, MapsBothWays) {
  EXPECT_EQ(GetParam().upper, ToUpper(GetParam().lower));
  EXPECT_EQ(GetParam().lower, ToLower(GetParam().upper));
}

INSTANTIATE_TEST_SUITE_P(Letters, CaseMappingTest,
                         testing::Values(CaseMapping{"cd ..", "CD .."},
                                         CaseMapping{"\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89"},
                                         CaseMapping{"\xC5\x82\xC3\xB3"
                                                     "d\xC5\xBA",
                                                     "\xC5\x81\xC3\x93"
                                                     "D\xC5\xB9"},
                                         CaseMapping{"\xCE\xB1\xCE\xB2", "\xCE\x91\xCE\x92"},
                                         CaseMapping{"\xD0\xB4\xD0\xB0", "\xD0\x94\xD0\x90"},
                                         CaseMapping{"123-_", "123-_"}));

TEST(CaseMappingTest, InvalidUtf8PassesUnchanged) {
  const std::string broken =
      "a\xC3"
      "b\xFF";
  EXPECT_EQ(
      "A\xC3"
      "B\xFF",
      ToUpper(broken));
}

TEST(DecodeUtf8Test, AcceptsOnlyWellFormedSequences) {
  const std::pair<std::string, bool> cases[] = {
      {"A", true},
      {"\xC3\xA9", true},
      {"\xF0\x9F\x98\x80", true},
      {"\xC0\xAF", false},      // overlong "/"
      {"\xED\xA0\x80", false},  // surrogate
      {"\xC3", false},
      {"\x80", false},
      {"\xF4\x90\x80\x80", false},  // above U+10FFFF
  };
  for (const auto& [text, valid] : cases) {
    size_t i = 0;
    char32_t cp = 0;
    EXPECT_EQ(valid, DecodeUtf8(text, &i, &cp)) << testing::PrintToString(text);
    EXPECT_EQ(valid ? text.size() : 0u, i);
    if (valid) {
      std::string again;
      AppendUtf8(cp, &again);
      EXPECT_EQ(text, again);
    }
  }
}

TEST(EqualsNoCaseTest, ComparesWithoutCase) {
  EXPECT_TRUE(EqualsNoCase("Hello", "hELLO"));
  EXPECT_TRUE(EqualsNoCase("\xC3\x89t\xC3\xA9", "\xC3\xA9T\xC3\x89"));
  EXPECT_FALSE(EqualsNoCase("Hello", "Hell"));
}

struct WildcardCase {
  const char* pattern;
  const char* name;
  bool matches;
};

class WildcardTest : public testing::TestWithParam<WildcardCase> {};

TEST_P(WildcardTest, Matches) {
  const WildcardCase& c = GetParam();
  EXPECT_EQ(c.matches, WildcardMatch(c.pattern, c.name)) << c.pattern << " vs " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WildcardTest,
    testing::Values(WildcardCase{"", "ANYTHING", true}, WildcardCase{"*", "x", true},
                    WildcardCase{"*.*", "noext", true}, WildcardCase{"abc", "*", true},
                    WildcardCase{"abc", "*.*", true}, WildcardCase{"CD", "cd", true},
                    WildcardCase{"C*", "CD", true}, WildcardCase{"C*", "DIR", false},
                    WildcardCase{"C?", "CD", true}, WildcardCase{"C?", "CDX", false},
                    WildcardCase{"*IR", "DIR", true}, WildcardCase{"D*R*", "DIRECTOR", true},
                    WildcardCase{"D*X", "DIRECTOR", false},
                    // Wildcards count in the name as well as in the pattern.
                    WildcardCase{"HELLO", "HE*", true}, WildcardCase{"HELLO", "H?LLO", true},
                    WildcardCase{"HELLO", "H?LO", false},
                    // '?' stands for one character, not one byte.
                    WildcardCase{"\xC3\xA9?", "\xC3\x89X", true},
                    WildcardCase{"?", "\xC3\xA9", true}, WildcardCase{"ab", "abc", false},
                    WildcardCase{"abc", "ab", false}));

}  // namespace
}  // namespace vok
