// The file view on a folder of 100,000 files: the folder read, filtered with "*" and put into
// the model sorted by name and by size (SetDir + SetFilter + Update), next to `ls -f` of the
// same folder and `ls -lU` (which also looks every entry up), each a child process writing to
// /dev/null, in wall time.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "fileview/file_view_model.h"
#include "fileview/file_view_wnd.h"

extern char** environ;

namespace {

constexpr int kFiles = 100000;

// Made on first use, removed when the program ends.
class BigFolder {
 public:
  static const std::string& Path() {
    static BigFolder folder;
    return folder.path_;
  }

 private:
  BigFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "fileview-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) abort();
    path_ = pattern;
    const char* extensions[] = {".txt", ".cpp", ".h", ".png", ""};
    for (int i = 0; i < kFiles; ++i) {
      // Names out of order, sizes spread (sparse files cost no disk).
      std::string name = path_ + "/file" + std::to_string((i * 7919L) % kFiles) + extensions[i % 5];
      int fd = open(name.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
      if (fd < 0 || ftruncate(fd, (i * 37L) % 1000003) != 0) abort();
      close(fd);
    }
  }
  ~BigFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }

  std::string path_;
};

void ListFolder(benchmark::State& state, LONG sortType) {
  const std::string& folder = BigFolder::Path();
  ComPtr<vokFileViewWnd> view(new vokFileViewWnd);
  view->Init(nullptr, 1);
  view->put_SortType(sortType);
  for (auto _ : state) {
    view->SetDir(folder.c_str(), 0);
    view->SetFilter("*");
    view->Update();
  }
  if (view->Model().EntryCount() != kFiles + 1) state.SkipWithError("wrong number of rows");
  state.SetItemsProcessed(state.iterations() * kFiles);
}

void BM_FileViewSortedByName(benchmark::State& state) { ListFolder(state, 0); }
void BM_FileViewSortedBySize(benchmark::State& state) { ListFolder(state, 1); }

// Runs `ls FLAG folder` to completion, its output going to /dev/null.
void RunLs(benchmark::State& state, const char* option) {
  const std::string& folder = BigFolder::Path();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::string ls = "ls", flag = option, path = folder;
  char* argv[] = {ls.data(), flag.data(), path.data(), nullptr};
  for (auto _ : state) {
    pid_t child = 0;
    int status = 0;
    if (posix_spawnp(&child, "ls", &actions, nullptr, argv, environ) != 0 ||
        waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("ls failed");
      break;
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  state.SetItemsProcessed(state.iterations() * kFiles);
}

// The names only, unsorted: the reference.
void BM_LsUnsorted(benchmark::State& state) { RunLs(state, "-f"); }
// Unsorted with one look-up per entry, as the view needs for sizes and times.
void BM_LsLongUnsorted(benchmark::State& state) { RunLs(state, "-lU"); }

BENCHMARK(BM_LsUnsorted)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LsLongUnsorted)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FileViewSortedByName)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FileViewSortedBySize)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
