#include "bar/pp_ui.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <functional>

#include "bar/context_folder_dialog.h"
#include "bar/engine_ui.h"
#include "bar/fake_bar_host.h"
#include "bar/log_test_support.h"
#include "common/bar_ifaces.h"
#include "platform/ui/dialog_items.h"
#include "platform/ui/scripted_prompter.h"

namespace vok::bar {
namespace {

// Counts what the page asks of the bar window.
class RecordingWindow final : public BarWindowControl {
 public:
  int applied = 0;
  QWidget widget;
  void ApplySettings() override { ++applied; }
  void LeaveAutoHide() override {}
  void SetTopmost(bool) override {}
  void MinimizeToTray() override {}
  void RestoreFromTray() override {}
  void OpenMainMenu(bool) override {}
  int InitialHeight() const override { return 26; }
  QWidget* Widget() override { return &widget; }
};

// The user-interface engine as the page finds it among the edited objects.
class FakeBarWindow final : public ObjectRoot<IvokBarWindow> {
 public:
  HRESULT STDMETHODCALLTYPE SetTopmost(LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LeaveAutoHide() override { return S_OK; }
};
class OtherObject final : public ObjectRoot<IUnknown> {};

// The context-folder dialog's script: types `record`'s title and folder, then OK.
std::function<int(QDialog&)> FillFolder(ContextFolder record) {
  return [record](QDialog& d) {
    auto& dialog = dynamic_cast<ContextFolderDialog&>(d);
    dialog.titleEdit()->setText(QString::fromStdString(record.title));
    dialog.folderEdit()->setText(QString::fromStdString(record.folder));
    dialog.accept();
    return dialog.result();
  };
}

class GeneralPageTest : public testing::Test {
 protected:
  void SetUp() override {
    startCount_ = ModuleCount().load();
    host_.window = &window_;
    SetEngineUiHost(&host_);
  }
  void TearDown() override {
    page_ = nullptr;  // its widget and its objects go with it
    SetEngineUiHost(nullptr);
    EXPECT_EQ(ModuleCount().load(), startCount_) << "objects leaked";
  }

  // Creates the page over an unrelated object and (unless `withEngine` is false) the engine.
  HRESULT Open(bool withEngine = true) {
    EXPECT_EQ(
        CreateObject<vokPPUI>(nullptr, IPropertyPage::kIID, page_.ReleaseAndGetVoidAddressOf()),
        S_OK);
    ComPtr<IUnknown> other(new OtherObject), engine(new FakeBarWindow);
    IUnknown* objects[] = {other.Get(), engine.Get()};
    page_->SetObjects(withEngine ? 2 : 1, objects);
    const RECT rect = {0, 0, 600, 500};
    return page_->Activate(&parent_, &rect, 1);
  }
  QWidget* Item(int id) { return ui::DialogItem(&parent_, id); }
  QAbstractButton* Button(int id) { return qobject_cast<QAbstractButton*>(Item(id)); }
  QTreeWidget* List() { return qobject_cast<QTreeWidget*>(Item(ppui::kContextFolders)); }
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (int i = 0; i < List()->topLevelItemCount(); ++i) {
      const QTreeWidgetItem* row = List()->topLevelItem(i);
      rows.push_back(row->text(0).toStdString() + "|" + row->text(1).toStdString());
    }
    return rows;
  }
  int CurrentRow() { return List()->indexOfTopLevelItem(List()->currentItem()); }

