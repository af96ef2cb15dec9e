#include "engine/command_parser.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/vok_object.h"

namespace vok {
namespace {

using Tokens = std::vector<std::string>;

// Takes over one task-allocated string.
std::string Adopt(char* text) {
  std::string copy = text ? text : "";
  CoTaskMemFree(text);
  return copy;
}

// Reads every remaining token with Next(1).
Tokens Drain(IvokEnumArgs* args) {
  Tokens tokens;
  char* token = nullptr;
  while (args->Next(1, &token, nullptr) == S_OK) tokens.push_back(Adopt(token));
  EXPECT_EQ(token, nullptr);
  return tokens;
}

class CommandParserTest : public testing::Test {
 protected:
  void SetUp() override {
    startCount_ = ModuleCount().load();
    ASSERT_EQ(
        CreateCommandParser(nullptr, IvokCommandParser::kIID, parser_.ReleaseAndGetVoidAddressOf()),
        S_OK);
    args_ = QueryAs<IvokEnumArgs>(parser_.Get());
    ASSERT_TRUE(args_);
  }
  void TearDown() override {
    parser_ = nullptr;
    args_ = nullptr;
    EXPECT_EQ(ModuleCount().load(), startCount_);
  }

  Tokens ParseAll(const std::string& line) {
    EXPECT_EQ(parser_->Parse(line.c_str()), S_OK);
    return Drain(args_.Get());
  }

  // Argument k the way every handler reads it: Reset, Skip(k + 1), Next(1).
  std::optional<std::string> Argument(ULONG k) {
    args_->Reset();
    args_->Skip(k + 1);
    char* token = nullptr;
    if (args_->Next(1, &token, nullptr) != S_OK) return std::nullopt;
    return Adopt(token);
  }

  std::string AllArguments(const std::string& prefix) {
    LONG length = 0;
    parser_->get_CmdLen(&length);
    std::string buffer(prefix.size() + length + 1, '#');
    std::memcpy(buffer.data(), prefix.c_str(), prefix.size() + 1);
    EXPECT_EQ(parser_->GetAllArguments(buffer.data()), S_OK);
    return buffer.c_str();
  }

