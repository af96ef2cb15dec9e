#include "cmdline/file_management_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "cmdline/dialog_support.h"
#include "cmdline/fast_list_item_filter.h"
#include "cmdline/file_management_toolbar.h"
#include "cmdline/item_text.h"
#include "cmdline/resources/cmdline_strings.h"
#include "common/bar_ifaces.h"
#include "common/class_ids.h"
#include "common/cmdline_ifaces.h"
#include "common/container_ifaces.h"
#include "common/fast_list_ifaces.h"
#include "platform/com/com_ptr.h"
#include "platform/com/runtime.h"
#include "platform/ui/accelerator_hook.h"
#include "platform/ui/prompter.h"

namespace vok::cmdline {
namespace {

// 370 x 250 dialog units at the usual dialog font.
constexpr int kWindowWidth = 555;
constexpr int kWindowHeight = 406;

// Prepare's answer for a folder the navigator cannot enter: the user is told, the command
// counts as handled.
constexpr HRESULT kFolderMissing = static_cast<HRESULT>(0xE0000101);

// The view types of the settings, in order, with their toolbar command and the file view's
// list style.
struct ViewMapping {
  LONG view;
  int command;
  LONG listStyle;
};
constexpr ViewMapping kViews[] = {
    {kViewLargeIcons, kFmLargeIcons, kListStyleIcons},
    {kViewSmallIcons, kFmSmallIcons, kListStyleSmallIcons},
    {kViewList, kFmList, kListStyleList},
    {kViewDetails, kFmDetails, kListStyleDetails},
};

// A stored value outside the four views (a damaged data file) shows large icons.
const ViewMapping& ViewOf(LONG view) {
  for (const ViewMapping& mapping : kViews)
    if (mapping.view == view) return mapping;
  return kViews[0];
}

// A filter argument with anything but "*" and blanks in it is a pattern of its own, offered
// as the entered filter.
bool IsOwnPattern(std::string_view filter) {
  return filter.find_first_not_of("* \t\n") != std::string_view::npos;
}

// Paths compared as folders: "/a/b/" and "/a/b" are one folder.
bool SameFolder(std::string_view a, std::string_view b) {
  auto strip = [](std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    return path;
  };
  return strip(a) == strip(b);
}

std::optional<std::string> ProcessCurrentDir() {
  std::error_code error;
  std::filesystem::path path = std::filesystem::current_path(error);
  if (error) return std::nullopt;
  return path.string();
}

IUnknown* ItemOfEntry(const QComboBox* box, int index) {
  return reinterpret_cast<IUnknown*>(box->itemData(index, kIteratorCtlItemRole).value<quintptr>());
}

// What an entry of the filter box shows for `item`: its display text, else its key.
QString EntryTextOf(IUnknown* item) {
  if (ComPtr<IvokFastListItemText> text = QueryAs<IvokFastListItemText>(item)) {
    char buffer[kFilterTextSize] = {};
    if (SUCCEEDED(text->GetText(buffer))) return ToQString(CutText(buffer, kFilterTextSize - 1));
  }
  return ToQString(ItemKey(item));
}

// The bar window offered by one of the container's engines, or null.
ComPtr<IvokBarWindow> FindBarWindow(IUnknown* container) {
  ComPtr<IvokEngineContainer> engines = QueryAs<IvokEngineContainer>(container);
  if (!engines) return nullptr;
  ComPtr<IUnknown> engine;
  if (FAILED(engines->GetEngineByIface(IvokBarWindow::kIID, engine.ReleaseAndGetAddressOf())))
    return nullptr;
  return QueryAs<IvokBarWindow>(engine.Get());
}

// Shows the directory with its middle replaced by an ellipsis when it does not fit; the
// whole path is the tooltip.
class ElidedPathLabel final : public QLabel {
 public:
  ElidedPathLabel() {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  }
  void SetPath(const QString& path) {
    path_ = path;
    setToolTip(path);
    Elide();
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    Elide();
  }

