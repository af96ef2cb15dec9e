#include "bar/fast_list_item_log.h"

#include <gtest/gtest.h>

#include "common/class_ids.h"
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
  std::string Text() {
    char buffer[kFastListKeySize];
    ULONG size = sizeof buffer;
    EXPECT_EQ(entry_->GetStrKey(buffer, &size), S_OK);
    return std::string(buffer, size);
  }
  ULONG Type() {
    ULONG type = 0;
    EXPECT_EQ(entry_->get_ItemData(&type), S_OK);
    return type;
  }
  std::vector<uint8_t> Saved() {
    auto stream = vok::MemoryStream::Create();
    EXPECT_EQ(persist_->Save(stream.Get(), 1), S_OK);
    return stream->Bytes();
  }
  // Loads `bytes`; the status and how far the entry read.
  std::pair<HRESULT, size_t> Load(std::vector<uint8_t> bytes) {
    auto stream = vok::MemoryStream::Create(std::move(bytes));
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
}

TEST_F(FastListItemLogTest, CutRecordFailsWithReadFaultAndKeepsTheEntry) {
  Set("kept", 1);
  const std::vector<uint8_t> bytes = Record("replacement", 2);
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    SCOPED_TRACE(cut);
    EXPECT_EQ(Load({bytes.begin(), bytes.begin() + cut}).first, STG_E_READFAULT);
    EXPECT_EQ(Text(), "kept");
    EXPECT_EQ(Type(), 1u);
  }
}

TEST_F(FastListItemLogTest, UnusualRecordsAreReadSafely) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    HRESULT status;
    size_t consumed;
    std::string text;
    ULONG type;
  };
  std::vector<uint8_t> overlong = Record(std::string(510, 'a') + "é" + std::string(300, 'z'), 2);
  const Case cases[] = {
      {"negative version reads nothing more", Record("ignored", 2, -1), S_OK, 4, "kept", 1},
      {"text ends at a zero byte", Record(std::string("ab\0cd", 5), 2), S_OK, 17, "ab", 2},
      {"overlong text is cut on a character boundary", overlong, S_OK, overlong.size(),
       std::string(510, 'a'), 2},
      {"huge stored length ends at the data's end",
       Bytes({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b'}), STG_E_READFAULT, 10, "kept", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Set("kept", 1);
    EXPECT_EQ(Load(c.bytes), std::make_pair(c.status, c.consumed));
    EXPECT_EQ(Text(), c.text);
    EXPECT_EQ(Type(), c.type);
  }
}

TEST_F(FastListItemLogTest, StreamFailuresPassThrough) {
  Set("abc", 1);
  for (size_t budget : {0, 4, 8, 11, 14}) {
    SCOPED_TRACE(budget);
    auto output = vok::MemoryStream::Create();
    output->FailAfter(budget, STG_E_MEDIUMFULL);
    EXPECT_EQ(persist_->Save(output.Get(), 1), STG_E_MEDIUMFULL);
    auto input = vok::MemoryStream::Create(Record("xyz", 2));
    input->FailAfter(budget, STG_E_ACCESSDENIED);
    EXPECT_EQ(persist_->Load(input.Get()), STG_E_ACCESSDENIED);
    EXPECT_EQ(Text(), "abc");
  }
}

TEST_F(FastListItemLogTest, ImageFollowsTheEntryType) {
  const std::pair<ULONG, LONG> cases[] = {
      {0, vokFastListItemLog::kImagePlain},
      {kLogInfo, vokFastListItemLog::kImageInformation},
      {kLogError, vokFastListItemLog::kImageError},
      {3, -1},
      {0xFFFFFFFF, -1},
  };
  for (const auto& [type, image] : cases) {
    SCOPED_TRACE(type);
    entry_->put_ItemData(type);
    LONG got = 99;
    EXPECT_EQ(columns_->GetImage(&got), S_OK);
    EXPECT_EQ(got, image);
  }
}

TEST_F(FastListItemLogTest, OneColumnHoldingTheText) {
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
}

TEST_F(FastListItemLogTest, TextLimitAndFixedAnswers) {
  EXPECT_EQ(entry_->SetStrKey(std::string(511, 'a').c_str()), S_OK);
  EXPECT_EQ(entry_->SetStrKey(std::string(512, 'b').c_str()), E_FAIL);
  EXPECT_EQ(Text(), std::string(511, 'a'));
  CLSID clsid = GUID_NULL;
  EXPECT_EQ(persist_->GetClassID(&clsid), S_OK);
  EXPECT_EQ(clsid, vok::clsid::kFastListItemLog);
  Set("changed", 2);
  EXPECT_EQ(persist_->IsDirty(), S_FALSE);
  ULARGE_INTEGER size = {77};
  EXPECT_EQ(persist_->GetSizeMax(&size), S_OK);
  EXPECT_EQ(size.QuadPart, 0u);
  IUnknown* clone = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(entry_->Clone(&clone), E_NOTIMPL);
  EXPECT_EQ(clone, nullptr);
}

}  // namespace
