// The most-recently-used data files, kept in the per-user registry under
// HKEY_CURRENT_USER\Software\Dravik Software\Quillo\Recent File List as values File1..File4
// (File1 the most recent). Every change is written through at once, so a crash never loses
// the list and a second program reading it sees the same entries.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/vok_types.h"

namespace vok::bar {

class RecentFiles {
 public:
  static constexpr size_t kMaxEntries = 4;
  // The key below HKEY_CURRENT_USER.
  static const char kKey[];

  // Reads the stored list: File1..File4 in order, skipping missing and empty values and
  // repeated paths.
  void Load();

  const std::vector<std::string>& Entries() const { return entries_; }
  // Entry `index` (0 = most recent), "" when there is none.
  std::string Entry(size_t index) const;

  // Makes `path` the most recent entry: an existing equal entry moves to the head, the oldest
  // falls off beyond kMaxEntries. Paths compare exactly (file names are case-sensitive).
  HRESULT PutAtHead(const std::string& path);
  // Removes `path`; S_FALSE when it was not in the list.
  HRESULT Remove(const std::string& path);

 private:
  HRESULT Store() const;

  std::vector<std::string> entries_;
};

}  // namespace vok::bar