 private:
  void Elide() { setText(fontMetrics().elidedText(path_, Qt::ElideMiddle, width())); }

  QString path_;
};

// Publishes the open window to the engine while it is shown and puts back what was there.
class OpenWindowSlot {
 public:
  OpenWindowSlot(FileManagementWindow** slot, FileManagementWindow* window) : slot_(slot) {
    if (slot_) previous_ = std::exchange(*slot_, window);
  }
  ~OpenWindowSlot() {
    if (slot_) *slot_ = previous_;
  }
  OpenWindowSlot(const OpenWindowSlot&) = delete;
  OpenWindowSlot& operator=(const OpenWindowSlot&) = delete;

 private:
  FileManagementWindow** slot_;
  FileManagementWindow* previous_ = nullptr;
};

}  // namespace

class FileManagementWindow final : public QDialog {
 public:
  FileManagementWindow(const FileManagementHost& host, std::string directory, std::string filter,
                       QWidget* parent);
  ~FileManagementWindow() override { ReleaseResources(); }

  // Everything before the window is shown: the engine's interfaces, the navigator, the filter
  // box, the file view and the keys. A failing query is returned; kFolderMissing when the
  // folder cannot be entered.
  HRESULT Prepare();
  // Ends the session once: settings stored, file view told, keys and navigator restored.
  void Finish();
  HRESULT Navigate(LONG bEnter, LPCSTR path);

 protected:
  void done(int result) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  QPushButton* AddButton(QBoxLayout* column, const char* text, const char* name, int command);
  void ConnectControls();
  HRESULT QueryEngine();
  HRESULT PrepareNavigator();
  void FillFilterBox();
  ComPtr<IUnknown> MakeTemporaryFilter(UINT keyId, const std::string& definition);
  HRESULT ShowInFileView();
  void RegisterKeys();
  void ReleaseResources();

  void RunCommand(int command);
  void OpenSelection();
  void ChooseView(int command);
  void ApplyViewType();
  void ApplyFilter();
  void AfterStep(HRESULT result);
  // Back, Forward or Up (kFmBack .. kFmUpMenu) by `steps`; 0 lets the user pick from the
  // navigator's history menu.
  HRESULT Step(int command, LONG steps);
  void ShowHistoryMenu(int menuCommand);
  // Lists the navigator's folder in the file view and shows its path.
  void ShowNavigatorFolder();
  void DirectoryChanged();
  void UpdateHistoryButtons();
  void StoreSettings();
  void PlaceFileView();
  std::string NavigatorDirectory(bool* drives) const;
  std::string ResolveEntered(const std::string& path) const;

  const FileManagementHost host_;
  const std::string directory_;
  const std::string filter_;

  ComPtr<IvokFileViewWnd> viewWindow_;
  ComPtr<IvokFileViewCmd> viewCommands_;
  ComPtr<IvokFastList> filters_;
  ComPtr<IUnknown> enteredFilter_;
  ComPtr<IUnknown> allFilesFilter_;
  ComPtr<IvokChDir> navigator_;
  bool ownNavigator_ = false;
  bool entered_ = false;
  int currentFilter_ = -1;
  std::optional<ui::ScopedAccelerators> keys_;
  bool viewCreated_ = false;
  bool prepared_ = false;
  bool finished_ = false;
  bool released_ = false;

