// Headless mode: `quillo --headless [--data PATH] [--save] --exec LINE [--exec LINE ...]`.
// Loads PATH (or the most recent data file) as the automatic load at start does, runs every
// LINE as if typed into the bar's command box and confirmed with Enter, and prints one line per
// log entry ("I", "E" or "L", a tab, the text) and per message box ("M", tab, caption, tab,
// text) to standard output. Message boxes are answered with their negative button, file
// dialogs cancelled, dialogs rejected and menus dismissed. With --save the data file is written
// back to PATH at the end. No window is shown and no display is needed; the single-instance
// lock is not taken (a script may run while the bar runs).
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "common/vok_types.h"
#include "platform/ui/prompter.h"

namespace vok::bar {

// Exit statuses of a headless run.
constexpr int kHeadlessOk = 0;
constexpr int kHeadlessFailed = 1;  // a line failed, or loading for --save or saving failed
constexpr int kHeadlessUsage = 2;

struct HeadlessOptions {
  std::string dataPath;  // empty: the most recent data file
  bool save = false;
  std::vector<std::string> lines;
};

// True when the arguments ask for headless mode ("--headless" anywhere after the program).
bool IsHeadlessRun(int argc, const char* const* argv);
// The options after the program name, "--headless" included; nullopt for bad usage (an unknown
// argument, a missing value, --data twice, no --exec).
std::optional<HeadlessOptions> ParseHeadlessOptions(const std::vector<std::string>& args);

// Writes the records of a headless run, one per line, flushed at once so that records of the
// log and of message boxes keep their order. Tabs and line breaks inside a field become
// blanks, so every record stays one line.
class HeadlessOutput {
 public:
  explicit HeadlessOutput(std::FILE* out) : out_(out) {}
  void LogEntry(const std::string& text, LONG type);
  void MessageBox(const std::string& caption, const std::string& text);

 private:
  void Write(const std::vector<std::string>& fields);
  std::FILE* out_;
};

// The prompter of a headless run: prints every message box and answers it with its negative
// button; every other question is declined.
class HeadlessPrompter final : public ui::Prompter {
 public:
  explicit HeadlessPrompter(HeadlessOutput& output) : output_(output) {}
  ui::Answer Ask(const ui::Message& message) override;
  std::optional<std::string> OpenFile(const ui::OpenFileRequest&) override { return {}; }
  std::optional<std::string> SaveFile(const ui::SaveFileRequest&) override { return {}; }
  std::optional<std::string> ChooseFolder(const ui::FolderRequest&) override { return {}; }
  int Exec(QDialog& dialog) override;
  QAction* TrackMenu(QMenu&, const QPoint&) override { return nullptr; }

 private:
  HeadlessOutput& output_;
};

// The whole headless run; returns the exit status. Creates the QApplication itself (on the
// offscreen platform), so none may exist yet.
int RunHeadless(int argc, char** argv);

}  // namespace vok::bar
