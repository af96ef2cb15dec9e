#include "cmdline/cmdline_panel.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <functional>

#include "cmdline/cmdline_icons.h"
#include "cmdline/history_button.h"
#include "cmdline/quick_help.h"
#include "cmdline/resources/cmdline_strings.h"
#include "common/class_ids.h"
#include "common/engine_base.h"
#include "common/fast_list_ifaces.h"
#include "common/text_util.h"
#include "platform/com/runtime.h"
#include "platform/ui/command_event.h"
#include "platform/ui/dialog_items.h"
#include "platform/ui/prompter.h"

namespace vok::cmdline {
namespace {

// The toolbar's images are 16 x 15, as the library's embedded ones.
constexpr QSize kIconSize(16, 15);
// Widths of the directory field and the command box before the user moves them.
constexpr int kDirectoryWidth = 160;
constexpr int kCommandBoxWidth = 300;
constexpr int kInitialPanelWidth = 640;

QString Text(UINT id) { return QString::fromStdString(LoadStringResource(&kCmdLineResources, id)); }

// The thickness of a 3-D edge: the spacing of the row's controls.
int EdgeThickness(const QWidget* widget) {
  const int frame = widget->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
  return frame > 0 ? frame : 2;
}

RECT RectOf(const QWidget* widget) {
  if (!widget) return {};
  const QRect r = widget->geometry();
  return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

struct Navigation {
  int command;
  NavigationStep step;
  LONG count;  // 0 asks for the history menu
};
constexpr Navigation kNavigations[] = {
    {kPanelBack, NavigationStep::kBack, 1},
    {kPanelForward, NavigationStep::kForward, 1},
    {kPanelUp, NavigationStep::kUp, 1},
    {kPanelBackMenu, NavigationStep::kBack, 0},
    {kPanelForwardMenu, NavigationStep::kForward, 0},
    {kPanelUpMenu, NavigationStep::kUp, 0},
};

int ButtonOf(NavigationStep step) {
  switch (step) {
    case NavigationStep::kBack:
      return kPanelBack;
    case NavigationStep::kForward:
      return kPanelForward;
    case NavigationStep::kUp:
      return kPanelUp;
  }
  return kPanelBack;
}

// The container's command words and the navigator's file names.
class PanelSources final : public CompletionSources {
 public:
  PanelSources(IvokEngineContainer* container, IvokChDir* navigator)
      : info_(QueryAs<IvokCommandInfo>(container)), navigator_(navigator) {}

  std::optional<std::string> MatchCommand(const std::string& pattern, bool firstWord) override {
    char word[kMatchKeySize] = {};
    if (!info_ || info_->MatchCommand(pattern.c_str(), word, firstWord ? 1 : 0) != S_OK)
      return std::nullopt;
    word[sizeof word - 1] = '\0';
    return std::string(word);
  }
  std::optional<std::string> MatchFile(const std::string& pattern) override {
    std::string name(kPathBufferSize, '\0');
    if (!navigator_ || navigator_->GetCompleteCommand(pattern.c_str(), name.data()) != S_OK)
      return std::nullopt;
    name.resize(std::char_traits<char>::length(name.c_str()));
    return name;
  }

 private:
  ComPtr<IvokCommandInfo> info_;
  IvokChDir* navigator_;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction

CmdLinePanel::CmdLinePanel(CmdLinePanelHost& host, QWidget* parent) : QWidget(parent), host_(host) {
  setObjectName(QStringLiteral("cmdLinePanel"));
  setMouseTracking(true);  // the band layout starts its drags from mouse moves
  CreateControls();
  quickHelp_ = new QuickHelpWindow(this);
  int height = 0;
  for (QWidget* control : {static_cast<QWidget*>(directoryField_),
                           static_cast<QWidget*>(commandBox_), static_cast<QWidget*>(toolbar_)})
    height = std::max(height, control->height());
  resize(kInitialPanelWidth, height);
  CreateBandLayout();

  previousKeys_ = ui::SetAccelerators({this,
                                       {{QKeySequence(Qt::ALT | Qt::Key_Left), kPanelBack},
                                        {QKeySequence(Qt::ALT | Qt::Key_Right), kPanelForward},
                                        {QKeySequence(Qt::ALT | Qt::Key_U), kPanelUp}},
                                       [this](int command) { RunCommand(command); }});

  CmdLinePanelData& data = host_.PanelData();
  data.SetObserver([this](CmdLinePanelData::Change change) { OnDataChanged(change); });
  OnDataChanged(CmdLinePanelData::Change::kText);
  if (host_.Options().applySavedPositions) ApplySavedPositions();
  RefillHistory();
  Refresh();
}

CmdLinePanel::~CmdLinePanel() {
  host_.PanelData().SetObserver({});
  DisconnectCommandBox();
  // Give the keys back unless another window took them meanwhile.
  if (previousKeys_ && ui::CurrentAccelerators().window == this)
    ui::SetAccelerators(std::move(*previousKeys_));
}

void CmdLinePanel::DisconnectCommandBox() {
  QLineEdit* edit = commandBox_->lineEdit();
  edit->removeEventFilter(this);
  disconnect(edit, nullptr, this, nullptr);
  disconnect(commandBox_, nullptr, this, nullptr);
  if (QWidget* list = commandBox_->view()->parentWidget()) list->removeEventFilter(this);
}

void CmdLinePanel::CreateControls() {
  directoryField_ = new QLineEdit(this);
  directoryField_->setObjectName(QStringLiteral("directoryField"));
  directoryField_->setReadOnly(true);
  ui::SetDialogItemId(directoryField_, kPanelDirectoryField);
  directoryField_->resize(kDirectoryWidth, directoryField_->sizeHint().height());

  commandBox_ = new QComboBox(this);
  commandBox_->setObjectName(QStringLiteral("commandBox"));
  commandBox_->setEditable(true);
  // The bar files typed lines through the panel; Qt's own insertion and inline completion
  // would fight with the history and the smart completion.
  commandBox_->setInsertPolicy(QComboBox::NoInsert);
  commandBox_->setCompleter(nullptr);
  commandBox_->setMaxVisibleItems(20);
  commandBox_->lineEdit()->setMaxLength(static_cast<int>(CmdLinePanelData::kMaxTextBytes));
  ui::SetDialogItemId(commandBox_, kPanelCommandBox);
  commandBox_->resize(kCommandBoxWidth, commandBox_->sizeHint().height());
  setFocusProxy(commandBox_);

  QLineEdit* edit = commandBox_->lineEdit();
  connect(edit, &QLineEdit::textChanged, this, [this] { OnBoxTextChanged(); });
  connect(edit, &QLineEdit::textEdited, this, [this] { OnTextEdited(); });
  connect(commandBox_, &QComboBox::activated, this, [this](int index) { OnEntryActivated(index); });
  edit->installEventFilter(this);
  // The list's window shows and hides with the drop-down list, however it is closed.
  if (QWidget* list = commandBox_->view()->parentWidget()) list->installEventFilter(this);

  CreateToolbar();
}

void CmdLinePanel::CreateToolbar() {
  toolbar_ = new QToolBar(this);
  toolbar_->setObjectName(QStringLiteral("panelToolbar"));
  toolbar_->setIconSize(kIconSize);
  toolbar_->setFloatable(false);
  toolbar_->setMovable(false);
  ui::SetDialogItemId(toolbar_, kPanelToolbar);

  AddButton(kPanelBack, ThemeIcon("go-previous", "back.xpm"), kPanelBackMenu);
  AddButton(kPanelForward, ThemeIcon("go-next", "forward.xpm"), kPanelForwardMenu);
  AddButton(kPanelUp, ThemeIcon("go-up", "up.xpm"), kPanelUpMenu);
  toolbar_->addSeparator();
  AddButton(kPanelBrowse, ThemeIcon("document-open", "browse.xpm"), 0);
  if (host_.Options().favoritesButton)
    AddButton(kPanelFavorites, ThemeIcon("bookmarks", "favorites.xpm"), 0);
  AddButton(kPanelCommandBrowser, ThemeIcon("system-search", "cmd_browser.xpm"), 0);
  toolbar_->resize(toolbar_->sizeHint());
}

QAction* CmdLinePanel::AddButton(int command, const QIcon& icon, int historyMenu) {
  const QString tip = Text(static_cast<UINT>(command));
  auto* action = new QAction(icon, tip, toolbar_);
  action->setToolTip(tip);
  connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
  actions_[command] = action;
  if (historyMenu == 0) {
    toolbar_->addAction(action);
    return action;
  }
  auto* button = new HistoryButton(toolbar_, [this, historyMenu] { RunCommand(historyMenu); });
  button->setDefaultAction(action);
  button->setIconSize(kIconSize);
  button->setAutoRaise(true);
  toolbar_->addWidget(button);
  return action;
}

// Without the band layout the controls keep their places in one row, the last one stretched.
void CmdLinePanel::CreateBandLayout() {
  if (FAILED(CoCreateInstance(clsid::kRebar, nullptr, CLSCTX_INPROC_SERVER, IvokRebar::kIID,
                              rebar_.ReleaseAndGetVoidAddressOf())))
    rebar_ = nullptr;
  const int e = EdgeThickness(this);
  if (rebar_ &&
      SUCCEEDED(
          rebar_->SetParameters(this, 0, 0, e, e, e, e, 2, kPanelFirstTracker, kPanelBandMoved)) &&
      SUCCEEDED(rebar_->AddRow())) {
    rebar_->AddCtl(0, kPanelDirectoryField);
    rebar_->AddCtl(0, kPanelCommandBox);
    rebar_->AddCtl(0, kPanelToolbar);
    rebar_->InitRebar();
  } else {
    rebar_ = nullptr;
  }
  FormatRow();
}

void CmdLinePanel::FormatRow() {
  if (rebar_) {
    rebar_->Format();
    return;
  }
  const int e = EdgeThickness(this);
  int x = e;
  QWidget* controls[] = {directoryField_, commandBox_, toolbar_};
  for (QWidget* control : controls) {
    const bool last = control == controls[std::size(controls) - 1];
    const int w = last ? std::max(0, width() - e - x) : control->width();
    control->setGeometry(x, (height() - control->height()) / 2, w, control->height());
    x += w + e;
  }
}

// ---------------------------------------------------------------------------------------------
// Showing the host's state

void CmdLinePanel::Refresh() {
  IvokChDir* navigator = host_.PanelData().Navigator();
  LONG back = 0, forward = 0, up = 0;
  if (navigator) {
    std::string dir(kPathBufferSize, '\0');
    if (SUCCEEDED(navigator->GetCurrentDir(dir.data())))
      directoryField_->setText(QString::fromUtf8(dir.c_str()));
    navigator->GetHistSizes(&back, &forward, &up);
  }
  for (auto [command, count] :
       {std::pair{kPanelBack, back}, std::pair{kPanelForward, forward}, std::pair{kPanelUp, up}})
    if (QAction* action = Action(command)) action->setEnabled(count > 0);
  FormatRow();
}

void CmdLinePanel::RefillHistory() {
  IvokFastList* history = host_.PanelData().History();
  ComPtr<IvokFastListItemIteratorCtl> filler;
  if (!history || FAILED(CoCreateInstance(clsid::kFastListItemIteratorCtl, nullptr,
                                          CLSCTX_INPROC_SERVER, IvokFastListItemIteratorCtl::kIID,
                                          filler.ReleaseAndGetVoidAddressOf())))
    return;
  QLineEdit* edit = commandBox_->lineEdit();
  const QString text = edit->text();
  const int cursor = edit->cursorPosition();
  // Emptying and filling the list changes the box's text; the held text must not follow.
  showingData_ = true;
  filler->Init(commandBox_, kIteratorCtlComboBox);
  history->ReverseIterate(filler.Get());
  commandBox_->setCurrentIndex(-1);
  edit->setText(text);
  edit->setCursorPosition(cursor);
  showingData_ = false;
}

void CmdLinePanel::ApplySavedPositions() {
  const auto& rectangles = host_.PanelData().Rectangles();
  QWidget* controls[] = {directoryField_, commandBox_, toolbar_};
  for (size_t i = 0; i < rectangles.size(); ++i) {
    const RECT& r = rectangles[i];
    // Widths are what the user chose; heights follow the style of this session.
    if (r.right > r.left && r.bottom > r.top)
      controls[i]->setGeometry(r.left, controls[i]->y(), r.right - r.left, controls[i]->height());
  }
  FormatRow();
}

void CmdLinePanel::OnDataChanged(CmdLinePanelData::Change change) {
  const CmdLinePanelData& data = host_.PanelData();
  if (change == CmdLinePanelData::Change::kLoaded) {
    if (host_.Options().applySavedPositions) ApplySavedPositions();
    RefillHistory();
    Refresh();
    return;
  }
  if (BoxText() != data.Text()) {
    showingData_ = true;
    SetBoxText(data.Text());
    showingData_ = false;
  }
  // Typing on from a text set by a command completes as if it had been typed.
  previousLength_ = data.Text().size();
}

void CmdLinePanel::ShowPanel(bool show) {
  setVisible(show);
  if (show) {
    raise();
    commandBox_->setFocus();
  } else {
    HideQuickHelp();
  }
}

// ---------------------------------------------------------------------------------------------
// Typing

std::string CmdLinePanel::BoxText() const {
  std::string text = commandBox_->currentText().toStdString();
  text.resize(Utf8PrefixLength(text, CmdLinePanelData::kMaxTextBytes));
  return text;
}

void CmdLinePanel::SetBoxText(const std::string& text) {
  commandBox_->lineEdit()->setText(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
}

void CmdLinePanel::OnBoxTextChanged() {
  if (!showingData_) host_.PanelData().SetText(BoxText());
}

void CmdLinePanel::OnTextEdited() {
  const std::string typed = BoxText();
  if (ShouldComplete(typed, previousLength_)) CompleteTyped(typed);
  previousLength_ = typed.size();
  ShowQuickHelpFor(BoxText());
}

void CmdLinePanel::CompleteTyped(const std::string& typed) {
  std::vector<std::string> history;
  history.reserve(static_cast<size_t>(commandBox_->count()));
  for (int i = 0; i < commandBox_->count(); ++i)
    history.push_back(commandBox_->itemText(i).toStdString());
  PanelSources sources(host_.Container(), host_.PanelData().Navigator());
  std::optional<Completion> completion =
      CompleteLine(typed, history, host_.Options().completion, sources);
  if (!completion) return;
  SetBoxText(completion->text);
  // Qt counts characters, the completion bytes.
  const auto characters = [&](size_t bytes) {
    return static_cast<int>(
        QString::fromUtf8(completion->text.data(), static_cast<int>(bytes)).size());
  };
  const int start = characters(completion->selectionStart);
  commandBox_->lineEdit()->setSelection(start, characters(completion->text.size()) - start);
}

void CmdLinePanel::OnEntryActivated(int index) {
  HideQuickHelp();
  if (index >= 0) ShowQuickHelpFor(commandBox_->itemText(index).toStdString());
}

void CmdLinePanel::OnListShown(bool shown) {
  listClosed_ = !shown;
  if (shown) {
    HideQuickHelp();
  } else {
    ShowQuickHelpFor(BoxText());
  }
}

// ---------------------------------------------------------------------------------------------
// Quick help

void CmdLinePanel::ShowQuickHelpFor(const std::string& text) {
  if (!host_.Options().useQuickHelp || !listClosed_) return;
  ComPtr<IvokCommandInfo> info = QueryAs<IvokCommandInfo>(host_.Container());
  if (std::optional<CommandInfo> found = LookUpCommandInfo(info.Get(), text)) {
    quickHelp_->ShowBelow(*commandBox_, *found);
  } else {
    quickHelp_->hide();
  }
}

void CmdLinePanel::HideQuickHelp() { quickHelp_->hide(); }

bool CmdLinePanel::QuickHelpShown() const { return quickHelp_->isVisible(); }

void CmdLinePanel::PrepareForTaking() {
  HideQuickHelp();
  previousLength_ = 0;
}

// ---------------------------------------------------------------------------------------------
// Events

bool CmdLinePanel::event(QEvent* event) {
  if (event->type() == ui::CommandEvent::Type()) {
    RunCommand(static_cast<ui::CommandEvent*>(event)->id());
    return true;
  }
  return QWidget::event(event);
}

bool CmdLinePanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == commandBox_->lineEdit()) {
    if (event->type() == QEvent::FocusOut) HideQuickHelp();
  } else if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
    OnListShown(event->type() == QEvent::Show);
  }
  return QWidget::eventFilter(watched, event);
}

void CmdLinePanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  GiveSpareWidthToCommandBox();
  FormatRow();
}

// Until the user has placed the bands, the command box takes the room the toolbar does not
// need: a wide (docked) bar gets a wide box instead of an empty stretch of toolbar.
void CmdLinePanel::GiveSpareWidthToCommandBox() {
  const RECT& chosen = host_.PanelData().Rectangles()[1];
  if (chosen.right > chosen.left) return;
  const int e = EdgeThickness(this);
  // Margins, and two trackers (5 edges wide) with an edge of room on each side.
  const int overhead = 2 * e + 2 * (5 * e + 2 * e);
  const int toolbarWidth = toolbar_ ? toolbar_->sizeHint().width() : 0;
  const int spare = width() - overhead - directoryField_->width() - toolbarWidth;
  commandBox_->resize(std::max(kCommandBoxWidth, spare), commandBox_->height());
}

void CmdLinePanel::mouseMoveEvent(QMouseEvent* event) {
  if (rebar_) {
    const QPoint at = event->position().toPoint();
    rebar_->OnMouseMove(0, POINT{at.x(), at.y()});
  }
  QWidget::mouseMoveEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Commands

QAction* CmdLinePanel::Action(int command) const {
  auto found = actions_.find(command);
  return found == actions_.end() ? nullptr : found->second;
}

void CmdLinePanel::RunCommand(int command) {
  switch (command) {
    case kPanelBandMoved:
      ReadPositions();
      return;
    case kPanelScriptFinished:
      host_.OnScriptFinished();
      return;
    case kPanelBrowse:
      PopUpBrowseMenu();
      return;
    case kPanelBrowseForFile:
      host_.BrowseForFile();
      return;
    case kPanelBrowseForFolder:
      host_.BrowseForFolder();
      Refresh();
      return;
    case kPanelFavorites:
      PopUpFavorites();
      return;
    case kPanelCommandBrowser:
      BrowseForCommand();
      return;
    default:
      NavigateBy(command);
  }
}

void CmdLinePanel::NavigateBy(int command) {
  for (const Navigation& navigation : kNavigations) {
    if (navigation.command != command) continue;
    host_.Navigate(navigation.step, navigation.count);
    Refresh();
    return;
  }
}

QPoint CmdLinePanel::BelowButton(int command) const {
  QAction* action = Action(command);
  QWidget* button = action ? toolbar_->widgetForAction(action) : nullptr;
  const int x = button ? button->mapToGlobal(QPoint(0, 0)).x() : mapToGlobal(QPoint(0, 0)).x();
  return {x, toolbar_->mapToGlobal(QPoint(0, toolbar_->height())).y() + 1};
}

void CmdLinePanel::PlaceHistoryMenu(NavigationStep step) {
  if (IvokChDir* navigator = host_.PanelData().Navigator()) {
    const QPoint at = BelowButton(ButtonOf(step));
    navigator->SetMenuParams(this, at.x(), at.y());
  }
}

void CmdLinePanel::PopUpBrowseMenu() {
  QMenu menu(this);
  menu.addAction(Text(kIdsMenuBrowseForFile))->setData(kPanelBrowseForFile);
  menu.addAction(Text(kIdsMenuBrowseForFolder))->setData(kPanelBrowseForFolder);
  if (QAction* chosen = ui::CurrentPrompter().TrackMenu(menu, BelowButton(kPanelBrowse)))
    RunCommand(chosen->data().toInt());
}

// Every engine fills the menu through the container, which runs the chosen entry's line. A
// dismissed menu still empties the container's table of entries (identifier 0).
void CmdLinePanel::PopUpFavorites() {
  ComPtr<IvokMenuCommands> commands = QueryAs<IvokMenuCommands>(host_.Container());
  if (!commands) return;
  QMenu menu(this);
  commands->FillMenu(&menu, kFavoritesMenuFirstId);
  QAction* chosen = ui::CurrentPrompter().TrackMenu(menu, BelowButton(kPanelFavorites));
  commands->RunMenuCommand(chosen ? chosen->data().toInt() : 0);
}

void CmdLinePanel::BrowseForCommand() {
  host_.BrowseForCommand();
  commandBox_->setFocus();
  commandBox_->lineEdit()->end(false);
}

void CmdLinePanel::ReadPositions() {
  host_.PanelData().SetRectangles({RectOf(directoryField_), RectOf(commandBox_), RectOf(toolbar_)});
}

}  // namespace vok::cmdline
