#include "ctl/completion.h"

#include <gtest/gtest.h>

#include "ctl/ctl_test_support.h"

namespace vok::ctl {
namespace {

using Tokens = std::vector<std::string>;

TEST(ParseExtensionListTest, NormalisesEachToken) {
  const struct {
    const char* typed;
    Tokens tokens;
  } cases[] = {{"exe;bat;", {"EXE", "BAT"}},
               {"*.exe; .bat;  com", {"EXE", "BAT", "COM"}},
               {"tar.gz", {"TAR.GZ"}},
               {"ex*", {"EX*"}},
               {"exe bat;txt", {"EXE", "TXT"}},  // a token ends at its first blank
               {"exe;;bat", {"EXE", "BAT"}},     // no empty token, which would match every name
               {" ; *.;.", {}},
               {"", {}},
               {"ö", {"Ö"}}};
  for (const auto& c : cases) EXPECT_EQ(c.tokens, ParseExtensionList(c.typed)) << c.typed;
}

TEST(MatchesPatternTest, WildcardsComeOnlyFromThePattern) {
  const struct {
    const char *pattern, *text;
    bool matches;
  } cases[] = {
      {"SETUP*", "SETUP.EXE", true},
      {"SETUP*", "SETU", false},
      {"SETUP*", "SETUP", true},
      {"S?TUP*", "SETUP.EXE", true},
      {"*.TXT", "NOTES.TXT.BAK", false},
      {"*", "", true},
      {"*X*Y", "AXBXBY", true},  // needs backtracking to the last star
      {"*X*Y", "AXBXB", false},
      {"A?C", "AÖC", true},  // '?' is one character, not one byte
      {"A??C", "AÖC", false},
      {"", "ANYTHING", true},
      {"*.*", "NODOT", true},
      {"ABC", "ABCD", false},
      // A name holding '*' or '?' is literal: it only matches itself or a wildcard.
      {"AB*", "A*", false},
      {"ABC", "A?C", false},
      {"A?C", "A*C", true},
      {"A*", "A*", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.matches, MatchesPattern(c.pattern, c.text)) << c.pattern << " / " << c.text;
}

TEST(CandidateKeyTest, OrdersByBaseThenPreferredExtensionThenName) {
  const Tokens preferred = {"EXE", "BAT"};
  const struct {
    const char *first, *second;
  } ordered[] = {
      {"setup.exe", "setup.bat"},  // preferred position
      {"setup.bat", "setup.txt"},  // listed before unlisted
      {"setup.bat", "setup"},      // no extension counts as unlisted
      {"SETUP.txt", "setup.txt"},  // equal base and rank: the name's bytes decide
      {"abc.txt", "abd.exe"},      // the base decides first
      {"alpha", "Zeta"},           // bases compare upper-cased
      {"AB", "a_b"},               // byte order of "AB" and "A_B"
      {"a.exe", "a.b.exe"},        // the extension is everything after the first dot
  };
  for (const auto& c : ordered) {
    CandidateKey a = MakeCandidateKey(c.first, preferred);
    CandidateKey b = MakeCandidateKey(c.second, preferred);
    EXPECT_TRUE(a.Before(b)) << c.first << " before " << c.second;
    EXPECT_FALSE(b.Before(a)) << c.second << " after " << c.first;
  }
  EXPECT_EQ(kUnlistedExtensionRank, MakeCandidateKey("setup", preferred).rank);
  EXPECT_EQ(1, MakeCandidateKey("x.Bat", preferred).rank);
}

class FindCompletionTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"setup.bat", "setup.exe", "setup.txt", "Setup.obj", ".setup.exe",
                             "my notes.txt", "readme", "a*b", "report.tar.gz", "élan.txt"})
      root_.Touch(name);
    root_.MakeDir("setupdir");
  }
  std::optional<std::string> Find(const char* pattern, const char* excluded = "",
                                  const char* preferred = "", size_t maxName = 255) {
    CompletionLists lists{ParseExtensionList(excluded), ParseExtensionList(preferred)};
    return FindCompletion(root_.path(), pattern, lists, maxName);
  }
  test::TempFolder root_;
};

TEST_F(FindCompletionTest, TakesTheFirstCandidateInOrder) {
  const struct {
    const char *pattern, *excluded, *preferred;
    std::optional<std::string> expected;
  } cases[] = {
      {"SETUP*", "", "exe;bat", "setup.exe"},
      {"SETUP*", "exe", "exe;bat", "setup.bat"},
      {"SETUP*", "", "", "Setup.obj"},    // equal ranks: byte order of the names
      {"SETUP*", "*", "", std::nullopt},  // "*" excludes every name, with an extension or not
      {"SETUP.T*", "", "", "setup.txt"},
      {"setup.e*", "", "", "setup.exe"},  // letter case of the pattern does not matter
      {"SETUPD*", "", "", "setupdir"},    // folders are candidates too
      {"MY*", "", "", "my notes.txt"},
      {"REPORT*", "gz", "", "report.tar.gz"},  // the extension is "TAR.GZ", not "GZ"
      {"REPORT*", "tar.*", "", std::nullopt},
      {"A*", "", "", "a*b"},
      {"ÉLAN*", "", "", "élan.txt"},  // upper-cased beyond ASCII
      {"EL*", "", "", std::nullopt},
      {"A?B", "", "", "a*b"},
      {".SETUP*", "", "", std::nullopt},  // hidden names are never offered
      {"NOTHING*", "", "", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.expected, Find(c.pattern, c.excluded, c.preferred))
        << c.pattern << " excl=" << c.excluded << " pref=" << c.preferred;
}

TEST_F(FindCompletionTest, SkipsNamesTooLongToReturnAndUnreadableFolders) {
  EXPECT_EQ("setupdir", Find("SETUP*", "", "", 8));
  EXPECT_EQ(std::nullopt, FindCompletion(root_.path() + "/missing", "*", {}, 255));
}

}  // namespace
}  // namespace vok::ctl
