// What the file view lists, without any widget: the entries of one folder or the mounted
// volumes, the up entry, the filter and selection patterns, the order of the list and the
// size text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vok::fileview {

enum class EntryType : uint8_t { kFile = 0, kFolder = 1, kUp = 2, kDrive = 3 };

struct FileEntry {
  // The file name; the up entry's text; a drive's mount point.
  std::string name;
  // Bytes of a file; 0 for the other kinds.
  uint64_t size = 0;
  // Last write, in nanoseconds since the epoch (files and folders).
  int64_t modified = 0;
  EntryType type = EntryType::kFile;
};

// Sort columns (SortType).
inline constexpr int kSortName = 0;
inline constexpr int kSortSize = 1;
inline constexpr int kSortType = 2;
inline constexpr int kSortModified = 3;
inline constexpr int kSortColumnCount = 4;

// The entries of folder `dir` in reading order: everything but "." and "..", hidden (dot)
// entries included; folders, and links to folders, only when `withFolders`. Each entry is
// looked up once (links followed; a dangling link is listed as a file of its own size).
// nullopt when the folder cannot be read.
std::optional<std::vector<FileEntry>> ReadFolder(const std::string& dir, bool withFolders);

// One drive entry per mounted volume (sys::CurrentMounts without the pseudo file systems),
// named by its mount point; a mount point mounted over is listed once.
std::vector<FileEntry> ReadDrives();

FileEntry MakeUpEntry(std::string text);

// The patterns of a filter or selection mask: split at ";", leading blanks dropped, each part
// cut at its first blank, empty parts dropped ("*.txt; *.log x;;" gives "*.txt", "*.log").
std::vector<std::string> SplitPatterns(std::string_view mask);
// True when `name` matches one of `patterns` under the wildcard comparison, letter case
// ignored; false without patterns.
bool MatchesAnyPattern(const std::vector<std::string>& patterns, std::string_view name);

// What the type column sorts by: the text after the first point of the name ("" without one).
std::string_view TypeKey(std::string_view name);

// <0, 0, >0 as `a` goes before, with or after `b`, letter case ignored (UTF-8).
int CompareNoCase(std::string_view a, std::string_view b);

// The order of the list for sort column `column` (kSort*): the up entry first; folders before
// files; by name, size (all 64 bits), type key or last write, ties broken by name; two drives
// by their path. Descending reverses everything but the up entry's place (so folders then
// follow the files).
struct EntryOrder {
  int column = kSortName;
  bool descending = false;
  bool operator()(const FileEntry& a, const FileEntry& b) const;
};

// The permutation that sorts `entries` by `order`: the i-th entry of the sorted list is
// entries[result[i]]. Each entry's sort key (its group and the first 16 bytes of its folded
// name, or its size or time) is computed once and compared without touching the entries, so
// 100,000 names sort in a few milliseconds; equal keys fall back to `order`.
std::vector<int> SortedOrder(const std::vector<const FileEntry*>& entries, const EntryOrder& order);

// "%luKB" with size / 1024 + 1 for a file (so an empty file shows 1KB); "" for other kinds.
std::string SizeText(const FileEntry& entry);

}  // namespace vok::fileview