  ElidedPathLabel* directoryText_ = nullptr;
  QFrame* viewFrame_ = nullptr;
  QComboBox* filterBox_ = nullptr;
  QCheckBox* showFolders_ = nullptr;
  FileManagementToolbar* toolbar_ = nullptr;
  std::vector<std::pair<QPushButton*, int>> commandButtons_;
  QPushButton* openButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
};

FileManagementWindow::FileManagementWindow(const FileManagementHost& host, std::string directory,
                                           std::string filter, QWidget* parent)
    : QDialog(parent), host_(host), directory_(std::move(directory)), filter_(std::move(filter)) {
  BuildControls();
}

void FileManagementWindow::BuildControls() {
  setObjectName(QStringLiteral("fileManagementWindow"));
  setWindowTitle(LoadUiString(kIdsCaptionFileManagement));

  auto* directoryLabel = new QLabel(QStringLiteral("Directory:"));
  directoryText_ = new ElidedPathLabel;
  directoryText_->setObjectName(QStringLiteral("directoryText"));
  toolbar_ = new FileManagementToolbar([this](int command) { RunCommand(command); });

  viewFrame_ = new QFrame;
  viewFrame_->setObjectName(QStringLiteral("fileViewFrame"));
  viewFrame_->setFrameShape(QFrame::NoFrame);
  viewFrame_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  viewFrame_->installEventFilter(this);

  filterBox_ = new QComboBox;
  filterBox_->setObjectName(QStringLiteral("filterBox"));
  filterBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  filterBox_->setMinimumContentsLength(20);
  auto* filterLabel = new QLabel(QStringLiteral("Current f&ilter:"));
  filterLabel->setBuddy(filterBox_);
  showFolders_ = new QCheckBox(QStringLiteral("Show &folders"));
  showFolders_->setObjectName(QStringLiteral("showFoldersCheck"));

  auto* top = new QHBoxLayout;
  top->addWidget(directoryLabel);
  top->addWidget(directoryText_, 1);
  top->addWidget(toolbar_, 0, Qt::AlignRight);

  auto* filterRow = new QHBoxLayout;
  filterRow->addWidget(filterLabel);
  filterRow->addWidget(filterBox_, 1);
  filterRow->addWidget(showFolders_);

  auto* left = new QVBoxLayout;
  left->addLayout(top);
  left->addWidget(viewFrame_, 1);
  left->addLayout(filterRow);

  auto* buttons = new QVBoxLayout;
  openButton_ = AddButton(buttons, "&Open", "openButton", 0);
  openButton_->setDefault(true);
  AddButton(buttons, "&Copy", "copyButton", kFmCopy);
  AddButton(buttons, "&Move", "moveButton", kFmMove);
  AddButton(buttons, "&Delete", "deleteButton", kFmDelete);
  AddButton(buttons, "&Properties", "propertiesButton", kFmProperties);
  AddButton(buttons, "&Rename", "renameButton", kFmRename);
  AddButton(buttons, "&Select", "selectButton", kFmSelect);
  AddButton(buttons, "D&eselect", "deselectButton", kFmDeselect);
  buttons->addStretch(1);
  closeButton_ = AddButton(buttons, "C&lose", "closeButton", 0);

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(buttons);
  resize(kWindowWidth, kWindowHeight);
}

QPushButton* FileManagementWindow::AddButton(QBoxLayout* column, const char* text, const char* name,
                                             int command) {
  auto* button = new QPushButton(QString::fromUtf8(text));
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  column->addWidget(button);
  if (command != 0) commandButtons_.emplace_back(button, command);
  return button;
}

// Connected once the window is filled, so that filling the controls runs no command.
void FileManagementWindow::ConnectControls() {
  for (const auto& [button, command] : commandButtons_) {
    const int id = command;
    connect(button, &QPushButton::clicked, this, [this, id] { RunCommand(id); });
  }
  connect(openButton_, &QPushButton::clicked, this, [this] { OpenSelection(); });
  connect(closeButton_, &QPushButton::clicked, this, [this] { reject(); });
  connect(showFolders_, &QCheckBox::toggled, this, [this] { RunCommand(kFmShowFolders); });
  connect(filterBox_, &QComboBox::currentIndexChanged, this, [this] { ApplyFilter(); });
}

HRESULT FileManagementWindow::Prepare() {
  HRESULT hr = QueryEngine();
  if (SUCCEEDED(hr)) hr = PrepareNavigator();
  if (FAILED(hr)) return hr;

  RegisterKeys();
  LONG showFolders = 1;
  host_.settings->get_ShowFolders(&showFolders);
  showFolders_->setChecked(showFolders != 0);
  FillFilterBox();
  hr = ShowInFileView();
  if (FAILED(hr)) return hr;
  UpdateHistoryButtons();
  ConnectControls();
  prepared_ = true;
  return S_OK;
}

HRESULT FileManagementWindow::QueryEngine() {
  HRESULT hr = host_.fileView->QueryInterface(IvokFileViewWnd::kIID,
                                              viewWindow_.ReleaseAndGetVoidAddressOf());
  if (SUCCEEDED(hr))
    hr = host_.fileView->QueryInterface(IvokFileViewCmd::kIID,
                                        viewCommands_.ReleaseAndGetVoidAddressOf());
  if (FAILED(hr)) return hr;
  LONG lastFilter = -1;
  host_.settings->get_LastFilter(&lastFilter);
  currentFilter_ = lastFilter;
  // Without a filter list the box still offers the entered filter and all files.
  ComPtr<IUnknown> list;
  if (SUCCEEDED(host_.settings->get_FilterList(list.ReleaseAndGetAddressOf())))
    filters_ = QueryAs<IvokFastList>(list.Get());
  return S_OK;
}

HRESULT FileManagementWindow::PrepareNavigator() {
  ComPtr<IUnknown> held;
  HRESULT hr = host_.settings->get_ChDirCtlUnk(held.ReleaseAndGetAddressOf());
  if (SUCCEEDED(hr) && held) {
    hr = held->QueryInterface(IvokChDir::kIID, navigator_.ReleaseAndGetVoidAddressOf());
    if (FAILED(hr)) return hr;
    // The engine's navigator may stand elsewhere: Back, Forward and Up must start from the
    // folder shown, so it follows (recorded, so Back returns to where it was).
    bool drives = false;
    if (!SameFolder(NavigatorDirectory(&drives), directory_) || drives) {
      if (FAILED(navigator_->ChangeDir(directory_.c_str(), 1))) return kFolderMissing;
    }
    return S_OK;
  }
  hr = CoCreateInstance(clsid::kChDir, nullptr, CLSCTX_INPROC_SERVER, IvokChDir::kIID,
                        navigator_.ReleaseAndGetVoidAddressOf());
  if (FAILED(hr)) return hr;
  if (FAILED(navigator_->Init(directory_.c_str()))) {
    navigator_ = nullptr;
    return kFolderMissing;
  }
  ownNavigator_ = true;
  return S_OK;
}

ComPtr<IUnknown> FileManagementWindow::MakeTemporaryFilter(UINT keyId,
                                                           const std::string& definition) {
  ComPtr<IUnknown> item;
  if (FAILED(CreateObject<vokFastListItemFilter>(nullptr, IID_IUnknown,
                                                 item.ReleaseAndGetVoidAddressOf())))
    return nullptr;
  QueryAs<IvokFastListItem>(item.Get())
      ->SetStrKey(LoadStringResource(&kCmdLineResources, keyId).c_str());
  // A pattern too long for a filter is cut rather than dropped.
  QueryAs<IvokFastListItemFilter>(item.Get())
      ->SetFilter(CutText(definition, kFilterTextSize - 1).c_str());
  return item;
}

void FileManagementWindow::FillFilterBox() {
  filterBox_->clear();
  if (filters_) {
    ComPtr<IvokFastListItemIteratorCtl> filler;
    if (SUCCEEDED(CoCreateInstance(clsid::kFastListItemIteratorCtl, nullptr, CLSCTX_INPROC_SERVER,
                                   IvokFastListItemIteratorCtl::kIID,
                                   filler.ReleaseAndGetVoidAddressOf())) &&
        SUCCEEDED(filler->Init(filterBox_, kIteratorCtlComboBox))) {
      filters_->Iterate(filler.Get());
    }
  }
  auto entryData = [](const ComPtr<IUnknown>& item) {
    return QVariant::fromValue(reinterpret_cast<quintptr>(item.Get()));
  };
  if (IsOwnPattern(filter_)) {
    enteredFilter_ = MakeTemporaryFilter(kIdsEnteredFilter, filter_);
    if (enteredFilter_) {
      filterBox_->insertItem(0, EntryTextOf(enteredFilter_.Get()), entryData(enteredFilter_));
      entered_ = true;
      currentFilter_ = 0;
    }
  }
  allFilesFilter_ = MakeTemporaryFilter(kIdsAllFiles, "*.*");
  if (allFilesFilter_)
    filterBox_->addItem(EntryTextOf(allFilesFilter_.Get()), entryData(allFilesFilter_));
  // "*" alone, no remembered choice, or a remembered position the list no longer has (a
  // damaged or outdated setting): all files.
  if (currentFilter_ < 0 || currentFilter_ >= filterBox_->count())
    currentFilter_ = filterBox_->count() - 1;
}

HRESULT FileManagementWindow::ShowInFileView() {
  HRESULT hr = viewWindow_->Create(this);
  if (FAILED(hr)) return hr;
  viewCreated_ = true;
  if (layout()) layout()->activate();
  PlaceFileView();
  viewWindow_->InitListView();
  ApplyViewType();
  ShowNavigatorFolder();
  viewCommands_->put_ShowFolders(showFolders_->isChecked() ? 1 : 0);
  filterBox_->setCurrentIndex(currentFilter_);
  ApplyFilter();
  viewWindow_->SetFocus();
  return S_OK;
}

void FileManagementWindow::RegisterKeys() {
  const QKeyCombination altKeypadEnter(Qt::AltModifier | Qt::KeypadModifier, Qt::Key_Enter);
  ui::AcceleratorRegistration keys;
  keys.window = this;
  keys.table = {
      {QKeySequence(Qt::CTRL | Qt::Key_C), kFmCopyToClipboard},
      {QKeySequence(Qt::CTRL | Qt::Key_Insert), kFmCopyToClipboard},
      {QKeySequence(Qt::ALT | Qt::Key_U), kFmUp},
      {QKeySequence(Qt::Key_Delete), kFmDelete},
      {QKeySequence(Qt::Key_F5), kFmRefresh},
      {QKeySequence(Qt::ALT | Qt::Key_Left), kFmBack},
      {QKeySequence(Qt::ALT | Qt::Key_Right), kFmForward},
      {QKeySequence(Qt::ALT | Qt::Key_Return), kFmProperties},
      {QKeySequence(altKeypadEnter), kFmProperties},
  };
  keys.onCommand = [this](int command) { RunCommand(command); };
  keys_.emplace(std::move(keys));
}

void FileManagementWindow::done(int result) {
  Finish();
  QDialog::done(result);
}

void FileManagementWindow::Finish() {
  if (finished_) return;
  finished_ = true;
  if (prepared_) {
    StoreSettings();
    viewCommands_->Exit();
  }
  ReleaseResources();
}

void FileManagementWindow::ReleaseResources() {
  if (released_) return;
  released_ = true;
  keys_.reset();
  // A navigator of the window's own leaves the process where the window found it.
  if (ownNavigator_ && navigator_) navigator_->SetInitialDir();
}

bool FileManagementWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == viewFrame_ && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
    PlaceFileView();
  return QDialog::eventFilter(watched, event);
}

