// Helpers of the item, command-browser and dialog tests: records built field by field, item
// creation with a leak check, shared checks of text limits and cut records, and the Qt
// application that widget tests need.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/memory_stream.h"
#include "common/stream_util.h"
#include "common/test_application.h"
#include "common/vok_object.h"

namespace vok::test {

inline std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> out;
  for (int v : values) out.push_back(static_cast<uint8_t>(v));
  return out;
}

// Builds the bytes of a record field by field, in the stream helpers' encodings.
class Record {
 public:
  Record& Long(LONG value) {
    WriteLong(stream_.Get(), value);
    return *this;
  }
  Record& ULong(ULONG value) {
    WriteULong(stream_.Get(), value);
    return *this;
  }
  Record& Str(const std::string& text) {
    WriteStr32(stream_.Get(), text);
    return *this;
  }
  Record& Guid(const GUID& guid) {
    WriteGuid(stream_.Get(), guid);
    return *this;
  }
  Record& Append(const std::vector<uint8_t>& bytes) {
    if (!bytes.empty()) WriteBytes(stream_.Get(), bytes.data(), static_cast<ULONG>(bytes.size()));
    return *this;
  }
  std::vector<uint8_t> Bytes() const { return stream_->Bytes(); }

 private:
  ComPtr<MemoryStream> stream_ = MemoryStream::Create();
};

// Fails the test when objects of this library outlive the fixture.
class LeakCheckedTest : public testing::Test {
 protected:
  void SetUp() override { startCount_ = ModuleCount().load(); }
  void TearDown() override { EXPECT_EQ(ModuleCount().load(), startCount_) << "objects leaked"; }

 private:
  int32_t startCount_ = 0;
};

template <class T, class I>
ComPtr<I> Create() {
  ComPtr<I> out;
  EXPECT_EQ(CreateObject<T>(nullptr, I::kIID, out.ReleaseAndGetVoidAddressOf()), S_OK);
  return out;
}

// A new item of class T with its interface I and stream persistence; leak-checked.
template <class T, class I>
class ItemTest : public LeakCheckedTest {
 protected:
  void SetUp() override {
    LeakCheckedTest::SetUp();
    item_ = Create<T, IvokFastListItem>();
    typed_ = QueryAs<I>(item_.Get());
    persist_ = QueryAs<IPersistStream>(item_.Get());
  }
  void TearDown() override {
    item_ = nullptr;
    typed_ = nullptr;
    persist_ = nullptr;
    LeakCheckedTest::TearDown();
  }

  ComPtr<IvokFastListItem> item_;
  ComPtr<I> typed_;
  ComPtr<IPersistStream> persist_;
};

inline std::vector<uint8_t> Saved(IUnknown* object, BOOL clearDirty = 1) {
  auto stream = MemoryStream::Create();
  EXPECT_EQ(QueryAs<IPersistStream>(object)->Save(stream.Get(), clearDirty), S_OK);
  return stream->Bytes();
}

// Loads `bytes`; returns the status and how far the object read.
inline std::pair<HRESULT, size_t> LoadFrom(IUnknown* object, std::vector<uint8_t> bytes) {
  auto stream = MemoryStream::Create(std::move(bytes));
  HRESULT hr = QueryAs<IPersistStream>(object)->Load(stream.Get());
  return {hr, static_cast<size_t>(stream->Position())};
}

// A text property read through its caller-buffer getter.
inline std::string GetText(const std::function<HRESULT(char*, ULONG*)>& get, size_t room = 32768) {
  std::vector<char> buffer(room, '#');
  ULONG size = static_cast<ULONG>(room);
  EXPECT_EQ(get(buffer.data(), &size), S_OK);
  return std::string(buffer.data(), size);
}

// A text setter keeps up to `maxBytes` bytes, cuts longer texts without splitting a
// character, and refuses a null text.
inline void ExpectTextLimit(const std::function<HRESULT(const char*)>& set,
                            const std::function<HRESULT(char*, ULONG*)>& get, size_t maxBytes) {
  SCOPED_TRACE(maxBytes);
  const std::string exact(maxBytes, 'a');
  EXPECT_EQ(set(exact.c_str()), S_OK);
  EXPECT_EQ(GetText(get), exact);
  EXPECT_EQ(set((exact + "bcd").c_str()), S_OK);
  EXPECT_EQ(GetText(get), exact);
  const std::string straddling = std::string(maxBytes - 1, 'x') + "é";
  EXPECT_EQ(set(straddling.c_str()), S_OK);
  EXPECT_EQ(GetText(get), std::string(maxBytes - 1, 'x'));
  EXPECT_EQ(set(nullptr), E_POINTER);
  EXPECT_EQ(GetText(get), std::string(maxBytes - 1, 'x')) << "a refused text leaves the old one";
}

// Every shorter prefix of a valid record fails with a read fault and changes nothing the
// caller's `state` function can see.
inline void ExpectCutRecordsFail(IUnknown* object, const std::vector<uint8_t>& record,
                                 const std::function<std::string()>& state) {
  const std::string before = state();
  for (size_t cut = 0; cut < record.size(); ++cut) {
    SCOPED_TRACE(cut);
    EXPECT_EQ(LoadFrom(object, {record.begin(), record.begin() + cut}).first, STG_E_READFAULT);
    EXPECT_EQ(state(), before);
  }
}

// A stream that fails after `budget` bytes passes its status through Save and Load; `record`
// is what Save writes.
inline void ExpectStreamFailuresPassThrough(IUnknown* object, const std::vector<uint8_t>& record) {
  auto persist = QueryAs<IPersistStream>(object);
  for (size_t budget = 0; budget < record.size(); budget += 3) {
    SCOPED_TRACE(budget);
    auto out = MemoryStream::Create();
    out->FailAfter(budget, STG_E_MEDIUMFULL);
    EXPECT_EQ(persist->Save(out.Get(), 1), STG_E_MEDIUMFULL);
    auto in = MemoryStream::Create(record);
    in->FailAfter(budget, STG_E_ACCESSDENIED);
    EXPECT_EQ(persist->Load(in.Get()), STG_E_ACCESSDENIED);
  }
}

}  // namespace vok::test
