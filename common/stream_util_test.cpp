#include "common/stream_util.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/memory_stream.h"

namespace vok {
namespace {

using Bytes = std::vector<uint8_t>;

// Runs `action` under GuardStream: S_OK, or the status it threw.
template <class Action>
HRESULT StatusOf(Action action) {
  return GuardStream([&] {
    action();
    return S_OK;
  });
}

// A component whose record is one LONG; remembers the clear flag of its last Save.
class OneValue final : public ObjectRoot<IPersistStream> {
 public:
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE Load(IStream* stm) override {
    return StatusOf([&] { value = ReadLong(stm); });
  }
  HRESULT STDMETHODCALLTYPE Save(IStream* stm, BOOL fClearDirty) override {
    lastClear = fClearDirty;
    return StatusOf([&] { WriteLong(stm, value); });
  }
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }

  LONG value = 0;
  BOOL lastClear = -1;
};

TEST(StreamUtilTest, WritesLittleEndianValues) {
  auto stream = MemoryStream::Create();
  WriteLong(stream.Get(), -1);
  WriteULong(stream.Get(), 0x01020304);
  EXPECT_EQ((Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01}), stream->Bytes());
}

TEST(StreamUtilTest, Str32HasLengthPrefixAndNoZero) {
  auto stream = MemoryStream::Create();
  WriteStr32(stream.Get(), "abc");
  WriteStr32(stream.Get(), "");
  EXPECT_EQ((Bytes{3, 0, 0, 0, 'a', 'b', 'c', 0, 0, 0, 0}), stream->Bytes());
}

TEST(StreamUtilTest, ValuesRoundTrip) {
  auto stream = MemoryStream::Create();
  const GUID guid = {0xA92E31E1, 0x7423, 0x11D2, {0xA3, 0xEC, 0xEE, 0x5D, 0xF6, 0x87, 0xF5, 0x83}};
  WriteLong(stream.Get(), -123456);
  WriteStr32(stream.Get(), "key text");
  WriteGuid(stream.Get(), guid);
  LARGE_INTEGER zero = {0};
  ASSERT_EQ(S_OK, stream->Seek(zero, STREAM_SEEK_SET, nullptr));
  EXPECT_EQ(-123456, ReadLong(stream.Get()));
  EXPECT_EQ("key text", ReadStr32(stream.Get()));
  EXPECT_EQ(guid, ReadGuid(stream.Get()));
}

TEST(StreamUtilTest, GuidUsesStandardBinaryLayout) {
  auto stream = MemoryStream::Create();
  WriteGuid(stream.Get(), GUID{0x00112233, 0x4455, 0x6677, {8, 9, 10, 11, 12, 13, 14, 15}});
  EXPECT_EQ((Bytes{0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66, 8, 9, 10, 11, 12, 13, 14, 15}),
            stream->Bytes());
}

TEST(StreamUtilTest, StoredStringEndsAtEmbeddedZero) {
  auto stream = MemoryStream::Create(Bytes{4, 0, 0, 0, 'a', 0, 'b', 'c', 9, 0, 0, 0});
  EXPECT_EQ("a", ReadStr32(stream.Get()));
  EXPECT_EQ(9, ReadLong(stream.Get())) << "the whole stored length is consumed";
}

TEST(StreamUtilTest, AbsurdStringLengthIsCorruption) {
  auto stream = MemoryStream::Create(Bytes{0xFF, 0xFF, 0xFF, 0x7F});
  HRESULT hr = GuardStream([&] {
    ReadStr32(stream.Get());
    return S_OK;
  });
  EXPECT_EQ(STG_E_DOCFILECORRUPT, hr);
}

TEST(StreamUtilTest, FailingStreamStatusReachesTheCaller) {
  auto stream = MemoryStream::Create();
  stream->FailAfter(6, STG_E_MEDIUMFULL);
  HRESULT hr = GuardStream([&] {
    WriteLong(stream.Get(), 1);
    WriteLong(stream.Get(), 2);  // only two bytes of budget left
    return S_OK;
  });
  EXPECT_EQ(STG_E_MEDIUMFULL, hr);
  EXPECT_EQ(4u, stream->Bytes().size());
}

