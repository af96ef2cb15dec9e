// vokChDir: the command bar's current directory with back and forward histories, the "up" chain
// of parent folders ending in the drives pseudo-folder, history menus, a folder browser and
// file-name completion in the current directory. Created by class identifier
// (vok::clsid::kChDir); saved with its owner through IPersistStream.
//
// Current directory: an absolute path as the system reports it (symbolic links resolved), or
// the drives marker kDrivesMarker while the drives pseudo-folder (the mounted volumes, above
// "/") is shown; GetCurrentDir then gives "Drives". The process's current directory follows
// every successful change; the marker is never handed to the file system and leaves the
// process where it was. A leading "~" in a path means $HOME.
//
// Up levels: "/" has one (the drives), "/a/b" three ("/a", "/", the drives), the drives none.
//
// Histories: two fast lists of string items created by class identifier, the most recent entry
// at the back; a folder is the key with item data 0, the drives pseudo-folder the key "Drives"
// with item data 1. A recorded change puts the folder left behind at the back of the back list,
// unless it already is the most recent entry there (compared byte for byte: Linux names are
// case-sensitive), and clears the forward list. A folder whose path does not fit a list key
// (511 bytes) is not kept in the histories: a cut key would name another folder. Stepping back
// or forward moves entries between the lists only once the change of directory has worked. A
// new navigator keeps unlimited histories; Load limits the back list to 40 entries.
//
// Step operations (GoBack, GoForward, GoUp) take 0 to show a menu at the SetMenuParams position
// (the mouse cursor when none was set) through vok::ui::CurrentPrompter().TrackMenu; a
// dismissed menu gives S_FALSE. More steps than exist give VOK_E_NOT_ENOUGH_ENTRIES and change
// nothing.
//
// Single-threaded (the user-interface thread); menus need a QApplication.
#pragma once

#include <string>

#include "common/cmdline_ifaces.h"
#include "common/fast_list_ifaces.h"
#include "common/vok_object.h"

class vokChDir final : public vok::ObjectRoot<IvokChDir, IPersistStream> {
 public:
  static constexpr char kDrivesMarker[] = "...Drives...";
  // Bytes kept of an extension list (cut on a character boundary).
  static constexpr size_t kExtensionListLimit = 256;
  // Entries the back list keeps once the navigator was loaded.
  static constexpr LONG kLoadedBackListLimit = 40;
  // GetFullPath: the completed path does not fit the caller's buffer (file name too long).
  static constexpr HRESULT kPathTooLong = MakeHResult(0x800700CE);

  // IvokChDir
  // Enters the folder and starts with empty histories. E_INVALIDARG for a null directory or one
  // that cannot be entered, a failure to create the lists is returned; nothing changes then.
  HRESULT STDMETHODCALLTYPE Init(LPCSTR pszInitDir) override;
  // S_OK, or E_FAIL with nothing changed when the directory cannot be entered.
  HRESULT STDMETHODCALLTYPE ChangeDir(LPCSTR szDir, LONG bPutInBckFwd) override;
  HRESULT STDMETHODCALLTYPE SetMenuParams(HWND hwnd, LONG lX, LONG lY) override;
  HRESULT STDMETHODCALLTYPE GoBack(LONG lSteps) override;
  HRESULT STDMETHODCALLTYPE GoForward(LONG lSteps) override;
  HRESULT STDMETHODCALLTYPE GoUp(LONG lSteps) override;
  HRESULT STDMETHODCALLTYPE GetCurrentDir(LPSTR pszDir) override;
  HRESULT STDMETHODCALLTYPE SetInitialDir() override;
  HRESULT STDMETHODCALLTYPE IsDrivesSet() override;
  // Asks vok::ui::CurrentPrompter().ChooseFolder; S_FALSE when cancelled.
  HRESULT STDMETHODCALLTYPE BrowseForFolder(HWND hwnd) override;
  // Null arguments are skipped.
  HRESULT STDMETHODCALLTYPE GetHistSizes(LONG* plBack, LONG* plForward, LONG* plUp) override;
  HRESULT STDMETHODCALLTYPE SetSafeCurrentDir(LPCSTR szDir) override;
  // The first candidate of the current directory matching the pattern (letter case ignored),
  // quoted when it holds a blank; S_FALSE (and an empty buffer) when nothing matches or the
  // drives are shown.
  HRESULT STDMETHODCALLTYPE GetCompleteCommand(LPCSTR pszCmdLine, LPSTR pszFile) override;
  HRESULT STDMETHODCALLTYPE GetPrefExt(LPSTR lpsz, ULONG* lpcb) override;
  HRESULT STDMETHODCALLTYPE SetPrefExt(LPCSTR lpsz) override;
  HRESULT STDMETHODCALLTYPE GetExclExt(LPSTR lpsz, ULONG* lpcb) override;
  HRESULT STDMETHODCALLTYPE SetExclExt(LPCSTR lpsz) override;
  // Completes the path in place (see vok::ctl::CompletePath; relative to the current directory,
  // or to the process's one while the drives are shown). E_INVALIDARG when the input has no
  // terminating zero within kPathBufferSize bytes; kPathTooLong (buffer unchanged) when the
  // result would not fit.
  HRESULT STDMETHODCALLTYPE GetFullPath(LPSTR pszPath) override;

  // IPersistStream: version 0, back list, forward list, then the current and initial
  // directories and the excluded and preferred extensions as counted strings. Load replaces the
  // state only when the whole record was read; Save clears the changed flag only on success.
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(IStream* stm) override;
  HRESULT STDMETHODCALLTYPE Save(IStream* stm, BOOL fClearDirty) override;
  // The exact size Save would write now.
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* pcbSize) override;

 private:
  bool AtDrives() const { return current_ == kDrivesMarker; }
  // Levels above the current directory, counting the current one: 1 at the drives.
  int UpLevels() const;
  HRESULT EnsureLists();
  // Creates the history entry for `dir`; S_FALSE and no entry when the path cannot be a key.
  HRESULT MakeEntry(const std::string& dir, ComPtr<IUnknown>* entry) const;
  bool IsMostRecentBack(const std::string& dir) const;
  HRESULT ChangeTo(const std::string& dir, bool record);
  // Moves `steps` entries from `from` (the list stepped through) towards `to`.
  HRESULT Step(IvokFastList* from, IvokFastList* to, LONG steps);
  // Makes the process's current directory the navigator's again (not at the drives).
  void SyncProcessDir() const;
  // May throw CvokIStreamException; Load turns it into its status.
  HRESULT LoadRecord(IStream* stm);

  std::string current_;
  std::string initial_;
  std::string excluded_;
  std::string preferred_;
  ComPtr<IvokFastList> back_;
  ComPtr<IvokFastList> forward_;
  HWND menuOwner_ = nullptr;
  bool menuPositionSet_ = false;
  LONG menuX_ = 0;
  LONG menuY_ = 0;
  bool changed_ = false;
};
