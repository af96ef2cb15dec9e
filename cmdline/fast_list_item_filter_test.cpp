#include "cmdline/fast_list_item_filter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "cmdline/items_test_support.h"
#include "common/class_ids.h"

namespace {

using vok::test::Saved;

class FilterItemTest : public vok::test::ItemTest<vokFastListItemFilter, IvokFastListItemFilter> {
 protected:
  void Fill(const std::string& key, const std::string& definition, const std::string& descr) {
    ASSERT_EQ(item_->SetStrKey(key.c_str()), S_OK);
    ASSERT_EQ(typed_->SetFilter(definition.c_str()), S_OK);
    ASSERT_EQ(typed_->SetDescr(descr.c_str()), S_OK);
  }
  std::string State() {
    using vok::test::GetText;
    return GetText([&](char* b, ULONG* s) { return item_->GetStrKey(b, s); }) + "|" +
           GetText([&](char* b, ULONG* s) { return typed_->GetFilter(b, s); }) + "|" +
           GetText([&](char* b, ULONG* s) { return typed_->GetDescr(b, s); });
  }
};

TEST_F(FilterItemTest, RecordIsWrittenByteForByteAndSizedExactly) {
  Fill("docs", "*.t", "Tx");
  item_->put_ItemData(7);
  const std::vector<uint8_t> expected =
      vok::test::Bytes({0, 0, 0, 0, 4, 0,   0,   0,   'd', 'o', 'c', 's', 7,   0,  0,
                        0, 3, 0, 0, 0, '*', '.', 't', 2,   0,   0,   0,   'T', 'x'});
  EXPECT_EQ(Saved(item_.Get()), expected);
  ULARGE_INTEGER size{};
  EXPECT_EQ(persist_->GetSizeMax(&size), S_OK);
  EXPECT_EQ(size.QuadPart, expected.size());
  CLSID clsid{};
  EXPECT_EQ(persist_->GetClassID(&clsid), S_OK);
  EXPECT_EQ(clsid, vok::clsid::kFastListItemFilter);

  auto copy = vok::test::Create<vokFastListItemFilter, IvokFastListItem>();
  EXPECT_EQ(vok::test::LoadFrom(copy.Get(), expected), std::make_pair(S_OK, expected.size()));
  EXPECT_EQ(Saved(copy.Get()), expected);
}

TEST_F(FilterItemTest, ChangesMarkTheItemDirtyUntilAClearingSave) {
  EXPECT_EQ(typed_->SetDescr(""), S_OK);
  EXPECT_EQ(persist_->IsDirty(), S_FALSE) << "the same value is no change";
  EXPECT_EQ(typed_->SetFilter("*.c"), S_OK);
  Saved(item_.Get(), 0);
  EXPECT_EQ(persist_->IsDirty(), S_OK);
  Saved(item_.Get(), 1);
  EXPECT_EQ(persist_->IsDirty(), S_FALSE);
}

TEST_F(FilterItemTest, TextsOf512BytesOrMoreAreRefused) {
  const std::string fits(511, 'a');
  const std::string tooLong(512, 'b');
  EXPECT_EQ(typed_->SetFilter(fits.c_str()), S_OK);
  EXPECT_EQ(typed_->SetDescr(fits.c_str()), S_OK);
  EXPECT_EQ(typed_->SetFilter(tooLong.c_str()), E_FAIL);
  EXPECT_EQ(typed_->SetDescr(tooLong.c_str()), E_FAIL);
  EXPECT_EQ(typed_->SetFilter(nullptr), E_POINTER);
  EXPECT_EQ(State(), "|" + fits + "|" + fits);
}

TEST_F(FilterItemTest, ColumnsShowKeyDefinitionAndDescription) {
  Fill("docs", "*.txt;*.doc", "Text files");
  auto columns = QueryAs<IvokFastListItemColumns>(item_.Get());
  LONG count = 0, image = -1;
  EXPECT_EQ(columns->GetColumnCount(&count), S_OK);
  EXPECT_EQ(columns->GetImage(&image), S_OK);
  EXPECT_EQ(std::make_pair(count, image), std::make_pair(3, 0));
  std::string texts;
  char buffer[512];
  for (LONG column = -1; column <= 3; ++column) {
    HRESULT hr = columns->GetColumnText(column, buffer);
    texts += SUCCEEDED(hr) ? std::string(buffer) + "|" : hr == E_INVALIDARG ? "none|" : "?|";
  }
  EXPECT_EQ(texts, "none|docs|*.txt;*.doc|Text files|none|");
}

TEST_F(FilterItemTest, DisplayTextJoinsTheFieldsAndIsCutAt510Bytes) {
  const std::string k511(511, 'k'), k500(500, 'k');
  const struct {
    std::string key, definition, description, expected;
  } cases[] = {
      {"docs", "*.txt;*.doc", "Text files", "docs - Text files (*.txt;*.doc)"},
      {"docs", "*.txt;*.doc", "", "docs (*.txt;*.doc)"},
      {"docs", "*.txt", " \t\n ", "docs (*.txt)"},
      {k511, std::string(511, 'f'), std::string(511, 'd'), std::string(510, 'k')},
      {k500, std::string(20, 'f'), "", k500 + " (" + std::string(8, 'f')},
      {std::string(509, 'k') + "é", "*", "", std::string(509, 'k')},  // no half character
  };
  auto text = QueryAs<IvokFastListItemText>(item_.Get());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected.substr(0, 40));
    Fill(c.key, c.definition, c.description);
    char buffer[512];
    memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(text->GetText(buffer), S_OK);
    EXPECT_EQ(std::string(buffer), c.expected);
    EXPECT_TRUE(
        std::all_of(buffer + c.expected.size(), std::end(buffer), [](char b) { return b == 0; }));
  }
}

}  // namespace
