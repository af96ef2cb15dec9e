#include "platform/shell/file_operations.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "platform/shell/paths.h"

namespace vok::shell {
namespace {

namespace fs = std::filesystem;

// Bytes of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF7) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC0) return 2;
  return 1;
}

bool Exists(const fs::path& path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(path, error));
}

// A real folder, not a link to one.
bool IsRealDirectory(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(fs::symlink_status(path, error));
}

bool IsDirectory(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(fs::status(path, error));
}

bool MayWriteIn(const fs::path& folder) {
  return access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) == 0;
}

// A link is copied as a link: what it points to need not be readable (or exist).
bool MayRead(const fs::path& item) {
  std::error_code error;
  if (fs::is_symlink(fs::symlink_status(item, error))) return true;
  return access(item.c_str(), IsRealDirectory(item) ? (R_OK | X_OK) : R_OK) == 0;
}

// The last part of a typed path ("a/b/" → "b").
std::string LastPart(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

fs::path WithoutTrailingSlash(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  return trimmed;
}

// The item a typed path names: "dir/." and "dir/.." are resolved as the kernel would, so an
// operation acts on that folder and never walks into it by way of its "." entry.
fs::path ItemPath(const std::string& path) {
  fs::path whole = WithoutTrailingSlash(path);
  if (whole.filename() != "." && whole.filename() != "..") return whole;
  std::error_code error;
  fs::path resolved = fs::weakly_canonical(whole, error);
  return error ? whole : WithoutTrailingSlash(resolved.string());
}

// `inner` is `outer` or lies below it (both resolved as far as they exist).
bool IsWithin(const fs::path& inner, const fs::path& outer) {
  std::error_code error;
  fs::path a = fs::weakly_canonical(inner, error);
  if (error) return false;
  fs::path b = fs::weakly_canonical(outer, error);
  if (error) return false;
  auto [end, unused] = std::mismatch(b.begin(), b.end(), a.begin(), a.end());
  // A trailing empty element ("dir/") belongs to neither.
  return end == b.end() || (std::next(end) == b.end() && end->empty());
}

bool SameItem(const fs::path& a, const fs::path& b) {
  std::error_code error;
  return Exists(b) && fs::equivalent(a, b, error) && !error;
}

// ---- Staging: copies made under a temporary name beside their destination ----

struct Staged {
  fs::path staged;
  fs::path to;
};

void Discard(std::vector<Staged>& staged) {
  std::error_code error;
  for (const Staged& item : staged) fs::remove_all(item.staged, error);
  staged.clear();
}

// Copies a symbolic link as a link, a regular file with its permissions and modification
// time, a folder with everything in it. Other kinds (sockets, pipes, devices) hold no content
// that can be copied and are left out.
bool CopyTree(const fs::path& from, const fs::path& to, bool targetExists) {
  std::error_code error;
  fs::file_status status = fs::symlink_status(from, error);
  if (error) return false;
  if (fs::is_symlink(status)) {
    if (targetExists) fs::remove(to, error);
    fs::copy_symlink(from, to, error);
    return !error;
  }
  if (fs::is_regular_file(status)) {
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
    if (error) return false;
    fs::permissions(to, status.permissions(), error);
    fs::last_write_time(to, fs::last_write_time(from, error), error);
    return true;
  }
  if (fs::is_directory(status)) {
    if (!targetExists && !fs::create_directory(to, error)) return false;
    for (fs::directory_iterator it(from, error), end; !error && it != end; it.increment(error)) {
      if (!CopyTree(it->path(), to / it->path().filename(), false)) return false;
    }
    if (error) return false;
    fs::permissions(to, status.permissions(), error);
    return !error;
  }
  return true;
}

// Reserves a free temporary name in `folder` (as an empty file or folder) and copies `from`
// into it.
bool StageCopy(const fs::path& from, const fs::path& to, std::vector<Staged>* staged) {
  std::string pattern = (to.parent_path() / ".quillo-copy-XXXXXX").string();
  std::error_code error;
  bool folder = IsRealDirectory(from);
  if (folder) {
    if (!mkdtemp(pattern.data())) return false;
  } else {
    int fd = mkstemp(pattern.data());
    if (fd < 0) return false;
    close(fd);
    // A link is made in the reserved name's place.
    if (fs::is_symlink(fs::symlink_status(from, error))) fs::remove(pattern, error);
  }
  staged->push_back({pattern, to});
  return CopyTree(from, pattern, !fs::is_symlink(fs::symlink_status(from, error)));
}

bool Commit(const Staged& item, bool replaceExisting) {
  if (replaceExisting) return rename(item.staged.c_str(), item.to.c_str()) == 0;
  return RenameNoReplace(item.staged, item.to);
}

bool IsListed(const fs::path& path, const std::vector<fs::path>& list) {
  return std::find(list.begin(), list.end(), path) != list.end();
}

bool CopyAll(const TransferPlan& plan, bool replaceExisting) {
  std::vector<Staged> staged;
  for (const Transfer& item : plan.items) {
    if (!StageCopy(item.from, item.to, &staged)) {
      Discard(staged);
      return false;
    }
  }
  for (size_t i = 0; i < staged.size(); ++i) {
    if (Commit(staged[i], replaceExisting)) continue;
    // Take back the new items already in place; a replaced file was replaced by a complete
    // copy and stays.
    std::error_code error;
    for (size_t done = 0; done < i; ++done)
      if (!IsListed(staged[done].to, plan.existing)) fs::remove_all(staged[done].to, error);
    std::vector<Staged> rest(staged.begin() + static_cast<ptrdiff_t>(i), staged.end());
    Discard(rest);
    return false;
  }
  return true;
}

bool OnSameDevice(const fs::path& item, const fs::path& folder) {
  struct stat a, b;
  return lstat(item.c_str(), &a) == 0 && stat(folder.c_str(), &b) == 0 && a.st_dev == b.st_dev;
}

bool RenameInPlace(const Transfer& item, bool replaceExisting) {
  return replaceExisting ? rename(item.from.c_str(), item.to.c_str()) == 0
                         : RenameNoReplace(item.from, item.to);
}

// A move is a rename on one file system; across file systems it is a copy, and the source is
// removed only after every item reached its destination.
bool MoveAll(const TransferPlan& plan, bool replaceExisting) {
  // Copies across devices are made before anything moves, so a failed copy changes nothing.
  std::vector<Staged> staged(plan.items.size());
  std::vector<bool> copied(plan.items.size(), false);
  auto discardStaged = [&] {
    std::error_code error;
    for (const Staged& item : staged)
      if (!item.staged.empty()) fs::remove_all(item.staged, error);
  };
  for (size_t i = 0; i < plan.items.size(); ++i) {
    const Transfer& item = plan.items[i];
    if (OnSameDevice(item.from, item.to.parent_path())) continue;
    std::vector<Staged> one;
    bool ok = StageCopy(item.from, item.to, &one);
    if (!one.empty()) staged[i] = one.front();
    if (!ok) {
      discardStaged();
      return false;
    }
    copied[i] = true;
  }

  for (size_t i = 0; i < plan.items.size(); ++i) {
    const Transfer& item = plan.items[i];
    bool moved = false;
    if (copied[i]) {
      moved = Commit(staged[i], replaceExisting);
      if (moved) staged[i].staged.clear();
    } else {
      moved = RenameInPlace(item, replaceExisting);
      // Two mount points of one file system: the kernel still refuses to rename across them.
      if (!moved && errno == EXDEV) {
        std::vector<Staged> late;
        moved = StageCopy(item.from, item.to, &late) && Commit(late.front(), replaceExisting);
        if (!moved) Discard(late);
        copied[i] = moved;
      }
    }
    if (moved) continue;
    // Put back what already moved.
    std::error_code error;
    for (size_t done = i; done-- > 0;) {
      if (copied[done])
        fs::remove_all(plan.items[done].to, error);
      else
        RenameNoReplace(plan.items[done].to, plan.items[done].from);
    }
    discardStaged();
    return false;
  }

  bool removed = true;
  for (size_t i = 0; i < plan.items.size(); ++i) {
    if (!copied[i]) continue;
    std::error_code error;
    fs::remove_all(plan.items[i].from, error);
    if (error) removed = false;
  }
  return removed;
}

// Checks one transfer and files it in the plan.
void AddTransfer(TransferPlan* plan, const fs::path& from, const fs::path& to) {
  if (plan->error != FileOpError::kNone) return;
  const bool folder = IsRealDirectory(from);
  if (SameItem(from, to) || (folder && IsWithin(to, from)) ||
      (plan->kind == TransferKind::kMove && IsProtectedFolder(from))) {
    plan->error = FileOpError::kInvalid;
    return;
  }
  if (!MayRead(from) || !MayWriteIn(to.parent_path()) ||
      (plan->kind == TransferKind::kMove && !MayWriteIn(from.parent_path()))) {
    plan->error = FileOpError::kDenied;
    return;
  }
  if (Exists(to)) {
    if (folder || IsRealDirectory(to)) {
      plan->error = FileOpError::kConflict;
      return;
    }
    plan->existing.push_back(to);
  }
  plan->items.push_back({from, to});
}

}  // namespace

