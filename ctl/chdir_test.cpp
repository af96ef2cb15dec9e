#include "ctl/chdir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QWidget>
#include <filesystem>
#include <functional>

#include "common/class_ids.h"
#include "common/memory_stream.h"
#include "common/test_libraries.h"
#include "ctl/ctl_test_support.h"
#include "platform/ui/scripted_prompter.h"

namespace vok::test {
namespace {

namespace fs = std::filesystem;
constexpr char kDrives[] = "...Drives...";
using Keys = std::vector<std::string>;

// Picks the action at `index` of a tracked menu.
std::function<QAction*(QMenu&)> Pick(int index) {
  return [index](QMenu& menu) { return menu.actions().value(index); };
}

// Folders above `dir` nearest first, then "Drives": what the up menu must list, one entry per
// level the navigator can climb.
Keys UpMenuOf(const std::string& dir) {
  Keys entries;
  for (fs::path p = dir; p != p.root_path(); p = p.parent_path())
    entries.push_back(p.parent_path().string());
  entries.push_back("Drives");
  return entries;
}

class ChDirTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    EnsureApplication();
    ASSERT_TRUE(RegisterBuiltLibrary("vokTools"));
  }
  void SetUp() override {
    ASSERT_EQ(S_OK,
              CreateObject<vokChDir>(nullptr, IvokChDir::kIID, nav_.ReleaseAndGetVoidAddressOf()));
    ASSERT_EQ(S_OK, nav_->Init(root_.path().c_str()));
  }
  void TearDown() override {
    nav_ = nullptr;
    EXPECT_EQ(0, ModuleCount().load()) << "objects of the library still alive";
  }

  std::string Dir(const std::string& name) { return root_.MakeDir(name); }
  std::string Current() {
    char buffer[kPathBufferSize];
    EXPECT_EQ(S_OK, nav_->GetCurrentDir(buffer));
    return buffer;
  }
  void Visit(const Keys& dirs) {
    for (const std::string& dir : dirs) ASSERT_EQ(S_OK, nav_->ChangeDir(dir.c_str(), 1)) << dir;
  }
  ComPtr<IPersistStream> Persist() { return QueryAs<IPersistStream>(nav_.Get()); }
  std::vector<uint8_t> Saved(bool clearDirty = false) {
    ComPtr<MemoryStream> stream = MemoryStream::Create();
    EXPECT_EQ(S_OK, Persist()->Save(stream.Get(), clearDirty));
    return stream->Bytes();
  }
  static Keys KeysOf(const StoredList& list) {
    Keys keys;
    for (const StoredEntry& entry : list.entries) keys.push_back(entry.key);
    return keys;
  }
  Keys Back() { return KeysOf(ParseNavigator(Saved()).back); }
  Keys Forward() { return KeysOf(ParseNavigator(Saved()).forward); }
  HRESULT Load(const std::vector<uint8_t>& bytes, size_t failAfter = SIZE_MAX) {
    ComPtr<MemoryStream> stream = MemoryStream::Create(bytes);
    if (failAfter != SIZE_MAX) stream->FailAfter(failAfter, STG_E_ACCESSDENIED);
    return Persist()->Load(stream.Get());
  }
  HRESULT Dirty() { return Persist()->IsDirty(); }
  LONG UpLevels() {
    LONG up = -1;
    EXPECT_EQ(S_OK, nav_->GetHistSizes(nullptr, nullptr, &up));
    return up;
  }

  CurrentDirGuard cwd_;
  TempFolder root_;
  ui::ScriptedPrompter prompter_;
  ui::ScopedPrompter scoped_{&prompter_};
  ComPtr<IvokChDir> nav_;
};

// ---- History rules ----

TEST_F(ChDirTest, RecordedChangeKeepsTheFolderLeftAndClearsForward) {
  const std::string a = Dir("a"), b = Dir("b"), c = Dir("c");
  Visit({a, b});
  EXPECT_EQ(Keys({root_.path(), a}), Back());
  ASSERT_EQ(S_OK, nav_->GoBack(1));
  EXPECT_EQ(Keys({b}), Forward());
  Visit({c});
  EXPECT_EQ(Keys({root_.path(), a}), Back());
  EXPECT_EQ(Keys(), Forward());
  ASSERT_EQ(S_OK, nav_->ChangeDir(b.c_str(), 0));  // not recorded
  EXPECT_EQ(Keys({root_.path(), a}), Back());
  EXPECT_EQ(b, Current());
  EXPECT_EQ(b, ProcessDir());
}