void FileManagementWindow::PlaceFileView() {
  if (!viewCreated_ || finished_) return;
  const QRect area(viewFrame_->mapTo(this, QPoint(0, 0)), viewFrame_->size());
  viewWindow_->SetPos(area.left(), area.top(), area.left() + area.width(),
                      area.top() + area.height());
}

void FileManagementWindow::RunCommand(int command) {
  if (!prepared_ || finished_) return;
  switch (command) {
    case kFmCopy:
      viewCommands_->MoveCopy(nullptr, 1, 0);
      break;
    case kFmMove:
      viewCommands_->MoveCopy(nullptr, 1, 1);
      break;
    case kFmDelete:
      viewCommands_->Delete(1, 1);
      break;
    case kFmRename:
      viewCommands_->Rename(1);
      break;
    case kFmProperties:
      viewCommands_->Properties();
      break;
    case kFmSelect:
      viewCommands_->Select(nullptr, 1, 1);
      break;
    case kFmDeselect:
      viewCommands_->Select(nullptr, 1, 0);
      break;
    case kFmCopyToClipboard:
      viewCommands_->CopyToClipboard();
      break;
    case kFmShowFolders:
      viewCommands_->put_ShowFolders(showFolders_->isChecked() ? 1 : 0);
      viewWindow_->Update();
      break;
    case kFmBack:
    case kFmForward:
    case kFmUp:
      AfterStep(Step(command, 1));
      break;
    case kFmBackMenu:
    case kFmForwardMenu:
    case kFmUpMenu:
      ShowHistoryMenu(command);
      break;
    case kFmBrowseForFolder:
      AfterStep(navigator_->BrowseForFolder(this));
      break;
    case kFmRefresh:
      DirectoryChanged();
      break;
    case kFmLargeIcons:
    case kFmSmallIcons:
    case kFmList:
    case kFmDetails:
      ChooseView(command);
      break;
    default:
      break;
  }
}

