#include "fileview/file_entries.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <set>
#include <tuple>

#include "common/text_util.h"
#include "platform/system/mounts.h"

namespace vok::fileview {
namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

int64_t Nanoseconds(const struct timespec& time) {
  return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Folders and drives rank before files.
int Rank(EntryType type) { return type == EntryType::kFile ? 1 : 0; }

template <class T>
int CompareValues(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareNames(const FileEntry& a, const FileEntry& b) {
  int byCase = CompareNoCase(a.name, b.name);
  return byCase != 0 ? byCase : a.name.compare(b.name);
}

// The comparison in ascending order, the up entry aside.
int Compare(const FileEntry& a, const FileEntry& b, int column) {
  if (a.type == EntryType::kDrive && b.type == EntryType::kDrive) return a.name.compare(b.name);
  if (int rank = Rank(a.type) - Rank(b.type)) return rank;
  int result = 0;
  switch (column) {
    case kSortSize:
      result = CompareValues(a.size, b.size);
      break;
    case kSortType:
      result = CompareNoCase(TypeKey(a.name), TypeKey(b.name));
      break;
    case kSortModified:
      result = CompareValues(a.modified, b.modified);
      break;
    default:
      break;
  }
  return result != 0 ? result : CompareNames(a, b);
}

// The first 16 bytes of `text` as two big-endian numbers, so that comparing the numbers
// compares the bytes; shorter texts are padded with zeros. With `fold`, ASCII letters are
// lowered and the first other byte becomes 0x80 and ends the key: a folded non-ASCII
// character is never ASCII, so the key orders as CompareNoCase does wherever it differs.
std::pair<uint64_t, uint64_t> PrefixKey(std::string_view text, bool fold) {
  uint64_t words[2] = {0, 0};
  for (size_t i = 0; i < 16 && i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    bool stop = false;
    if (fold) {
      if (c >= 0x80) {
        c = 0x80;
        stop = true;
      } else if (c >= 'A' && c <= 'Z') {
        c += 'a' - 'A';
      }
    }
    words[i / 8] |= uint64_t{c} << (8 * (7 - i % 8));
    if (stop) break;
  }
  return {words[0], words[1]};
}

struct SortKey {
  int group;
  uint64_t high;
  uint64_t low;
  int index;
};

SortKey KeyOf(const FileEntry& entry, int index, const EntryOrder& order) {
  SortKey key{0, 0, 0, index};
  if (entry.type == EntryType::kUp) return key;
  // Descending reverses folders and files, and every key.
  key.group = 1 + (Rank(entry.type) != (order.descending ? 1 : 0));
  if (entry.type == EntryType::kDrive) {
    std::tie(key.high, key.low) = PrefixKey(entry.name, false);
  } else if (order.column == kSortSize) {
    key.high = entry.size;
  } else if (order.column == kSortModified) {
    key.high = static_cast<uint64_t>(entry.modified) ^ (uint64_t{1} << 63);
  } else {
    std::tie(key.high, key.low) = PrefixKey(
        order.column == kSortType ? TypeKey(entry.name) : std::string_view(entry.name), true);
  }
  if (order.descending) {
    key.high = ~key.high;
    key.low = ~key.low;
  }
  return key;
}

}  // namespace

std::vector<int> SortedOrder(const std::vector<const FileEntry*>& entries,
                             const EntryOrder& order) {
  std::vector<SortKey> keys;
  keys.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i)
    keys.push_back(KeyOf(*entries[i], static_cast<int>(i), order));
  std::sort(keys.begin(), keys.end(), [&](const SortKey& a, const SortKey& b) {
    if (a.group != b.group) return a.group < b.group;
    if (a.high != b.high) return a.high < b.high;
    if (a.low != b.low) return a.low < b.low;
    return order(*entries[a.index], *entries[b.index]);
  });
  std::vector<int> sorted;
  sorted.reserve(keys.size());
  for (const SortKey& key : keys) sorted.push_back(key.index);
  return sorted;
}

std::optional<std::vector<FileEntry>> ReadFolder(const std::string& dir, bool withFolders) {
  std::unique_ptr<DIR, DirCloser> folder(opendir(dir.c_str()));
  if (!folder) return std::nullopt;
  const int fd = dirfd(folder.get());
  std::vector<FileEntry> entries;
  while (const struct dirent* item = readdir(folder.get())) {
    std::string_view name = item->d_name;
    if (name == "." || name == "..") continue;
    // A folder that will not be listed needs no look-up.
    if (!withFolders && item->d_type == DT_DIR) continue;
    struct stat info;
    if (fstatat(fd, item->d_name, &info, 0) != 0 &&
        fstatat(fd, item->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
      continue;  // gone since it was read
    const bool isFolder = S_ISDIR(info.st_mode);
    if (isFolder && !withFolders) continue;
    FileEntry& entry = entries.emplace_back();
    entry.name.assign(name);
    entry.type = isFolder ? EntryType::kFolder : EntryType::kFile;
    entry.size = isFolder ? 0 : static_cast<uint64_t>(info.st_size);
    entry.modified = Nanoseconds(info.st_mtim);
  }
  return entries;
}

std::vector<FileEntry> ReadDrives() {
  std::vector<FileEntry> drives;
  std::set<std::string> seen;
  for (const sys::MountEntry& mount : sys::CurrentMounts()) {
    if (sys::IsPseudoFileSystem(mount.type) || !seen.insert(mount.mountPoint).second) continue;
    FileEntry& drive = drives.emplace_back();
    drive.name = mount.mountPoint;
    drive.type = EntryType::kDrive;
  }
  return drives;
}

FileEntry MakeUpEntry(std::string text) {
  FileEntry up;
  up.name = std::move(text);
  up.type = EntryType::kUp;
  return up;
}

std::vector<std::string> SplitPatterns(std::string_view mask) {
  std::vector<std::string> patterns;
  size_t start = 0;
  while (start <= mask.size()) {
    size_t end = mask.find(';', start);
    if (end == std::string_view::npos) end = mask.size();
    std::string_view part = mask.substr(start, end - start);
    size_t first = 0;
    while (first < part.size() && IsBlank(part[first])) ++first;
    size_t last = first;
    while (last < part.size() && !IsBlank(part[last])) ++last;
    if (last > first) patterns.emplace_back(part.substr(first, last - first));
    start = end + 1;
  }
  return patterns;
}

bool MatchesAnyPattern(const std::vector<std::string>& patterns, std::string_view name) {
  for (const std::string& pattern : patterns)
    if (WildcardMatch(pattern, name)) return true;
  return false;
}

std::string_view TypeKey(std::string_view name) {
  size_t point = name.find('.');
  return point == std::string_view::npos ? std::string_view() : name.substr(point + 1);
}

int CompareNoCase(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    unsigned char ca = static_cast<unsigned char>(a[i]);
    unsigned char cb = static_cast<unsigned char>(b[i]);
    if ((ca | cb) & 0x80) {
      // Past an all-ASCII prefix that compared equal: the rest decides, mapped as a whole.
      return ToLower(a.substr(i)).compare(ToLower(b.substr(i)));
    }
    if (ca >= 'A' && ca <= 'Z') ca += 'a' - 'A';
    if (cb >= 'A' && cb <= 'Z') cb += 'a' - 'A';
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return CompareValues(a.size(), b.size());
}

bool EntryOrder::operator()(const FileEntry& a, const FileEntry& b) const {
  const bool aUp = a.type == EntryType::kUp;
  const bool bUp = b.type == EntryType::kUp;
  if (aUp || bUp) return aUp && !bUp;
  int result = Compare(a, b, column);
  return descending ? result > 0 : result < 0;
}

std::string SizeText(const FileEntry& entry) {
  if (entry.type != EntryType::kFile) return {};
  return std::to_string(entry.size / 1024 + 1) + "KB";
}

}  // namespace vok::fileview
