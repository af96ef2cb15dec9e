// Helpers shared by the control library's tests: temporary folders, restoring the process's
// current directory, a QApplication for menus, and a reader of the navigator's saved record.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/vok_types.h"

namespace vok::test {

// A fresh folder under the system's temporary folder, removed with its contents at the end.
// Its path is canonical, so it compares with what the system reports as current directory.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  // Creates the folder `relative` (with its parents) / an empty file; returns its absolute path.
  std::string MakeDir(const std::string& relative) const;
  std::string Touch(const std::string& relative) const;

 private:
  std::string path_;
};

std::string ProcessDir();
// Puts the process's current directory back when it goes out of scope.
struct CurrentDirGuard {
  ~CurrentDirGuard();
  const std::string saved = ProcessDir();
};

void EnsureApplication();

// One history entry as stored: key and item data.
struct StoredEntry {
  std::string key;
  ULONG data = 0;
  bool operator==(const StoredEntry&) const = default;
};
inline void PrintTo(const StoredEntry& e, std::ostream* os) {
  *os << e.key << " (" << e.data << ")";
}

struct StoredList {
  LONG maxSize = 0;
  std::vector<StoredEntry> entries;  // oldest first
};

// The navigator's record, parsed.
struct StoredNavigator {
  StoredList back, forward;
  std::string current, initial, excluded, preferred;
};

// Parses a complete record (version 0); fails the test on anything unexpected.
StoredNavigator ParseNavigator(const std::vector<uint8_t>& bytes);

}  // namespace vok::test
