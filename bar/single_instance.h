// Only one bar per user session: a lock file taken at start, before anything is shown, and
// held until the program ends. The kernel-checked owner process makes a lock left behind by a
// crashed bar stale, so it never blocks the next start.
#pragma once

#include <QLockFile>
#include <memory>
#include <string>

namespace vok::bar {

class SingleInstance {
 public:
  // The lock file: in $QUILLO_HOME when that is set (a separate state is a separate bar, so
  // tests and benchmarks never meet the user's bar), else in $XDG_RUNTIME_DIR, else in the
  // per-user configuration folder.
  static std::string LockPath();

  // Takes the lock at `path` (the folder is created when missing). False when another live
  // process holds it or the lock cannot be written.
  bool Acquire(const std::string& path = LockPath());
  bool Held() const { return lock_ && lock_->isLocked(); }
  // Gives the lock up; also done on destruction.
  void Release();

 private:
  std::unique_ptr<QLockFile> lock_;
};

}  // namespace vok::bar
