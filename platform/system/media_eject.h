// Ejecting removable media. The target is a block device ("/dev/sdb1", "/dev/sr0", a
// /dev/disk/by-* link) or the mount point of one ("/media/ann/STICK"); a drive letter names
// nothing here. The file systems of the device are unmounted with `udisksctl unmount`, then an
// optical disc is ejected with the CD-ROM eject ioctl and any other removable drive is powered
// off with `udisksctl power-off`. Fixed disks are refused.
#pragma once

#include <string>
#include <vector>

#include "platform/com/runtime.h"
#include "platform/system/mounts.h"

namespace vok::sys {

class ProcessRunner;

enum class DriveKind { kNone, kFixed, kRemovable, kOptical };

// What ejecting needs from the kernel, replaceable in tests.
class BlockDevices {
 public:
  virtual ~BlockDevices() = default;
  // kNone when `device` is not a block device.
  virtual DriveKind KindOf(const std::string& device) = 0;
  // Unlocks the tray and ejects the disc of an optical drive.
  virtual bool EjectOptical(const std::string& device) = 0;
};

VOK_PLATFORM_API BlockDevices& CurrentBlockDevices();
// Installs `devices` (not owned; null restores the kernel's) and returns the previous one.
VOK_PLATFORM_API BlockDevices* SetBlockDevices(BlockDevices* devices);

class ScopedBlockDevices {
 public:
  explicit ScopedBlockDevices(BlockDevices* devices) : previous_(SetBlockDevices(devices)) {}
  ~ScopedBlockDevices() { SetBlockDevices(previous_); }
  ScopedBlockDevices(const ScopedBlockDevices&) = delete;
  ScopedBlockDevices& operator=(const ScopedBlockDevices&) = delete;

 private:
  BlockDevices* previous_;
};

enum class EjectOutcome {
  kFailed,        // not a removable device, or it could not be unmounted
  kSafeToRemove,  // nothing of it is mounted any more, but it could not be ejected
  kEjected,
};

VOK_PLATFORM_API EjectOutcome EjectMedia(const std::string& target, ProcessRunner& runner,
                                         BlockDevices& devices,
                                         const std::vector<MountEntry>& mounts);
// The same with the process's runner, devices and mount table.
VOK_PLATFORM_API EjectOutcome EjectMedia(const std::string& target);

}  // namespace vok::sys