TEST_F(ChDirTest, MostRecentBackEntryIsNotRepeated) {
  const struct {
    std::string first, returnTo;
    std::vector<StoredEntry> back;
  } cases[] = {
      {"x", "x", {{root_.path(), 0}, {Dir("x"), 0}}},
      // Linux names are case-sensitive: another folder, so it is kept.
      {"x", "X", {{root_.path(), 0}, {Dir("x"), 0}, {Dir("X"), 0}}},
      {kDrives, kDrives, {{root_.path(), 0}, {"Drives", 1}}},
  };
  const std::string y = Dir("y"), z = Dir("z");
  auto path = [&](const std::string& name) { return name == kDrives ? name : Dir(name); };
  for (const auto& c : cases) {
    ASSERT_EQ(S_OK, nav_->Init(root_.path().c_str()));
    Visit({path(c.first), y});
    ASSERT_EQ(S_OK, nav_->ChangeDir(path(c.returnTo).c_str(), 0));
    Visit({z});
    EXPECT_EQ(c.back, ParseNavigator(Saved()).back.entries) << c.first << " / " << c.returnTo;
  }
}

TEST_F(ChDirTest, GoBackThreeOfFiveAndForwardAgain) {
  const Keys d = {Dir("d1"), Dir("d2"), Dir("d3"), Dir("d4"), Dir("d5")};
  Visit(d);
  const Keys allBack = {root_.path(), d[0], d[1], d[2], d[3]};
  ASSERT_EQ(allBack, Back());
  ASSERT_EQ(S_OK, nav_->GoBack(3));
  EXPECT_EQ(d[1], Current());
  EXPECT_EQ(d[1], ProcessDir());
  EXPECT_EQ(Keys({root_.path(), d[0]}), Back());
  EXPECT_EQ(Keys({d[4], d[3], d[2]}), Forward());
  LONG back = -1, forward = -1;
  ASSERT_EQ(S_OK, nav_->GetHistSizes(&back, &forward, nullptr));
  EXPECT_EQ(std::make_pair(2, 3), std::make_pair(back, forward));

  ASSERT_EQ(S_OK, nav_->GoForward(3));
  EXPECT_EQ(d[4], Current());
  EXPECT_EQ(allBack, Back());
  EXPECT_EQ(Keys(), Forward());
}

TEST_F(ChDirTest, RefusedStepsChangeNothing) {
  const std::string a = Dir("a"), b = Dir("b"), gone = Dir("gone");
  Visit({gone, a, b});
  ASSERT_EQ(S_OK, nav_->GoBack(1));  // at a; back [root, gone], forward [b]
  ASSERT_EQ(0, rmdir(gone.c_str()));
  const LONG levels = static_cast<LONG>(UpMenuOf(a).size());
  const struct {
    const char* name;
    std::function<HRESULT()> step;
    HRESULT expected;
  } cases[] = {
      {"back beyond", [&] { return nav_->GoBack(3); }, VOK_E_NOT_ENOUGH_ENTRIES},
      {"forward beyond", [&] { return nav_->GoForward(2); }, VOK_E_NOT_ENOUGH_ENTRIES},
      {"up beyond", [&] { return nav_->GoUp(levels + 1); }, VOK_E_NOT_ENOUGH_ENTRIES},
      {"back negative", [&] { return nav_->GoBack(-1); }, E_INVALIDARG},
      {"up negative", [&] { return nav_->GoUp(-2); }, E_INVALIDARG},
      {"back to a removed folder", [&] { return nav_->GoBack(1); }, E_FAIL},
      {"missing folder", [&] { return nav_->ChangeDir((root_.path() + "/no").c_str(), 1); },
       E_FAIL},
      {"file", [&] { return nav_->ChangeDir(root_.Touch("f").c_str(), 1); }, E_FAIL},
  };
  const std::vector<uint8_t> before = Saved(true);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, c.step());
    EXPECT_EQ(before, Saved());
    EXPECT_EQ(a, ProcessDir());
    EXPECT_EQ(S_FALSE, Dirty());
  }
}

