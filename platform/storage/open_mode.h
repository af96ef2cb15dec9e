// Checks of the STGM_* open modes for each way a file, storage or stream is opened.
#pragma once

#include "platform/com/objidl.h"

namespace vok::storage {

enum class OpenUse {
  kOpenFile,       // StgOpenStorage
  kCreateFile,     // StgCreateDocfile
  kOpenElement,    // IStorage::OpenStream / OpenStorage
  kCreateElement,  // IStorage::CreateStream / CreateStorage
};

// S_OK or STG_E_INVALIDFLAG. Rules:
// - the access part is read, write or read-write; the share part one of the defined values;
//   no undefined bit; not STGM_CREATE together with STGM_CONVERT;
// - streams and sub-storages need STGM_SHARE_EXCLUSIVE, and only creation takes STGM_CREATE;
//   transactions, priority, conversion and delete-on-release are not offered for them;
// - files: STGM_TRANSACTED is supported; STGM_PRIORITY, STGM_CONVERT, STGM_DELETEONRELEASE
//   and STGM_SIMPLE are not; opening takes no STGM_CREATE; creating needs write access.
HRESULT CheckOpenMode(DWORD mode, OpenUse use);

inline bool ModeReads(DWORD mode) { return (mode & 3) != STGM_WRITE; }
inline bool ModeWrites(DWORD mode) { return (mode & 3) != STGM_READ; }

}  // namespace vok::storage
