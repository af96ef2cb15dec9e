// File-name completion of the directory navigator (GetCompleteCommand) in folders of 1,000 and
// 100,000 files, next to bash's own file-name completion (`compgen -f`) over the same folder,
// started as a process per completion the way a shell would be asked from outside. For reference:
// the bare start of bash, and the bare listing of the folder (readdir), the floor of any
// completion that looks at every name.
//
// The folders are made once under the system's temporary folder and removed at exit. The
// navigator's lists come from libvokTools.so beside this program (bin/../lib), registered as
// class objects of this process only: the registry is not touched.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "common/class_ids.h"
#include "ctl/chdir.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A folder of `count` files "file_000000.txt" ... plus a few others, made on first use.
class FileFolder {
 public:
  explicit FileFolder(int count) {
    std::string pattern = (fs::temp_directory_path() / "chdir-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    path_ = pattern;
    char name[32];
    for (int i = 0; i < count; ++i) {
      std::snprintf(name, sizeof name, "file_%06d.txt", i);
      Touch(name);
    }
    for (const char* other : {"setup.exe", "setup.bat", "readme", "my notes.txt"}) Touch(other);
  }
  ~FileFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  void Touch(const char* name) {
    int fd = open((path_ + "/" + name).c_str(), O_CREAT | O_WRONLY, 0644);
    if (fd < 0) std::abort();
    close(fd);
  }
  std::string path_;
};

const FileFolder& FolderOf(int count) {
  static std::map<int, FileFolder> folders;
  return folders.try_emplace(count, count).first->second;
}

// Makes the list classes of libvokTools.so available to CoCreateInstance in this process.
void RegisterListClasses() {
  static bool done = [] {
    fs::path lib =
        fs::canonical("/proc/self/exe").parent_path().parent_path() / "lib" / "libvokTools.so";
    void* tools = dlopen(lib.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!tools) return false;
    using GetClassObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObjectFn>(dlsym(tools, "DllGetClassObject"));
    for (const CLSID* clsid : {&vok::clsid::kFastList, &vok::clsid::kFastListItemString}) {
      ComPtr<IUnknown> factory;
      DWORD cookie = 0;
      if (!get || FAILED(get(*clsid, IID_IClassFactory, factory.ReleaseAndGetVoidAddressOf())) ||
          FAILED(CoRegisterClassObject(*clsid, factory.Get(), CLSCTX_INPROC_SERVER,
                                       REGCLS_MULTIPLEUSE, &cookie)))
        return false;
    }
    return true;
  }();
  if (!done) std::abort();
}

// The navigator's pattern and the shell's prefix for the same question.
struct Query {
  const char* pattern;
  const char* prefix;
};
const Query kQueries[] = {
    {"FILE_00099*", "file_00099"},  // ten matches in either folder
    {"FILE_*", "file_"},            // every file matches: the best must be picked among all
};

void BM_NavigatorCompletion(benchmark::State& state) {
  RegisterListClasses();
  const FileFolder& folder = FolderOf(static_cast<int>(state.range(0)));
  const Query& query = kQueries[state.range(1)];
  ComPtr<IvokChDir> nav;
  vok::CreateObject<vokChDir>(nullptr, IvokChDir::kIID, nav.ReleaseAndGetVoidAddressOf());
  if (!nav || nav->Init(folder.path().c_str()) != S_OK) {
    state.SkipWithError("navigator not ready");
    return;
  }
  nav->SetPrefExt("exe;bat");
  nav->SetExclExt("obj;bak");
  char out[kPathBufferSize];
  for (auto _ : state) {
    if (nav->GetCompleteCommand(query.pattern, out) != S_OK) {
      state.SkipWithError("no completion");
      return;
    }
    benchmark::DoNotOptimize(out);
  }
  state.SetLabel(out);
}

// Runs `script` with bash (arguments $1, $2), its output thrown away; false on failure.
bool RunBash(const char* script, const std::string& arg1, const std::string& arg2) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  std::string a0 = "bash", a1 = "-c", a2 = script, a3 = "bash", a4 = arg1, a5 = arg2;
  char* argv[] = {a0.data(), a1.data(), a2.data(), a3.data(), a4.data(), a5.data(), nullptr};
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, "bash", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  return rc == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

void BM_BashCompgen(benchmark::State& state) {
  const FileFolder& folder = FolderOf(static_cast<int>(state.range(0)));
  const Query& query = kQueries[state.range(1)];
  for (auto _ : state) {
    if (!RunBash("cd -- \"$1\" && compgen -f -- \"$2\"", folder.path(), query.prefix)) {
      state.SkipWithError("bash failed");
      return;
    }
  }
}

void BM_BashStart(benchmark::State& state) {
  for (auto _ : state) {
    if (!RunBash("true", "", "")) {
      state.SkipWithError("bash failed");
      return;
    }
  }
}

void BM_ReadDirectory(benchmark::State& state) {
  const FileFolder& folder = FolderOf(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    DIR* dir = opendir(folder.path().c_str());
    size_t names = 0;
    while (const dirent* entry = readdir(dir)) names += entry->d_name[0] != '.';
    closedir(dir);
    benchmark::DoNotOptimize(names);
  }
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int files : {1000, 100000})
    for (int query = 0; query < 2; ++query) b->Args({files, query});
  b->ArgNames({"files", "query"})->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_NavigatorCompletion)->Apply(Sizes);
BENCHMARK(BM_BashCompgen)->Apply(Sizes);
BENCHMARK(BM_BashStart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDirectory)
    ->Arg(1000)
    ->Arg(100000)
    ->ArgName("files")
    ->Unit(benchmark::kMillisecond);
