#include "platform/shell/trash.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/shell/file_operations.h"
#include "platform/shell/paths.h"
#include "platform/system/mounts.h"

namespace vok::shell {
namespace {

namespace fs = std::filesystem;

constexpr char kInfoSuffix[] = ".trashinfo";
// Enough tries for any realistic pile of equal names.
constexpr int kMaxNameTries = 10000;

bool IsRealDirectory(const fs::path& path, struct stat* info = nullptr) {
  struct stat local;
  struct stat* st = info ? info : &local;
  return lstat(path.c_str(), st) == 0 && S_ISDIR(st->st_mode);
}

// Creates `path` (mode 0700) when missing; true when it is then a real folder.
bool EnsurePrivateFolder(const fs::path& path) {
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  return IsRealDirectory(path);
}

bool EnsureTrashLayout(const fs::path& root) {
  return EnsurePrivateFolder(root) && EnsurePrivateFolder(root / "files") &&
         EnsurePrivateFolder(root / "info");
}

bool HasTrashLayout(const fs::path& root) {
  return IsRealDirectory(root) && IsRealDirectory(root / "files") && IsRealDirectory(root / "info");
}

dev_t DeviceOf(const fs::path& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0 ? info.st_dev : static_cast<dev_t>(-1);
}

// The top folder of the file system holding `item`: the highest folder above it on the same
// device.
fs::path TopDirOf(const fs::path& item) {
  fs::path folder = item.parent_path();
  dev_t device = DeviceOf(folder);
  while (folder.has_relative_path()) {
    fs::path up = folder.parent_path();
    if (DeviceOf(up) != device) break;
    folder = up;
  }
  return folder;
}

// The item's absolute path with its folder resolved (the item itself is not followed).
std::optional<fs::path> AbsoluteItemPath(const fs::path& item) {
  std::error_code error;
  fs::path folder = fs::canonical(item.parent_path().empty() ? "." : item.parent_path(), error);
  if (error || item.filename().empty() || item.filename() == "." || item.filename() == "..")
    return std::nullopt;
  return folder / item.filename();
}

std::optional<TrashFolder> TrashFor(const fs::path& item) {
  fs::path home = HomeTrashPath();
  std::error_code error;
  fs::create_directories(home.parent_path(), error);
  if (EnsureTrashLayout(home)) {
    if (DeviceOf(home) == DeviceOf(item)) return TrashFolder{home, {}};
  } else if (DeviceOf(home.parent_path()) == DeviceOf(item)) {
    return std::nullopt;  // the item belongs in a home trash that cannot be made
  }
  return VolumeTrash(TopDirOf(item), getuid(), true);
}

// "name", "name.2", "name.3" ... keeping an extension last: "a.txt", "a.2.txt".
std::string CandidateName(const fs::path& name, int n) {
  if (n == 1) return name.string();
  std::string stem = name.stem().string(), extension = name.extension().string();
  return stem + "." + std::to_string(n) + extension;
}

bool WriteAll(int fd, const std::string& text) {
  size_t written = 0;
  while (written < text.size()) {
    ssize_t n = write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<size_t>(n);
  }
  return true;
}

bool ClearFolder(const fs::path& folder) {
  std::error_code error;
  bool ok = true;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code removeError;
    fs::remove_all(it->path(), removeError);
    if (removeError) ok = false;
  }
  return ok && !error;
}

}  // namespace

fs::path HomeTrashPath() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && data[0] == '/') return fs::path(data) / "Trash";
  return fs::path(HomeFolder()) / ".local/share/Trash";
}

std::optional<TrashFolder> VolumeTrash(const fs::path& topDir, uid_t uid, bool create) {
  const std::string id = std::to_string(uid);
  // A shared .Trash is trusted only as a real folder with the sticky bit, so no other user
  // can have planted or replaced the per-user folder inside it.
  struct stat shared;
  if (IsRealDirectory(topDir / ".Trash", &shared) && (shared.st_mode & S_ISVTX)) {
    fs::path root = topDir / ".Trash" / id;
    struct stat own;
    if (create) EnsureTrashLayout(root);
    if (IsRealDirectory(root, &own) && own.st_uid == uid && HasTrashLayout(root))
      return TrashFolder{root, topDir};
  }
  fs::path root = topDir / (".Trash-" + id);
  if (create) EnsureTrashLayout(root);
  struct stat own;
  if (IsRealDirectory(root, &own) && own.st_uid == uid && HasTrashLayout(root))
    return TrashFolder{root, topDir};
  return std::nullopt;
}

