#include "platform/system/mounts.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace vok::sys {
namespace {

// The table writes blank, tab, newline and backslash in fields as \ooo.
std::string DecodeField(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      std::string_view digits = field.substr(i + 1, 3);
      if (digits.find_first_not_of("01234567") == std::string_view::npos) {
        out.push_back(static_cast<char>(((digits[0] - '0') << 6) | ((digits[1] - '0') << 3) |
                                        (digits[2] - '0')));
        i += 3;
        continue;
      }
    }
    out.push_back(field[i]);
  }
  return out;
}

std::vector<MountEntry> ReadProcMounts() {
  std::ifstream in("/proc/self/mounts");
  if (!in) return {};
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return ParseMounts(text);
}

MountReader& Reader() {
  static MountReader reader;
  return reader;
}

}  // namespace

std::vector<MountEntry> ParseMounts(std::string_view text) {
  std::vector<MountEntry> mounts;
  std::istringstream lines{std::string(text)};
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string device, mountPoint, type;
    if (!(fields >> device >> mountPoint >> type)) continue;
    mounts.push_back({DecodeField(device), DecodeField(mountPoint), DecodeField(type)});
  }
  return mounts;
}

bool IsPseudoFileSystem(std::string_view type) {
  static constexpr std::string_view kPseudo[] = {
      "autofs", "binfmt_misc", "bpf",        "cgroup",     "cgroup2",   "configfs", "debugfs",
      "devpts", "devtmpfs",    "efivarfs",   "fusectl",    "hugetlbfs", "mqueue",   "nsfs",
      "proc",   "pstore",      "rpc_pipefs", "securityfs", "sysfs",     "tracefs"};
  for (std::string_view pseudo : kPseudo)
    if (type == pseudo) return true;
  return false;
}

std::vector<MountEntry> CurrentMounts() { return Reader() ? Reader()() : ReadProcMounts(); }

MountReader SetMountReader(MountReader reader) {
  MountReader previous = std::move(Reader());
  Reader() = std::move(reader);
  return previous;
}

}  // namespace vok::sys
