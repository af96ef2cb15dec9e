#include "bar/pp_ui.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "bar/context_folder_dialog.h"
#include "bar/engine_ui.h"
#include "bar/resources/bar_strings.h"
#include "common/bar_ifaces.h"
#include "platform/ui/dialog_items.h"
#include "platform/ui/prompter.h"

namespace ppui = vok::bar::ppui;
using vok::bar::BarString;
using vok::bar::ContextFolder;
using vok::bar::UiSettings;

namespace {

vok::PropertyPageInfo PageInfo() {
  vok::PropertyPageInfo info;
  info.titleId = vok::bar::kIdsPageGeneral;
  info.size = vok::DialogUnitsToPixels(300, 250);
  return info;
}

// The check boxes and the settings they show.
struct CheckSetting {
  int id;
  bool UiSettings::*field;
};
const CheckSetting kChecks[] = {
    {ppui::kDock, &UiSettings::docked},
    {ppui::kAutoHide, &UiSettings::autoHide},
    {ppui::kAlwaysOnTop, &UiSettings::alwaysOnTop},
    {ppui::kAutoMinimize, &UiSettings::autoMinimize},
    {ppui::kTrayIconAlways, &UiSettings::trayIconAlways},
    {ppui::kExtractUrl, &UiSettings::extractUrlOnDrop},
};

// The radio buttons and the value each gives its setting. A stored value no button stands
// for leaves every button of its group unchecked, and Apply then keeps it.
struct ChoiceSetting {
  int id;
  int32_t UiSettings::*field;
  int32_t value;
};
const ChoiceSetting kChoices[] = {
    {ppui::kDockTop, &UiSettings::dockEdge, 0},
    {ppui::kDockBottom, &UiSettings::dockEdge, 1},
    {ppui::kSaveWithoutAsking, &UiSettings::saveOnExit, vok::bar::kSaveWithoutAsking},
    {ppui::kAskBeforeSaving, &UiSettings::saveOnExit, vok::bar::kAskBeforeSaving},
    {ppui::kExitWithoutSaving, &UiSettings::saveOnExit, vok::bar::kExitWithoutSaving},
};

template <class ButtonType>
ButtonType* MakeButton(const char* text, int id) {
  auto* button = new ButtonType(QString::fromUtf8(text));
  vok::ui::SetDialogItemId(button, id);
  return button;
}

QGroupBox* MakeGroup(const char* title, std::initializer_list<QWidget*> widgets) {
  auto* group = new QGroupBox(QString::fromUtf8(title));
  auto* layout = new QVBoxLayout(group);
  for (QWidget* widget : widgets) layout->addWidget(widget);
  return group;
}

QString ToQString(const std::string& text) { return QString::fromUtf8(text.c_str()); }

}  // namespace

vokPPUI::vokPPUI() : PropertyPageBase(&vok::bar::BarResources(), PageInfo()) {}

vokPPUI::~vokPPUI() { DestroyPage(); }

void vokPPUI::ObjectsChanged() {
  host_ = nullptr;
  for (const ComPtr<IUnknown>& object : objects()) {
    if (QueryAs<IvokBarWindow>(object.Get())) {
      host_ = vok::bar::EngineUiHost();
      break;
    }
  }
}

QWidget* vokPPUI::CreatePage(QWidget* parent) {
  if (!host_) return nullptr;
  QWidget* page = BuildPage(parent);
  Fill(host_->Settings());
  ConnectChanges();
  UpdateEnabling();
  return page;
}

