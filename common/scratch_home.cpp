#include "common/scratch_home.h"

#include <stdlib.h>

#include <string>
#include <system_error>
#include <utility>

namespace vok {

namespace fs = std::filesystem;

ScratchHome::ScratchHome(const char* prefix) {
  std::string pattern = (fs::temp_directory_path() / (std::string(prefix) + "XXXXXX")).string();
  if (!mkdtemp(pattern.data())) return;
  root_ = pattern;
  const std::pair<const char*, const char*> folders[] = {
      {"HOME", "home"},
      {"QUILLO_HOME", "quillo"},
      {"XDG_CONFIG_HOME", "home/.config"},
      {"XDG_DATA_HOME", "home/.local/share"},
      {"XDG_CACHE_HOME", "home/.cache"},
      {"XDG_STATE_HOME", "home/.local/state"},
      {"XDG_RUNTIME_DIR", "runtime"},
  };
  std::error_code error;
  for (const auto& [name, sub] : folders) {
    const fs::path path = root_ / sub;
    fs::create_directories(path, error);
    setenv(name, path.c_str(), 1);
  }
  // The runtime folder must be private to the user.
  fs::permissions(root_ / "runtime", fs::perms::owner_all, error);
}

ScratchHome::~ScratchHome() {
  std::error_code error;
  if (!root_.empty()) fs::remove_all(root_, error);
}

}  // namespace vok