bool HasWildcards(std::string_view text) {
  return text.find_first_of("*?") != std::string_view::npos;
}

bool MatchesWildcards(std::string_view pattern, std::string_view name) {
  if (!name.empty() && name.front() == '.' && (pattern.empty() || pattern.front() != '.'))
    return false;
  size_t p = 0, n = 0;
  size_t starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n += SequenceLength(static_cast<unsigned char>(name[n]));
    } else if (p < pattern.size() && pattern[p] == name[n]) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      // Let the last "*" take one more character and try again.
      p = starP + 1;
      starN += SequenceLength(static_cast<unsigned char>(name[starN]));
      n = starN;
    } else {
      return false;
    }
  }
  if (n > name.size()) return false;
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<fs::path> ExpandWildcards(const std::string& path, Wildcards wildcards) {
  if (path.empty()) return {};
  std::string last = LastPart(path);
  if (wildcards == Wildcards::kLiteral || !HasWildcards(last)) {
    fs::path whole = ItemPath(path);
    return Exists(whole) ? std::vector<fs::path>{whole} : std::vector<fs::path>{};
  }
  fs::path folder = WithoutTrailingSlash(path).parent_path();
  if (folder.empty()) folder = ".";
  std::vector<fs::path> found;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (MatchesWildcards(last, it->path().filename().string())) found.push_back(it->path());
  }
  if (error) return {};
  std::sort(found.begin(), found.end());
  return found;
}

