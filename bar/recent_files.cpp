#include "bar/recent_files.h"

#include <algorithm>

#include "platform/registry/registry.h"

namespace vok::bar {
namespace {

std::string ValueName(size_t index) { return "File" + std::to_string(index + 1); }

}  // namespace

const char RecentFiles::kKey[] = "Software\\Dravik Software\\Quillo\\Recent File List";

void RecentFiles::Load() {
  entries_.clear();
  for (size_t i = 0; i < kMaxEntries; ++i) {
    std::string path;
    if (reg::GetString(reg::Hive::kCurrentUser, kKey, ValueName(i), &path) != S_OK) continue;
    if (path.empty() || std::find(entries_.begin(), entries_.end(), path) != entries_.end())
      continue;
    entries_.push_back(std::move(path));
  }
}

std::string RecentFiles::Entry(size_t index) const {
  return index < entries_.size() ? entries_[index] : std::string();
}

HRESULT RecentFiles::PutAtHead(const std::string& path) {
  if (path.empty()) return E_INVALIDARG;
  std::erase(entries_, path);
  entries_.insert(entries_.begin(), path);
  if (entries_.size() > kMaxEntries) entries_.resize(kMaxEntries);
  return Store();
}

HRESULT RecentFiles::Remove(const std::string& path) {
  if (std::erase(entries_, path) == 0) return S_FALSE;
  return Store();
}

// Writes File1..Fn and deletes the values past the end, so a shorter list leaves no stale
// entry behind.
HRESULT RecentFiles::Store() const {
  HRESULT result = S_OK;
  for (size_t i = 0; i < kMaxEntries; ++i) {
    HRESULT hr = i < entries_.size()
                     ? reg::SetString(reg::Hive::kCurrentUser, kKey, ValueName(i), entries_[i])
                     : reg::DeleteValue(reg::Hive::kCurrentUser, kKey, ValueName(i));
    if (FAILED(hr)) result = hr;
  }
  return result;
}

}  // namespace vok::bar
