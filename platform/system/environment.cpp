#include "platform/system/environment.h"

#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

extern char** environ;

namespace vok::sys {

bool SetEnvironmentVariable(const std::string& name, const std::string& value) {
  if (name.empty() || name.find('=') != std::string::npos) return false;
  return setenv(name.c_str(), value.c_str(), 1) == 0;
}

std::optional<std::vector<std::string>> EnvironmentBlock() {
  if (!environ) return std::nullopt;
  std::vector<std::string> block;
  for (char** entry = environ; *entry; ++entry) block.emplace_back(*entry);
  return block;
}

std::optional<std::string> CurrentUserName() {
  long room = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(room > 0 ? static_cast<size_t>(room) : 16384);
  passwd entry;
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
      !found->pw_name || !*found->pw_name)
    return std::nullopt;
  return std::string(found->pw_name);
}

}  // namespace vok::sys
