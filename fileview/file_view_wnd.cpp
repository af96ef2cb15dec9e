#include "fileview/file_view_wnd.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QPoint>
#include <QUrl>
#include <algorithm>

#include "common/class_ids.h"
#include "common/memory_stream.h"
#include "common/property_util.h"
#include "common/stream_util.h"
#include "fileview/file_view_model.h"
#include "fileview/file_view_widget.h"
#include "fileview/history_list.h"
#include "fileview/move_copy_dialog.h"
#include "fileview/resources/fileview_strings.h"
#include "fileview/select_dialog.h"
#include "platform/shell/context_menu.h"
#include "platform/shell/file_operations.h"
#include "platform/shell/open_with_dialog.h"
#include "platform/shell/paths.h"
#include "platform/shell/properties_dialog.h"
#include "platform/shell/shell.h"
#include "platform/shell/trash.h"
#include "platform/ui/prompter.h"

namespace fv = vok::fileview;
using fv::EntryType;
using fv::FileEntry;

namespace {

std::string Text(UINT id) { return vok::LoadStringResource(&fv::kFileViewResources, id); }

bool IsEnterableFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The clipboard form of copied files that file managers paste.
QMimeData* CopiedFilesData(const std::vector<std::string>& paths) {
  auto* data = new QMimeData;
  QList<QUrl> urls;
  QByteArray copied("copy");
  QStringList plain;
  for (const std::string& path : paths) {
    const QString name = QFile::decodeName(path.c_str());
    const QUrl url = QUrl::fromLocalFile(name);
    urls.push_back(url);
    copied += '\n' + url.toEncoded();
    plain.push_back(name);
  }
  data->setUrls(urls);
  data->setData(QStringLiteral("x-special/gnome-copied-files"), copied);
  data->setText(plain.join(QLatin1Char('\n')));
  return data;
}

}  // namespace

vokFileViewWnd::vokFileViewWnd()
    : model_(std::make_unique<fv::FileViewModel>()),
      selection_(std::make_unique<QItemSelectionModel>(model_.get())) {}

vokFileViewWnd::~vokFileViewWnd() { delete window_.data(); }

// ---- IvokFileViewWnd ----

