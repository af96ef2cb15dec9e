// Ejecting: which device a target names, what is unmounted and how the drive is ejected.
#include "platform/system/media_eject.h"

#include <gtest/gtest.h>

#include "platform/system/recording_process_runner.h"

namespace vok::sys {
namespace {

using Command = std::vector<std::string>;
using test::FakeBlockDevices;
using test::RecordingProcessRunner;

class EjectTest : public testing::Test {
 protected:
  EjectTest() {
    runner_.installed = {"udisksctl"};
    devices_.kinds = {{"/dev/sdb1", DriveKind::kRemovable},
                      {"/dev/sr0", DriveKind::kOptical},
                      {"/dev/sda2", DriveKind::kFixed}};
    mounts_ = {{"/dev/sda2", "/", "ext4"},
               {"/dev/sdb1", "/media/ann/MY STICK", "vfat"},
               {"/dev/sr0", "/media/ann/DISC", "iso9660"},
               {"tmpfs", "/tmp", "tmpfs"}};
  }

  EjectOutcome Eject(const std::string& target) {
    return EjectMedia(target, runner_, devices_, mounts_);
  }

  RecordingProcessRunner runner_;
  FakeBlockDevices devices_;
  std::vector<MountEntry> mounts_;
};

TEST_F(EjectTest, UnmountsThenPowersOffARemovableDriveNamedByItsMountPoint) {
  EXPECT_EQ(EjectOutcome::kEjected, Eject("/media/ann/MY STICK/"));
  EXPECT_EQ((std::vector<Command>{{"udisksctl", "unmount", "--block-device", "/dev/sdb1"},
                                  {"udisksctl", "power-off", "--block-device", "/dev/sdb1"}}),
            runner_.Commands());
}

TEST_F(EjectTest, OpticalDiscsLeaveThroughTheTray) {
  EXPECT_EQ(EjectOutcome::kEjected, Eject("/media/ann/DISC"));
  EXPECT_EQ((std::vector<Command>{{"udisksctl", "unmount", "--block-device", "/dev/sr0"}}),
            runner_.Commands());
  EXPECT_EQ(std::vector<std::string>{"/dev/sr0"}, devices_.ejected);
}

TEST_F(EjectTest, NothingMountedIsNotUnmounted) {
  mounts_.erase(mounts_.begin() + 1);
  EXPECT_EQ(EjectOutcome::kEjected, Eject("/dev/sdb1"));
  EXPECT_EQ((std::vector<Command>{{"udisksctl", "power-off", "--block-device", "/dev/sdb1"}}),
            runner_.Commands());
}

TEST_F(EjectTest, UnmountedButNotEjectedIsSafeToRemove) {
  runner_.results["udisksctl"] = {{0, "", false}, {1, "not supported", false}};
  EXPECT_EQ(EjectOutcome::kSafeToRemove, Eject("/dev/sdb1"));
  devices_.ejectSucceeds = false;
  EXPECT_EQ(EjectOutcome::kSafeToRemove, Eject("/dev/sr0"));
}

TEST_F(EjectTest, ABusyVolumeIsNeitherEjectedNorPoweredOff) {
  runner_.results["udisksctl"] = {{1, "target is busy", false}};
  EXPECT_EQ(EjectOutcome::kFailed, Eject("/dev/sdb1"));
  EXPECT_EQ(1u, runner_.calls.size());
  runner_.installed.clear();  // without udisks a mounted drive cannot be ejected
  EXPECT_EQ(EjectOutcome::kFailed, Eject("/dev/sdb1"));
}

TEST_F(EjectTest, RefusesWhatIsNoRemovableDrive) {
  for (const char* target : {"/", "/dev/sda2", "/tmp", "/dev/null", "d:", "", "/no/such/dev"}) {
    EXPECT_EQ(EjectOutcome::kFailed, Eject(target)) << target;
  }
  EXPECT_TRUE(runner_.calls.empty());
  EXPECT_TRUE(devices_.ejected.empty());
}

TEST(MountsTest, ParsesTheKernelTableWithItsEscapes) {
  std::vector<MountEntry> mounts = ParseMounts(
      "/dev/sdb1 /media/ann/MY\\040STICK vfat rw,nosuid 0 0\n"
      "proc /proc proc rw 0 0\n"
      "broken-line\n"
      "/dev/sda1 /data\\134x ext4 rw 0 0\n");
  ASSERT_EQ(3u, mounts.size());
  EXPECT_EQ("/media/ann/MY STICK", mounts[0].mountPoint);
  EXPECT_EQ("vfat", mounts[0].type);
  EXPECT_EQ("/data\\x", mounts[2].mountPoint);
  EXPECT_TRUE(IsPseudoFileSystem(mounts[1].type));
  EXPECT_FALSE(IsPseudoFileSystem("ext4"));
}

}  // namespace
}  // namespace vok::sys
