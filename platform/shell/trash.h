// The recycle bin, in the freedesktop.org trash layout, so that file
// managers show, restore and empty what the bar throws away (and the other way round).
//
// A trash folder holds files/ (the items, under unique names) and info/ (one NAME.trashinfo
// per item with its original Path, percent-encoded, and its DeletionDate). The home trash is
// $XDG_DATA_HOME/Trash (~/.local/share/Trash). An item on another file system goes to that
// volume's own trash, next to the volume's top folder: $topdir/.Trash/$UID when $topdir/.Trash
// is a real folder with the sticky bit, else $topdir/.Trash-$UID; its Path is then relative to
// $topdir. Items are never copied across file systems: one that cannot be renamed into a trash
// folder stays where it is, untouched.
#pragma once

#include <sys/types.h>

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/runtime.h"
#include "platform/shell/file_operations.h"

namespace vok::shell {

struct TrashFolder {
  std::filesystem::path root;    // the folder holding files/ and info/
  std::filesystem::path topDir;  // a volume trash's top folder; empty for the home trash
};

// $XDG_DATA_HOME/Trash, or ~/.local/share/Trash when the variable is unset or relative.
VOK_PLATFORM_API std::filesystem::path HomeTrashPath();

// The trash of the volume whose top folder is `topDir`, for user `uid`, created when missing
// and `create` is set; nullopt when there is none that may be used.
VOK_PLATFORM_API std::optional<TrashFolder> VolumeTrash(const std::filesystem::path& topDir,
                                                        uid_t uid, bool create);

// Percent-encodes a path for the Path key: every byte except ASCII letters, digits, "-", "_",
// ".", "~" and "/".
VOK_PLATFORM_API std::string EncodeTrashPath(std::string_view path);

// The text of a .trashinfo file.
VOK_PLATFORM_API std::string TrashInfoText(std::string_view encodedPath, std::time_t deletedAt);

// Moves `item` (an absolute path; not followed when it is a symbolic link) into `trash` under
// a free name, writing its .trashinfo first. False, with the item untouched and no .trashinfo
// left behind, when anything fails.
VOK_PLATFORM_API bool TrashItemInto(const std::filesystem::path& item, const TrashFolder& trash);

// Moves the items `source` names (wildcards in its last part) to their trash. Every item's
// trash is found (and created) before the first one moves; false when nothing matches, when an
// item has no usable trash, or when a move failed (items already in the trash stay there).
VOK_PLATFORM_API bool MoveToTrash(const std::string& source,
                                  Wildcards wildcards = Wildcards::kExpand);

// The home trash and the trash folders of the mounted volumes (through sys::CurrentMounts)
// that exist.
VOK_PLATFORM_API std::vector<TrashFolder> ExistingTrashFolders();

// The number of items in every existing trash; nullopt when one cannot be read.
VOK_PLATFORM_API std::optional<int64_t> CountTrashItems();
// Deletes every item of every existing trash, with its .trashinfo. False when something could
// not be deleted.
VOK_PLATFORM_API bool EmptyTrash();

}  // namespace vok::shell