TransferPlan PlanTransfer(TransferKind kind, const std::string& source,
                          const std::string& destination) {
  TransferPlan plan;
  plan.kind = kind;
  std::vector<fs::path> sources = ExpandWildcards(source);
  if (sources.empty()) {
    plan.error = FileOpError::kNotFound;
    return plan;
  }
  if (destination.empty()) {
    plan.error = FileOpError::kInvalid;
    return plan;
  }
  if (IsDirectory(destination)) {
    fs::path folder = WithoutTrailingSlash(destination);
    for (const fs::path& from : sources) AddTransfer(&plan, from, folder / from.filename());
  } else if (HasWildcards(LastPart(source)) || destination.back() == '/' ||
             !IsDirectory(WithoutTrailingSlash(destination).parent_path())) {
    // Several items need an existing folder to go into; a new name needs an existing folder
    // to be made in.
    plan.error = FileOpError::kInvalid;
  } else {
    AddTransfer(&plan, sources.front(), destination);
  }
  if (plan.error != FileOpError::kNone) {
    plan.items.clear();
    plan.existing.clear();
  }
  return plan;
}

std::string FreeNameIn(const fs::path& folder, const std::string& name, bool isFolder,
                       const std::vector<std::string>& taken) {
  auto isFree = [&](const std::string& candidate) {
    return !Exists(folder / candidate) &&
           std::find(taken.begin(), taken.end(), candidate) == taken.end();
  };
  if (isFree(name)) return name;
  const fs::path asPath(name);
  const std::string stem = isFolder ? name : asPath.stem().string();
  const std::string extension = isFolder ? std::string() : asPath.extension().string();
  for (int number = 2;; ++number) {
    std::string candidate = stem + " (" + std::to_string(number) + ")" + extension;
    if (isFree(candidate)) return candidate;
  }
}

