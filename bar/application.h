// The application object: it owns the program's components for the whole run (the log, the
// engine container with its engines, the toolkit-version probe), keeps the bar's settings, the
// current data file and the recent-files list, and is the BarHost the user-interface engine and
// the bar window work with. The bar program and the headless mode both drive one.
//
// Start-up, in order: class objects registered (CreateComponents), log, container and probe
// created; the first-run page; then the program creates the window (AttachWindow) and loads the
// last data file (LoadLastDataFile). Shutdown: the window is destroyed by the program first,
// then ReleaseComponents (also run by the destructor) releases the container, the probe and
// the log, in this order, and revokes the class objects.
//
// Every load first keeps the container's state in memory, so a file that fails half-way leaves
// the state as it was (the defaults, at start); a failed save leaves the previous file. Changes
// the keeping had to mark saved are remembered, so the exit routine still offers to save them.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "bar/bar_host.h"
#include "bar/class_objects.h"
#include "bar/recent_files.h"
#include "common/cmdline_ifaces.h"
#include "common/container_ifaces.h"
#include "common/fast_list_ifaces.h"
#include "platform/com/com_ptr.h"
#include "platform/com/objidl.h"

class vokLog;

namespace vok::bar {

// The bar program shows its window and asks the user; headless runs have no window and leave
// without asking.
enum class RunMode { kWindow, kHeadless };

// What the application takes from its surroundings; tests replace them.
struct ApplicationSeams {
  // The folder of the program file (first-run marker; help pages in ../share/quillo/help).
  std::string programDir;
  // The desktop; null: x11::CreateDesktop().
  std::unique_ptr<x11::Desktop> desktop;
  // Opens a document with the desktop's default application; null: the shell's Open.
  std::function<bool(const std::string& path)> openDocument;
  // The classes registered as the program's class objects.
  const ClassEntry* classes = kProgramClasses;
};

// The file name of the first-run marker in the program's folder.
extern const char kFirstRunMarker[];
// The program's home page (the Help menu's "Home Page").
extern const char kHomePage[];

// Qt name filters from the string table's filter ("Name (*.x)|*.x|...||"): "*.*" means every
// file on this system and becomes "*".
std::vector<std::string> DataFileFilters();

class Application final : public BarHost {
 public:
  Application(RunMode mode, ApplicationSeams seams);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // ---- Start-up ----
  // Registers the class objects and creates the log, the container (with the log and the
  // engine list, hint 1) and the probe. On a failure shows the installation message (stop
  // icon), releases what was created and returns false.
  bool CreateComponents();
  // Deletes the first-run marker when present and opens the getting-started page; true when
  // the marker was there.
  bool HandleFirstRun();
  // Makes `window` the bar window (null: none); the log's window is owned by it.
  void AttachWindow(BarWindowControl* window);
  // The automatic load of the most recent data file (no dialog). False when there was one and
  // it could not be loaded: the state stays as it was, an error entry says so, the entry
  // leaves the recent-files list and the current file is cleared.
  bool LoadLastDataFile();
  // Loads `path` as the automatic load does.
  bool LoadAutomatically(const std::string& path);
  // Opens entry `index` of the recent-files list; a failure is reported to the user and the
  // entry leaves the list.
  bool OpenRecentFile(size_t index) override;
  // Saves to `path` (made absolute) and makes it the current file; a failure is reported to
  // the user and changes nothing.
  bool SaveTo(const std::string& path);

  // ---- Shutdown ----
  // The exit routine for the end of the session. With `mayAsk` false the save question is not
  // shown: the changes are saved when there is a current file to save them to.
  bool ExitForSessionEnd(bool mayAsk);
  // True once the exit routine decided to close.
  bool Closing() const { return closing_; }
  // Called once when the exit routine decides to close (the program ends its event loop).
  void SetCloseHandler(std::function<void()> handler) { closeHandler_ = std::move(handler); }
  void ReleaseComponents();

  // ---- State ----
  IvokEngineContainer* Container() const { return container_.Get(); }
  IvokComCtlVer* Probe() const { return probe_.Get(); }
  const std::string& CurrentFile() const { return currentFile_; }
  // A data file that does not exist yet (headless runs that create their file).
  void SetCurrentFile(const std::string& path) { currentFile_ = path; }
  RecentFiles& Recent() { return recent_; }
  bool HasUnsavedChanges();
  // The getting-started page, below the program's help folder.
  std::string HelpPath(const std::string& page) const;

  // ---- BarHost ----
  UiSettings& Settings() override { return settings_; }
  bool SettingsChanged() const override { return settingsChanged_; }
  void SetSettingsChanged(bool changed) override { settingsChanged_ = changed; }
  BarWindowControl* Window() override { return window_; }
  x11::Desktop& Desktop() override { return *desktop_; }
  IvokLog* Log() override { return log_.Get(); }
  bool Exit() override;
  bool AskToSaveChanges() override;
  bool OpenDataFileWithDialog() override;
  bool SaveDataFile() override;
  bool SaveDataFileAs() override;
  std::vector<std::string> RecentFileList() const override { return recent_.Entries(); }
  void ShowOptions() override;
  void OpenHelp(const std::string& page) override;
  void OpenHomePage() override;

 private:
  enum class Question { kAsk, kSilent };

  HRESULT CreateLog();
  HRESULT CreateContainer();
  HRESULT CreateProbe();
  ComPtr<IPersistStorage> Persistence() const;
  ComPtr<IvokPanelBar> Panels() const;

  bool SaveQuestion(Question question);
  bool Close();
  // Loads `path`, returning to the state before on failure; the load's status.
  HRESULT LoadKeepingState(const std::string& path);
  // Makes the window (or the hidden panels) show what was loaded.
  void ShowLoadedState();
  // A successful load or save of `path`.
  void MakeCurrent(const std::string& path);
  void Report(UINT id, const std::string& path);
  HWND Owner();

  RunMode mode_;
  ApplicationSeams seams_;
  std::unique_ptr<x11::Desktop> desktop_;
  ProgramClassObjects classObjects_;

  ComPtr<IvokLog> log_;
  ComPtr<IvokEngineContainer> container_;
  ComPtr<IvokComCtlVer> probe_;
  BarWindowControl* window_ = nullptr;

  UiSettings settings_;
  bool settingsChanged_ = false;
  // Changes that a kept state or a failed save marked as saved although no file has them.
  bool unsavedKept_ = false;
  std::string currentFile_;
  RecentFiles recent_;

  bool closing_ = false;
  bool inOptions_ = false;
  std::function<void()> closeHandler_;
};

}  // namespace vok::bar
