// The mounted volumes, read from /proc/self/mounts. Behind a process-wide seam: code that acts
// on every mounted volume (the per-volume trash folders, ejecting media) reads the table
// through CurrentMounts(), and tests install a table of their own so that they never reach the
// machine's real volumes.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/runtime.h"

namespace vok::sys {

struct MountEntry {
  std::string device;      // "/dev/sdb1", or the source of a pseudo file system ("proc")
  std::string mountPoint;  // with the table's octal escapes (\040 for a blank) decoded
  std::string type;        // "ext4", "vfat", "proc" ...
};

// Parses text in the /proc/self/mounts format; malformed lines are skipped.
VOK_PLATFORM_API std::vector<MountEntry> ParseMounts(std::string_view text);

// True for kernel pseudo file systems that hold no user files (proc, sysfs, cgroup ...).
VOK_PLATFORM_API bool IsPseudoFileSystem(std::string_view type);

// The mount table in use; /proc/self/mounts unless a reader was installed.
VOK_PLATFORM_API std::vector<MountEntry> CurrentMounts();

using MountReader = std::function<std::vector<MountEntry>()>;
// Installs `reader` (an empty function restores /proc/self/mounts); returns the previous one.
VOK_PLATFORM_API MountReader SetMountReader(MountReader reader);

class ScopedMountReader {
 public:
  explicit ScopedMountReader(MountReader reader) : previous_(SetMountReader(std::move(reader))) {}
  ~ScopedMountReader() { SetMountReader(std::move(previous_)); }
  ScopedMountReader(const ScopedMountReader&) = delete;
  ScopedMountReader& operator=(const ScopedMountReader&) = delete;

 private:
  MountReader previous_;
};

}  // namespace vok::sys