std::string EncodeTrashPath(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                 c == '-' || c == '_' || c == '.' || c == '~' || c == '/';
    if (plain) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 0xF]);
    }
  }
  return out;
}

std::string TrashInfoText(std::string_view encodedPath, std::time_t deletedAt) {
  std::tm local{};
  localtime_r(&deletedAt, &local);
  char date[32];
  std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
  return "[Trash Info]\nPath=" + std::string(encodedPath) + "\nDeletionDate=" + date + "\n";
}

bool TrashItemInto(const fs::path& item, const TrashFolder& trash) {
  std::string original = item.string();
  if (!trash.topDir.empty()) {
    std::error_code error;
    fs::path relative = item.lexically_relative(trash.topDir);
    if (!relative.empty() && *relative.begin() != "..") original = relative.string();
  }
  const std::string info = TrashInfoText(EncodeTrashPath(original), std::time(nullptr));
  const fs::path name = item.filename();
  for (int n = 1; n <= kMaxNameTries; ++n) {
    const std::string candidate = CandidateName(name, n);
    const fs::path infoPath = trash.root / "info" / (candidate + kInfoSuffix);
    // The .trashinfo is created exclusively: it reserves the name against other programs
    // trashing at the same time.
    int fd = open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    bool written = WriteAll(fd, info);
    written = close(fd) == 0 && written;
    if (written && RenameNoReplace(item, trash.root / "files" / candidate)) return true;
    const bool taken = written && errno == EEXIST;
    unlink(infoPath.c_str());
    if (!taken) return false;
  }
  return false;
}

bool MoveToTrash(const std::string& source, Wildcards wildcards) {
  std::vector<fs::path> items = ExpandWildcards(source, wildcards);
  if (items.empty()) return false;
  std::vector<std::pair<fs::path, TrashFolder>> moves;
  for (const fs::path& item : items) {
    std::optional<fs::path> absolute = AbsoluteItemPath(item);
    if (!absolute || IsProtectedFolder(*absolute)) return false;
    std::optional<TrashFolder> trash = TrashFor(*absolute);
    if (!trash) return false;
    // The trash itself (or a folder holding it) cannot go into the trash.
    std::error_code error;
    const std::string root = fs::weakly_canonical(trash->root, error).string();
    if (error || root == absolute->string() || root.rfind(absolute->string() + "/", 0) == 0)
      return false;
    moves.emplace_back(*absolute, *trash);
  }
  for (const auto& [item, trash] : moves)
    if (!TrashItemInto(item, trash)) return false;
  return true;
}

std::vector<TrashFolder> ExistingTrashFolders() {
  std::vector<TrashFolder> folders;
  fs::path home = HomeTrashPath();
  if (HasTrashLayout(home)) folders.push_back({home, {}});
  for (const sys::MountEntry& mount : sys::CurrentMounts()) {
    if (sys::IsPseudoFileSystem(mount.type)) continue;
    std::optional<TrashFolder> trash = VolumeTrash(mount.mountPoint, getuid(), false);
    if (!trash) continue;
    bool known = false;
    for (const TrashFolder& folder : folders) known = known || folder.root == trash->root;
    if (!known) folders.push_back(*trash);
  }
  return folders;
}

std::optional<int64_t> CountTrashItems() {
  int64_t count = 0;
  for (const TrashFolder& trash : ExistingTrashFolders()) {
    std::error_code error;
    for (fs::directory_iterator it(trash.root / "files", error), end; !error && it != end;
         it.increment(error))
      ++count;
    if (error) return std::nullopt;
  }
  return count;
}

bool EmptyTrash() {
  bool ok = true;
  for (const TrashFolder& trash : ExistingTrashFolders()) {
    ok = ClearFolder(trash.root / "files") && ok;
    ok = ClearFolder(trash.root / "info") && ok;
    std::error_code error;
    fs::remove(trash.root / "directorysizes", error);
  }
  return ok;
}

}  // namespace vok::shell
