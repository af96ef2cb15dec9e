#include "bar/pp_ui.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <functional>
#include <ostream>

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
  std::vector<std::string> calls;
  QWidget widget;
  void ApplySettings() override { calls.push_back("apply"); }
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

std::function<int(QDialog&)> FillFolder(ContextFolder record) {
  return [record](QDialog& d) {
    auto& dialog = dynamic_cast<ContextFolderDialog&>(d);
    dialog.titleEdit()->setText(QString::fromStdString(record.title));
    dialog.folderEdit()->setText(QString::fromStdString(record.folder));
    dialog.matchCaseBox()->setChecked(record.matchCase);
    dialog.wholeTitleBox()->setChecked(record.wholeTitle);
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
    if (page_) {
      page_->Deactivate();
      page_->SetObjects(0, nullptr);
      page_ = nullptr;
    }
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
  std::function<void(UiSettings&)> prepare;
  std::function<void(UiSettings&)> click;
};
void PrintTo(const ControlCase& c, std::ostream* out) { *out << c.name; }

class GeneralPageControlTest : public GeneralPageTest,
                               public testing::WithParamInterface<ControlCase> {};

TEST_P(GeneralPageControlTest, FillsFromAndAppliesToItsSetting) {
  const ControlCase& c = GetParam();
  UiSettings settings;
  settings.hotKeyCode = 0x51;
  settings.hotKeyModifiers = 6;
  settings.contextFolders = {{"Terminal", "/tmp", true, false}};
  c.prepare(settings);
  host_.settings = settings;
  ASSERT_EQ(Open(), S_OK);
  QAbstractButton* control = Button(c.id);
  ASSERT_TRUE(control);
  EXPECT_FALSE(control->isChecked());
  EXPECT_TRUE(control->isEnabled());
  EXPECT_EQ(page_->IsPageDirty(), S_FALSE) << "filling is no change";

  control->click();
  EXPECT_EQ(page_->IsPageDirty(), S_OK);
  ASSERT_EQ(page_->Apply(), S_OK);
  c.click(settings);
  EXPECT_TRUE(host_.settings == settings) << "only the clicked setting changes";
  EXPECT_TRUE(host_.changed);
  EXPECT_EQ(window_.calls, std::vector<std::string>{"apply"});
}

INSTANTIATE_TEST_SUITE_P(
    Controls, GeneralPageControlTest,
    testing::Values(
        ControlCase{"Dock", ppui::kDock, [](UiSettings& s) { s.docked = false; },
                    [](UiSettings& s) { s.docked = true; }},
        ControlCase{"Top", ppui::kDockTop, [](UiSettings& s) { s.docked = true, s.dockEdge = 1; },
                    [](UiSettings& s) { s.dockEdge = 0; }},
        ControlCase{"Bottom", ppui::kDockBottom,
                    [](UiSettings& s) { s.docked = true, s.dockEdge = 0; },
                    [](UiSettings& s) { s.dockEdge = 1; }},
        ControlCase{"AutoHide", ppui::kAutoHide, [](UiSettings& s) { s.autoHide = false; },
                    [](UiSettings& s) { s.autoHide = true; }},
        ControlCase{"LeftBorder", ppui::kHideLeft,
                    [](UiSettings& s) { s.autoHide = true, s.hideToLeft = false; },
                    [](UiSettings& s) { s.hideToLeft = true; }},
        ControlCase{"RightBorder", ppui::kHideRight,
                    [](UiSettings& s) { s.autoHide = true, s.hideToLeft = true; },
                    [](UiSettings& s) { s.hideToLeft = false; }},
        ControlCase{"SaveWithoutAsking", ppui::kSaveWithoutAsking,
                    [](UiSettings& s) { s.saveOnExit = kAskBeforeSaving; },
                    [](UiSettings& s) { s.saveOnExit = kSaveWithoutAsking; }},
        ControlCase{"AskBeforeSaving", ppui::kAskBeforeSaving,
                    [](UiSettings& s) { s.saveOnExit = kExitWithoutSaving; },
                    [](UiSettings& s) { s.saveOnExit = kAskBeforeSaving; }},
        ControlCase{"ExitWithoutSaving", ppui::kExitWithoutSaving,
                    [](UiSettings& s) { s.saveOnExit = kSaveWithoutAsking; },
                    [](UiSettings& s) { s.saveOnExit = kExitWithoutSaving; }},
        ControlCase{"AlwaysOnTop", ppui::kAlwaysOnTop, [](UiSettings& s) { s.alwaysOnTop = false; },
                    [](UiSettings& s) { s.alwaysOnTop = true; }},
        ControlCase{"AutoMinimize", ppui::kAutoMinimize,
                    [](UiSettings& s) { s.docked = false, s.autoMinimize = false; },
                    [](UiSettings& s) { s.autoMinimize = true; }},
        ControlCase{"TrayIcon", ppui::kTrayIconAlways,
                    [](UiSettings& s) { s.trayIconAlways = false; },
                    [](UiSettings& s) { s.trayIconAlways = true; }},
        ControlCase{"ExtractUrl", ppui::kExtractUrl,
                    [](UiSettings& s) { s.extractUrlOnDrop = false; },
                    [](UiSettings& s) { s.extractUrlOnDrop = true; }}),
    [](const testing::TestParamInfo<ControlCase>& info) { return info.param.name; });

TEST_F(GeneralPageTest, EnablingFollowsDockAutoHideAndTheRows) {
  host_.settings.docked = true;
  host_.settings.autoHide = false;
  ASSERT_EQ(Open(), S_OK);
  auto enabled = [&](int id) { return Item(id)->isEnabled(); };
  EXPECT_TRUE(enabled(ppui::kDockTop) && enabled(ppui::kDockBottom));
  EXPECT_FALSE(enabled(ppui::kHideLeft) || enabled(ppui::kHideRight));
  EXPECT_FALSE(enabled(ppui::kAutoMinimize));
  EXPECT_FALSE(enabled(ppui::kEdit) || enabled(ppui::kRemove)) << "no rows";
  EXPECT_FALSE(enabled(ppui::kHotKeyField));

  Button(ppui::kDock)->click();
  Button(ppui::kAutoHide)->click();
  EXPECT_FALSE(enabled(ppui::kDockTop) || enabled(ppui::kDockBottom));
  EXPECT_TRUE(enabled(ppui::kHideLeft) && enabled(ppui::kHideRight));
  EXPECT_TRUE(enabled(ppui::kAutoMinimize));

  prompter_.dialogs.push_back(FillFolder({"a", "/a"}));
  Button(ppui::kNew)->click();
  EXPECT_TRUE(enabled(ppui::kEdit) && enabled(ppui::kRemove));
}

TEST_F(GeneralPageTest, HotKeyDialogTurnsAShiftedKeyIntoCtrlAltAndHelpOpensThePage) {
  host_.settings.hotKeyCode = 0x51;
  host_.settings.hotKeyModifiers = 6;
  ASSERT_EQ(Open(), S_OK);
  auto* field = qobject_cast<QLineEdit*>(Item(ppui::kHotKeyField));
  EXPECT_EQ(field->text().toStdString(), "Ctrl+Alt+Q");

  std::string preset;
  prompter_.dialogs.push_back([&](QDialog& d) {
    auto& dialog = dynamic_cast<HotKeyDialog&>(d);
    preset = dialog.edit()->text().toStdString();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F5, Qt::ShiftModifier);
    QApplication::sendEvent(dialog.edit(), &press);
    dialog.accept();
    return dialog.result();
  });
  Button(ppui::kSetHotKey)->click();
  EXPECT_EQ(preset, "Ctrl+Alt+Q");
  EXPECT_EQ(field->text().toStdString(), "Ctrl+Alt+F5");
  ASSERT_EQ(page_->Apply(), S_OK);
  EXPECT_EQ(host_.settings.hotKeyCode, 0x74);
  EXPECT_EQ(host_.settings.hotKeyModifiers, 6);

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
  prompter_.dialogs.push_back(FillFolder({"Mail", "/mail", true, false}));
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
  QTreeWidgetItem* editor = List()->topLevelItem(1);
  emit List()->itemDoubleClicked(editor, 0);
  EXPECT_EQ(shown, (ContextFolder{"Editor", "/src", true, true}));
  ASSERT_EQ(prompter_.folderRequests.size(), 1u);
  EXPECT_EQ(prompter_.folderRequests[0].title, "Select context folder.");
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
  EXPECT_EQ(prompter_.messages[0].caption, "Quillo");
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
  EXPECT_TRUE(window_.calls.empty());
}

}  // namespace
}  // namespace vok::bar
