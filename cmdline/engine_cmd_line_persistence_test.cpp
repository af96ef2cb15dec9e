// The command-line engine's stream "ENG_CMD_LINE": the bytes it writes, the versions it reads,
// and what happens when the stream is cut or cannot be written.
#include <gtest/gtest.h>

#include "cmdline/engine_cmd_line_test_support.h"
#include "common/class_ids.h"

namespace vok::test {
namespace {

using namespace vok::cmdline;

constexpr char kStream[] = "ENG_CMD_LINE";

// A fast-list record holding the given item records, all of class `clsid`.
Bytes List(LONG maxSize, const CLSID& clsid, const std::vector<Bytes>& items) {
  Bytes list;
  list.Long(0).Long(maxSize).Long(static_cast<LONG>(items.size()));
  if (!items.empty()) list.Guid(clsid);
  for (const Bytes& item : items) list.Raw(item.data());
  return list;
}

Bytes StringItem(const std::string& key, LONG data = 0) {
  return Bytes().Long(0).Str(key).Long(data);
}
Bytes AliasItem(const std::string& key, const std::string& definition,
                const std::string& description) {
  return Bytes().Long(0).Str(key).Long(100).Str(definition).Str(description);
}
Bytes FavoriteItem(const std::string& key, LONG type, const std::string& definition,
                   const std::string& description, LONG useTree) {
  return Bytes().Long(1).Str(key).Long(type).Str(definition).Str(description).Long(useTree);
}
// A script item with the defaults of everything but key, language and description.
Bytes ScriptItem(const std::string& key, LONG type, const std::string& description) {
  return Bytes()
      .Long(3)
      .Str(key)
      .Long(type)
      .Str(description)
      .Str("")
      .Long(0)
      .Long(1)
      .Str("")
      .Str("")
      .Long(1);
}

Bytes Navigator(const std::string& current, const std::string& initial,
                const std::vector<std::string>& back = {}, const std::string& excluded = "",
                const std::string& preferred = "") {
  std::vector<Bytes> backItems;
  for (const std::string& dir : back) backItems.push_back(StringItem(dir));
  Bytes nav;
  nav.Long(0)
      .Raw(List(-1, clsid::kFastListItemString, backItems).data())
      .Raw(List(-1, clsid::kFastListItemString, {}).data())
      .Str(current)
      .Str(initial)
      .Str(excluded)
      .Str(preferred);
  return nav;
}

Bytes Panel(const std::array<RECT, 3>& rects, const Bytes& history, const Bytes& navigator) {
  Bytes panel;
  panel.Long(0);
  for (const RECT& r : rects) panel.Long(r.left).Long(r.top).Long(r.right).Long(r.bottom);
  panel.Raw(history.data()).Raw(navigator.data());
  return panel;
}

class CmdLinePersistenceTest : public CmdLineEngineTest {
 protected:
  ComPtr<IPersistStorage> Persist() { return EngineAs<IPersistStorage>(); }
  ComPtr<IvokEngineCmdLineProp> Props() { return EngineAs<IvokEngineCmdLineProp>(); }

