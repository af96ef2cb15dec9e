// Context folders: the current directory follows the application the user works in. On every
// tick of the bar's timer the active window's title is compared with the user's list; when the
// title changes to one that matches, the command-line engine changes to that entry's folder.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "bar/bar_host.h"
#include "common/cmdline_ifaces.h"
#include "common/container_ifaces.h"
#include "platform/com/com_ptr.h"
#include "platform/x11/desktop.h"

namespace vok::bar {

// The command-line engine's IvokCmdLineUI from the engine container; null when no engine
// offers it (or without a container).
ComPtr<IvokCmdLineUI> FindCommandLineUI(IvokEngineContainer* container);

// The title of window `active`; "" when there is none, it is the bar's own window `self`, or
// the desktop does not list it.
std::string ActiveWindowTitle(const x11::Desktop& desktop, x11::WindowId active,
                              x11::WindowId self);

// The first entry of `folders` whose title pattern matches `title`, null when none does.
const ContextFolder* MatchContextFolder(const std::vector<ContextFolder>& folders,
                                        std::string_view title);

class ContextFolders {
 public:
  // `host` supplies the list and the log; `container` (borrowed, a reference is kept; may be
  // null) the command-line engine.
  ContextFolders(BarHost& host, IUnknown* container);

  // The active window's title, on every tick. Only a non-empty title that differs from the
  // previous one is tested against the list.
  void OnActiveTitle(const std::string& title);

 private:
  void ChangeTo(const std::string& folder);

  BarHost& host_;
  ComPtr<IvokEngineContainer> container_;
  std::string lastTitle_;
  // Folders found missing and reported; each is reported again only after it worked once.
  std::set<std::string> reportedMissing_;
};

}  // namespace vok::bar
