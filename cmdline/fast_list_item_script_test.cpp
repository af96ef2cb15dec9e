#include "cmdline/fast_list_item_script.h"

#include <gtest/gtest.h>

#include "cmdline/items_test_support.h"

namespace {

using vok::test::Record;
using vok::test::Saved;

using ScriptItemTest = vok::test::ItemTest<vokFastListItemScript, IvokFastListItemScript>;

TEST_F(ScriptItemTest, RecordIsVersionThreeByteForByte) {
  EXPECT_EQ(Saved(item_.Get()), Record()
                                    .Long(3)
                                    .Str("")
                                    .ULong(200)
                                    .Str("")
                                    .Str("")
                                    .Long(0)
                                    .Long(1)
                                    .Str("")
                                    .Str("")
                                    .ULong(1)
                                    .Bytes())
      << "defaults: VBScript, toolbar shown, the page hosts the script";
  item_->SetStrKey("hi");
  item_->put_ItemData(kScriptJavaScript);
  typed_->SetDescr("greets");
  typed_->SetScript("alert(1);");
  typed_->SetEntryPoint("Main");
  typed_->SetWndTitle("Hello");
  typed_->put_ShowBrowserWindow(1);
  typed_->put_ShowIEToolbar(0);
  typed_->put_ActiveXScriptHost(0);
  EXPECT_EQ(Saved(item_.Get()),
            vok::test::Bytes({3,   0,   0,   0,   2,   0,   0,   0,   'h', 'i', 201, 0, 0, 0,
                              6,   0,   0,   0,   'g', 'r', 'e', 'e', 't', 's', 9,   0, 0, 0,
                              'a', 'l', 'e', 'r', 't', '(', '1', ')', ';', 1,   0,   0, 0, 0,
                              0,   0,   0,   4,   0,   0,   0,   'M', 'a', 'i', 'n', 5, 0, 0,
                              0,   'H', 'e', 'l', 'l', 'o', 0,   0,   0,   0}));
}

// A record of `version` holds the fields of that version; loading it gives the item those
// fields and the defaults of the later ones.
class ScriptVersionTest : public ScriptItemTest, public testing::WithParamInterface<LONG> {};

TEST_P(ScriptVersionTest, ReadsTheFieldsOfItsVersionAndDefaultsTheRest) {
  const LONG version = GetParam();
  Record stored, expected;
  stored.Long(version).Str("k").ULong(kScriptPython).Str("d");
  expected.Long(3).Str("k").ULong(kScriptPython).Str("d");
  if (version > 0) stored.Str("src").Long(1).Long(0);
  expected.Str(version > 0 ? "src" : "").Long(version > 0 ? 1 : 0).Long(version > 0 ? 0 : 1);
  if (version > 1) stored.Str("ep").Str("title");
  expected.Str(version > 1 ? "ep" : "").Str(version > 1 ? "title" : "");
  if (version > 2) stored.ULong(0);
  expected.ULong(version > 2 ? 0 : 1);

  typed_->SetScript("old source");
  typed_->put_ActiveXScriptHost(0);
  std::vector<uint8_t> bytes = stored.Bytes();
  const size_t recordSize = bytes.size();
  bytes.insert(bytes.end(), {9, 9, 9, 9});  // the next record stays unread
  EXPECT_EQ(vok::test::LoadFrom(item_.Get(), bytes), std::make_pair(S_OK, recordSize));
  EXPECT_EQ(persist_->IsDirty(), S_FALSE);
  EXPECT_EQ(Saved(item_.Get()), expected.Bytes());
}

INSTANTIATE_TEST_SUITE_P(Versions, ScriptVersionTest, testing::Values(0, 1, 2, 3));

TEST_F(ScriptItemTest, NumberSettersMarkDirtyOnlyOnChange) {
  const std::pair<std::function<void(LONG)>, LONG> setters[] = {
      {[&](LONG v) { typed_->put_ShowBrowserWindow(v); }, 0},
      {[&](LONG v) { typed_->put_ShowIEToolbar(v); }, 1},
      {[&](LONG v) { typed_->put_ActiveXScriptHost(static_cast<ULONG>(v)); }, 1},
  };
  for (const auto& [set, defaultValue] : setters) {
    SCOPED_TRACE(defaultValue);
    set(defaultValue);
    EXPECT_EQ(persist_->IsDirty(), S_FALSE);
    set(1 - defaultValue);
    EXPECT_EQ(persist_->IsDirty(), S_OK);
    Saved(item_.Get(), 1);
    EXPECT_EQ(persist_->IsDirty(), S_FALSE);
    set(defaultValue);
    Saved(item_.Get(), 1);
  }
}

TEST_F(ScriptItemTest, LanguageColumnAndImage) {
  auto columns = QueryAs<IvokFastListItemColumns>(item_.Get());
  const std::pair<ULONG, const char*> languages[] = {{kScriptVBScript, "VBScript"},
                                                     {kScriptJavaScript, "JavaScript"},
                                                     {kScriptPerlScript, "PerlScript"},
                                                     {kScriptPython, "PythonScript"},
                                                     {204, ""},
                                                     {100, ""}};
  for (const auto& [type, name] : languages) {
    SCOPED_TRACE(type);
    item_->put_ItemData(type);
    char buffer[512] = "stale text";
    EXPECT_EQ(columns->GetColumnText(1, buffer), S_OK);
    EXPECT_STREQ(buffer, name);
  }
  LONG image = 0;
  EXPECT_EQ(columns->GetImage(&image), S_OK);
  EXPECT_EQ(image, 6);
}

}  // namespace
