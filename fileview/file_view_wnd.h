// vokFileViewWnd: the file list shown by the File Management window. It lists one folder (or
// the mounted volumes in drives mode) filtered by wildcard patterns, sorts by any column,
// selects by mask, and opens, copies, moves, deletes, renames and inspects the selected
// entries. Navigation (entering a folder, going up, opening a drive) is asked of the host
// through IvokFileViewSite. Created by class identifier (vok::clsid::kFileViewWnd).
//
// The host calls Init, then per folder SetDir, SetFilter and Update; the window (Create,
// SetPos, InitListView, SetViewType) is optional for everything but in-place renaming. Every
// message, dialog and menu goes through vok::ui::CurrentPrompter(). The site is held with a
// reference: the host releases the view (its Exit) to end the cycle between them.
//
// Stream record: int32 0, int32 ShowFolders, int32 SortType, int32 SortOrder, then the
// selection-mask, destination and new-name histories as fast-list records. Load replaces the
// state only when the whole record was read; a negative first value reads no more.
//
// Single-threaded (the user-interface thread).
#pragma once

#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "common/fast_list_ifaces.h"
#include "common/shell_exec_ifaces.h"
#include "common/vok_object.h"
#include "fileview/file_entries.h"
#include "fileview/file_view_widget.h"
#include "platform/com/objidl.h"

class QItemSelectionModel;

namespace vok::fileview {
class FileViewModel;
}  // namespace vok::fileview

class vokFileViewWnd final
    : public vok::ObjectRoot<IvokFileViewWnd, IvokFileViewCmd, IPersistStream> {
 public:
  vokFileViewWnd();
  ~vokFileViewWnd() override;

  // IvokFileViewWnd. Without a window (before Create) these give E_FAIL, Update excepted: it
  // fills the model either way.
  HRESULT STDMETHODCALLTYPE Create(HWND hwndParent) override;
  HRESULT STDMETHODCALLTYPE SetPos(LONG lLeft, LONG lTop, LONG lRgt, LONG lBot) override;
  HRESULT STDMETHODCALLTYPE InitListView() override;
  HRESULT STDMETHODCALLTYPE Update() override;
  // E_INVALIDARG for a style other than kListStyle*.
  HRESULT STDMETHODCALLTYPE SetViewType(LONG lViewType) override;
  HRESULT STDMETHODCALLTYPE SetFocus() override;

  // IvokFileViewCmd
  // Keeps the site's IvokFileViewSite (pUnkFVSite may be null) and creates the histories.
  HRESULT STDMETHODCALLTYPE Init(IUnknown* pUnkFVSite, LONG bDirs) override;
  // E_FAIL (with only the up entry) when the folder cannot be read.
  HRESULT STDMETHODCALLTYPE SetDir(LPCSTR szDir, LONG bDrives) override;
  // Folders, drives and the up entry are always kept; files must match a pattern.
  HRESULT STDMETHODCALLTYPE SetFilter(LPCSTR szFilter) override;
  HRESULT STDMETHODCALLTYPE Exit() override;
  // The shell verbs act on the selection without the up entry: S_FALSE when that is empty.
  HRESULT STDMETHODCALLTYPE ContextMenu(LONG lx, LONG ly) override;
  // One folder, drive or up entry: the site navigates, S_FALSE. Otherwise each entry is
  // opened by the desktop: S_OK, or message 172 and E_FAIL when one could not be.
  HRESULT STDMETHODCALLTYPE Open() override;
  HRESULT STDMETHODCALLTYPE Properties() override;
  // text/uri-list, x-special/gnome-copied-files and text/plain.
  HRESULT STDMETHODCALLTYPE CopyToClipboard() override;
  HRESULT STDMETHODCALLTYPE Select(LPCSTR psz, LONG bUseDlg, LONG bSelect) override;
  // Renames on collision: nothing at the destination is ever replaced.
  HRESULT STDMETHODCALLTYPE MoveCopy(LPCSTR psz, LONG bUseDlg, LONG bMove) override;
  HRESULT STDMETHODCALLTYPE Delete(LONG bUseRBin, LONG bAsk) override;
  HRESULT STDMETHODCALLTYPE Rename(LONG bAsk) override;
  HRESULT STDMETHODCALLTYPE get_ShowFolders(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_ShowFolders(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_SortOrder(LONG* pVal) override;
  // E_INVALIDARG for a value other than 0 and 1; a change re-sorts the rows.
  HRESULT STDMETHODCALLTYPE put_SortOrder(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_SortType(LONG* pVal) override;
  // E_INVALIDARG for a column outside 0..3; a change re-sorts the rows.
  HRESULT STDMETHODCALLTYPE put_SortType(LONG newVal) override;

  // IPersistStream
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(IStream* stm) override;
  HRESULT STDMETHODCALLTYPE Save(IStream* stm, BOOL fClearDirty) override;
  // The exact size Save would write now.
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* pcbSize) override;

  // The shown rows, their selection and the window (null before Create), for the host's
  // tests and the benchmark.
  vok::fileview::FileViewModel& Model() { return *model_; }
  QItemSelectionModel& Selection() { return *selection_; }
  vok::fileview::FileViewWidget* Window() const { return window_; }

 private:
  HRESULT EnsureHistories();
  // Selected rows in view order; `withUp` keeps the up entry.
  std::vector<int> SelectedRows(bool withUp) const;
  // Paths of the selected files and folders (what file operations act on).
  std::vector<std::string> SelectedItemPaths() const;
  void ApplySort();
  void Refresh();
  void Tell(UINT id, bool success) const;
  HRESULT OpenItems(const std::vector<int>& rows);
  HRESULT OpenWith();
  void OnHeaderClicked(int column);
  void OnRenamed(int row, const std::string& name);
  // May throw CvokIStreamException; Load turns it into its status.
  HRESULT LoadRecord(IStream* stm);

  std::string dir_;  // ends with "/"
  bool drives_ = false;
  bool dirs_ = false;
  LONG showFolders_ = 1;
  LONG sortType_ = vok::fileview::kSortName;
  LONG sortOrder_ = 0;
  bool changed_ = false;
  std::string filter_;
  std::vector<vok::fileview::FileEntry> read_;      // by SetDir
  std::vector<vok::fileview::FileEntry> filtered_;  // by SetFilter
  ComPtr<IvokFileViewSite> site_;
  ComPtr<IvokFastList> masks_;
  ComPtr<IvokFastList> destinations_;
  ComPtr<IvokFastList> newNames_;
  std::unique_ptr<vok::fileview::FileViewModel> model_;
  std::unique_ptr<QItemSelectionModel> selection_;
  QPointer<vok::fileview::FileViewWidget> window_;
};