QWidget* vokPPUI::BuildPage(QWidget* parent) {
  root_ = new QWidget(parent);
  root_->setObjectName(QStringLiteral("generalPage"));

  QGroupBox* dock =
      MakeGroup("Dock/Floating", {MakeButton<QCheckBox>("&Dock", ppui::kDock),
                                  MakeButton<QRadioButton>("T&op", ppui::kDockTop),
                                  MakeButton<QRadioButton>("&Bottom", ppui::kDockBottom)});
  QGroupBox* hide =
      MakeGroup("Auto hide", {MakeButton<QCheckBox>("&Auto hide", ppui::kAutoHide),
                              MakeButton<QRadioButton>("&Left border", ppui::kHideLeft),
                              MakeButton<QRadioButton>("Ri&ght border", ppui::kHideRight)});
  QGroupBox* save =
      MakeGroup("Save changes on exit",
                {MakeButton<QRadioButton>("&Save without asking", ppui::kSaveWithoutAsking),
                 MakeButton<QRadioButton>("As&k before saving", ppui::kAskBeforeSaving),
                 MakeButton<QRadioButton>("E&xit without saving", ppui::kExitWithoutSaving)});

  auto* options = new QVBoxLayout;
  options->addWidget(MakeButton<QCheckBox>("Always on &top", ppui::kAlwaysOnTop));
  options->addWidget(MakeButton<QCheckBox>("Auto-&minimize", ppui::kAutoMinimize));
  options->addWidget(MakeButton<QCheckBox>("Show always &icon in tray", ppui::kTrayIconAlways));
  auto* extract = MakeButton<QCheckBox>("Extract &WWW address (URL) from .URL files on drop",
                                        ppui::kExtractUrl);
  options->addWidget(extract);
  auto* setHotKey = MakeButton<QPushButton>("Set &Hot Key to Activate Quillo", ppui::kSetHotKey);
  setHotKey->setAutoDefault(false);
  hotKeyField_ = new vok::bar::HotKeyEdit;
  vok::ui::SetDialogItemId(hotKeyField_, ppui::kHotKeyField);
  hotKeyField_->setEnabled(false);
  options->addWidget(setHotKey);
  options->addWidget(hotKeyField_);
  options->addStretch(1);

  auto* top = new QGridLayout;
  top->addWidget(dock, 0, 0);
  top->addWidget(hide, 1, 0);
  top->addWidget(save, 0, 1);
  top->addLayout(options, 1, 1);

  auto* layout = new QVBoxLayout(root_);
  layout->addLayout(top);
  layout->addWidget(BuildFolderList(), 1);

  QObject::connect(setHotKey, &QPushButton::clicked, root_, [this] { ChooseHotKey(); });
  return root_;
}

