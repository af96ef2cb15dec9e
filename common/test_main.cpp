// Test entry point: every test program runs with HOME, QUILLO_HOME and the XDG folders pointing
// at a fresh temporary folder, so no test can touch the real user's files or settings.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

namespace {

void PointUserFoldersAt(const std::string& root) {
  const std::pair<const char*, const char*> folders[] = {
      {"HOME", "home"},
      {"QUILLO_HOME", "quillo"},
      {"XDG_CONFIG_HOME", "home/.config"},
      {"XDG_DATA_HOME", "home/.local/share"},
      {"XDG_CACHE_HOME", "home/.cache"},
      {"XDG_STATE_HOME", "home/.local/state"},
      {"XDG_RUNTIME_DIR", "runtime"},
  };
  for (const auto& [name, sub] : folders) {
    std::string path = root + "/" + sub;
    std::filesystem::create_directories(path);
    setenv(name, path.c_str(), 1);
  }
  std::filesystem::permissions(root + "/runtime", std::filesystem::perms::owner_all);
}

}  // namespace

int main(int argc, char** argv) {
  std::string pattern = (std::filesystem::temp_directory_path() / "quillo-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return 2;
  PointUserFoldersAt(pattern);
  // Second guard behind the session seam: the real log-off/reboot/power-off refuses to act.
  setenv("QUILLO_DISABLE_SESSION_ACTIONS", "1", 1);
  testing::InitGoogleTest(&argc, argv);
  int result = RUN_ALL_TESTS();
  std::filesystem::remove_all(pattern);
  return result;
}
