// The shell-execution engine in the real container, with the lists, filter items, navigator and
// file view from the built libraries; nothing is started except by the one end-to-end test.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTreeWidget>
#include <chrono>
#include <fstream>
#include <optional>
#include <thread>

#include "cmdline/engine_cmd_line_test_support.h"
#include "cmdline/engine_shell_exec.h"
#include "cmdline/resources/cmdline_strings.h"
#include "common/memory_storage.h"
#include "common/test_application.h"
#include "common/test_libraries.h"
#include "platform/shell/shell_test_support.h"
#include "platform/system/recording_process_runner.h"
#include "platform/ui/accelerator_hook.h"

namespace vok::test {
namespace {

using namespace vok::cmdline;
using Prop = IvokEngineShellExecProp;
using Strings = std::vector<std::string>;

vokEngineShellExec* g_engine = nullptr;

// This program's own engine, registered in-process so that the container creates it.
HRESULT CreateTestEngine(IUnknown* outer, REFIID riid, void** ppv) {
  ComPtr<vokEngineShellExec> engine(new vokEngineShellExec);
  HRESULT hr = outer ? CLASS_E_NOAGGREGATION : engine->QueryInterface(riid, ppv);
  if (SUCCEEDED(hr)) g_engine = engine.Get();
  return hr;
}

// What the File Management window showed while it was open.
struct ShownWindow {
  std::string title, directory;
  Strings filters;
  LONG lastFilter = -2;
};

class ShellExecEngineTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    vok::test::EnsureApplication();
    for (const char* library : {"vokEngine", "vokTools", "vokCtl", "vokCmdLine", "vokFileView"})
      ASSERT_TRUE(RegisterBuiltLibrary(library));
  }
  void SetUp() override {
    std::filesystem::current_path(temp_.path());
    ComPtr<IClassFactory> factory(new ClassFactory(&CreateTestEngine));
    ASSERT_EQ(S_OK, CoRegisterClassObject(clsid::kEngineShellExec, factory.Get(),
                                          CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_));
  }
  void TearDown() override {
    container_.Reset();
    log_.Reset();
    CoRevokeClassObject(cookie_);
    std::filesystem::current_path("/");
    // The engine, the log and the window are gone: no cycle with the file view survived.
    EXPECT_EQ(0, ModuleCount().load());
  }

  HRESULT Start(LONG hint = 1) {
    container_.Reset();
    CoCreateInstance(clsid::kEngineContainer, nullptr, CLSCTX_INPROC_SERVER,
                     IvokEngineContainer::kIID, container_.ReleaseAndGetVoidAddressOf());
    container_->put_Log(log_->Identity());
    const CLSID* engines[] = {&clsid::kEngineShellExec, nullptr};
    return container_->Init(engines, hint);
  }
  HRESULT Run(const std::string& line) { return container_->Command(line.c_str()); }
  template <class I>
  ComPtr<I> EngineAs() {
    return QueryAs<I>(static_cast<IvokEngine*>(g_engine));
  }
  LONG Get(HRESULT (STDMETHODCALLTYPE Prop::*get)(LONG*)) {
    LONG value = -99;
    (EngineAs<Prop>().Get()->*get)(&value);
    return value;
  }
  // Adds a filter to the engine's list and registers the filter commands again.
  void AddFilter(const std::string& key, const std::string& definition,
                 const std::string& description = {}) {
    ComPtr<IvokFastListItem> item;
    ASSERT_EQ(S_OK, CoCreateInstance(clsid::kFastListItemFilter, nullptr, CLSCTX_INPROC_SERVER,
                                     IvokFastListItem::kIID, item.ReleaseAndGetVoidAddressOf()));
    item->SetStrKey(key.c_str());
    QueryAs<IvokFastListItemFilter>(item.Get())->SetFilter(definition.c_str());
    QueryAs<IvokFastListItemFilter>(item.Get())->SetDescr(description.c_str());
    ComPtr<IUnknown> list;
    EngineAs<Prop>()->get_FilterList(list.ReleaseAndGetAddressOf());
    ASSERT_EQ(S_OK, QueryAs<IvokFastList>(list.Get())->Add(item.Detach(), 0));
    EngineAs<IvokEngineCmdTable>()->RemoveItemCommands();
    EngineAs<IvokEngineCmdTable>()->RegisterItemCommands();
  }
  HRESULT IsRegistered(const char* word) {
    return EngineAs<IvokEngineCmdTable>()->IsCommandRegistered(word);
  }
  // Records what the next File Management window shows, then closes it.
  std::shared_ptr<ShownWindow> ExpectWindow() {
    auto shown = std::make_shared<ShownWindow>();
    prompter_.dialogs.push_back([shown](QDialog& dialog) {
      shown->title = dialog.windowTitle().toStdString();
      shown->directory = dialog.findChild<QLabel*>("directoryText")->toolTip().toStdString();
      auto* box = dialog.findChild<QComboBox*>("filterBox");
      for (int i = 0; i < box->count(); ++i)
        shown->filters.push_back(box->itemText(i).toStdString());
      g_engine->get_LastFilter(&shown->lastFilter);
      return int(QDialog::Rejected);
    });
    return shown;
  }

