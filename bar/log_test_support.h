// Shared pieces of the log tests: the Qt application, in-process class objects, and a fixture
// with a live vokLog whose list comes from the built tools library.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "bar/log.h"
#include "common/vok_object.h"

namespace vok::test {

// Creates the offscreen QApplication once for the whole test program.
void EnsureApplication();

// Serves `clsid` from `create` in this process (ahead of the registry) while it lives.
class ScopedClassObject {
 public:
  ScopedClassObject(const CLSID& clsid, CreateFn create);
  ~ScopedClassObject();
  ScopedClassObject(const ScopedClassObject&) = delete;
  ScopedClassObject& operator=(const ScopedClassObject&) = delete;

 private:
  DWORD cookie_ = 0;
};

// A creation function that always fails with E_OUTOFMEMORY.
HRESULT FailingCreate(IUnknown* outer, REFIID riid, void** ppv);

struct LogEntry {
  std::string text;
  ULONG type;
  bool operator==(const LogEntry&) const = default;
};
void PrintTo(const LogEntry& entry, std::ostream* out);

// A vokLog with its list, entries loadable by class identifier, and a leak check at the end.
class LogTest : public testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // Replaces log_ by a new, not yet initialised log.
  void NewLog();
  // The entries as the log saves them, oldest first.
  std::vector<LogEntry> Entries();
  std::vector<uint8_t> Saved(BOOL clearDirty = 1);
  // Live objects of this program beyond those at the start of the test.
  int32_t LiveObjects() const { return ModuleCount().load() - startCount_; }

  ComPtr<vokLog> log_;

 private:
  std::unique_ptr<ScopedClassObject> entryClass_;
  int32_t startCount_ = 0;
};

}  // namespace vok::test
