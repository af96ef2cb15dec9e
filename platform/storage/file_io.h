// Whole-file reading and atomic replacement of data files, with errno turned into storage
// statuses.
#pragma once

#include <string>
#include <vector>

#include "common/vok_types.h"

namespace vok::storage {

// Reads at most `limit` bytes from the start of the file (fewer when it is shorter).
// STG_E_FILENOTFOUND, STG_E_PATHNOTFOUND, STG_E_ACCESSDENIED (also for a folder) or
// STG_E_READFAULT.
HRESULT ReadFilePrefix(const std::string& path, size_t limit, std::vector<uint8_t>* out);
HRESULT ReadWholeFile(const std::string& path, std::vector<uint8_t>* out);

// Replaces the file at `path` with `bytes` so that the old content survives any failure: the
// bytes go to a new file in the same folder, which is synced and renamed over the target, and
// the folder is synced. The target keeps its permission bits; a new file gets 0666 less the
// umask. On failure the target is untouched and the status is STG_E_MEDIUMFULL (no space or
// file too large), STG_E_ACCESSDENIED, STG_E_PATHNOTFOUND or STG_E_WRITEFAULT.
HRESULT ReplaceFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

// Where a save of `path` should go: the file a symbolic link names, so that saving replaces
// the target rather than the link; `path` itself when it does not exist yet.
std::string ResolveSaveTarget(const std::string& path);

// Whether a new file could be created at `path`: S_OK, STG_E_PATHNOTFOUND when the folder is
// missing, STG_E_ACCESSDENIED when it is not writable or `path` is a folder.
HRESULT CheckCreatable(const std::string& path);

}  // namespace vok::storage
