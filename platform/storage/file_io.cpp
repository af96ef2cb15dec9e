#include "platform/storage/file_io.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <random>
#include <utility>

namespace vok::storage {
namespace {

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool FolderExists(const std::string& path) {
  struct stat info;
  return stat(FolderOf(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

HRESULT ReadStatus(int error, const std::string& path) {
  switch (error) {
    case ENOENT:
      return FolderExists(path) ? STG_E_FILENOTFOUND : STG_E_PATHNOTFOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
      return STG_E_PATHNOTFOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
      return STG_E_ACCESSDENIED;
    default:
      return STG_E_READFAULT;
  }
}

HRESULT WriteStatus(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return STG_E_MEDIUMFULL;
    case EACCES:
    case EPERM:
    case EROFS:
      return STG_E_ACCESSDENIED;
    case ENOENT:
    case ENOTDIR:
      return STG_E_PATHNOTFOUND;
    default:
      return STG_E_WRITEFAULT;
  }
}

// Closes the descriptor when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const { return fd_; }
  // Closes now, reporting failure (a delayed write error may only show here).
  bool Close() { return close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

// Only regular files are read; O_NONBLOCK keeps a named pipe from blocking the open.
HRESULT OpenForReading(const std::string& path, int* fd) {
  *fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (*fd < 0) return ReadStatus(errno, path);
  struct stat info;
  if (fstat(*fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(*fd);
    *fd = -1;
    return STG_E_ACCESSDENIED;
  }
  return S_OK;
}

// Reads until `limit` bytes or the end of the file.
HRESULT ReadUpTo(int fd, size_t limit, std::vector<uint8_t>* out) {
  out->clear();
  uint8_t buffer[1 << 16];
  while (out->size() < limit) {
    size_t want = std::min(sizeof buffer, limit - out->size());
    ssize_t n = read(fd, buffer, want);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return STG_E_READFAULT;
    if (n == 0) break;
    out->insert(out->end(), buffer, buffer + n);
  }
  return S_OK;
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Creates a new, uniquely named file beside `target`; O_EXCL ensures nothing is overwritten.
int CreateTemporarySibling(const std::string& target, std::string* tempPath) {
  std::random_device seed;
  std::mt19937 random(seed());
  const std::string prefix = FolderOf(target) + "/." + BaseNameOf(target) + ".tmp-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    *tempPath = prefix + std::to_string(getpid()) + "-" + std::to_string(random() % 1000000);
    int fd = open(tempPath->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

HRESULT ReadFilePrefix(const std::string& path, size_t limit, std::vector<uint8_t>* out) {
  int raw;
  HRESULT hr = OpenForReading(path, &raw);
  if (FAILED(hr)) return hr;
  FileDescriptor fd(raw);
  return ReadUpTo(fd.Get(), limit, out);
}

HRESULT ReadWholeFile(const std::string& path, std::vector<uint8_t>* out) {
  int raw;
  HRESULT hr = OpenForReading(path, &raw);
  if (FAILED(hr)) return hr;
  FileDescriptor fd(raw);
  struct stat info;
  if (fstat(fd.Get(), &info) != 0) return STG_E_READFAULT;
  out->reserve(static_cast<size_t>(info.st_size));
  return ReadUpTo(fd.Get(), SIZE_MAX, out);
}

std::string ResolveSaveTarget(const std::string& path) {
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved)) return resolved;
  return path;
}

HRESULT CheckCreatable(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return STG_E_ACCESSDENIED;
  const std::string folder = FolderOf(path);
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return STG_E_PATHNOTFOUND;
  if (access(folder.c_str(), W_OK | X_OK) != 0) return STG_E_ACCESSDENIED;
  return S_OK;
}

HRESULT ReplaceFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::string tempPath;
  FileDescriptor fd(CreateTemporarySibling(path, &tempPath));
  if (fd.Get() < 0) return WriteStatus(errno);
  auto fail = [&tempPath](int error) {
    unlink(tempPath.c_str());
    return WriteStatus(error);
  };
  struct stat existing;
  if (stat(path.c_str(), &existing) == 0 && fchmod(fd.Get(), existing.st_mode & 07777) != 0) {
    return fail(errno);
  }
  if (!WriteAll(fd.Get(), bytes.data(), bytes.size())) return fail(errno);
  if (fsync(fd.Get()) != 0) return fail(errno);
  if (!fd.Close()) return fail(errno);
  if (rename(tempPath.c_str(), path.c_str()) != 0) return fail(errno);
  // The new content is in place now; syncing the folder makes the rename itself durable. A
  // failure here cannot be undone and does not endanger either version's data.
  int folder = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    fsync(folder);
    close(folder);
  }
  return S_OK;
}

}  // namespace vok::storage