TransferPlan PlanTransferInto(TransferKind kind, const std::vector<fs::path>& sources,
                              const fs::path& destination, const std::string& newName) {
  TransferPlan plan;
  plan.kind = kind;
  auto fail = [&plan](FileOpError error) {
    plan.error = error;
    plan.items.clear();
    plan.existing.clear();
    return plan;
  };
  if (sources.empty()) return fail(FileOpError::kNotFound);
  if (!IsDirectory(destination)) return fail(FileOpError::kInvalid);
  if (!newName.empty() && (sources.size() != 1 || newName == "." || newName == ".." ||
                           newName.find('/') != std::string::npos))
    return fail(FileOpError::kInvalid);
  const fs::path folder = WithoutTrailingSlash(destination.string());
  std::vector<std::string> chosen;
  for (const fs::path& source : sources) {
    const fs::path from = ItemPath(source.string());
    if (!Exists(from)) return fail(FileOpError::kNotFound);
    const std::string wanted = newName.empty() ? from.filename().string() : newName;
    if (kind == TransferKind::kMove && wanted == from.filename().string() &&
        SameItem(from.parent_path(), folder))
      return fail(FileOpError::kInvalid);
    std::string name = FreeNameIn(folder, wanted, IsRealDirectory(from), chosen);
    chosen.push_back(name);
    AddTransfer(&plan, from, folder / name);
    if (plan.error != FileOpError::kNone) return fail(plan.error);
  }
  return plan;
}

TransferPlan PlanRename(const std::string& source, const std::string& newName,
                        Wildcards wildcards) {
  TransferPlan plan;
  plan.kind = TransferKind::kMove;
  if (newName.empty() || newName == "." || newName == ".." ||
      newName.find('/') != std::string::npos) {
    plan.error = FileOpError::kInvalid;
    return plan;
  }
  std::vector<fs::path> sources = ExpandWildcards(source, wildcards);
  if (sources.size() != 1) {
    plan.error = sources.empty() ? FileOpError::kNotFound : FileOpError::kInvalid;
    return plan;
  }
  const fs::path& from = sources.front();
  fs::path to = from.parent_path() / newName;
  // Renaming to the same name is done already.
  if (to == from) {
    plan.items.push_back({from, to});
    return plan;
  }
  AddTransfer(&plan, from, to);
  if (plan.error != FileOpError::kNone) {
    plan.items.clear();
    plan.existing.clear();
  }
  return plan;
}

bool CarryOut(const TransferPlan& plan, bool replaceExisting) {
  if (plan.error != FileOpError::kNone || plan.items.empty()) return false;
  if (!plan.existing.empty() && !replaceExisting) return false;
  if (plan.items.size() == 1 && plan.items[0].from == plan.items[0].to) return true;
  return plan.kind == TransferKind::kCopy ? CopyAll(plan, replaceExisting)
                                          : MoveAll(plan, replaceExisting);
}

bool DeleteItems(const std::string& source, Wildcards wildcards) {
  std::vector<fs::path> items = ExpandWildcards(source, wildcards);
  if (items.empty()) return false;
  for (const fs::path& item : items)
    if (IsProtectedFolder(item) || !MayWriteIn(item.parent_path())) return false;
  for (const fs::path& item : items) {
    std::error_code error;
    fs::remove_all(item, error);
    if (error) return false;
  }
  return true;
}

bool MakeDirectories(const std::string& path) {
  if (path.empty()) return false;
  std::error_code error;
  fs::create_directories(path, error);
  return IsDirectory(path);
}

bool RenameNoReplace(const fs::path& from, const fs::path& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without the flag: check, then rename (a narrow race remains there).
  if (Exists(to)) {
    errno = EEXIST;
    return false;
  }
  return rename(from.c_str(), to.c_str()) == 0;
}

bool IsProtectedFolder(const fs::path& path) {
  // A link to such a folder is only a link.
  if (!IsRealDirectory(path)) return false;
  std::error_code error;
  fs::path resolved = fs::weakly_canonical(path, error);
  if (error) return false;
  return resolved == resolved.root_path() || IsWithin(HomeFolder(), resolved);
}

}  // namespace vok::shell
