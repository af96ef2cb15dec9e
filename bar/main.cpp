// The bar program `quillo`: one bar per user session, built from the registered components,
// shown after a short start-up window; or, with --headless, a scripted run without a window.
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QSessionManager>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bar/application.h"
#include "bar/bar_window.h"
#include "bar/class_objects.h"
#include "bar/command_switches.h"
#include "bar/headless.h"
#include "bar/resources/bar_strings.h"
#include "bar/single_instance.h"
#include "bar/startup_window.h"
#include "platform/ui/prompter.h"

namespace {

using namespace vok::bar;

// The bar is built as soon as the start-up window has had its turn to paint: a fixed wait here
// would only delay the moment the user can type.
constexpr int kStartupDelayMs = 0;

bool PlatformRequested(int argc, char** argv) {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return true;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg(argv[i]);
    if (arg == "-platform" || arg.starts_with("-platform=")) return true;
  }
  return false;
}

// Writes "shown" once the window is first exposed on the screen, when the environment asks
// for it (the start-up benchmark times the program to this line).
class ShownReporter final : public QObject {
 public:
  static void WatchIfAsked(QWidget* window) {
    if (!qEnvironmentVariableIsSet("QUILLO_REPORT_SHOWN") || !window->windowHandle()) return;
    QWindow* handle = window->windowHandle();
    if (handle->isExposed()) {
      Report();
      return;
    }
    handle->installEventFilter(new ShownReporter(handle));
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
      Report();
      watched->removeEventFilter(this);
      deleteLater();
    }
    return false;
  }

 private:
  explicit ShownReporter(QObject* parent) : QObject(parent) {}
  static void Report() {
    std::fputs("shown\n", stdout);
    std::fflush(stdout);
  }
};

int RunRegistration(Switch which) {
  const std::string program = ProgramFile();
  HRESULT hr = which == Switch::kRegServer ? RegisterProgramServer(program)
                                           : UnregisterProgramServer(program);
  return SUCCEEDED(hr) ? 0 : 1;
}

int RunBarProgram(int argc, char** argv) {
  const Switch requestedSwitch = FindSwitch(JoinArguments(argc, argv));
  // Without a platform asked for, the bar needs X11 (docking, the desktop's windows); the
  // offscreen fallback only lets it say so, or register without any window.
  const bool platformRequested = PlatformRequested(argc, argv);
  std::vector<char*> qtArgs(argv, argv + argc);
  std::string platformSwitch = "-platform";
  std::string platforms = "xcb;offscreen";
  if (!platformRequested) {
    qtArgs.push_back(platformSwitch.data());
    qtArgs.push_back(platforms.data());
  }
  qtArgs.push_back(nullptr);
  int qtArgc = static_cast<int>(qtArgs.size()) - 1;
  QApplication qt(qtArgc, qtArgs.data());
  if (!platformRequested && QGuiApplication::platformName() != "xcb" &&
      requestedSwitch == Switch::kNone) {
    std::fprintf(stderr, "quillo: %s\n", BarString(kIdsNoDisplay).c_str());
    return 1;
  }
  QApplication::setQuitOnLastWindowClosed(false);

  SingleInstance instance;
  if (!instance.Acquire()) {
    vok::ui::Ask({nullptr, BarString(kIdsAlreadyRunning), BarString(kIdsAppName),
                  vok::ui::Icon::kExclamation, vok::ui::Buttons::kOk});
    return 1;
  }
  if (requestedSwitch != Switch::kNone) return RunRegistration(requestedSwitch);

  ApplicationSeams seams;
  seams.programDir = QCoreApplication::applicationDirPath().toStdString();
  Application app(RunMode::kWindow, std::move(seams));
  if (!app.CreateComponents()) return 1;
  app.HandleFirstRun();
  app.SetCloseHandler([] { QCoreApplication::exit(0); });
  QObject::connect(&qt, &QGuiApplication::commitDataRequest, [&app](QSessionManager& manager) {
    if (!app.ExitForSessionEnd(manager.allowsInteraction())) manager.cancel();
  });

  const bool flatButtons = app.Probe()->IsVersion(0) == S_OK;
  std::unique_ptr<BarWindow> bar;
  auto startup = std::make_unique<StartupWindow>();
  startup->show();
  QTimer::singleShot(kStartupDelayMs, [&] {
    bar = std::make_unique<BarWindow>(app, app.Container(), flatButtons);
    app.AttachWindow(bar.get());
    bar->Initialize();
    startup->hide();
    app.LoadLastDataFile();
    if (app.Closing()) return;
    bar->show();
    ShownReporter::WatchIfAsked(bar.get());
  });
  QApplication::exec();

  // The window goes first; then the components, in the order the application releases them.
  app.AttachWindow(nullptr);
  bar.reset();
  startup.reset();
  app.ReleaseComponents();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (IsHeadlessRun(argc, argv)) return RunHeadless(argc, argv);
  return RunBarProgram(argc, argv);
}
