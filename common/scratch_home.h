// A private home for a run that must not touch the real user's files: HOME, QUILLO_HOME and
// the XDG folders point into a fresh temporary folder while the object lives (tests, and the
// build-time tools that start the program's components).
#pragma once

#include <filesystem>

namespace vok {

class ScratchHome {
 public:
  // Creates "<temp>/<prefix>XXXXXX" and points the environment at folders inside it.
  explicit ScratchHome(const char* prefix);
  // Removes the folder; the environment keeps pointing at the removed paths.
  ~ScratchHome();
  ScratchHome(const ScratchHome&) = delete;
  ScratchHome& operator=(const ScratchHome&) = delete;

  // False when the folder could not be created (the environment is then unchanged).
  bool Ready() const { return !root_.empty(); }
  const std::filesystem::path& Root() const { return root_; }

 private:
  std::filesystem::path root_;
};

}  // namespace vok
