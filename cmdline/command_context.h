// What the file and system command handlers need from the command-line engine. The engine
// implements it; handlers live in their own sources (file_commands, system_commands) and are
// tested against a fake context.
#pragma once

#include <string>
#include <string_view>

#include "common/cmdline_ifaces.h"
#include "common/container_ifaces.h"
#include "common/vok_types.h"

namespace vok::cmdline {

class CommandContext {
 public:
  virtual ~CommandContext() = default;

  // The engine container (borrowed, no reference); null before the engine's Init.
  virtual IvokEngineContainer* Container() = 0;
  // The container's log (borrowed); null when the container has none.
  virtual IvokLog* Log() = 0;
  // The panel's directory navigator (borrowed); null when it could not be created.
  virtual IvokChDir* Navigator() = 0;
  // The navigator's current directory; empty while the drives pseudo-folder is current.
  virtual std::string CurrentDirectory() = 0;
  virtual bool DeleteToRecycleBin() = 0;
  virtual bool ExplorerTree() = 0;
  // The command-line panel window (owner of menus and questions); null until it exists.
  virtual HWND PanelWindow() = 0;

  // Adds string `id` of the library's table as an error line and shows the log.
  void ReportError(UINT id);
  // Adds `text` as an error line and shows the log.
  void ReportErrorText(std::string_view text);
  // Adds `text` as an information line; shows the log when `show` is set.
  void ReportInfo(std::string_view text, bool show);
  // Shows the log.
  void ShowLog();
};

}  // namespace vok::cmdline
