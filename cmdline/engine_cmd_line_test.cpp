// The command-line engine inside the real container: its table, dispatch, directory commands,
// settings and changes flag.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string_view>

#include "cmdline/engine_cmd_line_test_support.h"
#include "cmdline/resources/cmdline_strings.h"
#include "common/class_ids.h"
#include "common/test_libraries.h"

namespace vok::test {
namespace {

using namespace vok::cmdline;
using Prop = IvokEngineCmdLineProp;
using Lines = std::vector<std::string>;

constexpr std::string_view kBuiltInWords =
    "cd chdir back forward up browse del delete erase remove rm rd rmdir ren rename copy cp move "
    "mv md mkdir dir ls explore date time favorites rbin system display cpanel mouse keyb network "
    "printers mycomputer desktop dos set contextmenu ctxmenu whoami properties eject print logoff "
    "reboot shutdown poweroff mapdrive disconnect findfile findcomputer rundlg startmenu = -= += "
    "*= /= newfavorite listfiles";

// A new container at hint one sets up its table, lists, log, history and property pages.
TEST_F(CmdLineEngineTest, StartsWithEveryBuiltInWordListsAndPages) {
  ASSERT_EQ(S_OK, Start(1));
  ASSERT_NE(nullptr, engine_);
  auto table = EngineAs<IvokEngineCmdTable>();
  std::istringstream words{std::string(kBuiltInWords)};
  size_t count = 0;
  for (std::string word; words >> word; ++count)
    EXPECT_EQ(S_OK, table->IsCommandRegistered(word.c_str())) << word;
  EXPECT_EQ(62u, count);
  EXPECT_EQ(62u, engine().commands().size());

  LONG value = 0;
  EXPECT_EQ(100, log_->maxSize);
  for (const ComPtr<IvokFastList>& list : {Favorites(), Aliases(), Scripts()}) {
    ASSERT_TRUE(list);
    list->get_MaxSize(&value);
    EXPECT_EQ(1500, value);
  }
  EngineAs<Prop>()->get_HistorySize(&value);
  EXPECT_EQ(50, value);
  EngineAs<Prop>()->get_BrowserAvailable(&value);
  EXPECT_EQ(0, value);
  EXPECT_EQ(temp_.string(), CurrentDir());

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
  } cases[] = {{"d:", kIdsNoSuchDrive},
               {"C:", kIdsNoSuchDrive},
               {"x: /tmp", kIdsNoSuchDrive},
               {"= 1+2", kIdsCalculatorUnavailable},
               {"=", kIdsCalculatorUnavailable},
               {"-= 3", kIdsCalculatorUnavailable},
               {"+= 3", kIdsCalculatorUnavailable},
               {"*= 3", kIdsCalculatorUnavailable},
               {"/= 3", kIdsCalculatorUnavailable}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    log_->lines.clear();
    const int shows = log_->shows;
    EXPECT_EQ(S_OK, Run(c.line));
    EXPECT_EQ(Lines{CmdLineText(c.id)}, Errors());
    if (c.id == kIdsNoSuchDrive) {
      EXPECT_EQ(shows + 1, log_->shows);
    }
  }
  EXPECT_TRUE(RecordedLines().empty());
  EXPECT_EQ(temp_.string(), CurrentDir());
  EXPECT_EQ(0.0f, engine().LastResult());
  // A longer word with a colon is an ordinary word, not the engine's.
  EXPECT_EQ(S_OK, Run("ab: x"));
  EXPECT_EQ(Lines{"ab: x"}, RecordedLines());
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

TEST_F(CmdLineEngineTest, CdKeepsLetterCaseAndTakesOnlyFolderFavorites) {
  ASSERT_EQ(S_OK, Start(1));
  EXPECT_EQ(S_OK, Run("cd"));  // no argument: logs the directory quietly
  EXPECT_EQ(Lines{temp_.string()}, Infos());
  EXPECT_EQ(0, log_->shows);

  MakeDir("Mixed");
  EXPECT_EQ(S_OK, Run("cd mixed"));
  EXPECT_EQ(Lines{CmdLineText(kIdsPathNotFound)}, Errors());
  EXPECT_EQ(temp_.string(), CurrentDir());
  EXPECT_EQ(S_OK, Run("chdir Mixed"));
  EXPECT_EQ((temp_ / "Mixed").string(), CurrentDir());
  EXPECT_EQ(1u, Errors().size());

  // Other favorite types are no targets: the word is a path.
  AddFavorite("prog", kFavoriteProgram, MakeDir("elsewhere").string());
  MakeDir("Mixed/prog");
  EXPECT_EQ(S_OK, Run("cd prog"));
  EXPECT_EQ((temp_ / "Mixed/prog").string(), CurrentDir());
}

// ---- back, forward, up

// With an empty history and the current directory two levels below "/".
TEST_F(CmdLineEngineTest, NavigationReportsWhatTheNavigatorRefused) {
  ASSERT_EQ(S_OK, Start(1));
  const struct {
    const char* line;
    UINT error;  // 0: none
  } cases[] = {{"back", kIdsBackListShort},      {"forward 2", kIdsForwardListShort},
               {"up 999", kIdsUpLevelsShort},    {"back 0", kIdsWrongParameters},
               {"back -3", kIdsWrongParameters}, {"forward abc", kIdsWrongParameters},
               {"up 0", kIdsWrongParameters},    {"up", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    log_->lines.clear();
    EXPECT_EQ(S_OK, Run(c.line));
    EXPECT_EQ(c.error ? Lines{CmdLineText(c.error)} : Lines{}, Errors());
  }
  EXPECT_EQ(temp_.parent_path().string(), CurrentDir());
  EXPECT_TRUE(RecordedLines().empty());
}

TEST_F(CmdLineEngineTest, BackForwardAndUpMoveThroughTheHistory) {
  ASSERT_EQ(S_OK, Start(1));
  MakeDir("a/b");
  ASSERT_EQ(S_OK, Run("cd a"));
  EXPECT_EQ(S_OK, Run("back m"));  // the dismissed menu is no error and moves nowhere
  ASSERT_EQ(1u, prompter_.trackedMenus.size());
  EXPECT_EQ(Lines{temp_.string()}, prompter_.trackedMenus[0]);
  EXPECT_EQ((temp_ / "a").string(), CurrentDir());

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

TEST_F(CmdLineEngineTest, BrowseFillsTheCommandBoxChangesDirectoryOrOpensTheBrowser) {
  ASSERT_EQ(S_OK, Start(1));
  prompter_.files.push_back("/data/my notes.txt");
  EXPECT_EQ(S_OK, Run("browse"));
  ASSERT_EQ(1u, prompter_.fileRequests.size());
  const ui::OpenFileRequest& request = prompter_.fileRequests[0];
  EXPECT_EQ(CmdLineText(kIdsBrowseForFile), request.title);
  EXPECT_EQ(
      (Lines{"Programs (*.exe *.com *.bat)", "Documents (*.txt *.rtf *.doc)", "All files (*)"}),
      request.filters);
  EXPECT_EQ(2u, request.selected);
  EXPECT_EQ("\"/data/my notes.txt\"", engine().PanelData().Text());

  prompter_.files.push_back(std::nullopt);  // cancelled: the text stays
  EXPECT_EQ(S_OK, Run("browse FILE"));
  EXPECT_EQ("\"/data/my notes.txt\"", engine().PanelData().Text());
  EXPECT_EQ(2u, prompter_.fileRequests.size());

  std::filesystem::path chosen = MakeDir("picked");
  prompter_.folders.push_back(chosen.string());
  EXPECT_EQ(S_OK, Run("browse folder"));
  EXPECT_EQ(1u, prompter_.folderRequests.size());
  EXPECT_EQ(chosen.string(), CurrentDir());

  engine().PanelData().SetText("kept");
  EXPECT_EQ(S_OK, Run("browse cmd"));  // the scripted prompter cancels the dialog
  EXPECT_EQ(1, prompter_.dialogCount);
  EXPECT_EQ("kept", engine().PanelData().Text());

  EXPECT_EQ(S_OK, Run("browse everything"));
  EXPECT_EQ(Lines{CmdLineText(kIdsWrongParameters)}, Errors());
  EXPECT_EQ(2u, prompter_.fileRequests.size());
}

// ---- IvokCmdLineUI and IvokCurrentDir

TEST_F(CmdLineEngineTest, InsertTextAppendsAfterOneBlank) {
  ASSERT_EQ(S_OK, Start(1));
  const struct {
    std::string before, inserted, after;
  } cases[] = {{"", "abc", "abc"},
               {"  cd \t\n", "/tmp", "cd /tmp"},
               {" \t ", "x", "x"},
               {"ls", "", "ls "},
               {std::string(500, 'a'), std::string(20, 'b'),  // cut at 511 bytes
                std::string(500, 'a') + " " + std::string(10, 'b')}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.before);
    engine().PanelData().SetText(c.before);
    EXPECT_EQ(S_OK, EngineAs<IvokCmdLineUI>()->InsertText(c.inserted.c_str()));
    EXPECT_EQ(c.after, engine().PanelData().Text());
  }
}

TEST_F(CmdLineEngineTest, ChangeDirReportsFailureAndRecordsWhenAsked) {
  ASSERT_EQ(S_OK, Start(1));
  std::filesystem::path a = MakeDir("a");
  auto ui = EngineAs<IvokCmdLineUI>();
  EXPECT_EQ(E_INVALIDARG, ui->ChangeDir((temp_ / "nope").c_str(), 1));
  EXPECT_EQ(S_OK, ui->ChangeDir(a.c_str(), 0));  // not recorded: nothing to go back to
  EXPECT_EQ(S_OK, Run("back"));
  EXPECT_EQ(Lines{CmdLineText(kIdsBackListShort)}, Errors());

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

// Each "same" case comes before the case that changes that value.
TEST_F(CmdLineEngineTest, SettersMarkTheEngineChangedAsTheyShould) {
  ASSERT_EQ(S_OK, Start(1));
  const struct {
    const char* name;
    HRESULT (*put)(Prop*);
    bool dirty;
  } cases[] = {// Always a change, even with the value already set.
               {"QuickHelpSame", [](Prop* p) { return p->put_UseQuickHelp(1); }, true},
               {"KeepLogSame", [](Prop* p) { return p->put_KeepLog(0); }, true},
               {"ExplorerTreeSame", [](Prop* p) { return p->put_ExplorerTree(0); }, true},
               {"RecycleBinSame", [](Prop* p) { return p->put_DeleteToRecycleBin(1); }, true},
               {"HistorySizeSame", [](Prop* p) { return p->put_HistorySize(50); }, true},
               {"LogSizeSame", [](Prop* p) { return p->put_LogSize(100); }, true},
               {"HotKeySame", [](Prop* p) { return p->put_HotKeyVK(0); }, true},
               {"HotKeyModsSame", [](Prop* p) { return p->put_HotKeyMods(0); }, true},
               {"PrefExt", [](Prop* p) { return p->SetPrefExt("sh;py"); }, true},
               {"ExclExt", [](Prop* p) { return p->SetExclExt("o"); }, true},
               // A change only when the value differs.
               {"HistorySame", [](Prop* p) { return p->put_CompleteFromHistory(1); }, false},
               {"HistoryOff", [](Prop* p) { return p->put_CompleteFromHistory(0); }, true},
               {"CommandsSame", [](Prop* p) { return p->put_CompleteFromCommands(1); }, false},
               {"FilesOff", [](Prop* p) { return p->put_CompleteFromFiles(0); }, true},
               {"ViewSame", [](Prop* p) { return p->put_ListViewType(2, 0); }, false},
               {"ViewChanged", [](Prop* p) { return p->put_ListViewType(1, 3); }, true},
               {"FavTypeSame", [](Prop* p) { return p->put_LastFavoriteType(1); }, false},
               {"FavTypeChanged", [](Prop* p) { return p->put_LastFavoriteType(2); }, true},
               {"SyncSame", [](Prop* p) { return p->put_SyncWithBrowser(1); }, false},
               {"SyncOff", [](Prop* p) { return p->put_SyncWithBrowser(0); }, true},
               {"StartMsgSame", [](Prop* p) { return p->put_ShowScriptStartMsg(0); }, false},
               {"StartMsgOn", [](Prop* p) { return p->put_ShowScriptStartMsg(1); }, true}};
  auto persist = EngineAs<IPersistStorage>();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Saved(persist.Get());
    EXPECT_EQ(S_OK, c.put(EngineAs<Prop>().Get()));
    EXPECT_EQ(c.dirty ? S_OK : S_FALSE, persist->IsDirty());
  }
}

TEST_F(CmdLineEngineTest, SettingsReachTheirOwnersAndObjectsComeWithAReference) {
  ASSERT_EQ(S_OK, Start(1));
  auto props = EngineAs<Prop>();
  LONG value = 0;
  EXPECT_EQ(S_OK, props->put_LogSize(250));
  EXPECT_EQ(250, log_->maxSize);
  EXPECT_EQ(S_OK, props->put_HistorySize(7));
  engine().PanelData().History()->get_MaxSize(&value);
  EXPECT_EQ(7, value);
  EXPECT_EQ(E_INVALIDARG, props->put_ListViewType(3, 1));
  EXPECT_EQ(E_INVALIDARG, props->get_ListViewType(-1, &value));

  for (auto get : {&Prop::get_FavoriteList, &Prop::get_AliasList, &Prop::get_ScriptList,
                   &Prop::get_CmdBrowserUnk}) {
    IUnknown* object = nullptr;
    ASSERT_EQ(S_OK, (props.Get()->*get)(&object));
    ASSERT_NE(nullptr, object);
    EXPECT_EQ(1u, object->Release());  // ours and the engine's: releasing ours leaves one
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
  EngineAs<Prop>()->put_KeepLog(1);
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
    SCOPED_TRACE(c.progId);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK,
              getClassObject(*c.clsid, IClassFactory::kIID, factory.ReleaseAndGetVoidAddressOf()));
    ComPtr<IUnknown> object;
    EXPECT_EQ(S_OK,
              factory->CreateInstance(nullptr, IID_IUnknown, object.ReleaseAndGetVoidAddressOf()));
    CLSID registered = {};
    EXPECT_EQ(S_OK, CLSIDFromProgID(c.progId, &registered));
    EXPECT_EQ(*c.clsid, registered);
  }
  ComPtr<IClassFactory> factory;
  getClassObject(clsid::kEngineCmdLine, IClassFactory::kIID, factory.ReleaseAndGetVoidAddressOf());
  ComPtr<IvokEngine> engine;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IvokEngine::kIID,
                                          engine.ReleaseAndGetVoidAddressOf()));
  LONG order = 0;
  engine->get_VirtualOrder(&order);
  EXPECT_EQ(5, order);
  ComPtr<IUnknown> aggregated;
  EXPECT_EQ(
      CLASS_E_NOAGGREGATION,
      factory->CreateInstance(engine.Get(), IID_IUnknown, aggregated.ReleaseAndGetVoidAddressOf()));
}

}  // namespace
}  // namespace vok::test