  int32_t startCount_ = 0;
  ComPtr<IvokCommandParser> parser_;
  ComPtr<IvokEnumArgs> args_;
};

struct TokenCase {
  const char* line;
  Tokens tokens;
};
void PrintTo(const TokenCase& c, std::ostream* os) { *os << '[' << c.line << ']'; }

class TokenizeTest : public CommandParserTest, public testing::WithParamInterface<TokenCase> {};

TEST_P(TokenizeTest, SplitsLineIntoTokens) {
  EXPECT_EQ(ParseAll(GetParam().line), GetParam().tokens) << "line: " << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    DocumentedExamples, TokenizeTest,
    testing::Values(TokenCase{"cd ..", {"cd", ".."}}, TokenCase{"  cd   ..  ", {"cd", ".."}},
                    TokenCase{R"(open "c:\program files\x.exe" -a)",
                              {"open", R"(c:\program files\x.exe)", "-a"}},
                    TokenCase{R"(dir c:\my docs\a.txt)", {"dir", R"(c:\my docs\a.txt)"}},
                    TokenCase{R"(cd c:\program files)", {"cd", R"(c:\program)", "files"}},
                    TokenCase{R"(run c:\a b)", {"run", R"(c:\a)", "b"}},
                    TokenCase{R"(go c:\x y.z w)", {"go", R"(c:\x y.z)", "w"}},
                    TokenCase{R"(go c:\a b\e d f)", {"go", R"(c:\a b\e)", "d", "f"}},
                    TokenCase{R"(x c:\a b:e d)", {"x", R"(c:\a)", "b:e", "d"}},
                    TokenCase{R"(x c:\a\\b e f)", {"x", R"(c:\a\\b)", "e", "f"}},
                    TokenCase{"cd c: x", {"cd", "c:", "x"}},
                    TokenCase{R"(x a"b"c)", {"x", "a", "b", "c"}}, TokenCase{R"(x "")", {"x"}},
                    TokenCase{R"(x "abc)", {"x", "abc"}}, TokenCase{"x a.b d", {"x", "a.b", "d"}}));

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, TokenizeTest,
    testing::Values(
        TokenCase{"", {}}, TokenCase{" \t\r\n ", {}},
        TokenCase{"a\tb\nc\rd   e", {"a", "b", "c", "d", "e"}},
        TokenCase{"\t\t a \r\n\n b\t", {"a", "b"}},
        // Quotes: alone, empty, unterminated at the last byte, around separators, back to back.
        TokenCase{"\"", {}}, TokenCase{"x \"", {"x"}}, TokenCase{"\"\" x", {"x"}},
        TokenCase{"a\"\"b", {"a", "b"}}, TokenCase{"x \"a\tb  c\" y", {"x", "a\tb  c", "y"}},
        TokenCase{"x \"a\"\"b\"", {"x", "a", "b"}}, TokenCase{"\"cmd\"arg", {"cmd", "arg"}},
        // Path mode at the very end, right before a quote, with several colons, UNC-like.
        TokenCase{R"(x \)", {"x", R"(\)"}}, TokenCase{"x :", {"x", ":"}},
        TokenCase{R"(x :\ a)", {"x", R"(:\)", "a"}}, TokenCase{R"(x c:"d e")", {"x", "c:", "d e"}},
        TokenCase{"x a:b:c", {"x", "a:b:c"}}, TokenCase{"x a:b:c d", {"x", "a:b:c", "d"}},
        TokenCase{R"(x \\srv\share a)", {"x", R"(\\srv\share)", "a"}},
        TokenCase{R"(x c:\a\ b)", {"x", R"(c:\a\)", "b"}},
        // Linux paths have no backslash or colon: a blank splits them unless quoted.
        TokenCase{"ls /home/a b/c.txt", {"ls", "/home/a", "b/c.txt"}},
        TokenCase{"ls \"/home/a b/c.txt\"", {"ls", "/home/a b/c.txt"}},
        TokenCase{"open ~/x\xC3\xA9.txt", {"open", "~/x\xC3\xA9.txt"}}));

TEST_F(CommandParserTest, LongTokensAreKeptWhole) {
  const std::string word(2000, 'w');
  const std::string quoted = "a " + std::string(700, 'q') + " b";
  EXPECT_EQ(ParseAll("cmd " + word + " \"" + quoted + "\""), (Tokens{"cmd", word, quoted}));
  EXPECT_EQ(AllArguments(""), " " + word + " " + quoted);
}

TEST_F(CommandParserTest, CmdLenCountsBytesOfTheLine) {
  LONG length = -1;
  EXPECT_EQ(parser_->get_CmdLen(&length), S_OK);
  EXPECT_EQ(length, 0);
  parser_->Parse("cd ..");
  parser_->get_CmdLen(&length);
  EXPECT_EQ(length, 5);
  parser_->Parse("   \t ");
  parser_->get_CmdLen(&length);
  EXPECT_EQ(length, 5);
  EXPECT_EQ(parser_->get_CmdLen(nullptr), E_POINTER);
}

TEST_F(CommandParserTest, GetCommandLineReturnsTheLineVerbatim) {
  const char* line = "  open \"a b\"\tc:\\x  ";
  ASSERT_EQ(parser_->Parse(line), S_OK);
  std::string buffer(std::strlen(line) + 1, '#');
  EXPECT_EQ(parser_->GetCommandLine(buffer.data()), S_OK);
  EXPECT_STREQ(buffer.c_str(), line);
  EXPECT_EQ(parser_->GetCommandLine(nullptr), E_POINTER);
}

TEST_F(CommandParserTest, GetAllArgumentsAppendsEachArgumentAfterOneBlank) {
  parser_->Parse(R"(open "c:\program files\x.exe"   -a)");
  EXPECT_EQ(AllArguments("pre"), R"(pre c:\program files\x.exe -a)");
  parser_->Parse("  cd  ");
  EXPECT_EQ(AllArguments("keep"), "keep");
  EXPECT_EQ(parser_->GetAllArguments(nullptr), E_POINTER);
}

TEST_F(CommandParserTest, ReadsArgumentsByIndex) {
  parser_->Parse("copy a.txt \"b c\"");
  EXPECT_EQ(Argument(0), "a.txt");
  EXPECT_EQ(Argument(1), "b c");
  EXPECT_EQ(Argument(2), std::nullopt);
  EXPECT_EQ(Argument(50), std::nullopt);
}

TEST_F(CommandParserTest, NextChecksPointersAndState) {
  char* slots[3] = {};
  ULONG fetched = 7;
  EXPECT_EQ(args_->Next(1, slots, &fetched), E_FAIL);  // nothing parsed yet
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(args_->Skip(1), E_FAIL);
  parser_->Parse("a b");
  EXPECT_EQ(args_->Next(1, nullptr, &fetched), E_POINTER);
  EXPECT_EQ(args_->Next(2, slots, nullptr), E_POINTER);
  EXPECT_EQ(args_->Next(0, slots, nullptr), E_POINTER);
  EXPECT_EQ(args_->Next(0, slots, &fetched), S_OK);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(args_->Next(1, slots, nullptr), S_OK);  // one token needs no count
  EXPECT_EQ(Adopt(slots[0]), "a");
}

TEST_F(CommandParserTest, NextFetchesAtMostWhatIsLeft) {
  parser_->Parse("a b c");
  char* slots[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(args_->Next(2, slots, &fetched), S_OK);
  EXPECT_EQ(fetched, 2u);
  EXPECT_EQ(Adopt(slots[0]), "a");
  EXPECT_EQ(Adopt(slots[1]), "b");
  EXPECT_EQ(args_->Next(3, slots, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 1u);
  EXPECT_EQ(Adopt(slots[0]), "c");
  EXPECT_EQ(args_->Next(1, slots, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(slots[0], nullptr);
}

TEST_F(CommandParserTest, SkipStopsAtTheEnd) {
  parser_->Parse("a b c");
  EXPECT_EQ(args_->Skip(3), S_OK);  // exactly to the end
  EXPECT_EQ(args_->Reset(), S_OK);
  EXPECT_EQ(args_->Skip(1), S_OK);
  EXPECT_EQ(args_->Skip(0xFFFFFFFFu), S_FALSE);
  char* token = reinterpret_cast<char*>(1);
  ULONG fetched = 9;
  EXPECT_EQ(args_->Next(1, &token, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(token, nullptr);
  args_->Reset();
  EXPECT_EQ(Drain(args_.Get()), (Tokens{"a", "b", "c"}));
}

TEST_F(CommandParserTest, ParseResetsTheEnumeratorAndClearForgetsEverything) {
  parser_->Parse("a b");
  char* token = nullptr;
  args_->Next(1, &token, nullptr);
  CoTaskMemFree(token);
  EXPECT_EQ(ParseAll("c d"), (Tokens{"c", "d"}));

  EXPECT_EQ(parser_->Clear(), S_OK);
  LONG length = -1;
  parser_->get_CmdLen(&length);
  EXPECT_EQ(length, 0);
  char buffer[8] = "xxxxxxx";
  parser_->GetCommandLine(buffer);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(args_->Next(1, &token, nullptr), E_FAIL);

  EXPECT_EQ(parser_->Parse(nullptr), E_POINTER);
  EXPECT_EQ(args_->Next(1, &token, nullptr), E_FAIL);
}

TEST_F(CommandParserTest, CloneStartsAtTheSamePositionAndMovesOnItsOwn) {
  parser_->Parse("a b c");
  args_->Skip(1);
  ComPtr<IvokEnumArgs> clone;
  ASSERT_EQ(args_->Clone(clone.ReleaseAndGetAddressOf()), S_OK);
  EXPECT_EQ(Drain(clone.Get()), (Tokens{"b", "c"}));
  EXPECT_EQ(Drain(args_.Get()), (Tokens{"b", "c"}));
  clone->Reset();
  ComPtr<IvokEnumArgs> cloneOfClone;
  ASSERT_EQ(clone->Clone(cloneOfClone.ReleaseAndGetAddressOf()), S_OK);
  EXPECT_EQ(Drain(cloneOfClone.Get()), (Tokens{"a", "b", "c"}));
  EXPECT_EQ(args_->Clone(nullptr), E_POINTER);
}

// A clone owns its share of the tokens: it outlives a new Parse, a Clear and the parser.
TEST_F(CommandParserTest, CloneKeepsOldTokensAfterParseClearAndRelease) {
  parser_->Parse("old one");
  ComPtr<IvokEnumArgs> clone;
  ASSERT_EQ(args_->Clone(clone.ReleaseAndGetAddressOf()), S_OK);
  parser_->Parse("new line here");
  EXPECT_EQ(Drain(clone.Get()), (Tokens{"old", "one"}));
  parser_->Clear();
  parser_ = nullptr;
  args_ = nullptr;
  clone->Reset();
  EXPECT_EQ(Drain(clone.Get()), (Tokens{"old", "one"}));
}

TEST_F(CommandParserTest, CloneBeforeParseHasNothingToRead) {
  ComPtr<IvokEnumArgs> clone;
  ASSERT_EQ(args_->Clone(clone.ReleaseAndGetAddressOf()), S_OK);
  parser_->Parse("a");
  char* token = nullptr;
  EXPECT_EQ(clone->Next(1, &token, nullptr), E_FAIL);
}

TEST_F(CommandParserTest, BothInterfacesNameOneObject) {
  EXPECT_EQ(IdentityOf(parser_.Get()).Get(), IdentityOf(args_.Get()).Get());
  EXPECT_EQ(parser_->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(parser_->QueryInterface(IClassFactory::kIID, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
}

TEST(CommandParserCreate, RefusesAggregationAndUnknownInterfaces) {
  const int32_t start = ModuleCount().load();
  void* out = reinterpret_cast<void*>(1);
  ComPtr<IUnknown> outer;
  ASSERT_EQ(CreateCommandParser(nullptr, IID_IUnknown, outer.ReleaseAndGetVoidAddressOf()), S_OK);
  EXPECT_EQ(CreateCommandParser(outer.Get(), IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(CreateCommandParser(nullptr, IClassFactory::kIID, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  outer = nullptr;
  EXPECT_EQ(ModuleCount().load(), start);
}

}  // namespace
}  // namespace vok
