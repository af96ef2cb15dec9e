#include "cmdline/fast_list_item_alias.h"

#include <gtest/gtest.h>

#include "cmdline/items_test_support.h"

namespace {

using vok::cmdline::FirstLineSummary;
using vok::test::Record;
using vok::test::Saved;

using AliasItemTest = vok::test::ItemTest<vokFastListItemAlias, IvokFastListItemAlias>;

TEST_F(AliasItemTest, RecordIsWrittenByteForByte) {
  EXPECT_EQ(Saved(item_.Get()), Record().Long(0).Str("").ULong(100).Str("").Str("").Bytes())
      << "a new alias carries the alias type";
  item_->SetStrKey("ed");
  typed_->SetAlias("vi %1\r\ndir");
  typed_->SetDescr("edit");
  EXPECT_EQ(Saved(item_.Get()),
            vok::test::Bytes({0,    0,   0,   0,   2, 0, 0,   0,   'e', 'd', 100, 0,
                              0,    0,   10,  0,   0, 0, 'v', 'i', ' ', '%', '1', '\r',
                              '\n', 'd', 'i', 'r', 4, 0, 0,   0,   'e', 'd', 'i', 't'}));
}

TEST_F(AliasItemTest, StoredTextsLongerThanTheLimitsAreCutAndConsumed) {
  const std::vector<uint8_t> bytes = Record()
                                         .Long(0)
                                         .Str(std::string(600, 'k'))
                                         .ULong(100)
                                         .Str(std::string(6000, 'd'))
                                         .Str(std::string(510, 'e') + "ü")
                                         .Bytes();
  EXPECT_EQ(vok::test::LoadFrom(item_.Get(), bytes), std::make_pair(S_OK, bytes.size()));
  EXPECT_EQ(Saved(item_.Get()), Record()
                                    .Long(0)
                                    .Str(std::string(511, 'k'))
                                    .ULong(100)
                                    .Str(std::string(5119, 'd'))
                                    .Str(std::string(510, 'e'))
                                    .Bytes());
}

TEST_F(AliasItemTest, ColumnsShowTheShortenedDefinition) {
  typed_->SetAlias("vi %1\r\nls");
  typed_->SetDescr("edit");
  auto columns = QueryAs<IvokFastListItemColumns>(item_.Get());
  char buffer[512];
  EXPECT_EQ(columns->GetColumnText(1, buffer), S_OK);
  EXPECT_STREQ(buffer, "vi %1 ...");
  EXPECT_EQ(columns->GetColumnText(2, buffer), S_OK);
  EXPECT_STREQ(buffer, "edit");
  LONG image = 0;
  EXPECT_EQ(columns->GetImage(&image), S_OK);
  EXPECT_EQ(image, 4);
}

struct SummaryCase {
  const char* name;
  std::string definition;
  std::string expected;
};

class FirstLineSummaryTest : public testing::TestWithParam<SummaryCase> {};

TEST_P(FirstLineSummaryTest, ShortensToTheFirstLine) {
  EXPECT_EQ(FirstLineSummary(GetParam().definition), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FirstLineSummaryTest,
    testing::Values(SummaryCase{"OneLine", "notepad %1", "notepad %1"},
                    SummaryCase{"SeveralLines", "cd /tmp\r\n# note\r\nls", "cd /tmp ..."},
                    SummaryCase{"BareLineFeedKeepsLastCharacter", "cd /tmp\nls", "cd /tmp ..."},
                    SummaryCase{"EmptyFirstLine", "\r\nls", " ..."},
                    SummaryCase{"TrailingLineBreak", "ls\r\n", "ls ..."},
                    SummaryCase{"MarkFitsExactly", std::string(507, 'a') + "\r\nb",
                                std::string(507, 'a') + " ..."},
                    SummaryCase{"MarkDoesNotFit", std::string(508, 'a') + "\r\nb",
                                std::string(508, 'a')},
                    SummaryCase{"LongLineIsCut", std::string(600, 'a'), std::string(511, 'a')},
                    SummaryCase{"CutKeepsCharactersWhole", std::string(510, 'a') + "é\r\nb",
                                std::string(510, 'a')}),
    [](const testing::TestParamInfo<SummaryCase>& info) { return info.param.name; });

}  // namespace
