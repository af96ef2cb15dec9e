// Applications that can open a file, from the desktop entries (*.desktop) of the XDG data
// folders, and the command line a chosen entry runs for a file (used by "Open with"); the
// address of a Link entry (dropped links).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/runtime.h"

namespace vok::shell {

struct DesktopApp {
  std::string id;    // "org.example.Viewer.desktop"
  std::string name;  // Name=
  std::string exec;  // Exec=
  bool terminal = false;
  std::vector<std::string> mimeTypes;
};

// The application of desktop-entry `text` (its [Desktop Entry] group); nullopt for one that is
// not a visible application with an Exec line.
VOK_PLATFORM_API std::optional<DesktopApp> ParseDesktopEntry(std::string_view text,
                                                             const std::string& id);

// The address of a desktop entry of type Link (its URL key); nullopt for any other entry.
VOK_PLATFORM_API std::optional<std::string> DesktopLinkUrl(std::string_view text);

// The argument vector of an Exec value for `file`, following the desktop-entry rules: quoted
// arguments with \" \` \$ \\ escapes; %f %F %u %U become the file, %c the name, %% a "%"; the
// other field codes go away. nullopt for a malformed value (unclosed quote, empty program).
VOK_PLATFORM_API std::optional<std::vector<std::string>> ExpandExec(const std::string& exec,
                                                                    const std::string& file,
                                                                    const std::string& name);

// The applications (from $XDG_DATA_HOME and $XDG_DATA_DIRS, earlier folders hiding later
// entries of the same id) that declare one of `mimeTypes`, sorted by name.
VOK_PLATFORM_API std::vector<DesktopApp> ApplicationsFor(const std::vector<std::string>& mimeTypes);

// The MIME type of `path` and its ancestors ("text/x-csrc", "text/plain",
// "application/octet-stream").
VOK_PLATFORM_API std::vector<std::string> MimeTypesOf(const std::string& path);

// Starts `app` for `file` (in a terminal when the entry asks for one). False when its command
// line is malformed or it could not be started.
VOK_PLATFORM_API bool LaunchApplication(const DesktopApp& app, const std::string& file);

}  // namespace vok::shell
