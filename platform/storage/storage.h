// Structured storage: compound files (version 3, 512-byte sectors) behind IStorage/IStream.
//
// Opening reads and checks the whole file into memory; changes happen in memory. The root
// storage writes the whole file on Commit and on its final Release when it was opened for
// writing in direct mode and holds unsaved changes (in STGM_TRANSACTED mode only Commit
// writes, and Revert returns to the last commit). Saving replaces the file atomically (a new
// file beside it, synced, renamed over it), so a failed save leaves the previous file as it
// was and returns STG_E_MEDIUMFULL, STG_E_ACCESSDENIED or STG_E_WRITEFAULT.
//
// Names are UTF-8 at the interface (1 to 31 UTF-16 units, none of / \ : !) and compare
// without regard to letter case. Elements below the root must be opened with
// STGM_SHARE_EXCLUSIVE and may be open only once at a time. Share modes of the file itself are
// accepted but not enforced between processes. Not offered: STGM_PRIORITY, STGM_CONVERT,
// STGM_DELETEONRELEASE, STGM_SIMPLE, transacted sub-storages (all STG_E_INVALIDFLAG), a
// priority storage or exclusion list when opening (STG_E_INVALIDPARAMETER), region locks.
// Reading a malformed file fails with STG_E_INVALIDHEADER or STG_E_DOCFILECORRUPT.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/com/objidl.h"
#include "platform/com/runtime.h"

constexpr DWORD STGMOVE_MOVE = 0;
constexpr DWORD STGMOVE_COPY = 1;

// Creates a compound file at `path`. The file is written when the new root commits or is
// released, so STGM_CREATE replaces an existing file only then; without STGM_CREATE an
// existing file gives STG_E_FILEALREADYEXISTS. Needs write access in `grfMode`. A missing
// folder gives STG_E_PATHNOTFOUND, a folder that cannot be written STG_E_ACCESSDENIED.
VOK_PLATFORM_API HRESULT StgCreateDocfile(const char* path, DWORD grfMode, DWORD reserved,
                                          IStorage** out);
// Opens the compound file at `path`; `priority` and `snbExclude` must be null. A missing file
// gives STG_E_FILENOTFOUND.
VOK_PLATFORM_API HRESULT StgOpenStorage(const char* path, IStorage* priority, DWORD grfMode,
                                        void* snbExclude, DWORD reserved, IStorage** out);
// S_OK when the file begins with the compound-file signature, S_FALSE when it does not, or the
// failure of opening it (STG_E_FILENOTFOUND ...).
VOK_PLATFORM_API HRESULT StgIsStorageFile(const char* path);

// An empty read-write storage held in memory only, for tests and for callers that build a
// file's content before deciding where it goes.
VOK_PLATFORM_API HRESULT VokCreateStorageInMemory(IStorage** out);
// A read-write storage over a copy of the compound-file bytes in `data` (nothing is written
// back). Used by tests and the fuzzer to read files without touching the disk.
VOK_PLATFORM_API HRESULT VokOpenStorageOnBytes(const uint8_t* data, size_t size, IStorage** out);
// The compound-file bytes of the document whose root storage is `root` (a root storage of this
// library, file-backed or in memory). E_INVALIDARG for any other storage.
VOK_PLATFORM_API HRESULT VokSaveStorageToBytes(IStorage* root, std::vector<uint8_t>* out);

// Storage, stream and enumerator objects of this library still alive; 0 once every pointer
// handed out has been released (tests check it for leaks).
VOK_PLATFORM_API int32_t VokStorageLiveObjects();
