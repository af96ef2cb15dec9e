// The command-line engine inside the real container: its table, dispatch, directory commands,
// settings and changes flag.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "cmdline/engine_cmd_line_test_support.h"
#include "cmdline/resources/cmdline_strings.h"
#include "common/class_ids.h"
#include "common/test_libraries.h"

namespace vok::test {
namespace {

using namespace vok::cmdline;

const char* const kBuiltInWords[] = {
    "cd",         "chdir",      "back",     "forward",      "up",          "browse",    "del",
    "delete",     "erase",      "remove",   "rm",           "rd",          "rmdir",     "ren",
    "rename",     "copy",       "cp",       "move",         "mv",          "md",        "mkdir",
    "dir",        "ls",         "explore",  "date",         "time",        "favorites", "rbin",
    "system",     "display",    "cpanel",   "mouse",        "keyb",        "network",   "printers",
    "mycomputer", "desktop",    "dos",      "set",          "contextmenu", "ctxmenu",   "whoami",
    "properties", "eject",      "print",    "logoff",       "reboot",      "shutdown",  "poweroff",
    "mapdrive",   "disconnect", "findfile", "findcomputer", "rundlg",      "startmenu", "=",
    "-=",         "+=",         "*=",       "/=",           "newfavorite", "listfiles"};

TEST_F(CmdLineEngineTest, RegistersEveryBuiltInWordAtHintOne) {
  ASSERT_EQ(S_OK, Start(1));
  ASSERT_NE(nullptr, engine_);
  EXPECT_EQ(62u, std::size(kBuiltInWords));
  auto table = EngineAs<IvokEngineCmdTable>();
  for (const char* word : kBuiltInWords) EXPECT_EQ(S_OK, table->IsCommandRegistered(word)) << word;
  EXPECT_EQ(62u, engine().commands().size());
}

TEST_F(CmdLineEngineTest, HintZeroLeavesOutTheFavoritesCommand) {
  ASSERT_EQ(S_OK, Start(0));
  auto table = EngineAs<IvokEngineCmdTable>();
  EXPECT_EQ(S_FALSE, table->IsCommandRegistered("favorites"));
  EXPECT_EQ(S_OK, table->IsCommandRegistered("newfavorite"));
  EXPECT_EQ(61u, engine().commands().size());
  // The line is not the engine's: it falls through to the next engine.
  EXPECT_EQ(S_OK, Run("favorites"));
  EXPECT_EQ(std::vector<std::string>{"favorites"}, RecordedLines());
}

TEST_F(CmdLineEngineTest, InitSetsUpListsLogAndHistory) {
  ASSERT_EQ(S_OK, Start(1));
  LONG value = 0;  // the order is checked with the library below
  EXPECT_EQ(100, log_->maxSize);
  for (const ComPtr<IvokFastList>& list : {Favorites(), Aliases(), Scripts()}) {
    ASSERT_TRUE(list);
    list->get_MaxSize(&value);
    EXPECT_EQ(1500, value);
  }
  EngineAs<IvokEngineCmdLineProp>()->get_HistorySize(&value);
  EXPECT_EQ(50, value);
  EngineAs<IvokEngineCmdLineProp>()->get_BrowserAvailable(&value);
  EXPECT_EQ(0, value);
  EXPECT_EQ(temp_.string(), CurrentDir());
}

TEST_F(CmdLineEngineTest, OffersItsThreePropertyPagesInOrder) {
  ASSERT_EQ(S_OK, Start(1));
  CAUUID pages = {};
  ASSERT_EQ(S_OK, EngineAs<ISpecifyPropertyPages>()->GetPages(&pages));
  ASSERT_EQ(3u, pages.cElems);
  EXPECT_EQ(clsid::kPPCmdLine, pages.pElems[0]);
  EXPECT_EQ(clsid::kPPAlias, pages.pElems[1]);
  EXPECT_EQ(clsid::kPPScripts, pages.pElems[2]);
  CoTaskMemFree(pages.pElems);
}

// ---- Dispatch

// Drive words name no drive on Linux (and show the log), and the calculator rows have no
// script host.
TEST_F(CmdLineEngineTest, DriveAndCalculatorWordsReportWhyTheyCannotRun) {
  ASSERT_EQ(S_OK, Start(1));
  const struct {
    const char* line;
    UINT id;
    bool showsLog;
  } cases[] = {{"d:", kIdsNoSuchDrive, true},
               {"C:", kIdsNoSuchDrive, true},
               {"x: /tmp", kIdsNoSuchDrive, true},
               {"= 1+2", kIdsCalculatorUnavailable, false},
               {"=", kIdsCalculatorUnavailable, false},
               {"-= 3", kIdsCalculatorUnavailable, false},
               {"+= 3", kIdsCalculatorUnavailable, false},
               {"*= 3", kIdsCalculatorUnavailable, false},
               {"/= 3", kIdsCalculatorUnavailable, false}};
  for (const auto& c : cases) {
    log_->lines.clear();
    const int shows = log_->shows;
    EXPECT_EQ(S_OK, Run(c.line)) << c.line;
    EXPECT_EQ(std::vector<std::string>{CmdLineText(c.id)}, Errors()) << c.line;
    if (c.showsLog) EXPECT_EQ(shows + 1, log_->shows) << c.line;
  }
  EXPECT_TRUE(RecordedLines().empty());
  EXPECT_EQ(temp_.string(), CurrentDir());
  EXPECT_EQ(0.0f, engine().LastResult());
  // A longer word with a colon is an ordinary word, not the engine's.
  EXPECT_EQ(S_OK, Run("ab: x"));
  EXPECT_EQ(std::vector<std::string>{"ab: x"}, RecordedLines());
}

// The file and system rows run their handlers with the engine as context: relative paths are
// taken against the navigator's directory, and the desktop is reached only through the runner.
TEST_F(CmdLineEngineTest, FileAndSystemRowsWorkInTheNavigatorsDirectory) {
  ASSERT_EQ(S_OK, Start(1));
  MakeDir("sub");
  ASSERT_EQ(S_OK, Run("cd sub"));
  EXPECT_EQ(S_OK, Run("md made"));
  EXPECT_TRUE(std::filesystem::is_directory(temp_ / "sub" / "made"));
  EXPECT_EQ(S_OK, Run("mkdir Made2"));
  EXPECT_TRUE(std::filesystem::is_directory(temp_ / "sub" / "Made2"));
  EXPECT_EQ(S_OK, Run("whoami"));
  EXPECT_EQ(S_OK, Run("explore"));
  ASSERT_EQ(1u, runner_.started.size());
  EXPECT_EQ((temp_ / "sub").string(), runner_.started[0].back());
  EXPECT_TRUE(Errors().empty());
  EXPECT_TRUE(RecordedLines().empty());
}

// ---- cd

TEST_F(CmdLineEngineTest, CdWithoutArgumentLogsTheCurrentDirectory) {
  ASSERT_EQ(S_OK, Start(1));
  EXPECT_EQ(S_OK, Run("cd"));
  EXPECT_EQ(std::vector<std::string>{temp_.string()}, Infos());
  EXPECT_EQ(0, log_->shows);
}

TEST_F(CmdLineEngineTest, CdKeepsTheLetterCaseOfPaths) {
  ASSERT_EQ(S_OK, Start(1));
  MakeDir("Mixed");
  EXPECT_EQ(S_OK, Run("cd mixed"));
  EXPECT_EQ(std::vector<std::string>{CmdLineText(kIdsPathNotFound)}, Errors());
  EXPECT_EQ(temp_.string(), CurrentDir());
  EXPECT_EQ(S_OK, Run("chdir Mixed"));
  EXPECT_EQ((temp_ / "Mixed").string(), CurrentDir());
  EXPECT_EQ(1u, Errors().size());
}

TEST_F(CmdLineEngineTest, CdResolvesFolderFavoritesInAnyCase) {
  ASSERT_EQ(S_OK, Start(0));  // favorites are found also where they are no commands
  std::filesystem::path target = MakeDir("deep/target");
  AddFavorite("Proj", kFavoriteFolder, target.string());
  EXPECT_EQ(S_OK, Run("cd pROJ"));
  EXPECT_EQ(target.string(), CurrentDir());
  EXPECT_TRUE(Errors().empty());
}

TEST_F(CmdLineEngineTest, CdTreatsOtherFavoriteTypesAsPaths) {
  ASSERT_EQ(S_OK, Start(1));
  std::filesystem::path elsewhere = MakeDir("elsewhere");
  MakeDir("prog");
  AddFavorite("prog", kFavoriteProgram, elsewhere.string());
  EXPECT_EQ(S_OK, Run("cd prog"));
  EXPECT_EQ((temp_ / "prog").string(), CurrentDir());
}

// ---- back, forward, up

struct NavigationCase {
  const char* name;
  const char* line;
  UINT error;  // 0: none
};

class NavigationMessageTest : public CmdLineEngineTest,
                              public testing::WithParamInterface<NavigationCase> {};

// With an empty history and the current directory two levels below "/".
TEST_P(NavigationMessageTest, ReportsWhatTheNavigatorRefused) {
  ASSERT_EQ(S_OK, Start(1));
  const NavigationCase& c = GetParam();
  EXPECT_EQ(S_OK, Run(c.line));
  std::vector<std::string> expected;
  if (c.error) expected.push_back(CmdLineText(c.error));
  EXPECT_EQ(expected, Errors());
  EXPECT_TRUE(RecordedLines().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NavigationMessageTest,
    testing::Values(NavigationCase{"BackEmpty", "back", kIdsBackListShort},
                    NavigationCase{"ForwardEmpty", "forward 2", kIdsForwardListShort},
                    NavigationCase{"UpTooFar", "up 999", kIdsUpLevelsShort},
                    NavigationCase{"BackZero", "back 0", kIdsWrongParameters},
                    NavigationCase{"BackNegative", "back -3", kIdsWrongParameters},
                    NavigationCase{"ForwardText", "forward abc", kIdsWrongParameters},
                    NavigationCase{"UpZero", "up 0", kIdsWrongParameters},
                    NavigationCase{"UpOne", "up", 0}),
    [](const testing::TestParamInfo<NavigationCase>& info) { return info.param.name; });

TEST_F(CmdLineEngineTest, BackMShowsTheHistoryMenu) {
  ASSERT_EQ(S_OK, Start(1));
  MakeDir("a");
  ASSERT_EQ(S_OK, Run("cd a"));
  EXPECT_EQ(S_OK, Run("back m"));
  ASSERT_EQ(1u, prompter_.trackedMenus.size());
  EXPECT_EQ(std::vector<std::string>{temp_.string()}, prompter_.trackedMenus[0]);
  EXPECT_TRUE(Errors().empty());  // the dismissed menu is no error
  EXPECT_EQ((temp_ / "a").string(), CurrentDir());
}

TEST_F(CmdLineEngineTest, BackForwardAndUpMoveThroughTheHistory) {
  ASSERT_EQ(S_OK, Start(1));
  MakeDir("a/b");
  ASSERT_EQ(S_OK, Run("cd a"));
  ASSERT_EQ(S_OK, Run("cd b"));
  ASSERT_EQ(S_OK, Run("back 2"));
  EXPECT_EQ(temp_.string(), CurrentDir());
  ASSERT_EQ(S_OK, Run("forward"));
  EXPECT_EQ((temp_ / "a").string(), CurrentDir());
  ASSERT_EQ(S_OK, Run("forward 1"));
  ASSERT_EQ(S_OK, Run("up 2"));
  EXPECT_EQ(temp_.string(), CurrentDir());
  EXPECT_TRUE(Errors().empty());
}

// ---- browse

TEST_F(CmdLineEngineTest, BrowseForFilePutsTheQuotedPathIntoTheCommandBox) {
  ASSERT_EQ(S_OK, Start(1));
  prompter_.files.push_back("/data/my notes.txt");
  EXPECT_EQ(S_OK, Run("browse"));
  ASSERT_EQ(1u, prompter_.fileRequests.size());
  const ui::OpenFileRequest& request = prompter_.fileRequests[0];
  EXPECT_EQ(CmdLineText(kIdsBrowseForFile), request.title);
  EXPECT_EQ((std::vector<std::string>{"Programs (*.exe *.com *.bat)",
                                      "Documents (*.txt *.rtf *.doc)", "All files (*)"}),
            request.filters);
  EXPECT_EQ(2u, request.selected);
  EXPECT_EQ("\"/data/my notes.txt\"", engine().PanelData().Text());

  prompter_.files.push_back(std::nullopt);  // cancelled: the text stays
  EXPECT_EQ(S_OK, Run("browse FILE"));
  EXPECT_EQ("\"/data/my notes.txt\"", engine().PanelData().Text());
}

TEST_F(CmdLineEngineTest, BrowseForFolderChangesTheDirectory) {
  ASSERT_EQ(S_OK, Start(1));
  std::filesystem::path chosen = MakeDir("picked");
  prompter_.folders.push_back(chosen.string());
  EXPECT_EQ(S_OK, Run("browse folder"));
  EXPECT_EQ(1u, prompter_.folderRequests.size());
  EXPECT_EQ(chosen.string(), CurrentDir());
}

TEST_F(CmdLineEngineTest, BrowseCmdOpensTheCommandBrowser) {
  ASSERT_EQ(S_OK, Start(1));
  engine().PanelData().SetText("kept");
  EXPECT_EQ(S_OK, Run("browse cmd"));  // the scripted prompter cancels the dialog
  EXPECT_EQ(1, prompter_.dialogCount);
  EXPECT_EQ("kept", engine().PanelData().Text());
}

TEST_F(CmdLineEngineTest, BrowseWithAnUnknownTargetReportsIt) {
  ASSERT_EQ(S_OK, Start(1));
  EXPECT_EQ(S_OK, Run("browse everything"));
  EXPECT_EQ(std::vector<std::string>{CmdLineText(kIdsWrongParameters)}, Errors());
  EXPECT_TRUE(prompter_.fileRequests.empty());
}

// ---- IvokCmdLineUI and IvokCurrentDir

struct InsertCase {
  const char* name;
  std::string before;
  std::string inserted;
  std::string after;
};

class InsertTextTest : public CmdLineEngineTest, public testing::WithParamInterface<InsertCase> {};

TEST_P(InsertTextTest, AppendsAfterOneBlank) {
  ASSERT_EQ(S_OK, Start(1));
  const InsertCase& c = GetParam();
  engine().PanelData().SetText(c.before);
  EXPECT_EQ(S_OK, EngineAs<IvokCmdLineUI>()->InsertText(c.inserted.c_str()));
  EXPECT_EQ(c.after, engine().PanelData().Text());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InsertTextTest,
    testing::Values(InsertCase{"IntoEmptyBox", "", "abc", "abc"},
                    InsertCase{"TrimsTheBox", "  cd \t\n", "/tmp", "cd /tmp"},
                    InsertCase{"OnlyBlanks", " \t ", "x", "x"},
                    InsertCase{"EmptyInsert", "ls", "", "ls "},
                    InsertCase{"CutAt511", std::string(500, 'a'), std::string(20, 'b'),
                               std::string(500, 'a') + " " + std::string(10, 'b')}),
    [](const testing::TestParamInfo<InsertCase>& info) { return info.param.name; });

TEST_F(CmdLineEngineTest, ChangeDirReportsFailureAndRecordsWhenAsked) {
  ASSERT_EQ(S_OK, Start(1));
  std::filesystem::path a = MakeDir("a");
  auto ui = EngineAs<IvokCmdLineUI>();
  EXPECT_EQ(E_INVALIDARG, ui->ChangeDir((temp_ / "nope").c_str(), 1));
  EXPECT_EQ(S_OK, ui->ChangeDir(a.c_str(), 0));  // not recorded: nothing to go back to
  EXPECT_EQ(S_OK, Run("back"));
  EXPECT_EQ(std::vector<std::string>{CmdLineText(kIdsBackListShort)}, Errors());

  auto current = EngineAs<IvokCurrentDir>();
  EXPECT_EQ(S_OK, current->ChangeDir((temp_ / "nope").c_str()));  // always S_OK
  EXPECT_EQ(S_OK, current->ChangeDir(temp_.c_str()));             // recorded
  EXPECT_EQ(S_OK, Run("back"));
  EXPECT_EQ(a.string(), CurrentDir());
}

// ---- Settings and the changes flag

// Saving clears the changes flag; the storage is thrown away.
void Saved(IPersistStorage* persist) {
  ComPtr<MemoryStorage> storage(new MemoryStorage);
  ASSERT_EQ(S_OK, persist->Save(storage.Get(), 1));
  ASSERT_EQ(S_FALSE, persist->IsDirty());
}

struct SetterCase {
  const char* name;
  std::function<HRESULT(IvokEngineCmdLineProp*)> put;
  bool dirty;
};

class SetterTest : public CmdLineEngineTest, public testing::WithParamInterface<SetterCase> {};

TEST_P(SetterTest, MarksTheEngineChangedAsItShould) {
  ASSERT_EQ(S_OK, Start(1));
  auto persist = EngineAs<IPersistStorage>();
  Saved(persist.Get());
  EXPECT_EQ(S_OK, GetParam().put(EngineAs<IvokEngineCmdLineProp>().Get()));
  EXPECT_EQ(GetParam().dirty ? S_OK : S_FALSE, persist->IsDirty());
}

using Prop = IvokEngineCmdLineProp;
INSTANTIATE_TEST_SUITE_P(
    Cases, SetterTest,
    testing::Values(
        // Always a change, even with the value already set.
        SetterCase{"QuickHelpSame", [](Prop* p) { return p->put_UseQuickHelp(1); }, true},
        SetterCase{"KeepLogSame", [](Prop* p) { return p->put_KeepLog(0); }, true},
        SetterCase{"ExplorerTreeSame", [](Prop* p) { return p->put_ExplorerTree(0); }, true},
        SetterCase{"RecycleBinSame", [](Prop* p) { return p->put_DeleteToRecycleBin(1); }, true},
        SetterCase{"HistorySizeSame", [](Prop* p) { return p->put_HistorySize(50); }, true},
        SetterCase{"LogSizeSame", [](Prop* p) { return p->put_LogSize(100); }, true},
        SetterCase{"HotKeySame", [](Prop* p) { return p->put_HotKeyVK(0); }, true},
        SetterCase{"HotKeyModsSame", [](Prop* p) { return p->put_HotKeyMods(0); }, true},
        SetterCase{"PrefExt", [](Prop* p) { return p->SetPrefExt("sh;py"); }, true},
        SetterCase{"ExclExt", [](Prop* p) { return p->SetExclExt("o"); }, true},
        // A change only when the value differs.
        SetterCase{"HistorySame", [](Prop* p) { return p->put_CompleteFromHistory(1); }, false},
        SetterCase{"HistoryOff", [](Prop* p) { return p->put_CompleteFromHistory(0); }, true},
        SetterCase{"CommandsSame", [](Prop* p) { return p->put_CompleteFromCommands(1); }, false},
        SetterCase{"FilesOff", [](Prop* p) { return p->put_CompleteFromFiles(0); }, true},
        SetterCase{"ViewSame", [](Prop* p) { return p->put_ListViewType(2, 0); }, false},
        SetterCase{"ViewChanged", [](Prop* p) { return p->put_ListViewType(1, 3); }, true},
        SetterCase{"FavTypeSame", [](Prop* p) { return p->put_LastFavoriteType(1); }, false},
        SetterCase{"FavTypeChanged", [](Prop* p) { return p->put_LastFavoriteType(2); }, true},
        SetterCase{"SyncSame", [](Prop* p) { return p->put_SyncWithBrowser(1); }, false},
        SetterCase{"SyncOff", [](Prop* p) { return p->put_SyncWithBrowser(0); }, true},
        SetterCase{"StartMsgSame", [](Prop* p) { return p->put_ShowScriptStartMsg(0); }, false},
        SetterCase{"StartMsgOn", [](Prop* p) { return p->put_ShowScriptStartMsg(1); }, true}),
    [](const testing::TestParamInfo<SetterCase>& info) { return info.param.name; });

TEST_F(CmdLineEngineTest, SettingsReachTheirOwners) {
  ASSERT_EQ(S_OK, Start(1));
  auto props = EngineAs<IvokEngineCmdLineProp>();
  LONG value = 0;
  EXPECT_EQ(S_OK, props->put_LogSize(250));
  EXPECT_EQ(250, log_->maxSize);
  EXPECT_EQ(S_OK, props->put_HistorySize(7));
  engine().PanelData().History()->get_MaxSize(&value);
  EXPECT_EQ(7, value);
  EXPECT_EQ(E_INVALIDARG, props->put_ListViewType(3, 1));
  EXPECT_EQ(E_INVALIDARG, props->get_ListViewType(-1, &value));
  EXPECT_EQ(S_OK, props->put_ListViewType(2, 4));
  props->get_ListViewType(2, &value);
  EXPECT_EQ(4, value);
}

TEST_F(CmdLineEngineTest, ListsAndBrowserAreHandedOutWithAReference) {
  ASSERT_EQ(S_OK, Start(1));
  auto props = EngineAs<IvokEngineCmdLineProp>();
  for (auto get : {&Prop::get_FavoriteList, &Prop::get_AliasList, &Prop::get_ScriptList,
                   &Prop::get_CmdBrowserUnk}) {
    IUnknown* object = nullptr;
    ASSERT_EQ(S_OK, (props.Get()->*get)(&object));
    ASSERT_NE(nullptr, object);
    // Ours and the engine's: releasing ours leaves one.
    EXPECT_EQ(1u, object->Release());
  }
}

TEST_F(CmdLineEngineTest, ChangesFlagFollowsHistoryNavigatorLogAndItemPages) {
  ASSERT_EQ(S_OK, Start(1));
  auto persist = EngineAs<IPersistStorage>();
  EXPECT_EQ(S_FALSE, persist->IsDirty());

  MakeDir("a");
  ASSERT_EQ(S_OK, Run("cd a"));
  EXPECT_EQ(S_OK, persist->IsDirty());  // the navigator changed
  Saved(persist.Get());

  EXPECT_EQ(S_OK, engine().PanelData().AddHistoryLine("ls -l"));
  EXPECT_EQ(S_OK, persist->IsDirty());
  Saved(persist.Get());
  // A line typed again moves in the history and is no change.
  EXPECT_EQ(S_FALSE, engine().PanelData().AddHistoryLine("ls -l"));
  EXPECT_EQ(S_FALSE, persist->IsDirty());

  log_->dirtyResult = S_OK;  // the log counts only while it is kept with the engine
  EXPECT_EQ(S_FALSE, persist->IsDirty());
  EngineAs<IvokEngineCmdLineProp>()->put_KeepLog(1);
  log_->dirtyResult = S_FALSE;
  Saved(persist.Get());
  log_->dirtyResult = S_OK;
  EXPECT_EQ(S_OK, persist->IsDirty());
  log_->dirtyResult = S_FALSE;

  Saved(persist.Get());
  AddAlias("ll", "ls -l");
  Reregister();  // what a list page does after a change
  EXPECT_EQ(S_OK, persist->IsDirty());
}

// ---- The component library

TEST(CmdLineLibraryTest, ServesTheEngineItemsAndBrowserUnderTheirNames) {
  const char* build = std::getenv("VOK_BUILD_DIR");
  ASSERT_NE(nullptr, build);
  void* library = dlopen((std::string(build) + "/lib/libvokCmdLine.so").c_str(), RTLD_NOW);
  ASSERT_NE(nullptr, library) << dlerror();
  using GetClassObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);
  auto getClassObject = reinterpret_cast<GetClassObjectFn>(dlsym(library, "DllGetClassObject"));
  ASSERT_NE(nullptr, getClassObject);
  const struct {
    const CLSID* clsid;
    const char* progId;
  } classes[] = {
      {&clsid::kEngineCmdLine, "vokEngineCmdLine.vokEngineCmdLine.1"},
      {&clsid::kFastListItemAlias, "VokCmdLine.vokFastListItemAlias.1"},
      {&clsid::kFastListItemFavorite, "VokCmdLine.vokFastListItemFavorite.1"},
      {&clsid::kFastListItemScript, "VokCmdLine.vokFastListItemScript.1"},
      {&clsid::kCmdBrowser, "VokCmdLine.vokCmdBrowser.1"},
  };
  ASSERT_TRUE(RegisterBuiltLibrary("vokCmdLine"));
  for (const auto& c : classes) {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK,
              getClassObject(*c.clsid, IClassFactory::kIID, factory.ReleaseAndGetVoidAddressOf()))
        << c.progId;
    ComPtr<IUnknown> object;
    EXPECT_EQ(S_OK,
              factory->CreateInstance(nullptr, IID_IUnknown, object.ReleaseAndGetVoidAddressOf()))
        << c.progId;
    CLSID registered = {};
    EXPECT_EQ(S_OK, CLSIDFromProgID(c.progId, &registered)) << c.progId;
    EXPECT_EQ(*c.clsid, registered) << c.progId;
  }
  ComPtr<IClassFactory> factory;
  getClassObject(clsid::kEngineCmdLine, IClassFactory::kIID, factory.ReleaseAndGetVoidAddressOf());
  ComPtr<IvokEngine> engine;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IvokEngine::kIID,
                                          engine.ReleaseAndGetVoidAddressOf()));
  LONG order = 0;
  engine->get_VirtualOrder(&order);
  EXPECT_EQ(5, order);
  ComPtr<IUnknown> outer(engine.Get());
  ComPtr<IUnknown> aggregated;
  EXPECT_EQ(
      CLASS_E_NOAGGREGATION,
      factory->CreateInstance(outer.Get(), IID_IUnknown, aggregated.ReleaseAndGetVoidAddressOf()));
}

}  // namespace
}  // namespace vok::test