TEST_F(ChDirTest, FolderTooLongForAKeyIsLeftOutOfTheHistory) {
  std::string deep = root_.path();
  while (deep.size() < 600)
    deep = root_.MakeDir(deep.substr(root_.path().size()) + "/" + std::string(100, 'n'));
  Visit({deep});
  EXPECT_EQ(deep, Current());  // whole, never cut
  ASSERT_EQ(S_OK, nav_->GoBack(1));
  EXPECT_EQ(Keys(), Forward()) << "the folder left cannot be kept";
  Visit({deep, Dir("a")});
  EXPECT_EQ(Keys({root_.path()}), Back());
}

// ---- Menus ----

TEST_F(ChDirTest, HistoryMenuListsNewestFirstAndPicksTheStepCount) {
  const std::string a = Dir("a"), b = Dir("b"), c = Dir("c");
  prompter_.menus.push_back([](QMenu& menu) {  // empty forward list: one greyed item
    EXPECT_FALSE(menu.actions().value(0)->isEnabled());
    EXPECT_EQ(0xFFFF, menu.actions().value(0)->data().toInt());
    return menu.actions().value(0);
  });
  EXPECT_EQ(S_FALSE, nav_->GoForward(0));
  Visit({a, b, c});
  prompter_.menus.push_back(Pick(1));
  ASSERT_EQ(S_OK, nav_->GoBack(0));
  EXPECT_EQ(std::vector<Keys>({{"(Empty)"}, {b, a, root_.path()}}), prompter_.trackedMenus);
  EXPECT_EQ(a, Current());
  EXPECT_EQ(Keys({c, b}), Forward());
  EXPECT_EQ(S_FALSE, nav_->GoForward(0)) << "dismissed";
  EXPECT_EQ(a, Current());
}

// Records where and under which owner menus are tracked; dismisses them.
class MenuWatcher final : public ui::Prompter {
 public:
  ui::Answer Ask(const ui::Message&) override { return ui::Answer::kCancel; }
  std::optional<std::string> OpenFile(const ui::OpenFileRequest&) override { return {}; }
  std::optional<std::string> SaveFile(const ui::SaveFileRequest&) override { return {}; }
  std::optional<std::string> ChooseFolder(const ui::FolderRequest&) override { return {}; }
  int Exec(QDialog&) override { return 0; }
  QAction* TrackMenu(QMenu& menu, const QPoint& at) override {
    owner = menu.parentWidget();
    pos = at;
    return nullptr;
  }
  QWidget* owner = nullptr;
  QPoint pos;
};

TEST_F(ChDirTest, MenusOpenWhereSetMenuParamsSaysElseAtTheCursor) {
  MenuWatcher watcher;
  ui::ScopedPrompter scoped(&watcher);
  EXPECT_EQ(S_FALSE, nav_->GoUp(0));
  EXPECT_EQ(QCursor::pos(), watcher.pos);
  QWidget owner;
  ASSERT_EQ(S_OK, nav_->SetMenuParams(&owner, 120, 340));
  EXPECT_EQ(S_FALSE, nav_->GoBack(0));
  EXPECT_EQ(QPoint(120, 340), watcher.pos);
  EXPECT_EQ(&owner, watcher.owner);
}

// ---- Up levels and the drives ----

TEST_F(ChDirTest, UpMenuListsParentsThenDrives) {
  const std::string deep = Dir("a&b/c");
  Visit({deep});
  prompter_.menus.push_back(Pick(0));
  ASSERT_EQ(S_OK, nav_->GoUp(0));
  Keys expected = UpMenuOf(deep);
  expected[0] = root_.path() + "/a&&b";  // '&' is no mnemonic
  EXPECT_EQ(expected, prompter_.trackedMenus.at(0));
  EXPECT_EQ(root_.path() + "/a&b", Current());
  EXPECT_EQ(deep, Back().back());
}

