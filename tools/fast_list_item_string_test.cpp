#include "tools/fast_list_item_string.h"

#include <gtest/gtest.h>

#include "common/class_ids.h"
#include "common/memory_stream.h"
#include "common/stream_util.h"
#include "tools/fast_list_test_util.h"

namespace {

using vok::test::Bytes;

class FastListItemStringTest : public testing::Test {
 protected:
  void SetUp() override {
    startCount_ = vok::ModuleCount().load();
    ASSERT_EQ(vok::CreateObject<vokFastListItemString>(nullptr, IvokFastListItem::kIID,
                                                       item_.ReleaseAndGetVoidAddressOf()),
              S_OK);
    persist_ = QueryAs<IPersistStream>(item_.Get());
  }
  void TearDown() override {
    item_ = nullptr;
    persist_ = nullptr;
    EXPECT_EQ(vok::ModuleCount().load(), startCount_) << "objects leaked";
  }

  std::string Key() {
    char buffer[kFastListKeySize];
    ULONG size = sizeof buffer;
    EXPECT_EQ(item_->GetStrKey(buffer, &size), S_OK);
    return std::string(buffer, size);
  }
  ULONG Data() {
    ULONG data = 0;
    EXPECT_EQ(item_->get_ItemData(&data), S_OK);
    return data;
  }
  std::vector<uint8_t> Saved() {
    auto stream = vok::MemoryStream::Create();
    EXPECT_EQ(persist_->Save(stream.Get(), 1), S_OK);
    return stream->Bytes();
  }
  // Loads `bytes`; returns the status and how far the item read.
  std::pair<HRESULT, size_t> Load(std::vector<uint8_t> bytes) {
    auto stream = vok::MemoryStream::Create(std::move(bytes));
    HRESULT hr = persist_->Load(stream.Get());
    return {hr, stream->Position()};
  }
  // A record with the given stored key bytes and data word.
  static std::vector<uint8_t> Record(const std::string& key, ULONG data, LONG format = 0) {
    auto stream = vok::MemoryStream::Create();
    vok::WriteLong(stream.Get(), format);
    vok::WriteULong(stream.Get(), static_cast<ULONG>(key.size()));
    vok::WriteBytes(stream.Get(), key.data(), static_cast<ULONG>(key.size()));
    vok::WriteULong(stream.Get(), data);
    return stream->Bytes();
  }

  ComPtr<IvokFastListItem> item_;
  ComPtr<IPersistStream> persist_;