HRESULT STDMETHODCALLTYPE vokFileViewWnd::Create(HWND hwndParent) {
  if (!hwndParent) return E_FAIL;
  delete window_.data();
  fv::FileViewEvents events;
  events.open = [this] { Open(); };
  events.contextMenu = [this](const QPoint& at) { ContextMenu(at.x(), at.y()); };
  events.headerClicked = [this](int column) { OnHeaderClicked(column); };
  events.renameBegins = [this] {
    if (site_) site_->BeginRename();
  };
  events.renameEnds = [this] {
    if (site_) site_->EndRename();
  };
  events.renamed = [this](int row, const std::string& name) { OnRenamed(row, name); };
  window_ = new fv::FileViewWidget(hwndParent, model_.get(), selection_.get(), std::move(events));
  window_->ShowSortIndicator(sortType_, sortOrder_ != 0);
  window_->show();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::SetPos(LONG lLeft, LONG lTop, LONG lRgt, LONG lBot) {
  if (!window_) return E_FAIL;
  window_->setGeometry(lLeft, lTop, std::max(lRgt - lLeft, 0), std::max(lBot - lTop, 0));
  window_->update();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::InitListView() {
  if (!window_) return E_FAIL;
  window_->InitColumns();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::Update() {
  std::vector<FileEntry> shown;
  shown.reserve(filtered_.size());
  for (const FileEntry& entry : filtered_)
    if (showFolders_ || entry.type != EntryType::kFolder) shown.push_back(entry);
  model_->SetEntries(std::move(shown), dir_);
  ApplySort();
  if (model_->EntryCount() > 0)
    selection_->setCurrentIndex(model_->index(0, 0),
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::SetViewType(LONG lViewType) {
  if (!window_) return E_FAIL;
  return window_->SetViewStyle(lViewType) ? S_OK : E_INVALIDARG;
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::SetFocus() {
  if (!window_) return E_FAIL;
  window_->FocusList();
  return S_OK;
}

// ---- IvokFileViewCmd: the shown entries ----

HRESULT vokFileViewWnd::EnsureHistories() {
  for (ComPtr<IvokFastList>* list : {&masks_, &destinations_, &newNames_}) {
    if (*list) continue;
    HRESULT hr = fv::CreateHistory(list);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::Init(IUnknown* pUnkFVSite, LONG bDirs) {
  dirs_ = bDirs != 0;
  site_ = QueryAs<IvokFileViewSite>(pUnkFVSite);
  return EnsureHistories();
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::SetDir(LPCSTR szDir, LONG bDrives) {
  if (!szDir) return E_POINTER;
  read_.clear();
  filtered_.clear();
  dir_ = szDir;
  if (dir_.empty() || dir_.back() != '/') dir_ += '/';
  drives_ = bDrives != 0;
  if (drives_) {
    read_ = fv::ReadDrives();
    return S_OK;
  }
  if (dirs_) read_.push_back(fv::MakeUpEntry(Text(fv::kIdsUpEntry)));
  std::optional<std::vector<FileEntry>> listing = fv::ReadFolder(dir_, dirs_);
  if (!listing) return E_FAIL;
  read_.insert(read_.end(), std::make_move_iterator(listing->begin()),
               std::make_move_iterator(listing->end()));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::SetFilter(LPCSTR szFilter) {
  filter_ = szFilter ? szFilter : "";
  const std::vector<std::string> patterns = fv::SplitPatterns(filter_);
  filtered_.clear();
  for (const FileEntry& entry : read_) {
    // A drive is no file: a file filter must not hide the way back into the folders.
    if (entry.type != EntryType::kFile || fv::MatchesAnyPattern(patterns, entry.name))
      filtered_.push_back(entry);
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::Exit() { return S_OK; }

void vokFileViewWnd::Refresh() {
  SetDir(dir_.c_str(), drives_);
  SetFilter(filter_.c_str());
  Update();
}

void vokFileViewWnd::ApplySort() {
  model_->Sort(fv::EntryOrder{sortType_, sortOrder_ != 0});
  if (window_) window_->ShowSortIndicator(sortType_, sortOrder_ != 0);
}

void vokFileViewWnd::OnHeaderClicked(int column) {
  if (column < 0 || column >= fv::kSortColumnCount) return;
  if (column == sortType_) {
    sortOrder_ = sortOrder_ ? 0 : 1;
  } else {
    sortType_ = column;
    sortOrder_ = 0;
  }
  changed_ = true;
  ApplySort();
}

std::vector<int> vokFileViewWnd::SelectedRows(bool withUp) const {
  std::vector<int> rows;
  for (const QModelIndex& index : selection_->selectedRows()) {
    if (withUp || model_->Entry(index.row()).type != EntryType::kUp) rows.push_back(index.row());
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

std::vector<std::string> vokFileViewWnd::SelectedItemPaths() const {
  std::vector<std::string> paths;
  for (int row : SelectedRows(false)) {
    EntryType type = model_->Entry(row).type;
    if (type == EntryType::kFile || type == EntryType::kFolder)
      paths.push_back(model_->PathOf(row));
  }
  return paths;
}

void vokFileViewWnd::Tell(UINT id, bool success) const {
  vok::ui::Message message;
  message.owner = window_;
  message.text = Text(id);
  message.caption = Text(fv::kIdsCaption);
  message.icon = success ? vok::ui::Icon::kInformation : vok::ui::Icon::kExclamation;
  vok::ui::Ask(message);
}

// ---- Shell verbs ----

HRESULT vokFileViewWnd::OpenItems(const std::vector<int>& rows) {
  bool opened = true;
  for (int row : rows)
    opened = vok::shell::Open(model_->PathOf(row), vok::shell::Verb::kOpen, dir_) && opened;
  if (opened) return S_OK;
  Tell(fv::kIdsOperationFailed, false);
  return E_FAIL;
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::Open() {
  std::vector<int> all = SelectedRows(true);
  if (all.empty()) return S_FALSE;
  if (all.size() == 1) {
    const FileEntry& entry = model_->Entry(all.front());
    switch (entry.type) {
      case EntryType::kUp:
        if (site_) site_->NavigateTo(0, nullptr);
        return S_FALSE;
      case EntryType::kFolder:
      case EntryType::kDrive:
        if (site_) site_->NavigateTo(1, entry.name.c_str());
        return S_FALSE;
      case EntryType::kFile:
        break;
    }
  }
  std::vector<int> rows = SelectedRows(false);
  return rows.empty() ? S_FALSE : OpenItems(rows);
}

HRESULT vokFileViewWnd::OpenWith() {
  std::vector<int> rows = SelectedRows(false);
  switch (vok::shell::OpenWithChosenApplication(window_, model_->PathOf(rows.front()))) {
    case vok::shell::DialogOutcome::kDone:
      return S_OK;
    case vok::shell::DialogOutcome::kCancelled:
      return S_FALSE;
    case vok::shell::DialogOutcome::kFailed:
      break;
  }
  Tell(fv::kIdsOperationFailed, false);
  return E_FAIL;
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::ContextMenu(LONG lx, LONG ly) {
  std::vector<int> rows = SelectedRows(false);
  if (rows.empty()) return S_FALSE;
  using vok::shell::ItemAction;
  switch (vok::shell::ChooseItemAction(window_, QPoint(lx, ly))) {
    case ItemAction::kNone:
      return S_FALSE;
    case ItemAction::kOpen:
      return OpenItems(rows);
    case ItemAction::kOpenWith:
      return OpenWith();
    case ItemAction::kCopyPath: {
      std::string paths;
      for (int row : rows) paths += (paths.empty() ? "" : "\n") + model_->PathOf(row);
      vok::shell::CopyPathToClipboard(paths);
      return S_OK;
    }
    case ItemAction::kRename:
      return Rename(1);
    case ItemAction::kDelete:
      return Delete(1, 1);
    case ItemAction::kProperties:
      return Properties();
  }
  return S_FALSE;
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::Properties() {
  std::vector<int> rows = SelectedRows(false);
  if (rows.empty()) return S_FALSE;
  // The dialog describes one item: the focused one when it is selected, else the first.
  int row = rows.front();
  const QModelIndex current = selection_->currentIndex();
  if (current.isValid() && std::binary_search(rows.begin(), rows.end(), current.row()))
    row = current.row();
  if (vok::shell::ShowProperties(window_, model_->PathOf(row))) return S_OK;
  Tell(fv::kIdsOperationFailed, false);
  return E_FAIL;
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::CopyToClipboard() {
  std::vector<int> rows = SelectedRows(false);
  if (rows.empty()) return S_FALSE;
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return E_FAIL;
  std::vector<std::string> paths;
  for (int row : rows) paths.push_back(model_->PathOf(row));
  clipboard->setMimeData(CopiedFilesData(paths));
  return S_OK;
}

// ---- Selection and file operations ----

HRESULT STDMETHODCALLTYPE vokFileViewWnd::Select(LPCSTR psz, LONG bUseDlg, LONG bSelect) {
  std::string mask = psz ? psz : "";
  if (bUseDlg) {
    HRESULT hr = EnsureHistories();
    if (FAILED(hr)) return hr;
    std::optional<std::string> entered = fv::AskSelectionMask(window_, bSelect != 0, masks_.Get());
    if (!entered) return S_FALSE;
    mask = std::move(*entered);
    if (fv::AddToHistory(masks_.Get(), mask) == S_OK) changed_ = true;
  }
  const std::vector<std::string> patterns = fv::SplitPatterns(mask);
  // Runs of matching rows become one range each: one selection change, however many rows.
  QItemSelection matching;
  const int count = model_->EntryCount();
  for (int row = 0; row < count;) {
    auto matches = [&](int r) {
      const FileEntry& entry = model_->Entry(r);
      return entry.type != EntryType::kUp && fv::MatchesAnyPattern(patterns, entry.name);
    };
    if (!matches(row)) {
      ++row;
      continue;
    }
    int last = row;
    while (last + 1 < count && matches(last + 1)) ++last;
    matching.select(model_->index(row, 0),
                    model_->index(last, fv::FileViewModel::kColumnCount - 1));
    row = last + 1;
  }
  if (!matching.isEmpty()) {
    selection_->select(matching,
                       (bSelect ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                           QItemSelectionModel::Rows);
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::MoveCopy(LPCSTR psz, LONG bUseDlg, LONG bMove) {
  const std::vector<std::string> paths = SelectedItemPaths();
  if (paths.empty()) {
    Tell(fv::kIdsNoItemSelected, false);
    return S_FALSE;
  }
  fv::TransferTarget target;
  target.destination = psz ? psz : "";
  if (bUseDlg) {
    HRESULT hr = EnsureHistories();
    if (FAILED(hr)) return hr;
    std::optional<fv::TransferTarget> chosen =
        fv::AskTransferTarget(window_, bMove != 0, dir_, destinations_.Get(),
                              paths.size() == 1 ? newNames_.Get() : nullptr);
    if (!chosen) return E_FAIL;
    target = std::move(*chosen);
    if (fv::AddToHistory(destinations_.Get(), target.destination) == S_OK) changed_ = true;
    if (fv::AddToHistory(newNames_.Get(), target.newName) == S_OK) changed_ = true;
  }
  const std::string destination = vok::shell::FullPath(target.destination, dir_);
  if (target.destination.empty() || !IsEnterableFolder(destination)) {
    Tell(fv::kIdsNoDestination, false);
    return E_FAIL;
  }
  const auto kind = bMove ? vok::shell::TransferKind::kMove : vok::shell::TransferKind::kCopy;
  std::vector<std::filesystem::path> sources(paths.begin(), paths.end());
  vok::shell::TransferPlan plan =
      vok::shell::PlanTransferInto(kind, sources, destination, target.newName);
  if (!vok::shell::CarryOut(plan, false)) {
    Tell(fv::kIdsOperationFailed, false);
    return E_FAIL;
  }
  // A move empties rows; a copy into the shown folder adds some.
  std::error_code error;
  if (bMove || std::filesystem::equivalent(destination, dir_, error)) Refresh();
  Tell(bMove ? fv::kIdsMoved : fv::kIdsCopied, true);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::Delete(LONG bUseRBin, LONG bAsk) {
  const std::vector<std::string> paths = SelectedItemPaths();
  if (paths.empty()) {
    Tell(fv::kIdsNoItemSelected, false);
    return S_FALSE;
  }
  if (bAsk) {
    vok::ui::Message question;
    question.owner = window_;
    question.text = Text(bUseRBin ? fv::kIdsConfirmTrash : fv::kIdsConfirmFinalDelete);
    question.caption = Text(fv::kIdsCaption);
    question.icon = vok::ui::Icon::kQuestion;
    question.buttons = vok::ui::Buttons::kYesNo;
    if (vok::ui::Ask(question) != vok::ui::Answer::kYes) return S_FALSE;
  }
  bool deleted = true;
  for (const std::string& path : paths) {
    deleted = bUseRBin ? vok::shell::MoveToTrash(path, vok::shell::Wildcards::kLiteral)
                       : vok::shell::DeleteItems(path, vok::shell::Wildcards::kLiteral);
    if (!deleted) break;
  }
  Refresh();
  if (!deleted) {
    Tell(fv::kIdsOperationFailed, false);
    return E_FAIL;
  }
  Tell(fv::kIdsDeleted, true);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::Rename(LONG bAsk) {
  std::vector<int> rows = SelectedRows(true);
  if (rows.empty()) {
    Tell(fv::kIdsNoItemSelected, false);
    return S_FALSE;
  }
  if (rows.size() > 1) {
    Tell(fv::kIdsOnlyOneItem, false);
    return S_FALSE;
  }
  const EntryType type = model_->Entry(rows.front()).type;
  if (type != EntryType::kFile && type != EntryType::kFolder) return S_FALSE;
  if (!window_) return E_FAIL;
  window_->FocusList();
  return window_->EditName(rows.front()) ? S_OK : E_FAIL;
}

void vokFileViewWnd::OnRenamed(int row, const std::string& name) {
  const std::string oldName = model_->Entry(row).name;
  if (name.empty() || name == oldName) return;
  vok::shell::TransferPlan plan =
      vok::shell::PlanRename(model_->PathOf(row), name, vok::shell::Wildcards::kLiteral);
  // An existing name is never replaced: the entry keeps its old name.
  if (!vok::shell::CarryOut(plan, false)) {
    Tell(fv::kIdsOperationFailed, false);
    return;
  }
  model_->RenameEntry(row, name);
  for (std::vector<FileEntry>* entries : {&read_, &filtered_}) {
    auto found = std::find_if(entries->begin(), entries->end(), [&](const FileEntry& entry) {
      return entry.type != EntryType::kUp && entry.name == oldName;
    });
    if (found != entries->end()) found->name = name;
  }
}

// ---- Properties ----

HRESULT STDMETHODCALLTYPE vokFileViewWnd::get_ShowFolders(LONG* pVal) {
  return vok::GetProperty(showFolders_, pVal);
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::put_ShowFolders(LONG newVal) {
  return vok::PutProperty(&showFolders_, newVal ? 1 : 0, &changed_);
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::get_SortOrder(LONG* pVal) {
  return vok::GetProperty(sortOrder_, pVal);
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::put_SortOrder(LONG newVal) {
  if (newVal != 0 && newVal != 1) return E_INVALIDARG;
  if (vok::StoreIfChanged(&sortOrder_, newVal)) {
    changed_ = true;
    ApplySort();
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::get_SortType(LONG* pVal) {
  return vok::GetProperty(sortType_, pVal);
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::put_SortType(LONG newVal) {
  if (newVal < 0 || newVal >= fv::kSortColumnCount) return E_INVALIDARG;
  if (vok::StoreIfChanged(&sortType_, newVal)) {
    changed_ = true;
    ApplySort();
  }
  return S_OK;
}

// ---- IPersistStream ----

HRESULT STDMETHODCALLTYPE vokFileViewWnd::GetClassID(CLSID* pClassID) {
  return vok::GetProperty(vok::clsid::kFileViewWnd, pClassID);
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::IsDirty() { return changed_ ? S_OK : S_FALSE; }

HRESULT vokFileViewWnd::LoadRecord(IStream* stm) {
  if (vok::ReadLong(stm) < 0) return S_OK;
  const LONG showFolders = vok::ReadLong(stm);
  const LONG sortType = vok::ReadLong(stm);
  const LONG sortOrder = vok::ReadLong(stm);
  // Read into new lists: a record cut short leaves the view as it was.
  ComPtr<IvokFastList> lists[3];
  for (ComPtr<IvokFastList>& list : lists) {
    HRESULT hr = fv::CreateHistory(&list);
    if (FAILED(hr)) return hr;
    vok::LoadObject(list.Get(), stm);
  }
  showFolders_ = showFolders ? 1 : 0;
  // Values no version ever wrote fall back to the defaults.
  sortType_ = sortType >= 0 && sortType < fv::kSortColumnCount ? sortType : fv::kSortName;
  sortOrder_ = sortOrder == 1 ? 1 : 0;
  masks_ = std::move(lists[0]);
  destinations_ = std::move(lists[1]);
  newNames_ = std::move(lists[2]);
  ApplySort();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::Load(IStream* stm) {
  if (!stm) return E_POINTER;
  HRESULT hr = vok::GuardStream([&] { return LoadRecord(stm); });
  if (SUCCEEDED(hr)) changed_ = false;
  return hr;
}

HRESULT STDMETHODCALLTYPE vokFileViewWnd::Save(IStream* stm, BOOL fClearDirty) {
  if (!stm) return E_POINTER;
  HRESULT hr = EnsureHistories();
  if (FAILED(hr)) return hr;
  hr = vok::GuardStream([&] {
    vok::WriteLong(stm, 0);
    vok::WriteLong(stm, showFolders_);
    vok::WriteLong(stm, sortType_);
    vok::WriteLong(stm, sortOrder_);
    for (IvokFastList* list : {masks_.Get(), destinations_.Get(), newNames_.Get()})
      vok::SaveObject(list, stm, fClearDirty);
    return S_OK;
  });
  if (SUCCEEDED(hr) && fClearDirty) changed_ = false;
  return hr;
}

// What Save writes, without clearing the changes flag.
HRESULT STDMETHODCALLTYPE vokFileViewWnd::GetSizeMax(ULARGE_INTEGER* pcbSize) {
  return vok::MeasureRecord([&](IStream* counter) { return Save(counter, 0); }, pcbSize);
}
