// The one place that asks the user something: message boxes, the open-file dialog, the folder
// browser and modal dialogs of the components. The program uses the Qt implementation; tests
// install a scripted Prompter, so no test ever waits for a click.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/vok_types.h"
#include "platform/com/runtime.h"

class QAction;
class QDialog;
class QMenu;
class QPoint;

namespace vok::ui {

enum class Icon { kNone, kInformation, kExclamation, kError, kQuestion };
enum class Buttons { kOk, kOkCancel, kYesNo, kYesNoCancel };
// The answers, numbered like the classic message-box results.
enum class Answer { kOk = 1, kCancel = 2, kYes = 6, kNo = 7 };

struct Message {
  HWND owner = nullptr;  // may be null
  std::string text;
  std::string caption;
  Icon icon = Icon::kNone;
  Buttons buttons = Buttons::kOk;
};

struct OpenFileRequest {
  HWND owner = nullptr;
  std::string title;
  // Qt name filters ("Programs (*.exe *.com *.bat)"); `selected` indexes the one chosen first.
  std::vector<std::string> filters;
  size_t selected = 0;
  std::string startDir;  // empty: the process's current directory
};

// A file to write: the dialog asks before it replaces an existing file and appends
// `defaultSuffix` (without the dot) to a name typed without one.
struct SaveFileRequest {
  HWND owner = nullptr;
  std::string title;
  std::vector<std::string> filters;
  std::string defaultSuffix;
  std::string startPath;  // folder or proposed file; empty: the process's current directory
};

struct FolderRequest {
  HWND owner = nullptr;
  std::string title;
  std::string startDir;
};

class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual Answer Ask(const Message& message) = 0;
  // The chosen existing file, or nullopt when cancelled.
  virtual std::optional<std::string> OpenFile(const OpenFileRequest& request) = 0;
  // The chosen file name, or nullopt when cancelled.
  virtual std::optional<std::string> SaveFile(const SaveFileRequest& request) = 0;
  // The chosen folder, or nullopt when cancelled.
  virtual std::optional<std::string> ChooseFolder(const FolderRequest& request) = 0;
  // Runs a modal dialog (QDialog::exec) and returns its result (QDialog::Accepted = 1).
  virtual int Exec(QDialog& dialog) = 0;
  // Shows a pop-up menu at `pos` (screen coordinates) and returns the chosen action, or null
  // when the menu was dismissed (QMenu::exec).
  virtual QAction* TrackMenu(QMenu& menu, const QPoint& pos) = 0;
};

// The prompter in use; the Qt one unless another was installed. Never null.
VOK_PLATFORM_API Prompter& CurrentPrompter();
// Installs `prompter` (not owned; null restores the Qt one) and returns the previous one.
VOK_PLATFORM_API Prompter* SetPrompter(Prompter* prompter);

inline Answer Ask(const Message& message) { return CurrentPrompter().Ask(message); }

// Installs a prompter for its own lifetime (tests).
class ScopedPrompter {
 public:
  explicit ScopedPrompter(Prompter* prompter) : previous_(SetPrompter(prompter)) {}
  ~ScopedPrompter() { SetPrompter(previous_); }
  ScopedPrompter(const ScopedPrompter&) = delete;
  ScopedPrompter& operator=(const ScopedPrompter&) = delete;

 private:
  Prompter* previous_;
};

}  // namespace vok::ui
