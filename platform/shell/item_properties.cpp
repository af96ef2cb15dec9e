#include "platform/shell/item_properties.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include <QMimeDatabase>
#include <QMimeType>
#include <ctime>
#include <filesystem>

namespace vok::shell {
namespace {

namespace fs = std::filesystem;

std::string WithThousands(uint64_t value) {
  std::string digits = std::to_string(value);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
    digits.insert(static_cast<size_t>(i), ",");
  return digits;
}

std::string LocalTime(time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

std::string OwnerText(uid_t uid, gid_t gid) {
  std::string user = std::to_string(uid), groupName = std::to_string(gid);
  char buffer[16384];
  struct passwd pw;
  struct passwd* foundUser = nullptr;
  if (getpwuid_r(uid, &pw, buffer, sizeof buffer, &foundUser) == 0 && foundUser)
    user = foundUser->pw_name;
  struct group gr;
  struct group* foundGroup = nullptr;
  if (getgrgid_r(gid, &gr, buffer, sizeof buffer, &foundGroup) == 0 && foundGroup)
    groupName = foundGroup->gr_name;
  return user + " (group " + groupName + ")";
}

std::string TypeText(const std::string& path, const struct stat& info) {
  if (S_ISLNK(info.st_mode)) return "Symbolic link";
  if (S_ISDIR(info.st_mode)) return "Folder";
  if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return "Device";
  if (S_ISFIFO(info.st_mode)) return "Pipe";
  if (S_ISSOCK(info.st_mode)) return "Socket";
  QMimeType type = QMimeDatabase().mimeTypeForFile(QString::fromStdString(path));
  return type.comment().toStdString() + " (" + type.name().toStdString() + ")";
}

}  // namespace

std::string DescribeSize(uint64_t bytes) {
  if (bytes == 1) return "1 byte";
  if (bytes < 1024) return std::to_string(bytes) + " bytes";
  static constexpr const char* kUnits[] = {"KiB", "MiB", "GiB", "TiB", "PiB"};
  double value = static_cast<double>(bytes) / 1024;
  size_t unit = 0;
  while (value >= 1024 && unit + 1 < std::size(kUnits)) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
  return std::string(text) + " (" + WithThousands(bytes) + " bytes)";
}

std::string DescribePermissions(unsigned mode) {
  std::string text = "---------";
  const char letters[] = "rwxrwxrwx";
  for (int i = 0; i < 9; ++i)
    if (mode & (0400u >> i)) text[static_cast<size_t>(i)] = letters[i];
  if (mode & S_ISUID) text[2] = text[2] == 'x' ? 's' : 'S';
  if (mode & S_ISGID) text[5] = text[5] == 'x' ? 's' : 'S';
  if (mode & S_ISVTX) text[8] = text[8] == 'x' ? 't' : 'T';
  return text;
}

std::optional<std::vector<std::pair<std::string, std::string>>> ItemProperties(
    const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return std::nullopt;
  fs::path item(path);
  std::vector<std::pair<std::string, std::string>> rows;
  std::string name = item.filename().string();
  rows.emplace_back("Name", name.empty() ? path : name);
  rows.emplace_back("Type", TypeText(path, info));
  rows.emplace_back("Location", item.parent_path().string());
  std::error_code error;
  if (S_ISLNK(info.st_mode)) {
    rows.emplace_back("Link target", fs::read_symlink(item, error).string());
  } else if (S_ISDIR(info.st_mode)) {
    uint64_t count = 0;
    for (fs::directory_iterator it(item, error), end; !error && it != end; it.increment(error))
      ++count;
    rows.emplace_back("Contains", error
                                      ? std::string("(cannot be read)")
                                      : std::to_string(count) + (count == 1 ? " item" : " items"));
  } else {
    rows.emplace_back("Size", DescribeSize(static_cast<uint64_t>(info.st_size)));
  }
  rows.emplace_back("Modified", LocalTime(info.st_mtime));
  rows.emplace_back("Permissions", DescribePermissions(info.st_mode));
  rows.emplace_back("Owner", OwnerText(info.st_uid, info.st_gid));
  return rows;
}

}  // namespace vok::shell