TEST_F(ChDirTest, GoUpReachesTheRootAndThenTheDrives) {
  const std::string ab = Dir("a/b");
  Visit({ab});
  const LONG up = UpLevels();
  EXPECT_EQ(static_cast<LONG>(UpMenuOf(ab).size()), up);
  ASSERT_EQ(S_OK, nav_->GoUp(1));
  EXPECT_EQ(root_.path() + "/a", Current());
  ASSERT_EQ(S_OK, nav_->GoUp(up - 2));  // from <root>/a to "/"
  EXPECT_EQ("/", Current());
  EXPECT_EQ("/", ProcessDir());
  EXPECT_EQ(1, UpLevels());

  prompter_.menus.push_back(Pick(0));
  ASSERT_EQ(S_OK, nav_->GoUp(0));
  EXPECT_EQ(S_OK, nav_->IsDrivesSet());
  EXPECT_EQ("Drives", Current());
  EXPECT_EQ(0, UpLevels());
  EXPECT_EQ(VOK_E_NOT_ENOUGH_ENTRIES, nav_->GoUp(1));
  EXPECT_EQ(S_FALSE, nav_->GoUp(0));
  EXPECT_EQ(std::vector<Keys>({{"Drives"}, {"(Empty)"}}), prompter_.trackedMenus);

  ASSERT_EQ(S_OK, nav_->GoBack(1));
  EXPECT_EQ("/", Current());
  EXPECT_EQ(std::vector<StoredEntry>({{"Drives", 1}}), ParseNavigator(Saved()).forward.entries);
  ASSERT_EQ(S_OK, nav_->GoForward(1));
  EXPECT_EQ(S_OK, nav_->IsDrivesSet());
}

// ---- Completion, full paths, safe current directory, folder browser ----

TEST_F(ChDirTest, CompletesFromTheCurrentFolder) {
  for (const char* name : {"setup.bat", "setup.exe", "setup.txt", "my notes.txt"})
    root_.Touch(name);
  const struct {
    const char *pref, *excl, *pattern;
    HRESULT hr;
    std::string result;
  } cases[] = {
      {"exe;bat", "", "SETUP*", S_OK, "setup.exe"},
      {"exe;bat", "exe", "SETUP*", S_OK, "setup.bat"},
      {"", "", "MY*", S_OK, "\"my notes.txt\""},
      {"", "", "NONE*", S_FALSE, ""},
  };
  char out[kPathBufferSize];
  for (const auto& c : cases) {
    ASSERT_EQ(S_OK, nav_->SetPrefExt(c.pref));
    ASSERT_EQ(S_OK, nav_->SetExclExt(c.excl));
    std::strcpy(out, "junk");
    EXPECT_EQ(c.hr, nav_->GetCompleteCommand(c.pattern, out)) << c.pattern;
    EXPECT_EQ(c.result, out) << c.pattern;
  }
  ASSERT_EQ(S_OK, nav_->ChangeDir(kDrives, 0));
  EXPECT_EQ(S_FALSE, nav_->GetCompleteCommand("SETUP*", out));
}

TEST_F(ChDirTest, GetFullPathCompletesAgainstTheCurrentFolder) {
  const std::string sub = Dir("sub");
  const std::string home = fs::canonical(getenv("HOME")).string();
  const struct {
    std::string typed, expected;
  } cases[] = {{"", root_.path()}, {"sub/x.txt", sub + "/x.txt"}, {"~/x", home + "/x"}};
  char buffer[kPathBufferSize];
  for (const auto& c : cases) {
    ASSERT_EQ(0, chdir(sub.c_str()));  // the process strays; the navigator brings it back
    std::strcpy(buffer, c.typed.c_str());
    EXPECT_EQ(S_OK, nav_->GetFullPath(buffer)) << c.typed;
    EXPECT_EQ(c.expected, buffer) << c.typed;
    EXPECT_EQ(root_.path(), ProcessDir()) << c.typed;
  }

  const std::string typed(kPathBufferSize - 10, 'x');
  std::strcpy(buffer, typed.c_str());
  EXPECT_EQ(vokChDir::kPathTooLong, nav_->GetFullPath(buffer));
  EXPECT_EQ(typed, buffer) << "a path that does not fit is never cut";
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(E_INVALIDARG, nav_->GetFullPath(buffer)) << "unterminated";
}

