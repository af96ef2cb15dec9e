#include "bar/fast_list_item_log.h"

#include <gtest/gtest.h>

#include "common/memory_stream.h"
#include "common/stream_util.h"

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> out;
  for (int v : values) out.push_back(static_cast<uint8_t>(v));
  return out;
}

// An entry record with the given stored text bytes and type.
std::vector<uint8_t> Record(const std::string& text, ULONG type, LONG version = 0) {
  auto stream = vok::MemoryStream::Create();
  vok::WriteLong(stream.Get(), version);
  vok::WriteULong(stream.Get(), static_cast<ULONG>(text.size()));
  vok::WriteBytes(stream.Get(), text.data(), static_cast<ULONG>(text.size()));
  vok::WriteULong(stream.Get(), type);
  return stream->Bytes();
}

class FastListItemLogTest : public testing::Test {
 protected:
  void SetUp() override {
    startCount_ = vok::ModuleCount().load();
    ASSERT_EQ(vok::CreateObject<vokFastListItemLog>(nullptr, IvokFastListItem::kIID,
                                                    entry_.ReleaseAndGetVoidAddressOf()),
              S_OK);
    persist_ = QueryAs<IPersistStream>(entry_.Get());
    columns_ = QueryAs<IvokFastListItemColumns>(entry_.Get());
    ASSERT_TRUE(persist_ && columns_);
  }
  void TearDown() override {
    entry_ = nullptr;
    persist_ = nullptr;
    columns_ = nullptr;
    EXPECT_EQ(vok::ModuleCount().load(), startCount_) << "objects leaked";
  }

  void Set(const std::string& text, ULONG type) {
    ASSERT_EQ(entry_->SetStrKey(text.c_str()), S_OK);
    ASSERT_EQ(entry_->put_ItemData(type), S_OK);
  }
  // The entry's text and type.
  std::pair<std::string, ULONG> State() {
    char buffer[kFastListKeySize];
    ULONG size = sizeof buffer;
    ULONG type = 0;
    EXPECT_EQ(entry_->GetStrKey(buffer, &size), S_OK);
    EXPECT_EQ(entry_->get_ItemData(&type), S_OK);
    return {std::string(buffer, size), type};
  }
  std::vector<uint8_t> Saved() {
    auto stream = vok::MemoryStream::Create();
    EXPECT_EQ(persist_->Save(stream.Get(), 1), S_OK);
    return stream->Bytes();
  }
  // Loads `bytes`, failing with STG_E_ACCESSDENIED after `budget` bytes when given; the status and
  // how far the entry read.
  std::pair<HRESULT, size_t> Load(std::vector<uint8_t> bytes, size_t budget = SIZE_MAX) {
    auto stream = vok::MemoryStream::Create(std::move(bytes));
    if (budget != SIZE_MAX) stream->FailAfter(budget, STG_E_ACCESSDENIED);
    HRESULT hr = persist_->Load(stream.Get());
    return {hr, stream->Position()};
  }

  ComPtr<IvokFastListItem> entry_;
  ComPtr<IPersistStream> persist_;
  ComPtr<IvokFastListItemColumns> columns_;

 private:
  int32_t startCount_ = 0;
};

TEST_F(FastListItemLogTest, RecordIsVersionTextAndType) {
  EXPECT_EQ(Saved(), Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})) << "a new entry";
  Set("Disk full", 2);
  EXPECT_EQ(Saved(), Bytes({0,   0,   0,   0,   9,   0,   0, 0, 'D', 'i', 's',
                            'k', ' ', 'f', 'u', 'l', 'l', 2, 0, 0,   0}));
  Set("x", 0xFFFFFFFE);
  EXPECT_EQ(Saved(), Bytes({0, 0, 0, 0, 1, 0, 0, 0, 'x', 0xFE, 0xFF, 0xFF, 0xFF}));
  for (size_t budget : {0, 4, 8, 11}) {
    auto output = vok::MemoryStream::Create();
    output->FailAfter(budget, STG_E_MEDIUMFULL);
    EXPECT_EQ(persist_->Save(output.Get(), 1), STG_E_MEDIUMFULL) << budget;
  }
}

