// Copying, moving, renaming and deleting files and folders, with wildcards in the last part of
// the source path. Our own code on std::filesystem: nothing is handed to an outside program.
//
// Wildcards: "*" stands for any run of characters and "?" for one character; letter case
// counts (as everywhere on Linux); a name starting with "." is matched only by a pattern that
// starts with "." (so "*" leaves hidden files alone). Wildcards elsewhere in a path are
// ordinary characters.
//
// Safety: an operation first checks every source and destination and does nothing at all when
// one of them is wrong. An existing file at a destination is replaced only when the caller
// says so (after asking the user); an existing folder is never replaced or merged. Copies are
// written under a temporary name beside their destination and renamed into place once every
// copy is complete, so a failed copy leaves no half-written file and no replaced file behind.
// The root folder and the home folder (or a folder holding it) are never deleted or moved.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/runtime.h"

namespace vok::shell {

// Whether "*" and "?" in the last part of a source path are wildcards (typed paths) or plain
// characters of a name (a path chosen from a list or a menu).
enum class Wildcards { kExpand, kLiteral };

VOK_PLATFORM_API bool HasWildcards(std::string_view text);
VOK_PLATFORM_API bool MatchesWildcards(std::string_view pattern, std::string_view name);

// The items `path` names, sorted: the path itself when its last part has no wildcard and it
// exists (a dangling symbolic link counts), else the entries of its folder matched by the last
// part. Empty when nothing matches or the folder cannot be read.
VOK_PLATFORM_API std::vector<std::filesystem::path> ExpandWildcards(
    const std::string& path, Wildcards wildcards = Wildcards::kExpand);

enum class FileOpError {
  kNone,
  kNotFound,  // no source item
  kInvalid,   // a destination that cannot work (missing folder, inside the source, itself ...)
  kConflict,  // a destination folder exists, or a folder would replace a file
  kDenied,    // no permission on a source or a destination folder
};

enum class TransferKind { kCopy, kMove };

struct Transfer {
  std::filesystem::path from;
  std::filesystem::path to;
};

struct TransferPlan {
  TransferKind kind = TransferKind::kCopy;
  FileOpError error = FileOpError::kNone;
  std::vector<Transfer> items;
  // Destinations that exist as files: replaced only when CarryOut is told so.
  std::vector<std::filesystem::path> existing;
};

// Copy or move `source` (wildcards allowed) to `destination`: into it when it is an existing
// folder, else to that name (only for a source without wildcards). Folders are copied with
// everything in them; symbolic links are copied as links.
VOK_PLATFORM_API TransferPlan PlanTransfer(TransferKind kind, const std::string& source,
                                           const std::string& destination);
// The name `name` can take in `folder` without replacing anything: `name` itself while nothing
// there has it (nor is it in `taken`), else "stem (2).ext", "stem (3).ext" ... ("a.tar.gz" gives
// "a.tar (2).gz"). The name of a folder (`isFolder`), and one without an extension such as
// ".profile", gets the number at its end.
VOK_PLATFORM_API std::string FreeNameIn(const std::filesystem::path& folder,
                                        const std::string& name, bool isFolder = false,
                                        const std::vector<std::string>& taken = {});

// Copy or move the items `sources` (paths taken literally) into the existing folder
// `destination`, renaming on collision: an item whose name is taken there (or by an item
// before it) goes under a free name (FreeNameIn), so the plan never replaces anything and its
// `existing` stays empty. `newName`, when not empty, is the name of the single source at the
// destination (kInvalid with several sources or a name that cannot be one). Moving an item
// into its own folder under its own name is kInvalid; copying it there makes "name (2)".
VOK_PLATFORM_API TransferPlan PlanTransferInto(TransferKind kind,
                                               const std::vector<std::filesystem::path>& sources,
                                               const std::filesystem::path& destination,
                                               const std::string& newName = {});

// Give the one item `source` names the name `newName` in its own folder. A new name that is
// empty, "." or "..", or holds a "/", is kInvalid.
VOK_PLATFORM_API TransferPlan PlanRename(const std::string& source, const std::string& newName,
                                         Wildcards wildcards = Wildcards::kExpand);

// Carries out a plan without error. False, with nothing done, when the plan has an error or
// existing destinations that `replaceExisting` does not allow to replace.
VOK_PLATFORM_API bool CarryOut(const TransferPlan& plan, bool replaceExisting);

// Deletes the items `source` names for good (folders with their contents; a symbolic link, not
// what it points to). False when nothing matches, when an item may not be deleted (checked for
// all items first) or when deleting failed.
VOK_PLATFORM_API bool DeleteItems(const std::string& source,
                                  Wildcards wildcards = Wildcards::kExpand);

// Creates `path` and every missing folder above it. True when all of them exist afterwards.
VOK_PLATFORM_API bool MakeDirectories(const std::string& path);

// rename(2) that never replaces an existing `to`.
VOK_PLATFORM_API bool RenameNoReplace(const std::filesystem::path& from,
                                      const std::filesystem::path& to);

// True for "/" and for the home folder and every folder holding it.
VOK_PLATFORM_API bool IsProtectedFolder(const std::filesystem::path& path);

}  // namespace vok::shell
