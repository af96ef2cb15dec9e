// Network locations through gio: what counts as one, the gio command lines, and the listing.
#include "platform/system/network_drives.h"

#include <gtest/gtest.h>

#include "platform/system/recording_process_runner.h"

namespace vok::sys {
namespace {

using Command = std::vector<std::string>;
using test::RecordingProcessRunner;

TEST(NetworkDrivesTest, RecognisesNetworkLocations) {
  const std::pair<const char*, bool> cases[] = {
      {"smb://server/share", true},
      {"sftp://ann@host:22/home", true},
      {"DAV://host/x", true},
      {"file:///etc", false},
      {"FILE:///etc", false},
      {"/mnt/share", false},
      {"server/share", false},
      {"-o://x", false},
      {"://x", false},
      {"smb://", false},
      {"1smb://x", false},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(expected, IsNetworkLocation(text)) << text;
}

TEST(NetworkDrivesTest, MountsAndUnmountsWithGioAndReportsFailures) {
  RecordingProcessRunner runner;
  EXPECT_FALSE(MountNetworkLocation("smb://server/share", runner));  // no gio
  runner.calls.clear();
  runner.installed = {"gio"};
  EXPECT_TRUE(MountNetworkLocation("smb://server/my share", runner));
  EXPECT_TRUE(UnmountNetworkLocation("smb://server/my share", runner));
  EXPECT_EQ((std::vector<Command>{{"gio", "mount", "--", "smb://server/my share"},
                                  {"gio", "mount", "-u", "--", "smb://server/my share"}}),
            runner.Commands());
  runner.results["gio"] = {{2, "gio: smb://server/share: Failed to mount", false}};
  EXPECT_FALSE(MountNetworkLocation("smb://server/share", runner));
  // Not a location: gio is not even asked.
  size_t calls = runner.calls.size();
  EXPECT_FALSE(MountNetworkLocation("--help", runner));
  EXPECT_FALSE(UnmountNetworkLocation("/home", runner));
  EXPECT_EQ(calls, runner.calls.size());
}

TEST(NetworkDrivesTest, ListsTheMountedLocations) {
  const char* listing =
      "Drive(0): SAMSUNG SSD\n"
      "  Type: GProxyDrive (GProxyVolumeMonitorUDisks2)\n"
      "Volume(0): Data\n"
      "  Mount(0): Data -> file:///media/ann/Data\n"
      "Mount(1): share on server -> smb://server/share/\n"
      "  Type: GDaemonMount\n"
      "Mount(2): ann on host -> sftp://ann@host/\n"
      "Mount(3): share on server -> smb://server/share/\n";
  EXPECT_EQ((std::vector<std::string>{"smb://server/share/", "sftp://ann@host/"}),
            ParseMountedLocations(listing));

  RecordingProcessRunner runner;
  runner.installed = {"gio"};
  runner.results["gio"] = {{0, listing, false}};
  EXPECT_EQ(2u, MountedNetworkLocations(runner).size());
  EXPECT_EQ((Command{"gio", "mount", "-l"}), runner.calls.back().argv);
}

}  // namespace
}  // namespace vok::sys
