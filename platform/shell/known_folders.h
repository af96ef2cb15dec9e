// The shell's known folders on a Linux desktop.
//
// | folder        | on Linux                                                              |
// |---------------|-----------------------------------------------------------------------|
// | Desktop       | XDG_DESKTOP_DIR of $XDG_CONFIG_HOME/user-dirs.dirs, else ~/Desktop    |
// | Documents     | XDG_DOCUMENTS_DIR, else the home folder                               |
// | Favorites     | the bookmarks folder: $QUILLO_HOME/bookmarks, else                    |
// |               | $XDG_DATA_HOME/quillo/bookmarks (made when first opened)              |
// | Start menu    | the applications folder $XDG_DATA_HOME/applications (made when needed)|
// | Startup       | the autostart folder $XDG_CONFIG_HOME/autostart (made when needed)    |
// | Control Panel | the desktop's settings program                                        |
// | Printers      | the desktop's printer settings                                        |
// | Network       | network:/// in the file manager                                       |
// | My Computer   | computer:/// in the file manager                                      |
// | Recycle Bin   | trash:/// in the file manager                                         |
// | Internet      | the default web browser                                               |
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/com/runtime.h"

namespace vok::shell {

enum class KnownFolder {
  kDesktop,
  kDocuments,
  kFavorites,
  kStartMenu,
  kStartup,
  kControlPanel,
  kPrinters,
  kNetwork,
  kMyComputer,
  kRecycleBin,
  kInternet,
};

// The value of `key` ("DESKTOP", "DOCUMENTS" ...) in user-dirs.dirs text: "$HOME/..." or an
// absolute path, in double quotes. nullopt when the key is absent or its value unusable.
VOK_PLATFORM_API std::optional<std::string> ParseUserDir(std::string_view text,
                                                         std::string_view key,
                                                         const std::string& home);

// The folder of the first five kinds (nullopt for the others).
VOK_PLATFORM_API std::optional<std::string> KnownFolderPath(KnownFolder folder);

// Opens the folder in the file manager, or starts the program that stands for it. The
// bookmarks, applications and autostart folders are created when missing. False when nothing
// could be opened.
VOK_PLATFORM_API bool OpenKnownFolder(KnownFolder folder);

}  // namespace vok::shell
