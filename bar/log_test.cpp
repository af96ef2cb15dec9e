#include "bar/log.h"

#include <gtest/gtest.h>

#include "bar/log_test_support.h"
#include "common/class_ids.h"
#include "common/memory_stream.h"
#include "common/stream_util.h"

namespace vok::test {
namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> out;
  for (int v : values) out.push_back(static_cast<uint8_t>(v));
  return out;
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> out;
  for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// The entry class identifier {999E3405-8EA3-11D2-A406-83B7CC7F6482} in its stored layout.
const std::vector<uint8_t> kEntryClassBytes =
    Bytes({0x05, 0x34, 0x9E, 0x99, 0xA3, 0x8E, 0xD2, 0x11, 0xA4, 0x06, 0x83, 0xB7, 0xCC, 0x7F, 0x64,
           0x82});

// A list that answers Add with a chosen status and, like the real one, keeps the caller's
// reference only when it answers S_OK.
class ScriptedList final : public ObjectRoot<IvokFastList> {
 public:
  static inline HRESULT addStatus = S_OK;

  HRESULT STDMETHODCALLTYPE Init(LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Add(IUnknown* item, LONG) override {
    if (addStatus == S_OK) kept_.emplace_back().Attach(item);
    return addStatus;
  }
  HRESULT STDMETHODCALLTYPE IsInside(LPCSTR, LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Delete(LPCSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Iterate(IUnknown*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReverseIterate(IUnknown*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Sort(IUnknown*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clear() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Find(LPCSTR, IUnknown**, LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Back(IUnknown**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE PopBack() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Front(IUnknown**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE PopFront() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_ItemCount(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_MaxSize(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_MaxSize(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RemoveAll() override { return E_NOTIMPL; }

 private:
  std::vector<ComPtr<IUnknown>> kept_;
};

TEST_F(LogTest, EntriesAreAppendedOldestFirstWithTheirTypes) {
  EXPECT_EQ(log_->Add("Autohide is on.", kLogInfo), S_OK);
  EXPECT_EQ(log_->Add("Entered name is not recognized.", kLogError), S_OK);
  EXPECT_EQ(log_->Add("Autohide is on.", 0), S_OK) << "repeated texts are separate entries";
  EXPECT_EQ(log_->Add("odd type", -5), S_OK);
  EXPECT_EQ(Entries(), (std::vector<LogEntry>{{"Autohide is on.", 1},
                                              {"Entered name is not recognized.", 2},
                                              {"Autohide is on.", 0},
                                              {"odd type", static_cast<ULONG>(-5)}}));
  EXPECT_EQ(LiveObjects(), 1 + 4) << "the log and its four entries";
}

TEST_F(LogTest, StreamIsTheListRecordWithEntryRecords) {
  EXPECT_EQ(Saved(), Bytes({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0})) << "empty log";
  log_->put_MaxSize(5);
  log_->Add("ok", kLogInfo);
  log_->Add("bad", kLogError);
  EXPECT_EQ(Saved(), Concat({Bytes({0, 0, 0, 0, 5, 0, 0, 0, 2, 0, 0, 0}), kEntryClassBytes,
                             Bytes({0, 0, 0, 0, 2, 0, 0, 0, 'o', 'k', 1, 0, 0, 0}),
                             Bytes({0, 0, 0, 0, 3, 0, 0, 0, 'b', 'a', 'd', 2, 0, 0, 0})}));
}

TEST_F(LogTest, LoadRestoresEntriesAndMaximumAndClearsTheChangeFlag) {
  EXPECT_EQ(log_->IsDirty(), S_FALSE);
  log_->put_MaxSize(10);
  log_->Add("first", kLogInfo);
  log_->Add("second", kLogError);
  EXPECT_EQ(log_->IsDirty(), S_OK);
  std::vector<uint8_t> bytes = Saved(/*clearDirty=*/1);
  EXPECT_EQ(log_->IsDirty(), S_FALSE);

  NewLog();
  ASSERT_EQ(log_->Init(), S_OK);
  log_->Add("replaced by the load", kLogInfo);
  auto stream = MemoryStream::Create(bytes);
  EXPECT_EQ(log_->Load(stream.Get()), S_OK);
  stream = nullptr;  // streams count among this program's objects too
  EXPECT_EQ(Entries(), (std::vector<LogEntry>{{"first", 1}, {"second", 2}}));
  LONG max = 0;
  EXPECT_EQ(log_->get_MaxSize(&max), S_OK);
  EXPECT_EQ(max, 10);
  EXPECT_EQ(log_->IsDirty(), S_FALSE);
  EXPECT_EQ(LiveObjects(), 1 + 2) << "the replaced entry was released";
}

TEST_F(LogTest, CutStreamFailsWithReadFaultKeepingTheWholeEntriesBeforeTheCut) {
  log_->Add("one", kLogInfo);
  log_->Add("two", kLogError);
  const std::vector<uint8_t> bytes = Saved();
  const size_t secondEntryStart = 12 + 16 + 15;
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    SCOPED_TRACE(cut);
    NewLog();
    ASSERT_EQ(log_->Init(), S_OK);
    auto stream = MemoryStream::Create({bytes.begin(), bytes.begin() + cut});
    EXPECT_EQ(log_->Load(stream.Get()), STG_E_READFAULT);
    EXPECT_EQ(Entries().size(), cut >= secondEntryStart ? 1u : 0u);
  }
}

TEST_F(LogTest, CorruptedStreamsGiveTheirStatus) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    HRESULT status;
    size_t entries;
  };
  const Case cases[] = {
      {"entries of a class nobody serves",
       Concat({Bytes({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0}),
               Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}),
               Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})}),
       REGDB_E_CLASSNOTREG, 0},
      {"huge text length",
       Concat({Bytes({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0}), kEntryClassBytes,
               Bytes({0, 0, 0, 0, 0xF0, 0xFF, 0xFF, 0x7F, 'a', 'b', 'c'})}),
       STG_E_READFAULT, 0},
      {"count far above the stored entries",
       Concat({Bytes({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}),
               kEntryClassBytes, Bytes({0, 0, 0, 0, 1, 0, 0, 0, 'x', 1, 0, 0, 0})}),
       STG_E_READFAULT, 1},
      {"negative list format is an empty log", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 9, 9, 9}), S_OK, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NewLog();
    ASSERT_EQ(log_->Init(), S_OK);
    log_->Add("before", kLogInfo);
    auto stream = MemoryStream::Create(c.bytes);
    EXPECT_EQ(log_->Load(stream.Get()), c.status);
    EXPECT_EQ(Entries().size(), c.entries);
  }
}

TEST_F(LogTest, MaxSizeDropsAndReleasesTheOldestEntries) {
  for (const char* text : {"a", "b", "c", "d"}) log_->Add(text, kLogInfo);
  EXPECT_EQ(log_->put_MaxSize(2), S_OK);
  EXPECT_EQ(Entries(), (std::vector<LogEntry>{{"c", 1}, {"d", 1}}));
  EXPECT_EQ(LiveObjects(), 1 + 2);
  log_->Add("e", kLogError);
  EXPECT_EQ(Entries(), (std::vector<LogEntry>{{"d", 1}, {"e", 2}}));
  EXPECT_EQ(LiveObjects(), 1 + 2);
  LONG max = 0;
  EXPECT_EQ(log_->get_MaxSize(&max), S_OK);
  EXPECT_EQ(max, 2);
  EXPECT_EQ(log_->put_MaxSize(-1), S_OK);
  log_->Add("f", kLogInfo);
  EXPECT_EQ(Entries().size(), 3u);
}

TEST_F(LogTest, ClearEmptiesTheLogAndNullTextIsRefused) {
  EXPECT_EQ(log_->Add(nullptr, kLogInfo), E_POINTER);
  log_->Add("a", kLogInfo);
  log_->Add("b", kLogError);
  EXPECT_EQ(log_->Clear(), S_OK);
  EXPECT_TRUE(Entries().empty());
  EXPECT_EQ(LiveObjects(), 1);
}

TEST_F(LogTest, LongTextIsCutOnACharacterBoundaryInsteadOfLost) {
  const std::pair<std::string, std::string> cases[] = {
      {std::string(511, 'a'), std::string(511, 'a')},
      {std::string(600, 'b'), std::string(511, 'b')},
      {std::string(510, 'c') + "é", std::string(510, 'c')},
      {"", ""},
  };
  for (const auto& [text, kept] : cases) {
    SCOPED_TRACE(text.size());
    ASSERT_EQ(log_->Clear(), S_OK);
    EXPECT_EQ(log_->Add(text.c_str(), kLogError), S_OK);
    EXPECT_EQ(Entries(), (std::vector<LogEntry>{{kept, 2}}));
  }
}

TEST_F(LogTest, AddReleasesTheEntryUnlessTheListKeepsIt) {
  ScopedClassObject scriptedList(clsid::kFastList, &CreateObject<ScriptedList>);
  NewLog();
  ASSERT_EQ(log_->Init(), S_OK);
  const int32_t base = LiveObjects();
  int32_t kept = 0;
  for (HRESULT status : {S_FALSE, E_INVALIDARG, E_FAIL, S_OK, S_FALSE, S_OK}) {
    SCOPED_TRACE(status);
    ScriptedList::addStatus = status;
    EXPECT_EQ(log_->Add("entry", kLogInfo), status);
    if (status == S_OK) ++kept;
    EXPECT_EQ(LiveObjects(), base + kept);
  }
  ScriptedList::addStatus = S_OK;
}

TEST_F(LogTest, WithoutAListNothingCrashes) {
  ScopedClassObject failingList(clsid::kFastList, &FailingCreate);
  NewLog();
  EXPECT_EQ(log_->Init(), E_OUTOFMEMORY);
  EXPECT_EQ(log_->Add("lost", kLogError), E_UNEXPECTED);
  EXPECT_EQ(log_->Clear(), S_FALSE);
  LONG max = 0;
  EXPECT_EQ(log_->get_MaxSize(&max), E_UNEXPECTED);
  EXPECT_EQ(log_->put_MaxSize(3), E_UNEXPECTED);
  auto stream = MemoryStream::Create();
  EXPECT_EQ(log_->Save(stream.Get(), 1), E_UNEXPECTED);
  EXPECT_EQ(log_->Load(stream.Get()), E_UNEXPECTED);
  EXPECT_EQ(log_->IsDirty(), E_UNEXPECTED);
  EXPECT_TRUE(stream->Bytes().empty());
}

}  // namespace
}  // namespace vok::test