QWidget* vokPPUI::BuildFolderList() {
  auto* box = new QWidget;
  list_ = new QTreeWidget;
  vok::ui::SetDialogItemId(list_, ppui::kContextFolders);
  list_->setColumnCount(2);
  list_->setHeaderLabels({QStringLiteral("Applictation Title"), QStringLiteral("Context Folder")});
  list_->header()->setSectionResizeMode(QHeaderView::Stretch);  // half the width each
  list_->setRootIsDecorated(false);
  list_->setAllColumnsShowFocus(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setIconSize(QSize(16, 16));
  auto* label = new QLabel(QStringLiteral("Application Context &Folders"));
  label->setBuddy(list_);

  new_ = MakeButton<QPushButton>("&New", ppui::kNew);
  auto* edit = MakeButton<QPushButton>("&Edit", ppui::kEdit);
  auto* remove = MakeButton<QPushButton>("&Remove", ppui::kRemove);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {new_.data(), edit, remove}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  buttons->addStretch(1);

  auto* rows = new QHBoxLayout;
  rows->addWidget(list_, 1);
  rows->addLayout(buttons);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(label);
  layout->addLayout(rows, 1);

  QObject::connect(new_, &QPushButton::clicked, box, [this] { NewFolder(); });
  QObject::connect(edit, &QPushButton::clicked, box, [this] { EditFolder(nullptr); });
  QObject::connect(remove, &QPushButton::clicked, box, [this] { RemoveFolder(); });
  QObject::connect(list_, &QTreeWidget::itemDoubleClicked, box,
                   [this](QTreeWidgetItem* row) { EditFolder(row); });
  return box;
}

void vokPPUI::Fill(const UiSettings& settings) {
  for (const CheckSetting& check : kChecks) Button(check.id)->setChecked(settings.*check.field);
  for (const ChoiceSetting& choice : kChoices)
    Button(choice.id)->setChecked(settings.*choice.field == choice.value);
  Button(settings.hideToLeft ? ppui::kHideLeft : ppui::kHideRight)->setChecked(true);
  hotKey_ = {settings.hotKeyCode, settings.hotKeyModifiers};
  hotKeyField_->setHotKey(hotKey_);
  folders_.clear();
  for (const ContextFolder& record : settings.contextFolders) {
    folders_.push_back(record);
    AppendRow(record);
  }
  SelectRow(0);
}

void vokPPUI::ConnectChanges() {
  std::vector<int> ids = {ppui::kHideLeft, ppui::kHideRight};
  for (const CheckSetting& check : kChecks) ids.push_back(check.id);
  for (const ChoiceSetting& choice : kChoices) ids.push_back(choice.id);
  for (int id : ids)
    QObject::connect(Button(id), &QAbstractButton::toggled, root_, [this] { Changed(); });
}

void vokPPUI::Changed() {
  UpdateEnabling();
  SetDirty(true);
}

void vokPPUI::UpdateEnabling() {
  const bool docked = Checked(ppui::kDock);
  const bool autoHide = Checked(ppui::kAutoHide);
  Button(ppui::kDockTop)->setEnabled(docked);
  Button(ppui::kDockBottom)->setEnabled(docked);
  Button(ppui::kHideLeft)->setEnabled(autoHide);
  Button(ppui::kHideRight)->setEnabled(autoHide);
  Button(ppui::kAutoMinimize)->setEnabled(!docked);
  const bool hasRows = list_->topLevelItemCount() > 0;
  Button(ppui::kEdit)->setEnabled(hasRows);
  Button(ppui::kRemove)->setEnabled(hasRows);
}

QAbstractButton* vokPPUI::Button(int id) const {
  return qobject_cast<QAbstractButton*>(vok::ui::DialogItem(root_, id));
}

bool vokPPUI::Checked(int id) const { return Button(id)->isChecked(); }

void vokPPUI::ChooseHotKey() {
  if (!root_) return;
  std::optional<vok::bar::HotKey> chosen = vok::bar::HotKeyDialog::Choose(hotKey_, root_);
  if (!chosen || *chosen == hotKey_) return;
  hotKey_ = *chosen;
  hotKeyField_->setHotKey(hotKey_);
  SetDirty(true);
}

void vokPPUI::AppendRow(const ContextFolder& record) {
  auto* row = new QTreeWidgetItem(list_);
  row->setIcon(0, list_->style()->standardIcon(QStyle::SP_DirIcon));
  ShowRecord(row, record);
}

void vokPPUI::ShowRecord(QTreeWidgetItem* row, const ContextFolder& record) {
  row->setText(0, ToQString(record.title));
  row->setText(1, ToQString(record.folder));
}

void vokPPUI::SelectRow(int index) {
  if (QTreeWidgetItem* row = list_->topLevelItem(index)) list_->setCurrentItem(row);
}

void vokPPUI::NewFolder() {
  if (!list_) return;
  std::optional<ContextFolder> record = vok::bar::ContextFolderDialog::Edit({}, root_);
  if (!record) return;
  folders_.push_back(*record);
  AppendRow(*record);
  if (folders_.size() == 1) SelectRow(0);
  UpdateEnabling();
  SetDirty(true);
}

void vokPPUI::EditFolder(QTreeWidgetItem* row) {
  if (!list_) return;
  if (!row) row = list_->currentItem();
  const int index = row ? list_->indexOfTopLevelItem(row) : -1;
  if (index < 0) return;
  std::optional<ContextFolder> record =
      vok::bar::ContextFolderDialog::Edit(folders_[static_cast<size_t>(index)], root_);
  if (!record) return;
  folders_[static_cast<size_t>(index)] = *record;
  ShowRecord(row, *record);
  SetDirty(true);
}

void vokPPUI::RemoveFolder() {
  QTreeWidgetItem* row = list_ ? list_->currentItem() : nullptr;
  if (!row) return;
  vok::ui::Message question;
  question.owner = root_;
  question.text = BarString(vok::bar::kIdsConfirmDeleteItem);
  question.caption = BarString(vok::bar::kIdsAppName);
  question.icon = vok::ui::Icon::kQuestion;
  question.buttons = vok::ui::Buttons::kYesNo;
  if (vok::ui::Ask(question) != vok::ui::Answer::kYes) return;

  const int index = list_->indexOfTopLevelItem(row);
  folders_.erase(folders_.begin() + index);
  delete list_->takeTopLevelItem(index);
  const int rows = list_->topLevelItemCount();
  if (rows > 0) {
    SelectRow(std::min(index, rows - 1));
  } else {
    new_->setFocus();
  }
  UpdateEnabling();
  SetDirty(true);
}

HRESULT vokPPUI::ApplyChanges() {
  if (!host_) return E_UNEXPECTED;
  if (!root_) return S_OK;  // never shown: nothing was edited
  UiSettings& settings = host_->Settings();
  for (const CheckSetting& check : kChecks) settings.*check.field = Checked(check.id);
  for (const ChoiceSetting& choice : kChoices) {
    if (Checked(choice.id)) settings.*choice.field = choice.value;
  }
  settings.hideToLeft = Checked(ppui::kHideLeft);
  settings.hotKeyCode = hotKey_.code;
  settings.hotKeyModifiers = hotKey_.modifiers;
  settings.contextFolders = folders_;
  host_->SetSettingsChanged(true);
  if (vok::bar::BarWindowControl* window = host_->Window()) window->ApplySettings();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokPPUI::Help(LPCOLESTR /*pszHelpDir*/) {
  if (!host_) return E_UNEXPECTED;
  host_->OpenHelp(ppui::kHelpPage);
  return S_OK;
}

void vokPPUI::PageDestroyed() { folders_.clear(); }
