// Smart completion in the command-line panel: one keystroke in the command box until the
// completed text is shown, while the word being typed is completed from the names of a folder
// of 100,000 files. Each iteration types the next character of "ls file_054321.txt"; when the
// whole name is typed the box goes back to "ls f" (outside the measurement). For reference:
// the navigator's file-name completion alone on the same folder, which every keystroke asks.
//
// The panel runs on an offscreen QApplication with a host that has no container (no command
// source, no quick help). The folder is made once under the system's temporary folder and
// removed at exit. The lists, the iterator control, the navigator and the band layout come
// from libvokTools.so and libvokCtl.so beside this program (bin/../lib), registered as class
// objects of this process only: the registry is not touched.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "cmdline/cmdline_panel.h"
#include "common/class_ids.h"

namespace {

namespace fs = std::filesystem;
using vok::cmdline::CmdLinePanel;
using vok::cmdline::CmdLinePanelData;

constexpr int kFileCount = 100000;
const std::string kTarget = "ls file_054321.txt";
constexpr size_t kStart = 4;  // "ls f"

class FileFolder {
 public:
  FileFolder() {
    std::string pattern = (fs::temp_directory_path() / "panel-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    path_ = pattern;
    char name[32];
    for (int i = 0; i < kFileCount; ++i) {
      std::snprintf(name, sizeof name, "file_%06d.txt", i);
      int fd = open((path_ + "/" + name).c_str(), O_CREAT | O_WRONLY, 0644);
      if (fd < 0) std::abort();
      close(fd);
    }
  }
  ~FileFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

const FileFolder& Folder() {
  static FileFolder folder;
  return folder;
}

// Makes the classes the panel creates available to CoCreateInstance in this process.
bool RegisterClasses() {
  static const bool done = [] {
    const fs::path lib = fs::canonical("/proc/self/exe").parent_path().parent_path() / "lib";
    const struct {
      const char* library;
      const CLSID* clsid;
    } kClasses[] = {
        {"libvokTools.so", &vok::clsid::kFastList},
        {"libvokTools.so", &vok::clsid::kFastListItemString},
        {"libvokTools.so", &vok::clsid::kFastListItemIteratorCtl},
        {"libvokCtl.so", &vok::clsid::kChDir},
        {"libvokCtl.so", &vok::clsid::kRebar},
    };
    using GetClassObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);
    for (const auto& entry : kClasses) {
      void* module = dlopen((lib / entry.library).c_str(), RTLD_NOW | RTLD_LOCAL);
      auto get =
          module ? reinterpret_cast<GetClassObjectFn>(dlsym(module, "DllGetClassObject")) : nullptr;
      ComPtr<IUnknown> factory;
      DWORD cookie = 0;
      if (!get ||
          FAILED(get(*entry.clsid, IID_IClassFactory, factory.ReleaseAndGetVoidAddressOf())) ||
          FAILED(CoRegisterClassObject(*entry.clsid, factory.Get(), CLSCTX_INPROC_SERVER,
                                       REGCLS_MULTIPLEUSE, &cookie)))
        return false;
    }
    return true;
  }();
  return done;
}

void EnsureApplication() {
  if (QApplication::instance()) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "panel_completion_bench";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

// A host with the panel's own state and nothing else: no container, no quick help.
class BenchHost final : public vok::cmdline::CmdLinePanelHost {
 public:
  CmdLinePanelData data;

  CmdLinePanelData& PanelData() override { return data; }
  vok::cmdline::PanelOptions Options() override {
    vok::cmdline::PanelOptions options;
    options.useQuickHelp = false;
    return options;
  }
  IvokEngineContainer* Container() override { return nullptr; }
  void Navigate(vok::cmdline::NavigationStep, LONG) override {}
  void BrowseForFile() override {}
  void BrowseForFolder() override {}
  void BrowseForCommand() override {}
  void OnScriptFinished() override {}
};

void TypeKey(QLineEdit* edit, char c) {
  QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(c)));
  QCoreApplication::sendEvent(edit, &press);
}

void BM_KeystrokeToCompletion(benchmark::State& state) {
  EnsureApplication();
  if (!RegisterClasses()) {
    state.SkipWithError("component libraries not found");
    return;
  }
  BenchHost host;
  if (host.data.Init(Folder().path()) != S_OK) {
    state.SkipWithError("navigator not ready");
    return;
  }
  QWidget window;
  auto* panel = new CmdLinePanel(host, &window);
  QLineEdit* edit = panel->CommandBox()->lineEdit();
  size_t typed = kStart;
  host.data.SetText(kTarget.substr(0, typed));
  for (auto _ : state) {
    if (typed == kTarget.size()) {
      state.PauseTiming();
      typed = kStart;
      host.data.SetText(kTarget.substr(0, typed));
      state.ResumeTiming();
    }
    TypeKey(edit, kTarget[typed++]);
    // Every prefix of the name is completed to a whole file name.
    if (static_cast<size_t>(edit->text().size()) < kTarget.size()) {
      state.SkipWithError("no completion shown");
      return;
    }
  }
  state.SetLabel(edit->text().toStdString());
}

void BM_NavigatorCompletionAlone(benchmark::State& state) {
  EnsureApplication();
  if (!RegisterClasses()) {
    state.SkipWithError("component libraries not found");
    return;
  }
  CmdLinePanelData data;
  if (data.Init(Folder().path()) != S_OK) {
    state.SkipWithError("navigator not ready");
    return;
  }
  char out[kPathBufferSize];
  for (auto _ : state) {
    if (data.Navigator()->GetCompleteCommand("FILE_0543*", out) != S_OK) {
      state.SkipWithError("no completion");
      return;
    }
    benchmark::DoNotOptimize(out);
  }
}

}  // namespace

BENCHMARK(BM_KeystrokeToCompletion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NavigatorCompletionAlone)->Unit(benchmark::kMillisecond);