TEST_F(FastListItemLogTest, LoadReadsSafelyAndKeepsTheEntryOnFailure) {
  struct Case {
    std::string name;
    std::vector<uint8_t> bytes;
    size_t budget;
    HRESULT status;
    size_t consumed;  // SIZE_MAX: not checked
    std::pair<std::string, ULONG> state;
  };
  const std::pair<std::string, ULONG> kept = {"kept", 1};
  std::vector<uint8_t> overlong = Record(std::string(510, 'a') + "é" + std::string(300, 'z'), 2);
  std::vector<Case> cases = {
      {"negative version reads nothing more", Record("ignored", 2, -1), SIZE_MAX, S_OK, 4, kept},
      {"text ends at a zero byte",
       Record(std::string("ab\0cd", 5), 2),
       SIZE_MAX,
       S_OK,
       17,
       {"ab", 2}},
      {"overlong text is cut on a character boundary",
       overlong,
       SIZE_MAX,
       S_OK,
       overlong.size(),
       {std::string(510, 'a'), 2}},
      {"huge stored length ends at the data's end",
       Bytes({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b'}), SIZE_MAX, STG_E_READFAULT, 10, kept},
  };
  const std::vector<uint8_t> good = Record("replacement", 2);
  for (size_t cut = 0; cut < good.size(); ++cut)
    cases.push_back({"cut at " + std::to_string(cut),
                     {good.begin(), good.begin() + cut},
                     SIZE_MAX,
                     STG_E_READFAULT,
                     cut,
                     kept});
  for (size_t budget : {0, 4, 8, 14})
    cases.push_back({"failing after " + std::to_string(budget), good, budget, STG_E_ACCESSDENIED,
                     SIZE_MAX, kept});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Set("kept", 1);
    auto [status, consumed] = Load(c.bytes, c.budget);
    EXPECT_EQ(status, c.status);
    if (c.consumed != SIZE_MAX) EXPECT_EQ(consumed, c.consumed);
    EXPECT_EQ(State(), c.state);
  }
}

TEST_F(FastListItemLogTest, OneColumnWithTheTextAndAnImageByType) {
  Set("Autohide is on.", 1);
  LONG count = 0;
  EXPECT_EQ(columns_->GetColumnCount(&count), S_OK);
  EXPECT_EQ(count, 1);
  char buffer[kFastListKeySize];
  EXPECT_EQ(columns_->GetColumnText(0, buffer), S_OK);
  EXPECT_STREQ(buffer, "Autohide is on.");
  for (LONG column : {1, -1, 100}) {
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(columns_->GetColumnText(column, buffer), E_INVALIDARG) << column;
    EXPECT_EQ(buffer[0], '#');
  }
  const std::pair<ULONG, LONG> images[] = {{0, vokFastListItemLog::kImagePlain},
                                           {kLogInfo, vokFastListItemLog::kImageInformation},
                                           {kLogError, vokFastListItemLog::kImageError},
                                           {3, -1},
                                           {0xFFFFFFFF, -1}};
  for (const auto& [type, image] : images) {
    entry_->put_ItemData(type);
    LONG got = 99;
    EXPECT_EQ(columns_->GetImage(&got), S_OK);
    EXPECT_EQ(got, image) << type;
  }
}

TEST_F(FastListItemLogTest, TextLimitAndNoClone) {
  EXPECT_EQ(entry_->SetStrKey(std::string(511, 'a').c_str()), S_OK);
  EXPECT_EQ(entry_->SetStrKey(std::string(512, 'b').c_str()), E_FAIL);
  EXPECT_EQ(State().first, std::string(511, 'a'));
  IUnknown* clone = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(entry_->Clone(&clone), E_NOTIMPL);
  EXPECT_EQ(clone, nullptr);
}

}  // namespace
