#include "bar/log_test_support.h"

#include <QApplication>
#include <cstdlib>
#include <ostream>

#include "bar/fast_list_item_log.h"
#include "common/class_ids.h"
#include "common/memory_stream.h"
#include "common/stream_util.h"
#include "common/test_libraries.h"

namespace vok::test {

void EnsureApplication() {
  if (QApplication::instance()) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "bar_tests";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // lives for the whole test program
}

ScopedClassObject::ScopedClassObject(const CLSID& clsid, CreateFn create) {
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(CreateObject<ClassFactory>(nullptr, IID_IClassFactory,
                                       factory.ReleaseAndGetVoidAddressOf(), create),
            S_OK);
  EXPECT_EQ(CoRegisterClassObject(clsid, factory.Get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                  &cookie_),
            S_OK);
}

ScopedClassObject::~ScopedClassObject() {
  if (cookie_) CoRevokeClassObject(cookie_);
}

HRESULT FailingCreate(IUnknown*, REFIID, void** ppv) {
  if (ppv) *ppv = nullptr;
  return E_OUTOFMEMORY;
}

void PrintTo(const LogEntry& entry, std::ostream* out) {
  *out << '{' << '"' << entry.text << "\", " << entry.type << '}';
}

void LogTest::SetUpTestSuite() {
  EnsureApplication();
  static const bool registered = RegisterBuiltLibrary("vokTools");
  ASSERT_TRUE(registered);
}

void LogTest::SetUp() {
  entryClass_ = std::make_unique<ScopedClassObject>(clsid::kFastListItemLog,
                                                    &CreateObject<vokFastListItemLog>);
  startCount_ = ModuleCount().load();
  NewLog();
  ASSERT_EQ(log_->Init(), S_OK);
}

void LogTest::TearDown() {
  log_ = nullptr;
  EXPECT_EQ(LiveObjects(), 0) << "objects leaked";
  entryClass_.reset();
}

void LogTest::NewLog() {
  log_ = nullptr;
  ComPtr<IvokLog> log;
  ASSERT_EQ(CreateObject<vokLog>(nullptr, IvokLog::kIID, log.ReleaseAndGetVoidAddressOf()), S_OK);
  log_ = ComPtr<vokLog>(static_cast<vokLog*>(log.Get()));
}

std::vector<uint8_t> LogTest::Saved(BOOL clearDirty) {
  auto stream = MemoryStream::Create();
  EXPECT_EQ(log_->Save(stream.Get(), clearDirty), S_OK);
  return stream->Bytes();
}

std::vector<LogEntry> LogTest::Entries() {
  auto stream = MemoryStream::Create(Saved(0));
  std::vector<LogEntry> entries;
  EXPECT_EQ(ReadLong(stream.Get()), 0);
  ReadLong(stream.Get());  // maximum size
  LONG count = ReadLong(stream.Get());
  if (count > 0) {
    EXPECT_EQ(ReadGuid(stream.Get()), clsid::kFastListItemLog);
  }
  for (LONG i = 0; i < count; ++i) {
    EXPECT_EQ(ReadLong(stream.Get()), 0);
    std::string text = ReadStr32(stream.Get());
    entries.push_back({text, ReadULong(stream.Get())});
  }
  EXPECT_EQ(stream->Position(), stream->Bytes().size());
  return entries;
}

}  // namespace vok::test