TEST_F(ChDirTest, SetSafeCurrentDirLeavesTheHistoryAlone) {
  const std::string b = Dir("b"), elsewhere = Dir("elsewhere");
  Visit({Dir("a")});
  const struct {
    const char* name;
    std::optional<std::string> given;
    std::string expected;
  } cases[] = {
      {"existing folder", b, b},
      {"no folder brings the process back", std::nullopt, b},
      {"missing folder follows the process", root_.path() + "/missing", elsewhere},
      {"drives", std::string(kDrives), "Drives"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(0, chdir(elsewhere.c_str()));
    EXPECT_EQ(S_OK, nav_->SetSafeCurrentDir(c.given ? c.given->c_str() : nullptr));
    EXPECT_EQ(c.expected, Current());
    if (c.expected != "Drives") EXPECT_EQ(c.expected, ProcessDir());
    EXPECT_EQ(Keys({root_.path()}), Back());
  }
}

TEST_F(ChDirTest, BrowseForFolderRecordsTheChoice) {
  const std::string a = Dir("a");
  QWidget owner;
  prompter_.folders = {a, std::nullopt};
  ASSERT_EQ(S_OK, nav_->BrowseForFolder(&owner));
  EXPECT_EQ(a, Current());
  EXPECT_EQ(Keys({root_.path()}), Back());
  EXPECT_EQ(S_FALSE, nav_->BrowseForFolder(&owner));
  ASSERT_EQ(2u, prompter_.folderRequests.size());
  EXPECT_EQ("Select new folder:", prompter_.folderRequests[0].title);
  EXPECT_EQ(root_.path(), prompter_.folderRequests[0].startDir);
  EXPECT_EQ(&owner, prompter_.folderRequests[0].owner);
  ASSERT_EQ(S_OK, nav_->SetInitialDir());
  EXPECT_EQ(root_.path(), Current());
}

// ---- Settings and persistence ----

TEST_F(ChDirTest, ChangesAndNewExtensionsMakeItDirty) {
  EXPECT_EQ(S_FALSE, Dirty());
  ASSERT_EQ(S_OK, nav_->ChangeDir(Dir("a").c_str(), 1));
  EXPECT_EQ(S_OK, Dirty());
  Saved(true);
  EXPECT_EQ(S_FALSE, Dirty());
  ASSERT_EQ(S_OK, nav_->SetPrefExt(""));
  EXPECT_EQ(S_FALSE, Dirty()) << "same value";
  ASSERT_EQ(S_OK, nav_->SetPrefExt(std::string(300, 'e').c_str()));
  EXPECT_EQ(S_OK, Dirty());
  char buffer[400];
  ULONG size = sizeof buffer;
  ASSERT_EQ(S_OK, nav_->GetPrefExt(buffer, &size));
  EXPECT_EQ(256u, size);

  ComPtr<MemoryStream> failing = MemoryStream::Create();
  failing->FailAfter(10, STG_E_MEDIUMFULL);
  EXPECT_EQ(STG_E_MEDIUMFULL, Persist()->Save(failing.Get(), 1));
  EXPECT_EQ(S_OK, Dirty()) << "a failed save keeps the changes marked";
}

TEST_F(ChDirTest, SavesTheExactRecord) {
  const std::string a = Dir("a");
  Visit({a});
  ASSERT_EQ(S_OK, nav_->SetExclExt("obj"));
  ASSERT_EQ(S_OK, nav_->SetPrefExt("exe"));
  // Written from the record layout, not with the stream helpers the navigator uses.
  std::vector<uint8_t> expected;
  auto putLong = [&](int32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
      expected.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> shift));
  };
  auto putStr = [&](const std::string& text) {
    putLong(static_cast<int32_t>(text.size()));
    expected.insert(expected.end(), text.begin(), text.end());
  };
  for (int32_t v : {0, 0, -1, 1}) putLong(v);  // version; back list: format, no maximum, 1 item
  expected.insert(expected.end(), {0xB0, 0xB2, 0x6E, 0xDA, 0xE9, 0x74, 0xD2, 0x11, 0xA3, 0xED, 0x96,
                                   0xD5, 0x32, 0x0C, 0xFE, 0x83});  // string item class
  putLong(0);
  putStr(root_.path());
  for (int32_t v : {0, 0, -1, 0}) putLong(v);  // item data; empty forward list
  for (const std::string& s : {a, root_.path(), std::string("obj"), std::string("exe")}) putStr(s);
  EXPECT_EQ(expected, Saved());
  ULARGE_INTEGER size = {};
  ASSERT_EQ(S_OK, Persist()->GetSizeMax(&size));
  EXPECT_EQ(expected.size(), size.QuadPart);
}