TEST(StreamUtilTest, RecordCutShortIsAReadFault) {
  auto stream = MemoryStream::Create(Bytes{1, 2, 3});
  HRESULT hr = GuardStream([&] {
    ReadLong(stream.Get());
    return S_OK;
  });
  EXPECT_EQ(STG_E_READFAULT, hr);
}

TEST(StreamUtilTest, ObjectsKeepTheirRecordInPlaceAndFailuresThrowTheStatus) {
  auto stream = MemoryStream::Create();
  ComPtr<OneValue> saved(new OneValue);
  saved->value = 42;
  ASSERT_EQ(S_OK, StatusOf([&] { SaveObject(saved->Identity(), stream.Get(), 0); }));
  EXPECT_EQ(0, saved->lastClear);
  ASSERT_EQ(S_OK, StatusOf([&] { SaveObject(saved->Identity(), stream.Get()); }));
  EXPECT_EQ(1, saved->lastClear) << "clearing is the default";
  EXPECT_EQ((Bytes{42, 0, 0, 0, 42, 0, 0, 0}), stream->Bytes());

  auto in = MemoryStream::Create(Bytes{7, 0, 0, 0});
  ComPtr<OneValue> loaded(new OneValue);
  EXPECT_EQ(S_OK, StatusOf([&] { LoadObject(loaded->Identity(), in.Get()); }));
  EXPECT_EQ(7, loaded->value);

  auto full = MemoryStream::Create();
  full->FailAfter(0, STG_E_MEDIUMFULL);
  ComPtr<MemoryStream> notPersistable = MemoryStream::Create();
  const struct {
    const char* what;
    HRESULT status;
    HRESULT expected;
  } cases[] = {
      {"save null", StatusOf([&] { SaveObject(nullptr, stream.Get()); }), E_UNEXPECTED},
      {"load null", StatusOf([&] { LoadObject(nullptr, stream.Get()); }), E_UNEXPECTED},
      {"save other", StatusOf([&] { SaveObject(notPersistable->Identity(), stream.Get()); }),
       E_NOINTERFACE},
      {"load other", StatusOf([&] { LoadObject(notPersistable->Identity(), stream.Get()); }),
       E_NOINTERFACE},
      {"save failing", StatusOf([&] { SaveObject(saved->Identity(), full.Get()); }),
       STG_E_MEDIUMFULL},
      {"load cut", StatusOf([&] { LoadObject(loaded->Identity(), in.Get()); }), STG_E_READFAULT},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, c.status) << c.what;
}

TEST(StreamUtilTest, MeasureRecordCountsTheBytesOrPassesTheFailureOn) {
  ULARGE_INTEGER size{};
  EXPECT_EQ(S_OK, MeasureRecord(
                      [](IStream* s) {
                        WriteStr32(s, "abc");
                        WriteLong(s, 1);
                        return S_OK;
                      },
                      &size));
  EXPECT_EQ(11u, size.QuadPart);
  EXPECT_EQ(E_ACCESSDENIED, MeasureRecord([](IStream*) { return E_ACCESSDENIED; }, &size));
  EXPECT_EQ(0u, size.QuadPart);
  size.QuadPart = 99;
  EXPECT_EQ(STG_E_MEDIUMFULL, MeasureRecord(
                                  [](IStream* s) -> HRESULT {
                                    WriteLong(s, 1);
                                    throw CvokIStreamException(STG_E_MEDIUMFULL);
                                  },
                                  &size));
  EXPECT_EQ(0u, size.QuadPart);
  EXPECT_EQ(E_POINTER, MeasureRecord([](IStream*) { return S_OK; }, nullptr));
}

}  // namespace
}  // namespace vok