  shell::test::TempDir temp_;
  const std::string cwd_ = temp_.str();
  ui::ScriptedPrompter prompter_;
  ui::ScopedPrompter scopedPrompter_{&prompter_};
  sys::test::RecordingProcessRunner runner_;
  sys::ScopedProcessRunner scopedRunner_{&runner_};
  ComPtr<RecordingLog> log_{new RecordingLog};
  ComPtr<IvokEngineContainer> container_;
  DWORD cookie_ = 0;
};

// Programs get the parsed tokens as their argument vector, unchanged, in the current
// directory; documents keep their letter case; web words become lower-case addresses; what
// nothing can open gives S_FALSE.
TEST_F(ShellExecEngineTest, OpensWordsWithTheirArgumentsAsTyped) {
  ASSERT_EQ(S_OK, Start());
  shell::test::WriteFile(temp_ / "Notes.TXT", "x");
  const struct {
    const char* line;
    const char* installed;
    HRESULT result;
    Strings argv;  // of the one start expected; empty: nothing started
  } cases[] = {
      {"prog one", "prog", S_OK, {"/usr/bin/prog", "one"}},
      {R"x(prog "two words" "it's" "$(touch x)" "a;b|c")x",
       "prog",
       S_OK,
       {"/usr/bin/prog", "two words", "it's", "$(touch x)", "a;b|c"}},
      {"Notes.TXT", "xdg-open", S_OK, {"xdg-open", cwd_ + "/Notes.TXT"}},
      {"WWW.Example.COM", "xdg-open", S_OK, {"xdg-open", "http://www.example.com"}},
      {"Web.Example.org/F?Q=1", "xdg-open", S_OK, {"xdg-open", "http://web.example.org/f?q=1"}},
      {"www.example.com", "", S_FALSE, {"xdg-open", "http://www.example.com"}},
      {"notes.txt", "xdg-open", S_FALSE, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    runner_.calls.clear();
    runner_.installed = {c.installed};
    EXPECT_EQ(c.result, Run(c.line));
    ASSERT_EQ(c.argv.empty() ? 0u : 1u, runner_.calls.size());
    if (c.argv.empty()) continue;
    EXPECT_EQ(c.argv, runner_.calls[0].argv);
    EXPECT_EQ(cwd_, runner_.calls[0].workDir);
  }
  EXPECT_EQ(0, prompter_.dialogCount);
}

// A wildcard word shows its folder (the current one without a folder part) with the file part
// as the entered filter; a folder the kernel cannot enter is reported and opens nothing.
TEST_F(ShellExecEngineTest, WildcardWordsOpenTheFileManagementWindowOnTheirFolder) {
  ASSERT_EQ(S_OK, Start());
  std::filesystem::create_directories(temp_ / "Sub Dir");
  const std::string entered = CmdLineText(kIdsEnteredFilter);
  const struct {
    const char* line;
    std::string directory, filter;
  } cases[] = {{R"("Sub Dir/*.TXT")", cwd_ + "/Sub Dir", "*.TXT"},
               {"./Sub?Dir/../a?.md", cwd_, ""},  // "Sub?Dir" names no folder
               {"*.txt", cwd_, "*.txt"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    log_->lines.clear();
    auto shown = ExpectWindow();
    EXPECT_EQ(S_OK, Run(c.line));
    if (c.filter.empty()) {
      prompter_.dialogs.clear();
      EXPECT_EQ(Strings{CmdLineText(kIdsPathNotFound)}, log_->Texts(kLogError));
      continue;
    }
    EXPECT_EQ(CmdLineText(kIdsCaptionFileManagement), shown->title);
    EXPECT_EQ(c.directory, shown->directory);
    EXPECT_EQ(entered + " (" + c.filter + ")", shown->filters.at(0));
  }
  EXPECT_EQ(2, prompter_.dialogCount);
  EXPECT_EQ(1, log_->shows);
  EXPECT_TRUE(runner_.calls.empty());
}

// Below the full bar there are no filter commands, no filter group and no window.
TEST_F(ShellExecEngineTest, OtherHintLevelsHaveNoFilterCommandsAndNoWindow) {
  ASSERT_EQ(S_OK, Start(0));
  AddFilter("docs", "*.txt");
  EXPECT_EQ(S_FALSE, IsRegistered("docs"));
  EXPECT_EQ(E_FAIL, Run("*.txt"));
  QTreeWidget tree;
  EXPECT_EQ(S_OK, EngineAs<IvokCommandInfo>()->FillCommandTree(&tree));
  EXPECT_EQ(0, tree.topLevelItemCount());
  EXPECT_EQ(0, prompter_.dialogCount);
}

// A filter key in any letter case sets LastFilter to the filter's position (a change) and
// shows the current directory: the lent navigator's when there is one.
TEST_F(ShellExecEngineTest, FilterKeysInAnyCaseOpenTheWindowWithThatFilter) {
  ASSERT_EQ(S_OK, Start());
  AddFilter("docs", "*.txt", "Text");
  AddFilter("Pics", "*.png;*.jpg");
  MemoryStorage storage;
  ASSERT_EQ(S_OK, EngineAs<IPersistStorage>()->Save(&storage, 0));
  auto shown = ExpectWindow();
  EXPECT_EQ(S_OK, Run("pICS"));
  EXPECT_EQ(1, shown->lastFilter);
  EXPECT_EQ(cwd_, shown->directory);
  EXPECT_EQ(S_OK, EngineAs<IPersistStorage>()->IsDirty());

  std::filesystem::create_directories(temp_ / "sub");
  ComPtr<IvokChDir> navigator;
  CoCreateInstance(clsid::kChDir, nullptr, CLSCTX_INPROC_SERVER, IvokChDir::kIID,
                   navigator.ReleaseAndGetVoidAddressOf());
  ASSERT_EQ(S_OK, navigator->Init((cwd_ + "/sub").c_str()));
  ASSERT_EQ(S_OK, EngineAs<Prop>()->put_ChDirCtlUnk(navigator.Get()));
  shown = ExpectWindow();
  EXPECT_EQ(S_OK, Run("DOCS extra"));
  EXPECT_EQ(0, shown->lastFilter);
  EXPECT_EQ(cwd_ + "/sub", shown->directory);
  EXPECT_TRUE(runner_.calls.empty());

  // An object without IvokChDir is refused with the query's failure and leaves none held.
  IUnknown* held = navigator.Get();
  EXPECT_EQ(E_NOINTERFACE, EngineAs<Prop>()->put_ChDirCtlUnk(log_->Identity()));
  EXPECT_EQ(S_OK, EngineAs<Prop>()->get_ChDirCtlUnk(&held));
  EXPECT_EQ(nullptr, held);
}

// The submenu holds the first 20 filters, a blank description shows the key alone, and an
// entry runs its filter's command through the container.
TEST_F(ShellExecEngineTest, FiltersSubmenuShowsTheFirstTwentyAndRunsTheChosenOne) {
  ASSERT_EQ(S_OK, Start());
  for (int i = 0; i < 25; ++i)
    AddFilter("f" + std::to_string(100 + i), "*.x", i ? "Text " + std::to_string(i) : " \t\n");
  auto commands = QueryAs<IvokMenuCommands>(container_.Get());
  QMenu menu;
  ASSERT_EQ(S_OK, commands->FillMenu(&menu, 100));
  EXPECT_EQ(CmdLineText(kIdsMenuFilters), menu.actions().at(0)->text().toStdString());
  QList<QAction*> entries = menu.actions().at(0)->menu()->actions();
  ASSERT_EQ(20, entries.size());
  EXPECT_EQ("f100", entries[0]->text().toStdString());
  EXPECT_EQ("f119 - Text 19", entries[19]->text().toStdString());
  auto shown = ExpectWindow();
  EXPECT_EQ(S_OK, commands->RunMenuCommand(entries[7]->data().toInt()));
  EXPECT_EQ(7, shown->lastFilter);
}

// Quick help: the key as spelled, "(definition)" unless the reserved argument asks for the
// bare one; the browser lists the commands under a bold group after the other engines' groups.
TEST_F(ShellExecEngineTest, DescribesFilterCommandsForQuickHelpAndTheBrowser) {
  ASSERT_EQ(S_OK, Start());
  AddFilter("Web", "*.html;*.css", "Pages");
  AddFilter("long", std::string(126, 'd'));
  char name[kInfoBufferSize], syntax[kInfoBufferSize], description[kInfoBufferSize];
  LONG index = -1;
  auto info = EngineAs<IvokCommandInfo>();
  ASSERT_EQ(S_OK, info->GetCommandInfo("WEB x", name, syntax, description, &index, 0));
  EXPECT_EQ((Strings{"Web", "(*.html;*.css)", "Pages"}), (Strings{name, syntax, description}));
  EXPECT_EQ(1, index);
  ASSERT_EQ(S_OK, info->GetCommandInfo("WEB", name, syntax, description, &index, 1));
  EXPECT_EQ("*.html;*.css", std::string(syntax));
  ASSERT_EQ(S_OK, info->GetCommandInfo("LONG", name, syntax, description, &index, 0));
  EXPECT_EQ(std::string(126, 'd'), syntax);  // no room for the parentheses

  QTreeWidget tree;
  tree.addTopLevelItem(new QTreeWidgetItem(QStringList{"other engine"}));
  ASSERT_EQ(S_OK, info->FillCommandTree(&tree));
  QTreeWidgetItem* group = tree.topLevelItem(1);
  EXPECT_EQ(CmdLineText(kIdsFilterShortcuts), group->text(0).toStdString());
  EXPECT_TRUE(group->font(0).bold());
  ASSERT_EQ(2, group->childCount());
  EXPECT_EQ("WEB", group->child(1)->text(0).toStdString());
}

// The stream holds version 0, the filter list, the four settings and the file view's own
// record in place; a new engine loading it gets all of it back with the filter commands.
TEST_F(ShellExecEngineTest, StreamHoldsListSettingsAndFileViewByteForByte) {
  ASSERT_EQ(S_OK, Start());
  EXPECT_EQ(S_FALSE, EngineAs<IPersistStorage>()->IsDirty()) << "a new engine has no changes";
  AddFilter("docs", "*.txt", "Text");
  EngineAs<Prop>()->put_ListViewType(0, kViewDetails);
  EngineAs<Prop>()->put_LastFilter(0);
  EngineAs<Prop>()->put_ShowFolders(0);
  EngineAs<Prop>()->put_FMListViewType(kViewList);
  MemoryStorage storage;
  ASSERT_EQ(S_OK, EngineAs<IPersistStorage>()->Save(&storage, 1));
  EngineAs<Prop>()->put_ShowFolders(0);  // no change, so nothing new to save
  EXPECT_EQ(S_FALSE, EngineAs<IPersistStorage>()->IsDirty());
  ComPtr<MemoryStream> view = MemoryStream::Create();
  ASSERT_EQ(S_OK, QueryAs<IPersistStream>(g_engine->FileView())->Save(view.Get(), 0));
  Bytes expected;
  expected.Long(0).Long(0).Long(1500).Long(1).Guid(clsid::kFastListItemFilter);
  expected.Long(0).Str("docs").Long(0).Str("*.txt").Str("Text");
  expected.Long(kViewDetails).Long(0).Long(0).Long(kViewList).Raw(view->Bytes());
  EXPECT_EQ(expected.data(), storage.streams.at("ENG_SHELL_EXEC")->Bytes());
  EXPECT_EQ(Strings{"create ENG_SHELL_EXEC 0x1012"}, storage.calls);

  ASSERT_EQ(S_OK, Start());
  ASSERT_EQ(S_OK, EngineAs<IPersistStorage>()->Load(&storage));
  EXPECT_EQ("open ENG_SHELL_EXEC 0x12", storage.calls.back());
  EXPECT_EQ(S_OK, IsRegistered("DOCS"));
  LONG listView = -1;
  EngineAs<Prop>()->get_ListViewType(0, &listView);
  EXPECT_EQ((std::vector<LONG>{kViewDetails, 0, 0, kViewList}),
            (std::vector<LONG>{listView, Get(&Prop::get_LastFilter), Get(&Prop::get_ShowFolders),
                               Get(&Prop::get_FMListViewType)}));
  EXPECT_EQ(S_FALSE, EngineAs<IPersistStorage>()->IsDirty());
}

// Whatever the stream holds, the load ends by registering the commands of the list as it then
// is; a cut stream gives the read's status and keeps what was read before the cut.
TEST_F(ShellExecEngineTest, DamagedStreamsGiveTheirStatusAndStillRegisterCommands) {
  const Bytes part = Bytes().Long(0).Str("part").Long(0).Str("*.p").Str("");
  const struct {
    std::optional<Bytes> stream;
    HRESULT result;
    LONG listViewType;
    const char* registered;  // the one filter command expected afterwards
  } cases[] = {
      {Bytes().Long(-1).Long(7), S_OK, kViewLargeIcons, "kept"},
      {std::nullopt, STG_E_FILENOTFOUND, kViewLargeIcons, "kept"},
      {Bytes().Long(0).EmptyList(1500).Long(kViewList), STG_E_READFAULT, kViewList, nullptr},
      {Bytes().Long(0).Long(0).Long(1500).Long(2).Guid(clsid::kFastListItemFilter).Raw(part.data()),
       STG_E_READFAULT, kViewLargeIcons, "part"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.result);
    ASSERT_EQ(S_OK, Start());
    AddFilter("kept", "*.k");
    MemoryStorage storage;
    if (c.stream) storage.streams["ENG_SHELL_EXEC"] = MemoryStream::Create(c.stream->data());
    EXPECT_EQ(c.result, EngineAs<IPersistStorage>()->Load(&storage));
    LONG listView = -1;
    EngineAs<Prop>()->get_ListViewType(0, &listView);
    EXPECT_EQ(c.listViewType, listView);
    EXPECT_EQ(-1, Get(&Prop::get_LastFilter));
    EXPECT_EQ(c.registered ? 1u : 0u, g_engine->commands().size());
    if (c.registered) {
      EXPECT_EQ(S_OK, IsRegistered(c.registered)) << c.registered;
    }
  }
}

// Navigation needs the open window; renaming in place suspends the registered shortcuts and
// gives back exactly the saved registration, also after a repeated begin.
TEST_F(ShellExecEngineTest, FileViewSiteNeedsTheWindowAndSuspendsShortcuts) {
  ASSERT_EQ(S_OK, Start());
  auto site = EngineAs<IvokFileViewSite>();
  EXPECT_EQ(E_FAIL, site->NavigateTo(1, "/"));
  QWidget window;
  ui::ScopedAccelerators registered({&window, {{QKeySequence(Qt::Key_Delete), 216}}, [](int) {}});
  site->EndRename();  // without a begin: nothing changes
  site->BeginRename();
  EXPECT_FALSE(ui::CurrentAccelerators().active());
  site->BeginRename();
  site->EndRename();
  EXPECT_TRUE(ui::CurrentAccelerators().active());
  EXPECT_EQ(&window, ui::CurrentAccelerators().window.data());
}

// A real program started through the engine gets each typed argument unchanged as one entry of
// its argument vector, and runs in the current directory.
TEST_F(ShellExecEngineTest, StartsARealProgramWithTheTypedArguments) {
  ASSERT_EQ(S_OK, Start());
  sys::ScopedProcessRunner realRunner(nullptr);
  const std::filesystem::path out = temp_ / "recorded.txt";
  shell::test::ScopedEnv env("RECORD_ARGS_OUT", out.c_str());
  ASSERT_EQ(S_OK, Run(std::string("\"") + VOK_RECORD_ARGS_PATH +
                      R"x(" "two words" "$(touch pwned)" it's "*")x"));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!shell::test::Exists(out) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  std::ifstream in(out);
  Strings lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  EXPECT_EQ((Strings{cwd_, "4", "two words", "$(touch pwned)", "it's", "*"}), lines);
  EXPECT_FALSE(shell::test::Exists(temp_ / "pwned"));
}

}  // namespace
}  // namespace vok::test