TEST_F(ChDirTest, LoadRestoresEverythingAndLimitsTheBackList) {
  const std::string a = Dir("a"), b = Dir("b");
  for (int i = 0; i < 22; ++i) Visit({a, b});  // 44 back entries
  Visit({kDrives});
  ASSERT_EQ(S_OK, nav_->GoBack(1));
  ASSERT_EQ(S_OK, nav_->SetPrefExt("exe;bat"));
  const std::vector<uint8_t> bytes = Saved();
  const StoredNavigator saved = ParseNavigator(bytes);
  ASSERT_EQ(44u, saved.back.entries.size());

  ASSERT_EQ(S_OK,
            CreateObject<vokChDir>(nullptr, IvokChDir::kIID, nav_.ReleaseAndGetVoidAddressOf()));
  ASSERT_EQ(S_OK, Load(bytes));
  const StoredNavigator restored = ParseNavigator(Saved());
  EXPECT_EQ(40, restored.back.maxSize);
  EXPECT_EQ(std::vector<StoredEntry>(saved.back.entries.end() - 40, saved.back.entries.end()),
            restored.back.entries);
  EXPECT_EQ(saved.forward.entries, restored.forward.entries);
  EXPECT_EQ(-1, restored.forward.maxSize);
  EXPECT_EQ(std::tie(saved.current, saved.initial, saved.excluded, saved.preferred),
            std::tie(restored.current, restored.initial, restored.excluded, restored.preferred));
  EXPECT_EQ(S_FALSE, Dirty());

  ASSERT_EQ(S_OK, nav_->GoForward(1));  // the forward entry is the drives
  EXPECT_EQ(S_OK, nav_->IsDrivesSet());
  Visit({a});
  EXPECT_EQ(40u, Back().size()) << "the oldest entry makes room";
}

TEST_F(ChDirTest, BrokenRecordsFailWithTheirStatusAndChangeNothing) {
  Visit({Dir("a")});
  ASSERT_EQ(S_OK, nav_->SetExclExt("obj"));
  const std::vector<uint8_t> good = Saved();
  std::vector<uint8_t> oversized = good;
  const size_t currentAt =
      good.size() - 4 - (4 + 3) - (4 + root_.path().size()) - (4 + root_.path().size() + 2);
  oversized[currentAt + 2] = 0x01;  // current directory length 0x1xxxx: beyond a path
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    size_t failAfter;
    HRESULT expected;
  } cases[] = {
      {"cut in the version", {good.begin(), good.begin() + 2}, SIZE_MAX, STG_E_READFAULT},
      {"cut in the back list", {good.begin(), good.begin() + 20}, SIZE_MAX, STG_E_READFAULT},
      {"cut in an item key", {good.begin(), good.begin() + 40}, SIZE_MAX, STG_E_READFAULT},
      {"cut in the last text", {good.begin(), good.end() - 1}, SIZE_MAX, STG_E_READFAULT},
      {"failing stream", good, 30, STG_E_ACCESSDENIED},
      {"length beyond a path", oversized, SIZE_MAX, STG_E_DOCFILECORRUPT},
  };
  ASSERT_EQ(S_OK, nav_->ChangeDir(Dir("b").c_str(), 1));
  const std::vector<uint8_t> before = Saved();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, Load(c.bytes, c.failAfter));
    EXPECT_EQ(before, Saved());
    EXPECT_EQ(S_OK, Dirty());
  }

  EXPECT_EQ(S_OK, Load({0xFF, 0xFF, 0xFF, 0xFF}));
  const StoredNavigator kept = ParseNavigator(Saved());
  EXPECT_EQ(Dir("b"), kept.current) << "nothing follows a negative version";
  EXPECT_EQ(2u, kept.back.entries.size());
  EXPECT_EQ(40, kept.back.maxSize);
  EXPECT_EQ(S_FALSE, Dirty());
}

TEST_F(ChDirTest, InitNeedsAnExistingFolder) {
  Visit({Dir("a")});
  EXPECT_EQ(E_INVALIDARG, nav_->Init(nullptr));
  EXPECT_EQ(E_INVALIDARG, nav_->Init((root_.path() + "/missing").c_str()));
  EXPECT_EQ(Keys({root_.path()}), Back()) << "a refused Init keeps the navigator";
  ASSERT_EQ(S_OK, nav_->Init("~"));
  EXPECT_EQ(fs::canonical(getenv("HOME")).string(), Current());
  EXPECT_EQ(Keys(), Back());
}

}  // namespace
}  // namespace vok::test
