#include "cmdline/file_management_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <filesystem>
#include <functional>

#include "cmdline/fast_list_item_filter.h"
#include "cmdline/items_test_support.h"
#include "common/bar_ifaces.h"
#include "common/class_ids.h"
#include "common/cmdline_ifaces.h"
#include "common/container_ifaces.h"
#include "common/test_libraries.h"
#include "platform/ui/accelerator_hook.h"
#include "platform/ui/scripted_prompter.h"

namespace {

namespace fs = std::filesystem;
using vok::ObjectRoot;
using vok::cmdline::NavigateFileManagementWindow;

// A file view that records what the window asks of it ("SetDir /a 0", "Delete 1 1" ...).
class FakeFileView final : public ObjectRoot<IvokFileViewWnd, IvokFileViewCmd> {
 public:
  std::vector<std::string> calls;
  HRESULT openResult = S_FALSE;

  std::string Last(const std::string& prefix) const {
    for (auto call = calls.rbegin(); call != calls.rend(); ++call)
      if (call->rfind(prefix, 0) == 0) return *call;
    return "";
  }

  HRESULT STDMETHODCALLTYPE Create(HWND parent) override {
    return new QWidget(parent), Rec("Create");
  }
  HRESULT STDMETHODCALLTYPE SetPos(LONG, LONG, LONG, LONG) override { return Rec("SetPos"); }
  HRESULT STDMETHODCALLTYPE InitListView() override { return Rec("InitListView"); }
  HRESULT STDMETHODCALLTYPE Update() override { return Rec("Update"); }
  HRESULT STDMETHODCALLTYPE SetViewType(LONG v) override { return Rec("SetViewType", v); }
  HRESULT STDMETHODCALLTYPE SetFocus() override { return Rec("SetFocus"); }
  HRESULT STDMETHODCALLTYPE Init(IUnknown*, LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetDir(LPCSTR d, LONG drives) override {
    return Rec(std::string("SetDir ") + d, drives);
  }
  HRESULT STDMETHODCALLTYPE SetFilter(LPCSTR f) override {
    return Rec(std::string("SetFilter ") + f);
  }
  HRESULT STDMETHODCALLTYPE Exit() override { return Rec("Exit"); }
  HRESULT STDMETHODCALLTYPE ContextMenu(LONG, LONG) override { return Rec("ContextMenu"); }
  HRESULT STDMETHODCALLTYPE Open() override { return Rec("Open"), openResult; }
  HRESULT STDMETHODCALLTYPE Properties() override { return Rec("Properties"); }
  HRESULT STDMETHODCALLTYPE CopyToClipboard() override { return Rec("CopyToClipboard"); }
  HRESULT STDMETHODCALLTYPE Select(LPCSTR p, LONG dlg, LONG on) override {
    return Rec(p ? "Select mask" : "Select", dlg, on);
  }
  HRESULT STDMETHODCALLTYPE MoveCopy(LPCSTR p, LONG dlg, LONG move) override {
    return Rec(p ? "MoveCopy to" : "MoveCopy", dlg, move);
  }
  HRESULT STDMETHODCALLTYPE Delete(LONG bin, LONG ask) override { return Rec("Delete", bin, ask); }
  HRESULT STDMETHODCALLTYPE Rename(LONG ask) override { return Rec("Rename", ask); }
  HRESULT STDMETHODCALLTYPE get_ShowFolders(LONG* v) override { return *v = 0, S_OK; }
  HRESULT STDMETHODCALLTYPE put_ShowFolders(LONG v) override { return Rec("ShowFolders", v); }
  HRESULT STDMETHODCALLTYPE get_SortOrder(LONG* v) override { return *v = 0, S_OK; }
  HRESULT STDMETHODCALLTYPE put_SortOrder(LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE get_SortType(LONG* v) override { return *v = 0, S_OK; }
  HRESULT STDMETHODCALLTYPE put_SortType(LONG) override { return S_OK; }

 private:
  template <class... Args>
  HRESULT Rec(std::string call, Args... args) {
    ((call += " " + std::to_string(args)), ...);
    calls.push_back(std::move(call));
    return S_OK;
  }
};

class FakeSettings final : public ObjectRoot<IvokEngineShellExecProp> {
 public:
  LONG lastFilter = -1, showFolders = 1, fmView = kViewLargeIcons;
  ComPtr<IUnknown> filterList, navigator;

  HRESULT STDMETHODCALLTYPE get_ListViewType(int, LONG* v) override { return *v = 0, S_OK; }
  HRESULT STDMETHODCALLTYPE put_ListViewType(int, LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE get_FilterList(IUnknown** v) override { return filterList.CopyTo(v); }
  HRESULT STDMETHODCALLTYPE get_LastFilter(LONG* v) override { return *v = lastFilter, S_OK; }
  HRESULT STDMETHODCALLTYPE put_LastFilter(LONG v) override { return lastFilter = v, S_OK; }
  HRESULT STDMETHODCALLTYPE get_ShowFolders(LONG* v) override { return *v = showFolders, S_OK; }
  HRESULT STDMETHODCALLTYPE put_ShowFolders(LONG v) override { return showFolders = v, S_OK; }
  HRESULT STDMETHODCALLTYPE get_ChDirCtlUnk(IUnknown** v) override { return navigator.CopyTo(v); }
  HRESULT STDMETHODCALLTYPE put_ChDirCtlUnk(IUnknown*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_FMListViewType(LONG* v) override { return *v = fmView, S_OK; }
  HRESULT STDMETHODCALLTYPE put_FMListViewType(LONG v) override { return fmView = v, S_OK; }
};

// A container whose one engine is a bar window recording SetTopmost.
class FakeContainerWithBar final : public ObjectRoot<IvokEngineContainer, IvokBarWindow> {
 public:
  std::vector<LONG> topmost;
  HRESULT STDMETHODCALLTYPE SetTopmost(LONG on) override { return topmost.push_back(on), S_OK; }
  HRESULT STDMETHODCALLTYPE LeaveAutoHide() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetEngineByIface(REFIID riid, IUnknown** v) override {
    *v = nullptr;
    return riid == IvokBarWindow::kIID ? ComPtr<IUnknown>(Identity()).CopyTo(v) : E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE Init(const CLSID* const*, LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Properties(HWND, UINT, UINT, LPCSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Command(LPCSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE IsCommandRegistered(LPCSTR) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE get_Log(IUnknown** v) override { return *v = nullptr, S_OK; }
  HRESULT STDMETHODCALLTYPE put_Log(IUnknown*) override { return S_OK; }
};

// Hands out libvokCtl's navigators and keeps them, so that a test can look at the one the
// window made for itself after the window let it go.
class KeepingNavigatorFactory final : public ObjectRoot<IClassFactory> {
 public:
  ComPtr<IClassFactory> real;
  std::vector<ComPtr<IvokChDir>> made;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    HRESULT hr = real->CreateInstance(outer, riid, ppv);
    if (SUCCEEDED(hr)) made.push_back(QueryAs<IvokChDir>(static_cast<IUnknown*>(*ppv)));
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

std::string CurrentDir(IvokChDir* navigator) {
  std::string path(kPathBufferSize, '\0');
  navigator->GetCurrentDir(path.data());
  return path.c_str();
}

template <class W>
W* Find(QDialog& dialog, const char* name) {
  W* widget = dialog.findChild<W*>(QString::fromLatin1(name));
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

class FileManagementWindowTest : public vok::test::LeakCheckedTest {
 protected:
  void SetUp() override {
    vok::test::EnsureApplication();
    static const bool registered =
        vok::test::RegisterBuiltLibrary("vokTools") && vok::test::RegisterBuiltLibrary("vokCtl");
    ASSERT_TRUE(registered);
    LeakCheckedTest::SetUp();
    settings_ = ComPtr<FakeSettings>(new FakeSettings);
    view_ = ComPtr<FakeFileView>(new FakeFileView);
    root_ =
        fs::path(getenv("HOME")) / testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(root_ / "sub" / "deeper");
    root_ = fs::canonical(root_);
    sub_ = (root_ / "sub").string();
    startDir_ = fs::current_path();

    ComPtr<IvokFastList> list;
    ASSERT_EQ(CoCreateInstance(vok::clsid::kFastList, nullptr, CLSCTX_INPROC_SERVER,
                               IvokFastList::kIID, list.ReleaseAndGetVoidAddressOf()),
              S_OK);
    list->Init(1);
    AddFilter(list.Get(), "docs", "*.txt;*.doc", "Text files");
    AddFilter(list.Get(), "images", "*.png", "");
    settings_->filterList = QueryAs<IUnknown>(list.Get());
    host_ = {settings_.Get(), view_->Identity(), nullptr, &open_};
  }
  void TearDown() override {
    settings_ = nullptr;
    view_ = nullptr;
    fs::current_path(startDir_);
    LeakCheckedTest::TearDown();
  }

  static void AddFilter(IvokFastList* list, const char* key, const char* definition,
                        const char* description) {
    ComPtr<IUnknown> item;
    vok::CreateObject<vokFastListItemFilter>(nullptr, IID_IUnknown,
                                             item.ReleaseAndGetVoidAddressOf());
    QueryAs<IvokFastListItem>(item.Get())->SetStrKey(key);
    QueryAs<IvokFastListItemFilter>(item.Get())->SetFilter(definition);
    QueryAs<IvokFastListItemFilter>(item.Get())->SetDescr(description);
    ASSERT_EQ(list->Add(item.Detach(), 0), S_OK);
  }

  // Opens the window; `script` acts on it while it is open.
  HRESULT Run(const std::string& dir, const std::string& filter,
              std::function<void(QDialog&)> script) {
    prompter_.dialogs.push_back([script](QDialog& dialog) {
      script(dialog);
      if (dialog.result() != QDialog::Accepted) Find<QPushButton>(dialog, "closeButton")->click();
      return dialog.result();
    });
    return vok::cmdline::RunFileManagementWindow(host_, dir, filter);
  }

  vok::ui::ScriptedPrompter prompter_;
  vok::ui::ScopedPrompter scope_{&prompter_};
  fs::path root_, startDir_;
  std::string sub_;
  ComPtr<FakeSettings> settings_;
  ComPtr<FakeFileView> view_;
  vok::cmdline::FileManagementWindow* open_ = nullptr;
  vok::cmdline::FileManagementHost host_;
};

TEST_F(FileManagementWindowTest, FilterBoxOffersEnteredAndAllFilesAndStoresTheChoice) {
  struct Case {
    const char* filter;
    LONG lastFilter;
    int initial;  // the entry selected at opening
    int pick;     // the entry chosen before closing; -1: none
    LONG stored;  // LastFilter after closing
  };
  const Case cases[] = {
      {"*.txt", 1, 0, -1, -1},  // a typed wildcard word: its own entry, stored as -1
      {"*.txt", -1, 0, 2, 1},   // the second filter of the list
      {"*.txt", -1, 0, 3, -1},  // all files
      {"*", 1, 1, -1, 1},       // a filter command: the remembered filter
      {"*", 1, 1, 2, -1},      {"*", 0, 0, 1, 1},
      {"*", -1, 2, -1, -1},  // nothing remembered: all files
      {"*", 7, 2, -1, -1},   // a position the list no longer has: all files
  };
  const char* definitions[] = {"*.txt;*.doc", "*.png", "*.*"};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.filter) + " " + std::to_string(c.lastFilter) + " " +
                 std::to_string(c.pick));
    settings_->lastFilter = c.lastFilter;
    const bool entered = std::string(c.filter) != "*";
    std::vector<std::string> expected = {"docs - Text files (*.txt;*.doc)", "images (*.png)",
                                         "All files (*.*)"};
    if (entered) expected.insert(expected.begin(), "Entered Filter (*.txt)");
    EXPECT_EQ(Run(root_.string(), c.filter,
                  [&](QDialog& dialog) {
                    auto* box = Find<QComboBox>(dialog, "filterBox");
                    std::vector<std::string> entries;
                    for (int i = 0; i < box->count(); ++i)
                      entries.push_back(box->itemText(i).toStdString());
                    EXPECT_EQ(entries, expected);
                    EXPECT_EQ(box->currentIndex(), c.initial);
                    const int listed = c.initial - (entered ? 1 : 0);
                    EXPECT_EQ(
                        view_->Last("SetFilter"),
                        std::string("SetFilter ") + (listed < 0 ? "*.txt" : definitions[listed]));
                    if (c.pick >= 0) box->setCurrentIndex(c.pick);
                  }),
              S_OK);
    EXPECT_EQ(settings_->lastFilter, c.stored);
  }
}

TEST_F(FileManagementWindowTest, OpeningShowsTheFolderAndClosingRestoresProcessAndBar) {
  auto container = ComPtr<FakeContainerWithBar>(new FakeContainerWithBar);
  host_.container = container->Identity();
  fs::current_path(root_);
  const std::string deeper = (root_ / "sub" / "deeper").string();
  EXPECT_EQ(Run(deeper, "*.txt",
                [&](QDialog& dialog) {
                  EXPECT_EQ(dialog.windowTitle(), "File Management");
                  EXPECT_NE(open_, nullptr);
                  EXPECT_EQ(container->topmost, std::vector<LONG>{0});
                  EXPECT_EQ(Find<QLabel>(dialog, "directoryText")->toolTip().toStdString(), deeper);
                }),
            S_OK);
  EXPECT_EQ(view_->calls,
            (std::vector<std::string>{"Create", "SetPos", "InitListView", "SetViewType 0",
                                      "SetDir " + deeper + " 0", "ShowFolders 1", "SetFilter *.txt",
                                      "Update", "SetFocus", "Exit"}));
  EXPECT_EQ(open_, nullptr);
  EXPECT_EQ(container->topmost, (std::vector<LONG>{0, 1}));
  EXPECT_EQ(fs::current_path(), root_);

  // A folder that cannot be entered is reported, shows no window and counts as handled.
  EXPECT_EQ(vok::cmdline::RunFileManagementWindow(host_, (root_ / "gone").string(), "*"), S_OK);
  ASSERT_EQ(prompter_.messages.size(), 1u);
  EXPECT_EQ(prompter_.messages[0].text, "The specified path was not found or drive is not ready.");
  EXPECT_EQ(prompter_.dialogCount, 1);
}

TEST_F(FileManagementWindowTest, ViewButtonsStoreTheViewAndSetTheListStyle) {
  const std::tuple<const char*, LONG, LONG, const char*> cases[] = {
      {"largeIconsAction", kViewLargeIcons, kListStyleIcons, "Large Icons"},
      {"smallIconsAction", kViewSmallIcons, kListStyleSmallIcons, "Small Icons"},
      {"listAction", kViewList, kListStyleList, "List"},
      {"detailsAction", kViewDetails, kListStyleDetails, "Details"}};
  settings_->fmView = 9;  // damaged: shown as large icons
  Run(root_.string(), "*", [&](QDialog& dialog) {
    EXPECT_EQ(view_->Last("SetViewType"), "SetViewType 0");
    EXPECT_EQ(Find<QAction>(dialog, "backAction")->toolTip(), "Back (Alt+Left)");
    for (const auto& [action, view, style, tip] : cases) {
      SCOPED_TRACE(action);
      EXPECT_EQ(Find<QAction>(dialog, action)->toolTip(), tip);
      EXPECT_FALSE(Find<QAction>(dialog, action)->icon().pixmap(16, 15).isNull());
      Find<QAction>(dialog, action)->trigger();
      EXPECT_EQ(settings_->fmView, view);
      EXPECT_EQ(view_->Last("SetViewType"), "SetViewType " + std::to_string(style));
      for (const auto& other : cases)
        EXPECT_EQ(Find<QAction>(dialog, std::get<0>(other))->isChecked(),
                  std::get<1>(other) == view);
    }
  });
}

TEST_F(FileManagementWindowTest, ButtonsAndKeysRunTheirCommandsWhileTheWindowHoldsTheKeys) {
  QWidget panel;
  int panelCommands = 0;
  vok::ui::ScopedAccelerators panelKeys(
      {&panel, {{QKeySequence(Qt::Key_F5), 1}}, [&](int) { ++panelCommands; }});
  const std::pair<const char*, const char*> buttons[] = {
      {"copyButton", "MoveCopy 1 0"},
      {"moveButton", "MoveCopy 1 1"},
      {"deleteButton", "Delete 1 1"},
      {"propertiesButton", "Properties"},
      {"renameButton", "Rename 1"},
      {"selectButton", "Select 1 1"},
      {"deselectButton", "Select 1 0"},
      {"openButton", "Open"},  // S_FALSE (a folder was entered): the window stays
      {"showFoldersCheck", "ShowFolders 0"}};
  const std::tuple<Qt::Key, Qt::KeyboardModifiers, std::string> keys[] = {
      {Qt::Key_C, Qt::ControlModifier, "CopyToClipboard"},
      {Qt::Key_Insert, Qt::ControlModifier, "CopyToClipboard"},
      {Qt::Key_Delete, Qt::NoModifier, "Delete 1 1"},
      {Qt::Key_Return, Qt::AltModifier, "Properties"},
      {Qt::Key_F5, Qt::NoModifier, "SetDir " + sub_ + " 0"},
      {Qt::Key_U, Qt::AltModifier, "SetDir " + root_.string() + " 0"},
      {Qt::Key_Left, Qt::AltModifier, "SetDir " + sub_ + " 0"},
      {Qt::Key_Right, Qt::AltModifier, "SetDir " + root_.string() + " 0"}};
  Run(sub_, "*", [&](QDialog& dialog) {
    for (const auto& [name, call] : buttons) {
      view_->calls.clear();
      Find<QAbstractButton>(dialog, name)->click();
      EXPECT_EQ(view_->calls.empty() ? "" : view_->calls.front(), call) << name;
    }
    EXPECT_EQ(vok::ui::CurrentAccelerators().window, &dialog);
    for (const auto& [key, modifiers, call] : keys) {
      view_->calls.clear();
      QKeyEvent press(QEvent::KeyPress, key, modifiers);
      QApplication::sendEvent(Find<QComboBox>(dialog, "filterBox"), &press);
      EXPECT_EQ(view_->calls.empty() ? "" : view_->calls.front(), call);
    }
    // Open of a file ends the window as Close does.
    view_->openResult = S_OK;
    Find<QPushButton>(dialog, "openButton")->click();
    EXPECT_EQ(view_->calls.back(), "Exit");
  });
  EXPECT_EQ(settings_->showFolders, 0);
  EXPECT_EQ(vok::ui::CurrentAccelerators().window, &panel);
  EXPECT_EQ(panelCommands, 0);
}

TEST_F(FileManagementWindowTest, CreatedNavigatorMovesThroughFoldersAndReturnsAtClosing) {
  auto factory = ComPtr<KeepingNavigatorFactory>(new KeepingNavigatorFactory);
  ASSERT_EQ(CoGetClassObject(vok::clsid::kChDir, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             factory->real.ReleaseAndGetVoidAddressOf()),
            S_OK);
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(vok::clsid::kChDir, factory->Identity(), CLSCTX_INPROC_SERVER,
                                  REGCLS_MULTIPLEUSE, &cookie),
            S_OK);
  const std::string deeper = (root_ / "sub" / "deeper").string();
  Run(root_.string(), "*", [&](QDialog& dialog) {
    auto* back = Find<QAction>(dialog, "backAction");
    EXPECT_FALSE(back->isEnabled());
    EXPECT_FALSE(Find<QAction>(dialog, "forwardAction")->isEnabled());
    // The file view's requests name folders relative to the one shown, wherever the process
    // stands meanwhile.
    EXPECT_EQ(NavigateFileManagementWindow(*open_, 1, "sub"), S_OK);
    fs::current_path(startDir_);
    EXPECT_EQ(NavigateFileManagementWindow(*open_, 1, "deeper"), S_OK);
    EXPECT_EQ(view_->Last("SetDir"), "SetDir " + deeper + " 0");
    EXPECT_EQ(view_->Last("SetFilter"), "SetFilter *.*") << "the filter is applied again";
    EXPECT_EQ(Find<QLabel>(dialog, "directoryText")->toolTip().toStdString(), deeper);
    EXPECT_TRUE(back->isEnabled());
    EXPECT_EQ(NavigateFileManagementWindow(*open_, 0, nullptr), S_OK);
    EXPECT_EQ(view_->Last("SetDir"), "SetDir " + sub_ + " 0");
    EXPECT_EQ(NavigateFileManagementWindow(*open_, 2, "sub"), E_FAIL);
    // A folder that vanished: the message; the view stays.
    const size_t calls = view_->calls.size();
    EXPECT_TRUE(FAILED(NavigateFileManagementWindow(*open_, 1, "gone")));
    EXPECT_EQ(view_->calls.size(), calls);
    EXPECT_EQ(prompter_.messages.size(), 1u);

    back->trigger();
    EXPECT_EQ(view_->Last("SetDir"), "SetDir " + deeper + " 0");
    EXPECT_TRUE(Find<QAction>(dialog, "forwardAction")->isEnabled());
    // The back history, asked for by a right click on the button: its newest entry.
    prompter_.menus.push_back([](QMenu& menu) { return menu.actions().at(0); });
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), QPoint(2, 2));
    QApplication::sendEvent(Find<QToolButton>(dialog, "backButton"), &click);
    EXPECT_EQ(prompter_.trackedMenus.size(), 1u);
    EXPECT_EQ(view_->Last("SetDir"), "SetDir " + sub_ + " 0");
  });
  CoRevokeClassObject(cookie);
  ASSERT_EQ(factory->made.size(), 1u);
  EXPECT_EQ(CurrentDir(factory->made[0].Get()), root_.string());
  EXPECT_EQ(fs::current_path(), startDir_);
}

TEST_F(FileManagementWindowTest, EngineNavigatorFollowsTheShownFolderAndStaysThere) {
  ComPtr<IvokChDir> navigator;
  ASSERT_EQ(CoCreateInstance(vok::clsid::kChDir, nullptr, CLSCTX_INPROC_SERVER, IvokChDir::kIID,
                             navigator.ReleaseAndGetVoidAddressOf()),
            S_OK);
  ASSERT_EQ(navigator->Init(root_.c_str()), S_OK);
  settings_->navigator = QueryAs<IUnknown>(navigator.Get());
  Run(sub_, "*", [&](QDialog& dialog) {
    EXPECT_EQ(view_->Last("SetDir"), "SetDir " + sub_ + " 0");
    EXPECT_TRUE(Find<QAction>(dialog, "backAction")->isEnabled()) << "back to where it stood";
    Find<QAction>(dialog, "browseForFolderAction")->trigger();  // cancelled
    EXPECT_EQ(NavigateFileManagementWindow(*open_, 1, "deeper"), S_OK);
  });
  EXPECT_EQ(prompter_.folderRequests.size(), 1u);
  EXPECT_EQ(CurrentDir(navigator.Get()), (root_ / "sub" / "deeper").string());
}

}  // namespace
