// A BarHost for tests of the user-interface engine and the bar window: real settings, a fake
// desktop, an optional window, and a record of every program operation asked for.
#pragma once

#include <string>
#include <vector>

#include "bar/bar_host.h"
#include "common/cmdline_ifaces.h"
#include "platform/com/com_ptr.h"
#include "platform/x11/fake_desktop.h"

namespace vok::bar {

class FakeBarHost final : public BarHost {
 public:
  UiSettings settings;
  bool changed = false;
  BarWindowControl* window = nullptr;
  x11::FakeDesktop desktop;
  ComPtr<IvokLog> log;  // set by the test when the code under test writes to the log
  // "exit", "ask-save", "open", "save", "saveas", "options", "help qdxhelp.htm" ...
  std::vector<std::string> operations;
  // What the program operations answer.
  bool answer = true;
  std::vector<std::string> recentFiles;

  UiSettings& Settings() override { return settings; }
  bool SettingsChanged() const override { return changed; }
  void SetSettingsChanged(bool value) override { changed = value; }
  BarWindowControl* Window() override { return window; }
  x11::Desktop& Desktop() override { return desktop; }
  IvokLog* Log() override { return log.Get(); }

  bool Exit() override { return Record("exit"); }
  bool AskToSaveChanges() override { return Record("ask-save"); }
  bool OpenDataFileWithDialog() override { return Record("open"); }
  bool SaveDataFile() override { return Record("save"); }
  bool SaveDataFileAs() override { return Record("saveas"); }
  std::vector<std::string> RecentFileList() const override { return recentFiles; }
  bool OpenRecentFile(size_t index) override { return Record("recent " + std::to_string(index)); }
  void ShowOptions() override { Record("options"); }
  void OpenHelp(const std::string& page) override { Record("help " + page); }
  void OpenHomePage() override { Record("home page"); }

 private:
  bool Record(std::string operation) {
    operations.push_back(std::move(operation));
    return answer;
  }
};

}  // namespace vok::bar