  std::vector<uint8_t> Saved() {
    ComPtr<MemoryStorage> storage(new MemoryStorage);
    EXPECT_EQ(S_OK, Persist()->Save(storage.Get(), 1));
    auto it = storage->streams.find(kStream);
    return it == storage->streams.end() ? std::vector<uint8_t>{} : it->second->Bytes();
  }
  HRESULT LoadBytes(const std::vector<uint8_t>& bytes) {
    ComPtr<MemoryStorage> storage(new MemoryStorage);
    storage->streams[kStream] = MemoryStream::Create(bytes);
    return Persist()->Load(storage.Get());
  }
  LONG Get(HRESULT (STDMETHODCALLTYPE IvokEngineCmdLineProp::*get)(LONG*)) {
    LONG value = -99;
    EXPECT_EQ(S_OK, (Props().Get()->*get)(&value));
    return value;
  }
  LONG ViewType(int n) {
    LONG value = -99;
    Props()->get_ListViewType(n, &value);
    return value;
  }
  LONG Count(const ComPtr<IvokFastList>& list) {
    LONG count = -1;
    list->get_ItemCount(&count);
    return count;
  }
};

using P = IvokEngineCmdLineProp;

TEST_F(CmdLinePersistenceTest, EveryFieldIsWrittenInItsPlace) {
  ASSERT_EQ(S_OK, Start(1));
  std::filesystem::path sub = MakeDir("sub");
  auto props = Props();
  props->put_UseQuickHelp(0);
  props->put_KeepLog(1);
  props->put_ExplorerTree(1);
  props->put_DeleteToRecycleBin(0);
  props->put_ListViewType(0, 3);
  props->put_ListViewType(1, 2);
  props->put_ListViewType(2, 1);
  props->put_LastFavoriteType(4);
  props->put_CompleteFromHistory(0);
  props->put_CompleteFromCommands(2);
  props->put_CompleteFromFiles(0);
  props->put_SyncWithBrowser(0);
  props->put_HotKeyVK(0x41);
  props->put_HotKeyMods(0x06);
  props->put_ShowScriptStartMsg(1);
  props->SetExclExt("o;a");
  props->SetPrefExt("sh");
  AddFavorite("home", kFavoriteFolder, "/home", "h", 1);
  AddAlias("ll", "ls -l", "long");
  AddScript("js", kScriptJavaScript, "s");
  log_->lines = {{"one", kLogInfo}, {"two", kLogError}};
  engine().PanelData().SetRectangles({RECT{1, 2, 3, 4}, RECT{5, 6, 7, 8}, RECT{9, 10, 11, 12}});
  ASSERT_EQ(S_OK, engine().PanelData().AddHistoryLine("ls"));
  ASSERT_EQ(S_OK, Run("cd sub"));

  Bytes expected;
  expected.Long(5)
      .Long(0)
      .Long(1)
      .Long(1)
      .Long(0)
      .Long(3)
      .Long(2)
      .Long(4)
      .Raw(List(1500, clsid::kFastListItemFavorite,
                {FavoriteItem("home", kFavoriteFolder, "/home", "h", 1)})
               .data())
      .Raw(List(1500, clsid::kFastListItemAlias, {AliasItem("ll", "ls -l", "long")}).data())
      .Long(0)
      .EmptyList(30)
      .Long(0)
      .Long(2)
      .Long(0)
      // The log, kept because keep log is set.
      .Long(RecordingLog::kRecordMark)
      .Long(2)
      .Str("one")
      .Str("two")
      .Long(0)
      .Byte(0x41)
      .Byte(0x06)
      .Raw(
          List(1500, clsid::kFastListItemScript, {ScriptItem("js", kScriptJavaScript, "s")}).data())
      .Long(1)
      .Long(1)
      .Raw(Panel({RECT{1, 2, 3, 4}, RECT{5, 6, 7, 8}, RECT{9, 10, 11, 12}},
                 List(50, clsid::kFastListItemString, {StringItem("ls")}),
                 Navigator(sub.string(), temp_.string(), {temp_.string()}, "o;a", "sh"))
               .data());
  EXPECT_EQ(expected.data(), Saved());
}

// A stream of `version` with a value in every field that differs from its default; the
// fields the version does not have are left out.
Bytes VersionedStream(LONG version, const std::filesystem::path& dir) {
  Bytes b;
  b.Long(version);
  if (version >= 0) {
    b.Long(0)
        .Long(0)
        .Long(1)
        .Long(0)
        .Long(3)
        .Long(4)
        .Long(2)
        .Raw(List(1500, clsid::kFastListItemFavorite,
                  {FavoriteItem("fav", kFavoriteProgram, "/bin/true", "", 0)})
                 .data())
        .Raw(List(1500, clsid::kFastListItemAlias, {AliasItem("al", "x", "")}).data())
        .Long(0)
        .EmptyList(30)
        .Long(0)
        .Long(0)
        .Long(0);
  }
  if (version > 0) b.Long(0);
  if (version > 1) b.Byte(7).Byte(9);
  if (version > 2)
    b.Raw(List(1500, clsid::kFastListItemScript, {ScriptItem("sc", kScriptVBScript, "")}).data());
  if (version > 3) b.Long(5);
  if (version > 4) b.Long(1);
  b.Raw(Panel({}, Bytes().EmptyList(20), Navigator(dir.string(), dir.string())).data());
  return b;
}

class VersionLoadTest : public CmdLinePersistenceTest, public testing::WithParamInterface<LONG> {};

TEST_P(VersionLoadTest, ReadsTheFieldsOfItsVersionAndKeepsLaterDefaults) {
  ASSERT_EQ(S_OK, Start(1));
  const LONG v = GetParam();
  std::filesystem::path dir = MakeDir("loaded");
  ASSERT_EQ(S_OK, LoadBytes(VersionedStream(v, dir).data()));

  EXPECT_EQ(v >= 0 ? 0 : 1, Get(&P::get_UseQuickHelp));
  EXPECT_EQ(v >= 0 ? 1 : 0, Get(&P::get_ExplorerTree));
  EXPECT_EQ(v >= 0 ? 0 : 1, Get(&P::get_DeleteToRecycleBin));
  EXPECT_EQ(v >= 0 ? 3 : 0, ViewType(0));
  EXPECT_EQ(v >= 0 ? 4 : 0, ViewType(1));
  EXPECT_EQ(v >= 0 ? 2 : 1, Get(&P::get_LastFavoriteType));
  EXPECT_EQ(v >= 0 ? 0 : 1, Get(&P::get_CompleteFromFiles));
  EXPECT_EQ(v >= 0 ? 1 : 0, Count(Favorites()));
  EXPECT_EQ(v >= 0 ? 1 : 0, Count(Aliases()));
  EXPECT_EQ(v > 0 ? 0 : 1, Get(&P::get_SyncWithBrowser));
  BYTE vk = 0, mods = 0;
  Props()->get_HotKeyVK(&vk);
  Props()->get_HotKeyMods(&mods);
  EXPECT_EQ(v > 1 ? 7 : 0, vk);
  EXPECT_EQ(v > 1 ? 9 : 0, mods);
  EXPECT_EQ(v > 2 ? 1 : 0, Count(Scripts()));
  EXPECT_EQ(v > 3 ? 5 : 0, ViewType(2));
  EXPECT_EQ(v > 4 ? 1 : 0, Get(&P::get_ShowScriptStartMsg));
  // The panel data follows every version; the process follows the loaded directory.
  EXPECT_EQ(20, Get(&P::get_HistorySize));
  EXPECT_EQ(dir.string(), CurrentDir());
  EXPECT_EQ(dir, std::filesystem::current_path());
  EXPECT_EQ(S_FALSE, Persist()->IsDirty());
  auto table = EngineAs<IvokEngineCmdTable>();
  EXPECT_EQ(v >= 0 ? S_OK : S_FALSE, table->IsCommandRegistered("fav"));
  EXPECT_EQ(v > 2 ? S_OK : S_FALSE, table->IsCommandRegistered("sc"));
}

INSTANTIATE_TEST_SUITE_P(Versions, VersionLoadTest, testing::Values(-1, 0, 1, 2, 3, 4, 5),
                         [](const testing::TestParamInfo<LONG>& info) {
                           return info.param < 0 ? std::string("Negative")
                                                 : "V" + std::to_string(info.param);
                         });

TEST_F(CmdLinePersistenceTest, KeptLogIsReadOnlyWhenKeepLogIsSet) {
  ASSERT_EQ(S_OK, Start(1));
  Bytes b;
  b.Long(0)
      .Long(1)
      .Long(1)
      .Long(0)
      .Long(1)
      .Long(0)
      .Long(0)
      .Long(1)  // keep log = 1
      .EmptyList(1500)
      .EmptyList(1500)
      .Long(0)
      .EmptyList(30)
      .Long(1)
      .Long(1)
      .Long(1)
      .Long(RecordingLog::kRecordMark)
      .Long(1)
      .Str("from the file")
      .Raw(Panel({}, Bytes().EmptyList(50), Navigator(temp_.string(), temp_.string())).data());
  log_->lines = {{"current", kLogInfo}};
  ASSERT_EQ(S_OK, LoadBytes(b.data()));
  ASSERT_EQ(1u, log_->lines.size());
  EXPECT_EQ("from the file", log_->lines[0].text);
}

TEST_F(CmdLinePersistenceTest, MissingStreamKeepsTheDefaults) {
  ASSERT_EQ(S_OK, Start(1));
  ComPtr<MemoryStorage> empty(new MemoryStorage);
  EXPECT_EQ(STG_E_FILENOTFOUND, Persist()->Load(empty.Get()));
  EXPECT_EQ(1, Get(&P::get_UseQuickHelp));
  EXPECT_EQ(62u, engine().commands().size());
}

class CutStreamTest : public CmdLinePersistenceTest, public testing::WithParamInterface<size_t> {};

// Cut anywhere, from the version to the navigator's last byte, the stream fails to load with
// the read fault; the fields read before the cut keep their new values.
TEST_P(CutStreamTest, FailsWithTheReadFault) {
  ASSERT_EQ(S_OK, Start(1));
  Props()->put_UseQuickHelp(0);
  AddAlias("ll", "ls -l");
  std::vector<uint8_t> bytes = Saved();
  ASSERT_GT(bytes.size(), 120u);
  size_t keep = GetParam() == 0 ? 0 : GetParam() < 1000 ? GetParam() : bytes.size() - 1;
  Props()->put_UseQuickHelp(1);
  bytes.resize(keep);
  EXPECT_EQ(STG_E_READFAULT, LoadBytes(bytes));
  if (keep >= 8) {
    EXPECT_EQ(0, Get(&P::get_UseQuickHelp));
  }
}

// 1000 stands for "all but the last byte".
INSTANTIATE_TEST_SUITE_P(Cuts, CutStreamTest,
                         testing::Values(0, 3, 4, 8, 30, 45, 60, 90, 120, 1000));

class WriteFailureTest : public CmdLinePersistenceTest,
                         public testing::WithParamInterface<size_t> {};

TEST_P(WriteFailureTest, SaveReturnsTheStreamsFailureAndStaysChanged) {
  ASSERT_EQ(S_OK, Start(1));
  Props()->put_UseQuickHelp(0);
  ComPtr<MemoryStorage> storage(new MemoryStorage);
  storage->failAfter = GetParam();
  EXPECT_EQ(STG_E_MEDIUMFULL, Persist()->Save(storage.Get(), 1));
  EXPECT_EQ(S_OK, Persist()->IsDirty());
}

INSTANTIATE_TEST_SUITE_P(Points, WriteFailureTest, testing::Values(0, 4, 33, 70, 130));

}  // namespace
}  // namespace vok::test
