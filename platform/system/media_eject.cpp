#include "platform/system/media_eject.h"

#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "platform/system/process_runner.h"

namespace vok::sys {
namespace {

namespace fs = std::filesystem;

// Unmounting may wait for buffered data to reach a slow stick.
constexpr std::chrono::milliseconds kUdisksTimeout{120000};

std::string ReadFirstLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

class KernelBlockDevices final : public BlockDevices {
 public:
  DriveKind KindOf(const std::string& device) override {
    struct stat info;
    if (stat(device.c_str(), &info) != 0 || !S_ISBLK(info.st_mode)) return DriveKind::kNone;
    std::error_code error;
    // /sys/dev/block/MAJOR:MINOR leads to the device's folder, /sys/devices/.../block/sdb[/sdb1].
    fs::path node = fs::canonical("/sys/dev/block/" + std::to_string(major(info.st_rdev)) + ":" +
                                      std::to_string(minor(info.st_rdev)),
                                  error);
    if (error) return DriveKind::kFixed;
    fs::path disk = fs::exists(node / "partition", error) ? node.parent_path() : node;
    // SCSI peripheral type 5 is a CD/DVD drive.
    if (disk.filename().string().rfind("sr", 0) == 0 || ReadFirstLine(disk / "device/type") == "5")
      return DriveKind::kOptical;
    // USB disks often call themselves fixed; they are still unplugged by the user.
    if (ReadFirstLine(disk / "removable") == "1" || disk.string().find("/usb") != std::string::npos)
      return DriveKind::kRemovable;
    return DriveKind::kFixed;
  }

  bool EjectOptical(const std::string& device) override {
    int fd = open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    ioctl(fd, CDROM_LOCKDOOR, 0);
    bool ejected = ioctl(fd, CDROMEJECT, 0) == 0;
    close(fd);
    return ejected;
  }
};

KernelBlockDevices& DefaultDevices() {
  static KernelBlockDevices devices;
  return devices;
}

BlockDevices* g_devices = nullptr;

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// The device `target` names: the source of the volume mounted there, or the target itself
// (its /dev/disk/by-* links resolved).
std::string DeviceOf(const std::string& target, const std::vector<MountEntry>& mounts) {
  std::string wanted = WithoutTrailingSlash(target);
  for (const MountEntry& entry : mounts)
    if (WithoutTrailingSlash(entry.mountPoint) == wanted) return entry.device;
  std::error_code error;
  fs::path resolved = fs::weakly_canonical(wanted, error);
  return error ? wanted : resolved.string();
}

bool Succeeded(const std::optional<RunResult>& result) { return result && result->exitStatus == 0; }

}  // namespace

BlockDevices& CurrentBlockDevices() { return g_devices ? *g_devices : DefaultDevices(); }

BlockDevices* SetBlockDevices(BlockDevices* devices) {
  BlockDevices* previous = g_devices;
  g_devices = devices;
  return previous;
}

EjectOutcome EjectMedia(const std::string& target, ProcessRunner& runner, BlockDevices& devices,
                        const std::vector<MountEntry>& mounts) {
  if (target.empty()) return EjectOutcome::kFailed;
  std::string device = DeviceOf(target, mounts);
  DriveKind kind = devices.KindOf(device);
  if (kind != DriveKind::kRemovable && kind != DriveKind::kOptical) return EjectOutcome::kFailed;

  bool mounted = false;
  for (const MountEntry& entry : mounts) mounted = mounted || entry.device == device;
  if (mounted && !Succeeded(runner.Run({"udisksctl", "unmount", "--block-device", device}, {},
                                       kUdisksTimeout)))
    return EjectOutcome::kFailed;

  bool ejected = kind == DriveKind::kOptical
                     ? devices.EjectOptical(device)
                     : Succeeded(runner.Run({"udisksctl", "power-off", "--block-device", device},
                                            {}, kUdisksTimeout));
  return ejected ? EjectOutcome::kEjected : EjectOutcome::kSafeToRemove;
}

EjectOutcome EjectMedia(const std::string& target) {
  return EjectMedia(target, CurrentProcessRunner(), CurrentBlockDevices(), CurrentMounts());
}

}  // namespace vok::sys