void FileManagementWindow::OpenSelection() {
  if (!prepared_ || finished_) return;
  // A folder is entered through the site (S_FALSE); an opened file ends the window.
  if (viewCommands_->Open() == S_OK) accept();
}

void FileManagementWindow::ChooseView(int command) {
  for (const ViewMapping& mapping : kViews) {
    if (mapping.command != command) continue;
    host_.settings->put_FMListViewType(mapping.view);
    ApplyViewType();
    return;
  }
}

void FileManagementWindow::ApplyViewType() {
  LONG view = kViewLargeIcons;
  host_.settings->get_FMListViewType(&view);
  const ViewMapping& mapping = ViewOf(view);
  toolbar_->CheckView(mapping.command);
  viewWindow_->SetViewType(mapping.listStyle);
}

void FileManagementWindow::ApplyFilter() {
  if (!viewCreated_ || finished_) return;
  const int index = filterBox_->currentIndex();
  if (index < 0) return;
  ComPtr<IvokFastListItemFilter> filter =
      QueryAs<IvokFastListItemFilter>(ItemOfEntry(filterBox_, index));
  const std::string definition =
      ReadBufferText(filter.Get(), &IvokFastListItemFilter::GetFilter, kFilterTextSize);
  viewCommands_->SetFilter(definition.c_str());
  currentFilter_ = index;
  viewWindow_->Update();
}

