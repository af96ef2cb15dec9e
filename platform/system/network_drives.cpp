#include "platform/system/network_drives.h"

#include <algorithm>
#include <chrono>
#include <sstream>

#include "platform/system/process_runner.h"

namespace vok::sys {
namespace {

// Reaching a server that does not answer can take a while before GIO gives up.
constexpr std::chrono::milliseconds kGioTimeout{90000};

bool IsSchemeChar(char c, bool first) {
  bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  if (first) return alpha;
  return alpha || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

bool RunGio(std::vector<std::string> argv, ProcessRunner& runner) {
  std::optional<RunResult> result = runner.Run(argv, {}, kGioTimeout);
  return result && result->exitStatus == 0;
}

std::string Trimmed(std::string_view text) {
  size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string_view::npos) return {};
  size_t end = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(begin, end - begin + 1));
}

}  // namespace

bool IsNetworkLocation(std::string_view uri) {
  size_t colon = uri.find("://");
  if (colon == std::string_view::npos || colon == 0 || colon + 3 >= uri.size()) return false;
  for (size_t i = 0; i < colon; ++i)
    if (!IsSchemeChar(uri[i], i == 0)) return false;
  std::string scheme(uri.substr(0, colon));
  std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
  return scheme != "file";
}

// "--" ends gio's options, so a location can never be read as one.
bool MountNetworkLocation(const std::string& uri, ProcessRunner& runner) {
  return IsNetworkLocation(uri) && RunGio({"gio", "mount", "--", uri}, runner);
}

bool UnmountNetworkLocation(const std::string& uri, ProcessRunner& runner) {
  return IsNetworkLocation(uri) && RunGio({"gio", "mount", "-u", "--", uri}, runner);
}

std::vector<std::string> ParseMountedLocations(std::string_view listing) {
  std::vector<std::string> locations;
  std::istringstream lines{std::string(listing)};
  std::string line;
  while (std::getline(lines, line)) {
    std::string text = Trimmed(line);
    if (text.rfind("Mount(", 0) != 0) continue;
    size_t arrow = text.rfind(" -> ");
    if (arrow == std::string::npos) continue;
    std::string uri = Trimmed(std::string_view(text).substr(arrow + 4));
    if (IsNetworkLocation(uri) &&
        std::find(locations.begin(), locations.end(), uri) == locations.end())
      locations.push_back(uri);
  }
  return locations;
}

std::vector<std::string> MountedNetworkLocations(ProcessRunner& runner) {
  std::optional<RunResult> result = runner.Run({"gio", "mount", "-l"}, {}, kGioTimeout);
  if (!result || result->exitStatus != 0) return {};
  return ParseMountedLocations(result->output);
}

}  // namespace vok::sys