 private:
  int32_t startCount_ = 0;
};

TEST_F(FastListItemStringTest, NewItemHasEmptyKeyAndZeroData) {
  EXPECT_EQ(Key(), "");
  EXPECT_EQ(Data(), 0u);
  EXPECT_EQ(Saved(), Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(FastListItemStringTest, RecordIsFormatKeyAndData) {
  ASSERT_EQ(item_->SetStrKey("seven!!"), S_OK);
  ASSERT_EQ(item_->put_ItemData(5), S_OK);
  EXPECT_EQ(Saved(),
            Bytes({0, 0, 0, 0, 7, 0, 0, 0, 's', 'e', 'v', 'e', 'n', '!', '!', 5, 0, 0, 0}));
}

TEST_F(FastListItemStringTest, GetStrKeyFollowsTheCallerBufferConvention) {
  ASSERT_EQ(item_->SetStrKey("abcdef"), S_OK);
  struct Case {
    ULONG size;
    const char* expected;
    ULONG sizeOut;
  };
  for (const Case& c :
       {Case{4, "abc", 3}, Case{1, "", 0}, Case{7, "abcdef", 6}, Case{100, "abcdef", 6}}) {
    SCOPED_TRACE(c.size);
    char buffer[100];
    std::memset(buffer, '#', sizeof buffer);
    ULONG size = c.size;
    EXPECT_EQ(item_->GetStrKey(buffer, &size), S_OK);
    EXPECT_STREQ(buffer, c.expected);
    EXPECT_EQ(size, c.sizeOut);
  }
  char untouched = '#';
  ULONG zero = 0;
  EXPECT_EQ(item_->GetStrKey(&untouched, &zero), S_OK);
  EXPECT_EQ(untouched, '#');
  EXPECT_EQ(zero, 0u);
}

TEST_F(FastListItemStringTest, SetStrKeyAcceptsUpTo511Bytes) {
  EXPECT_EQ(item_->SetStrKey(std::string(511, 'a').c_str()), S_OK);
  EXPECT_EQ(Key(), std::string(511, 'a'));
  EXPECT_EQ(item_->SetStrKey(std::string(512, 'b').c_str()), E_FAIL);
  EXPECT_EQ(item_->SetStrKey(std::string(100000, 'c').c_str()), E_FAIL);
  EXPECT_EQ(Key(), std::string(511, 'a')) << "a refused key leaves the old one";
  EXPECT_EQ(item_->SetStrKey(nullptr), E_POINTER);
}

TEST_F(FastListItemStringTest, RoundTripOfKeyAndData) {
  const std::string key = "Grüße, мир";
  item_->SetStrKey(key.c_str());
  item_->put_ItemData(0xDEADBEEF);
  std::vector<uint8_t> bytes = Saved();
  ComPtr<IvokFastListItem> other;
  vok::CreateObject<vokFastListItemString>(nullptr, IvokFastListItem::kIID,
                                           other.ReleaseAndGetVoidAddressOf());
  item_ = other;
  persist_ = QueryAs<IPersistStream>(other.Get());
  EXPECT_EQ(Load(bytes), std::make_pair(S_OK, bytes.size()));
  EXPECT_EQ(Key(), key);
  EXPECT_EQ(Data(), 0xDEADBEEFu);
}

TEST_F(FastListItemStringTest, StoredKeyEndsAtAZeroByte) {
  std::vector<uint8_t> bytes = Record(std::string("ab\0cd", 5), 9);
  EXPECT_EQ(Load(bytes), std::make_pair(S_OK, bytes.size()));
  EXPECT_EQ(Key(), "ab");
  EXPECT_EQ(Data(), 9u);
}

// A longer stored key is cut like every key the list reads, without splitting a character,
// and the whole record is consumed so that the next record is read from its start.
TEST_F(FastListItemStringTest, OverlongStoredKeyIsCutOnACharacterBoundary) {
  std::string key = std::string(510, 'a') + "é" + std::string(200, 'z');
  std::vector<uint8_t> bytes = Record(key, 42);
  std::vector<uint8_t> next = Record("next", 1);
  bytes.insert(bytes.end(), next.begin(), next.end());
  EXPECT_EQ(Load(bytes), std::make_pair(S_OK, bytes.size() - next.size()));
  EXPECT_EQ(Key(), std::string(510, 'a'));
  EXPECT_EQ(Data(), 42u);
  EXPECT_EQ(Saved(), Record(std::string(510, 'a'), 42)) << "the item holds the cut key";
  EXPECT_EQ(Load(Record(std::string(511, 'b') + "c", 1)).first, S_OK);
  EXPECT_EQ(Key(), std::string(511, 'b'));
}

TEST_F(FastListItemStringTest, NegativeFormatReadsNothingMore) {
  item_->SetStrKey("kept");
  item_->put_ItemData(3);
  EXPECT_EQ(Load(Record("other", 4, -1)), std::make_pair(S_OK, size_t{4}));
  EXPECT_EQ(Key(), "kept");
  EXPECT_EQ(Data(), 3u);
}

TEST_F(FastListItemStringTest, TruncatedRecordFailsAndKeepsTheItem) {
  item_->SetStrKey("kept");
  item_->put_ItemData(3);
  const std::vector<uint8_t> bytes = Record("replacement", 4);
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    SCOPED_TRACE(cut);
    EXPECT_EQ(Load({bytes.begin(), bytes.begin() + cut}).first, STG_E_READFAULT);
    EXPECT_EQ(Key(), "kept");
    EXPECT_EQ(Data(), 3u);
  }
}

TEST_F(FastListItemStringTest, HugeStoredLengthFailsAtTheEndOfTheData) {
  std::vector<uint8_t> bytes = Bytes({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b'});
  EXPECT_EQ(Load(bytes), std::make_pair(STG_E_READFAULT, bytes.size()));
  EXPECT_EQ(Key(), "");
}

TEST_F(FastListItemStringTest, StreamFailuresPassThrough) {
  item_->SetStrKey("abc");
  for (size_t budget : {0, 4, 8, 11, 14}) {
    SCOPED_TRACE(budget);
    auto stream = vok::MemoryStream::Create();
    stream->FailAfter(budget, STG_E_WRITEFAULT);
    EXPECT_EQ(persist_->Save(stream.Get(), 1), STG_E_WRITEFAULT);
    auto input = vok::MemoryStream::Create(Record("xyz", 1));
    input->FailAfter(budget, STG_E_ACCESSDENIED);
    EXPECT_EQ(persist_->Load(input.Get()), STG_E_ACCESSDENIED);
  }
}

TEST_F(FastListItemStringTest, FixedAnswers) {
  CLSID clsid;
  EXPECT_EQ(persist_->GetClassID(&clsid), S_OK);
  EXPECT_EQ(clsid, vok::clsid::kFastListItemString);
  item_->SetStrKey("changed");
  EXPECT_EQ(persist_->IsDirty(), S_FALSE);
  ULARGE_INTEGER size = {77};
  EXPECT_EQ(persist_->GetSizeMax(&size), S_OK);
  EXPECT_EQ(size.QuadPart, 0u);
  IUnknown* clone = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(item_->Clone(&clone), E_NOTIMPL);
  EXPECT_EQ(clone, nullptr);
  EXPECT_EQ(persist_->Load(nullptr), E_POINTER);
  EXPECT_EQ(persist_->Save(nullptr, 1), E_POINTER);
}

}  // namespace