void FileManagementWindow::AfterStep(HRESULT result) {
  if (result == S_OK) DirectoryChanged();
}

HRESULT FileManagementWindow::Step(int command, LONG steps) {
  switch (command) {
    case kFmBack:
    case kFmBackMenu:
      return navigator_->GoBack(steps);
    case kFmForward:
    case kFmForwardMenu:
      return navigator_->GoForward(steps);
    default:
      return navigator_->GoUp(steps);
  }
}

void FileManagementWindow::ShowHistoryMenu(int menuCommand) {
  const QPoint at = toolbar_->MenuPosition(menuCommand);
  navigator_->SetMenuParams(this, at.x(), at.y());
  AfterStep(Step(menuCommand, 0));
}

void FileManagementWindow::ShowNavigatorFolder() {
  bool drives = false;
  const std::string shown = NavigatorDirectory(&drives);
  viewCommands_->SetDir(shown.c_str(), drives ? 1 : 0);
  directoryText_->SetPath(ToQString(shown));
}

void FileManagementWindow::DirectoryChanged() {
  if (finished_) return;
  ShowNavigatorFolder();
  ApplyFilter();
  UpdateHistoryButtons();
}

void FileManagementWindow::UpdateHistoryButtons() {
  LONG back = 0, forward = 0, up = 0;
  if (FAILED(navigator_->GetHistSizes(&back, &forward, &up))) back = forward = 0;
  toolbar_->SetCommandEnabled(kFmBack, back > 0);
  toolbar_->SetCommandEnabled(kFmForward, forward > 0);
}