  // Before the widget members: each test case may run alone in its own process.
  const bool application_ = (test::EnsureApplication(), true);
  FakeBarHost host_;
  RecordingWindow window_;
  ui::ScriptedPrompter prompter_;
  ui::ScopedPrompter scope_{&prompter_};
  QWidget parent_;
  ComPtr<IPropertyPage> page_;
  int32_t startCount_ = 0;
};

// One control: the settings under which it shows unchecked (and enabled), and what clicking
// it changes once applied.
struct ControlCase {
  const char* name;
  int id;
  std::function<void(UiSettings&)> prepare, click;
};
const ControlCase kControls[] = {
    {"Dock", ppui::kDock, [](auto& s) { s.docked = false; }, [](auto& s) { s.docked = true; }},
    {"Top", ppui::kDockTop, [](auto& s) { s.docked = true, s.dockEdge = 1; },
     [](auto& s) { s.dockEdge = 0; }},
    {"Bottom", ppui::kDockBottom, [](auto& s) { s.docked = true, s.dockEdge = 0; },
     [](auto& s) { s.dockEdge = 1; }},
    {"AutoHide", ppui::kAutoHide, [](auto& s) { s.autoHide = false; },
     [](auto& s) { s.autoHide = true; }},
    {"LeftBorder", ppui::kHideLeft, [](auto& s) { s.autoHide = true, s.hideToLeft = false; },
     [](auto& s) { s.hideToLeft = true; }},
    {"RightBorder", ppui::kHideRight, [](auto& s) { s.autoHide = true, s.hideToLeft = true; },
     [](auto& s) { s.hideToLeft = false; }},
    {"SaveWithoutAsking", ppui::kSaveWithoutAsking,
     [](auto& s) { s.saveOnExit = kAskBeforeSaving; },
     [](auto& s) { s.saveOnExit = kSaveWithoutAsking; }},
    {"AskBeforeSaving", ppui::kAskBeforeSaving, [](auto& s) { s.saveOnExit = kExitWithoutSaving; },
     [](auto& s) { s.saveOnExit = kAskBeforeSaving; }},
    {"ExitWithoutSaving", ppui::kExitWithoutSaving,
     [](auto& s) { s.saveOnExit = kSaveWithoutAsking; },
     [](auto& s) { s.saveOnExit = kExitWithoutSaving; }},
    {"AlwaysOnTop", ppui::kAlwaysOnTop, [](auto& s) { s.alwaysOnTop = false; },
     [](auto& s) { s.alwaysOnTop = true; }},
    {"AutoMinimize", ppui::kAutoMinimize, [](auto& s) { s.docked = false, s.autoMinimize = false; },
     [](auto& s) { s.autoMinimize = true; }},
    {"TrayIcon", ppui::kTrayIconAlways, [](auto& s) { s.trayIconAlways = false; },
     [](auto& s) { s.trayIconAlways = true; }},
    {"ExtractUrl", ppui::kExtractUrl, [](auto& s) { s.extractUrlOnDrop = false; },
     [](auto& s) { s.extractUrlOnDrop = true; }},
};

class GeneralPageControlTest : public GeneralPageTest,
                               public testing::WithParamInterface<ControlCase> {};

TEST_P(GeneralPageControlTest, FillsFromAndAppliesToItsSetting) {
  const ControlCase& c = GetParam();
  UiSettings settings;  // with a hot key and a context folder that no control here touches
  settings.hotKeyCode = 0x51;
  settings.hotKeyModifiers = x11::kHotKeyCtrl;
  settings.contextFolders = {{"Terminal", "/tmp", true, false}};
  c.prepare(settings);
  host_.settings = settings;
  ASSERT_EQ(Open(), S_OK);
  QAbstractButton* control = Button(c.id);
  ASSERT_TRUE(control);
  EXPECT_FALSE(control->isChecked());
  EXPECT_EQ(page_->IsPageDirty(), S_FALSE) << "filling is no change";

  control->click();
  EXPECT_EQ(page_->IsPageDirty(), S_OK);
  ASSERT_EQ(page_->Apply(), S_OK);
  c.click(settings);
  EXPECT_TRUE(host_.settings == settings) << "only the clicked setting changes";
  EXPECT_TRUE(host_.changed);
  EXPECT_EQ(window_.applied, 1);
}

INSTANTIATE_TEST_SUITE_P(Controls, GeneralPageControlTest, testing::ValuesIn(kControls),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GeneralPageTest, EnablingFollowsDockAutoHideAndTheRows) {
  host_.settings.docked = true;
  host_.settings.autoHide = false;
  ASSERT_EQ(Open(), S_OK);
  // Top, Bottom, Left border, Right border, Auto-minimize, Edit, Remove.
  auto enabled = [&] {
    std::string flags;
    for (int id : {ppui::kDockTop, ppui::kDockBottom, ppui::kHideLeft, ppui::kHideRight,
                   ppui::kAutoMinimize, ppui::kEdit, ppui::kRemove})
      flags += Item(id)->isEnabled() ? '1' : '0';
    return flags;
  };
  EXPECT_EQ(enabled(), "1100000");
  Button(ppui::kDock)->click();
  Button(ppui::kAutoHide)->click();
  EXPECT_EQ(enabled(), "0011100");
  prompter_.dialogs.push_back(FillFolder({"a", "/a"}));
  Button(ppui::kNew)->click();
  EXPECT_EQ(enabled(), "0011111");
  EXPECT_FALSE(Item(ppui::kHotKeyField)->isEnabled()) << "set only through its dialog";
}

// The dialog starts with the page's key; the key chosen there shows and is applied.
TEST_F(GeneralPageTest, HotKeyDialogSetsTheKeyAndHelpOpensThePage) {
  host_.settings.hotKeyCode = 0x51;
  host_.settings.hotKeyModifiers = 6;
  ASSERT_EQ(Open(), S_OK);
  auto* field = qobject_cast<QLineEdit*>(Item(ppui::kHotKeyField));
  EXPECT_EQ(field->text().toStdString(), "Ctrl+Alt+Q");

  std::string preset;
  prompter_.dialogs.push_back([&](QDialog& d) {
    auto& dialog = dynamic_cast<HotKeyDialog&>(d);
    preset = dialog.edit()->text().toStdString();
    dialog.edit()->setHotKey({0x74, x11::kHotKeyCtrl});
    dialog.accept();
    return dialog.result();
  });
  Button(ppui::kSetHotKey)->click();
  EXPECT_EQ(preset, "Ctrl+Alt+Q");
  EXPECT_EQ(field->text().toStdString(), "Ctrl+F5");
  ASSERT_EQ(page_->Apply(), S_OK);
  EXPECT_EQ(host_.settings.hotKeyCode, 0x74);
  EXPECT_EQ(host_.settings.hotKeyModifiers, x11::kHotKeyCtrl);

  EXPECT_EQ(page_->Help(""), S_OK);
  EXPECT_EQ(host_.operations, std::vector<std::string>{"help qdxhelp.htm"});
}

TEST_F(GeneralPageTest, ContextFoldersAreEditedOnThePageAndReplacedOnApply) {
  host_.settings.contextFolders = {{"Terminal", "/tmp", false, false},
                                   {"Editor", "/src", true, true},
                                   {"Viewer", "/pictures", false, false}};
  ASSERT_EQ(Open(), S_OK);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Terminal|/tmp", "Editor|/src", "Viewer|/pictures"}));
  EXPECT_EQ(CurrentRow(), 0);

  // New appends without moving the selection.
  prompter_.dialogs.push_back(FillFolder({"Mail", "/mail"}));
  Button(ppui::kNew)->click();
  EXPECT_EQ(CurrentRow(), 0);

  // A double click edits that row; the dialog starts with its record and browses from the
  // typed folder.
  ContextFolder shown;
  prompter_.folders.push_back("/home/src");
  prompter_.dialogs.push_back([&](QDialog& d) {
    auto& dialog = dynamic_cast<ContextFolderDialog&>(d);
    shown = dialog.record();
    dialog.browseButton()->click();
    dialog.wholeTitleBox()->setChecked(false);
    dialog.accept();
    return dialog.result();
  });
  emit List()->itemDoubleClicked(List()->topLevelItem(1), 0);
  EXPECT_EQ(shown, (ContextFolder{"Editor", "/src", true, true}));
  ASSERT_EQ(prompter_.folderRequests.size(), 1u);
  EXPECT_EQ(prompter_.folderRequests[0].startDir, "/src");

  // Remove asks first: No keeps the row, Yes removes it and selects the one in its place, or
  // the new last row.
  prompter_.answers = {ui::Answer::kNo, ui::Answer::kYes, ui::Answer::kYes};
  Button(ppui::kRemove)->click();
  EXPECT_EQ(Rows().size(), 4u);
  Button(ppui::kRemove)->click();
  EXPECT_EQ(CurrentRow(), 0);
  List()->setCurrentItem(List()->topLevelItem(2));
  Button(ppui::kRemove)->click();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Editor|/home/src", "Viewer|/pictures"}));
  EXPECT_EQ(CurrentRow(), 1);
  ASSERT_FALSE(prompter_.messages.empty());
  EXPECT_EQ(prompter_.messages[0].text, "Do you want to delete the selected item ?");
  EXPECT_EQ(prompter_.messages[0].buttons, ui::Buttons::kYesNo);

  // Nothing reaches the bar before Apply.
  EXPECT_EQ(host_.settings.contextFolders.size(), 3u);
  ASSERT_EQ(page_->Apply(), S_OK);
  EXPECT_EQ(host_.settings.contextFolders,
            (std::vector<ContextFolder>{{"Editor", "/home/src", true, false},
                                        {"Viewer", "/pictures", false, false}}));
}

TEST_F(GeneralPageTest, WithoutTheEngineAmongTheObjectsThereIsNothingToEdit) {
  EXPECT_EQ(Open(/*withEngine=*/false), E_FAIL);
  EXPECT_EQ(page_->Apply(), E_UNEXPECTED);
  EXPECT_TRUE(host_.settings == UiSettings{});
  EXPECT_EQ(window_.applied, 0);
}

}  // namespace
}  // namespace vok::bar
