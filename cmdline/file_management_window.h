// The modal "File Management" window of the shell-execution engine: one folder shown in the
// engine's file view window, filtered by the filter chosen in its filter box, with buttons
// and keys to open, copy, move, delete, rename, select and inspect files and to move through
// folders with a directory navigator. It stores the filter choice, the folder switch and the
// view type in the engine's settings when it closes.
#pragma once

#include <string>

#include "common/shell_exec_ifaces.h"
#include "common/vok_types.h"

namespace vok::cmdline {

class FileManagementWindow;

// What the window borrows from the engine while it is open. Every pointer must stay valid
// until Run returns.
struct FileManagementHost {
  IvokEngineShellExecProp* settings = nullptr;  // the engine's settings and filter list
  IUnknown* fileView = nullptr;                 // the engine's vokFileViewWnd
  IUnknown* container = nullptr;                // the engine container; may be null
  // Set to the open window while it is shown and back to null when it has closed, so that
  // the engine can pass the file view's navigation requests on (IvokFileViewSite).
  FileManagementWindow** openWindow = nullptr;
};

// Shows the window modally (owned by the active window) on `directory` with `filter`, and
// returns when it has closed. The process's current directory is restored afterwards.
// S_OK; S_FALSE when the window could not be made; a failing query of the engine's
// interfaces is returned.
HRESULT RunFileManagementWindow(const FileManagementHost& host, const std::string& directory,
                                const std::string& filter);

// The file view's navigation request, for the open window: bEnter 0 goes up one level,
// bEnter 1 changes to `path`; on success the window shows the new folder. The navigator's
// result; E_FAIL for another bEnter.
HRESULT NavigateFileManagementWindow(FileManagementWindow& window, LONG bEnter, LPCSTR path);

}  // namespace vok::cmdline