void FileManagementWindow::StoreSettings() {
  host_.settings->put_ShowFolders(showFolders_->isChecked() ? 1 : 0);
  const int allFiles = allFilesFilter_ ? filterBox_->count() - 1 : -1;
  LONG lastFilter = currentFilter_;
  if (currentFilter_ == allFiles)
    lastFilter = -1;
  else if (entered_)
    lastFilter = currentFilter_ - 1;  // the entered entry itself gives -1
  host_.settings->put_LastFilter(lastFilter);
}

std::string FileManagementWindow::NavigatorDirectory(bool* drives) const {
  std::string path(kPathBufferSize, '\0');
  if (FAILED(navigator_->GetCurrentDir(path.data()))) path.clear();
  path.resize(strnlen(path.c_str(), path.size()));
  *drives = navigator_->IsDrivesSet() == S_OK;
  return path;
}

// The file view names a folder relative to the one shown; the process's current directory
// need not be that folder any more (a file operation may have moved it).
std::string FileManagementWindow::ResolveEntered(const std::string& path) const {
  bool drives = false;
  const std::string shown = NavigatorDirectory(&drives);
  if (drives || path.empty() || path[0] == '/' || path[0] == '~') return path;
  return (std::filesystem::path(shown) / path).lexically_normal().string();
}

HRESULT FileManagementWindow::Navigate(LONG bEnter, LPCSTR path) {
  if (!prepared_ || finished_) return E_FAIL;
  HRESULT hr = E_FAIL;
  if (bEnter == 0) {
    hr = navigator_->GoUp(1);
  } else if (bEnter == 1) {
    if (!path) return E_POINTER;
    hr = navigator_->ChangeDir(ResolveEntered(path).c_str(), 1);
    // The folder vanished or cannot be entered.
    if (FAILED(hr)) WarnUser(this, kIdsPathNotFound, kIdsCaptionFileManagement);
  } else {
    return E_FAIL;
  }
  AfterStep(hr);
  return hr;
}

namespace {

HRESULT ShowWindow(const FileManagementHost& host, const std::string& directory,
                   const std::string& filter) {
  std::string folder = directory;
  if (folder.empty()) folder = ProcessCurrentDir().value_or("/");
  std::unique_ptr<FileManagementWindow> window(new (std::nothrow) FileManagementWindow(
      host, std::move(folder), filter, QApplication::activeWindow()));
  if (!window) return S_FALSE;
  HRESULT hr = window->Prepare();
  if (hr == kFolderMissing) {
    WarnUser(QApplication::activeWindow(), kIdsPathNotFound, kIdsCaptionFileManagement);
    return S_OK;
  }
  if (FAILED(hr)) return hr;
  OpenWindowSlot published(host.openWindow, window.get());
  ui::CurrentPrompter().Exec(*window);
  // A dialog ended without done() (never the case for a real one) still stores its settings.
  window->Finish();
  return S_OK;
}

}  // namespace

HRESULT RunFileManagementWindow(const FileManagementHost& host, const std::string& directory,
                                const std::string& filter) {
  if (!host.settings || !host.fileView) return E_POINTER;
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return E_UNEXPECTED;
  const std::optional<std::string> before = ProcessCurrentDir();
  ComPtr<IvokBarWindow> bar = FindBarWindow(host.container);
  if (bar) bar->SetTopmost(0);
  const HRESULT hr = ShowWindow(host, directory, filter);
  if (before) {
    std::error_code ignored;  // a folder removed meanwhile: the process stays where it is
    std::filesystem::current_path(*before, ignored);
  }
  if (bar) bar->SetTopmost(1);
  return hr;
}

HRESULT NavigateFileManagementWindow(FileManagementWindow& window, LONG bEnter, LPCSTR path) {
  return window.Navigate(bEnter, path);
}

}  // namespace vok::cmdline
