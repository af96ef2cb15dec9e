#include "common/engine_base.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <string>
#include <vector>

#include "common/fast_list_ifaces.h"
#include "common/text_util.h"

namespace vok {
namespace {

enum : UINT {
  kCd = 1,
  kCdSyntax,
  kCdDesc,
  kDir,
  kDirSyntax,
  kDirDesc,
  kDirUpper,
  kFavorites,
  kDos,
  kStar,
  kQuestion,
  kCafe,
  kFail,
  kLongName,
  kLongDesc,
  kTitle,
};

const std::string kLongNameText(70, 'n');
const std::string kLongDescText = std::string(125, 'a') + "\xC3\xA9" + "tail";

const StringResource kStrings[] = {
    {kCd, "cd"},
    {kCdSyntax, "cd [directory]"},
    {kCdDesc, "Changes the current directory."},
    {kDir, "dir"},
    {kDirSyntax, "dir [pattern]"},
    {kDirDesc, "Lists files."},
    {kDirUpper, "DIR"},
    {kFavorites, "favorites"},
    {kDos, "dos"},
    {kStar, "*star"},
    {kQuestion, "?q"},
    {kCafe, "caf\xC3\xA9"},
    {kFail, "fail"},
    {kLongName, kLongNameText.c_str()},
    {kLongDesc, kLongDescText.c_str()},
    {kTitle, "Test Commands"},
};
const ModuleResources kResources = {"vokTestEngine", kStrings, std::size(kStrings)};

// A list item with a key, standing for an alias or favorite.
class TestItem final : public ObjectRoot<IvokFastListItem> {
 public:
  explicit TestItem(std::string key) : key_(std::move(key)) {}
  HRESULT STDMETHODCALLTYPE GetStrKey(LPSTR lpszKey, ULONG* pSize) override {
    return CopyToBuffer(key_, lpszKey, pSize);
  }
  HRESULT STDMETHODCALLTYPE SetStrKey(LPCSTR lpszKey) override {
    key_ = lpszKey;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IUnknown**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_ItemData(ULONG* pVal) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_ItemData(ULONG) override { return E_NOTIMPL; }

 private:
  std::string key_;
};

// A parsed line given as its tokens; the engine only reads it.
class FakeParser final : public ObjectRoot<IvokCommandParser, IvokEnumArgs> {
 public:
  explicit FakeParser(std::vector<std::string> tokens) : tokens_(std::move(tokens)) {}
  HRESULT STDMETHODCALLTYPE Parse(LPCSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clear() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCommandLine(LPSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetAllArguments(LPSTR lpszArgs) override {
    std::string text = lpszArgs;
    for (size_t k = 1; k < tokens_.size(); ++k) text += " " + tokens_[k];
    std::memcpy(lpszArgs, text.c_str(), text.size() + 1);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_CmdLen(LONG* pVal) override {
    size_t length = 0;
    for (const auto& token : tokens_) length += token.size() + 1;
    *pVal = static_cast<LONG>(length);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Next(ULONG celt, LPSTR* rgelt, ULONG* pceltFetched) override {
    if (celt != 1) return E_NOTIMPL;
    rgelt[0] = nullptr;
    if (pceltFetched) *pceltFetched = 0;
    if (position_ >= tokens_.size()) return S_FALSE;
    rgelt[0] = CoTaskMemStrDup(tokens_[position_++].c_str());
    if (pceltFetched) *pceltFetched = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG celt) override {
    position_ = std::min(tokens_.size(), position_ + celt);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    position_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IvokEnumArgs**) override { return E_NOTIMPL; }

 private:
  std::vector<std::string> tokens_;
  size_t position_ = 0;
};

// An object that is not a parser at all.
class NotAParser final : public ObjectRoot<IvokFastListItemIterator> {
 public:
  HRESULT STDMETHODCALLTYPE Begin() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE End() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Item(IUnknown*) override { return S_OK; }
};

struct TestExtra {
  int tag = 0;
};

class TestEngine final : public EngineBase<TestEngine, TestExtra> {
 public:
  TestEngine() : EngineBase(kResources, kCommands, 7) {}

  HRESULT OnCd(IvokCommandParser* parser) {
    log.push_back("cd " + CommandArgument(parser, 0).value_or("-"));
    return S_OK;
  }
  HRESULT OnWord(IvokCommandParser* parser) {
    log.push_back("word " + CommandArgument(parser, -1).value_or("-"));
    return S_OK;
  }
  HRESULT OnDirDuplicate(IvokCommandParser*) {
    log.push_back("duplicate");
    return S_OK;
  }
  HRESULT OnFail(IvokCommandParser*) { return E_ACCESSDENIED; }
  HRESULT OnItem(IvokCommandParser*) {
    const RegisteredCommand* command = CurrentCommand();
    if (removeItemsInHandler) RemoveItemCommands();
    ComPtr<IvokFastListItem> item = QueryAs<IvokFastListItem>(command->item.Get());
    char key[64];
    ULONG size = sizeof key;
    item->GetStrKey(key, &size);
    log.push_back("item " + std::string(key) + " " + std::to_string(command->extra.tag));
    return S_OK;
  }

  HRESULT AddItem(IUnknown* item, const std::string& key, int tag, bool hidden = false) {
    return AddItemCommand(key, &TestEngine::OnItem, item, TestExtra{tag}, hidden);
  }

  static const CommandEntry kCommands[];
  std::vector<std::string> log;
  bool describeItems = false;
  bool removeItemsInHandler = false;
  QTreeWidgetItem* decoratedGroup = nullptr;

 protected:
  void DescribeItemCommand(const std::string& key, const CommandRecord& record, char* name,
                           char* syntax, char* description, LONG reserved) override {
    if (!describeItems) return;
    CopyToFixedBuffer(key, name, kInfoBufferSize);
    CopyToFixedBuffer("tag " + std::to_string(Typed(record).extra.tag), syntax, kInfoBufferSize);
    CopyToFixedBuffer("reserved " + std::to_string(reserved), description, kInfoBufferSize);
  }
  std::string CommandTreeTitle() const override { return LoadStringResource(&resources(), kTitle); }
  void DecorateCommandTreeGroup(QTreeWidgetItem* group) override { decoratedGroup = group; }
};

const TestEngine::CommandEntry TestEngine::kCommands[] = {
    {&TestEngine::OnCd, kCd, kCdSyntax, kCdDesc, 0},
    {&TestEngine::OnWord, kDir, kDirSyntax, kDirDesc, 0},
    {&TestEngine::OnDirDuplicate, kDirUpper, kDirSyntax, kDirDesc, 0},
    {&TestEngine::OnWord, kFavorites, 0, 0, 1},
    {&TestEngine::OnWord, kDos, 0, 0, 0, /*hidden=*/true},
    {&TestEngine::OnWord, kStar, 0, 0, 0},
    {&TestEngine::OnWord, kQuestion, 0, 0, 0},
    {&TestEngine::OnWord, kCafe, 0, kLongDesc, 0},
    {&TestEngine::OnFail, kFail, 0, 0, 0},
    {&TestEngine::OnWord, kLongName, 0, 0, 0},
    {nullptr},
    {&TestEngine::OnWord, kTitle, 0, 0, 0},  // after the end marker: never registered
};

// Keys registered at hint level 0, in map order.
const std::vector<std::string> kKeysAtHint0 = {"*STAR", "?Q",  "CAF\xC3\x89", "CD",
                                               "DIR",   "DOS", "FAIL",        std::string(62, 'N')};

ULONG RefCount(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

class EngineBaseTest : public testing::Test {
 protected:
  void SetUp() override {
    startCount_ = ModuleCount().load();
    engineObject_ = new TestEngine();
    engine_ = ComPtr<IvokEngine>(engineObject_);
    table_ = QueryAs<IvokEngineCmdTable>(engine_.Get());
    info_ = QueryAs<IvokCommandInfo>(engine_.Get());
    container_ = ComPtr<IUnknown>(new NotAParser());
  }
  void TearDown() override {
    info_ = nullptr;
    table_ = nullptr;
    engine_ = nullptr;
    container_ = nullptr;
    EXPECT_EQ(ModuleCount().load(), startCount_);
  }

  HRESULT Run(std::vector<std::string> tokens) {
    ComPtr<IUnknown> parser(static_cast<IvokCommandParser*>(new FakeParser(std::move(tokens))));
    return engine_->Command(parser.Get());
  }

  std::vector<std::string> Keys() const {
    std::vector<std::string> keys;
    for (const auto& entry : engineObject_->commands()) keys.push_back(entry.first);
    return keys;
  }

  struct Info {
    HRESULT hr;
    LONG index;
    std::string name, syntax, description;
  };
  Info GetInfo(const std::string& word, LONG reserved = 0) {
    char name[kInfoBufferSize] = "untouched";
    char syntax[kInfoBufferSize] = "untouched";
    char description[kInfoBufferSize] = "untouched";
    LONG index = -1;
    HRESULT hr = info_->GetCommandInfo(word.c_str(), name, syntax, description, &index, reserved);
    return {hr, index, name, syntax, description};
  }

  std::pair<HRESULT, std::string> Match(const char* pattern, LONG hiddenToo = 0) {
    char out[kMatchKeySize] = "untouched";
    HRESULT hr = info_->MatchCommand(pattern, out, hiddenToo);
    return {hr, out};
  }

  int32_t startCount_ = 0;
  TestEngine* engineObject_ = nullptr;  // owned through engine_
  ComPtr<IvokEngine> engine_;
  ComPtr<IvokEngineCmdTable> table_;
  ComPtr<IvokCommandInfo> info_;
  ComPtr<IUnknown> container_;
};

TEST_F(EngineBaseTest, InitRegistersTheTableAndKeepsTheHint) {
  ASSERT_EQ(engine_->Init(container_.Get(), 0), S_OK);
  EXPECT_EQ(Keys(), kKeysAtHint0);
  LONG value = -1;
  EXPECT_EQ(engine_->get_AppHint(&value), S_OK);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(engine_->get_VirtualOrder(&value), S_OK);
  EXPECT_EQ(value, 7);
  EXPECT_EQ(table_->get_CaseSensitive(&value), S_OK);
  EXPECT_EQ(value, 0);
}

TEST_F(EngineBaseTest, MinimumHintLevelFiltersEntries) {
  engine_->Init(container_.Get(), 0);
  EXPECT_EQ(table_->IsCommandRegistered("favorites"), S_FALSE);
  EXPECT_EQ(Run({"favorites"}), S_FALSE);
  EXPECT_EQ(table_->RegisterCommands(1), S_OK);
  EXPECT_EQ(table_->IsCommandRegistered("favorites"), S_OK);
  EXPECT_EQ(Run({"favorites"}), S_OK);
  EXPECT_EQ(engineObject_->log, std::vector<std::string>{"word favorites"});
}

TEST_F(EngineBaseTest, DeclinesUnknownWordsWithExactlySFalse) {
  engine_->Init(container_.Get(), 0);
  EXPECT_EQ(Run({"nosuch", "cd"}), S_FALSE);
  EXPECT_EQ(Run({}), S_FALSE);
  EXPECT_EQ(Run({"cd", "x"}), S_OK);
  // The table's own slot dispatches the same way.
  ComPtr<IUnknown> parser(static_cast<IvokCommandParser*>(new FakeParser({"nosuch"})));
  EXPECT_EQ(table_->Command(parser.Get()), S_FALSE);
  EXPECT_EQ(engineObject_->log, std::vector<std::string>{"cd x"});
}

TEST_F(EngineBaseTest, DispatchNeedsAParser) {
  engine_->Init(container_.Get(), 0);
  EXPECT_EQ(engine_->Command(nullptr), E_POINTER);
  EXPECT_EQ(engine_->Command(container_.Get()), E_NOINTERFACE);
  EXPECT_EQ(RefCount(container_.Get()), 1u);  // the failed query left no reference behind
}

TEST_F(EngineBaseTest, ReturnsTheHandlersResultUnchanged) {
  engine_->Init(container_.Get(), 0);
  EXPECT_EQ(Run({"fail"}), E_ACCESSDENIED);
}

TEST_F(EngineBaseTest, CaseInsensitiveLookupReachesOneEntry) {
  engine_->Init(container_.Get(), 0);
  for (const char* word : {"cd", "CD", "cD", "Cd"}) {
    EXPECT_EQ(table_->IsCommandRegistered(word), S_OK) << word;
    EXPECT_EQ(Run({word, "arg"}), S_OK) << word;
  }
  EXPECT_EQ(engineObject_->log.size(), 4u);
  // Letters beyond ASCII fold too.
  EXPECT_EQ(Run({"CAF\xC3\x89"}), S_OK);
  EXPECT_EQ(Run({"Caf\xC3\xA9"}), S_OK);
  EXPECT_EQ(table_->IsCommandRegistered("cafe"), S_FALSE);
}

TEST_F(EngineBaseTest, CaseSensitiveLookupNeedsTheRegisteredForm) {
  EXPECT_EQ(table_->put_CaseSensitive(1), S_OK);
  engine_->Init(container_.Get(), 0);
  LONG value = 0;
  table_->get_CaseSensitive(&value);
  EXPECT_EQ(value, 1);
  EXPECT_EQ(table_->IsCommandRegistered("cd"), S_OK);
  EXPECT_EQ(table_->IsCommandRegistered("CD"), S_FALSE);
  EXPECT_EQ(Run({"CD"}), S_FALSE);
  EXPECT_EQ(Run({"cd"}), S_OK);
  // "dir" and "DIR" are different words now: both rows are registered.
  EXPECT_EQ(Run({"DIR"}), S_OK);
  EXPECT_EQ(Run({"dir"}), S_OK);
  EXPECT_EQ(engineObject_->log, (std::vector<std::string>{"cd -", "duplicate", "word dir"}));
}

TEST_F(EngineBaseTest, DuplicateWordsKeepTheFirstEntry) {
  engine_->Init(container_.Get(), 0);
  EXPECT_EQ(Run({"DIR"}), S_OK);
  EXPECT_EQ(table_->RegisterCommands(0), S_OK);  // registering again changes nothing
  EXPECT_EQ(Run({"dir"}), S_OK);
  EXPECT_EQ(engineObject_->log, (std::vector<std::string>{"word DIR", "word dir"}));
  EXPECT_EQ(Keys(), kKeysAtHint0);
}

TEST_F(EngineBaseTest, LongCommandNamesAreCutTo62Bytes) {
  engine_->Init(container_.Get(), 0);
  EXPECT_EQ(table_->IsCommandRegistered(std::string(62, 'n').c_str()), S_OK);
  EXPECT_EQ(table_->IsCommandRegistered(kLongNameText.c_str()), S_FALSE);
}

TEST_F(EngineBaseTest, ItemCommandsHoldTheirItemUntilRemoved) {
  engine_->Init(container_.Get(), 0);
  ComPtr<IUnknown> item(new TestItem("MyAlias"));
  EXPECT_EQ(engineObject_->AddItem(item.Get(), "myalias", 5), S_OK);
  EXPECT_EQ(RefCount(item.Get()), 2u);
  EXPECT_EQ(engineObject_->AddItem(item.Get(), "MYALIAS", 6), S_FALSE);
  EXPECT_EQ(engineObject_->AddItem(item.Get(), "cd", 6), S_FALSE);  // built-in stays
  EXPECT_EQ(RefCount(item.Get()), 2u);
  EXPECT_EQ(engineObject_->AddItem(item.Get(), "", 6), E_INVALIDARG);
  EXPECT_EQ(engineObject_->AddItem(nullptr, "x", 6), E_INVALIDARG);

  EXPECT_EQ(Run({"MyAlias"}), S_OK);
  EXPECT_EQ(Run({"cd"}), S_OK);
  EXPECT_EQ(engineObject_->log, (std::vector<std::string>{"item MyAlias 5", "cd -"}));

  EXPECT_EQ(table_->RemoveItemCommands(), S_OK);
  EXPECT_EQ(RefCount(item.Get()), 1u);
  EXPECT_EQ(Run({"myalias"}), S_FALSE);
  EXPECT_EQ(Keys(), kKeysAtHint0);
  EXPECT_EQ(table_->RegisterItemCommands(), S_OK);  // the base has no item lists
}

TEST_F(EngineBaseTest, ReleasingOrExitingTheEngineReleasesItems) {
  engine_->Init(container_.Get(), 0);
  ComPtr<IUnknown> first(new TestItem("one"));
  ComPtr<IUnknown> second(new TestItem("two"));
  engineObject_->AddItem(first.Get(), "one", 1);
  EXPECT_EQ(engine_->Exit(), S_OK);
  EXPECT_EQ(RefCount(first.Get()), 1u);
  engineObject_->AddItem(second.Get(), "two", 2);
  EXPECT_EQ(RefCount(second.Get()), 2u);
  info_ = nullptr;
  table_ = nullptr;
  engine_ = nullptr;
  EXPECT_EQ(RefCount(second.Get()), 1u);
}

// A handler that removes item commands (as reloading a list does) still reads its own entry.
TEST_F(EngineBaseTest, RunningItemEntrySurvivesItsRemoval) {
  engine_->Init(container_.Get(), 0);
  ComPtr<IUnknown> item(new TestItem("Fav"));
  engineObject_->AddItem(item.Get(), "fav", 9);
  engineObject_->removeItemsInHandler = true;
  EXPECT_EQ(Run({"fav"}), S_OK);
  EXPECT_EQ(engineObject_->log, std::vector<std::string>{"item Fav 9"});
  EXPECT_EQ(Run({"fav"}), S_FALSE);
}

struct InfoCase {
  const char* word;
  HRESULT hr;
  LONG index;
  const char* name;
};
void PrintTo(const InfoCase& c, std::ostream* os) { *os << '[' << c.word << ']'; }

class CommandInfoTest : public EngineBaseTest, public testing::WithParamInterface<InfoCase> {};

TEST_P(CommandInfoTest, FindsTheFirstEntryNamingTheWord) {
  engine_->Init(container_.Get(), 0);
  const InfoCase& c = GetParam();
  Info info = GetInfo(c.word);
  EXPECT_EQ(info.hr, c.hr);
  EXPECT_EQ(info.index, c.index);
  EXPECT_EQ(info.name, c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Words, CommandInfoTest,
    testing::Values(InfoCase{"CD", S_OK, 3, "cd"},
                    InfoCase{"CD ..", S_OK, 3, "cd"},     // the word followed by arguments
                    InfoCase{"X DIR Y", S_OK, 4, "dir"},  // "DIR " anywhere in the text
                    InfoCase{"DIR", S_OK, 4, "dir"},
                    InfoCase{"DIRX", S_FALSE, 8, "untouched"},  // no blank after the key
                    InfoCase{"DIRX DIR", S_FALSE, 8, "untouched"},
                    InfoCase{"cd", S_FALSE, 8, "untouched"},  // words come as the map stores them
                    InfoCase{"", S_FALSE, 8, "untouched"}));

TEST_F(EngineBaseTest, CommandInfoLoadsAllThreeTexts) {
  engine_->Init(container_.Get(), 0);
  Info info = GetInfo("CD");
  EXPECT_EQ(info.syntax, "cd [directory]");
  EXPECT_EQ(info.description, "Changes the current directory.");
}

TEST_F(EngineBaseTest, CommandInfoCutsAt126BytesOnACharacterBoundary) {
  engine_->Init(container_.Get(), 0);
  Info info = GetInfo("CAF\xC3\x89");
  EXPECT_EQ(info.hr, S_OK);
  // 125 bytes, then a two-byte letter that would end at byte 127: it is left out whole.
  EXPECT_EQ(info.description, std::string(125, 'a'));
  EXPECT_EQ(info.syntax, "");  // string id 0 is unknown: an empty text
}

TEST_F(EngineBaseTest, CommandInfoOfItemEntriesComesFromTheEngine) {
  engine_->Init(container_.Get(), 0);
  ComPtr<IUnknown> item(new TestItem("Zed"));
  engineObject_->AddItem(item.Get(), "zed", 3);
  Info untouched = GetInfo("ZED");
  EXPECT_EQ(untouched.hr, S_OK);
  EXPECT_EQ(untouched.index, 8);
  EXPECT_EQ(untouched.name, "untouched");
  engineObject_->describeItems = true;
  Info described = GetInfo("ZED", 42);
  EXPECT_EQ(described.name, "ZED");
  EXPECT_EQ(described.syntax, "tag 3");
  EXPECT_EQ(described.description, "reserved 42");
}

TEST_F(EngineBaseTest, CommandInfoRejectsNullBuffers) {
  char buffer[kInfoBufferSize];
  EXPECT_EQ(info_->GetCommandInfo(nullptr, buffer, buffer, buffer, nullptr, 0), E_POINTER);
  EXPECT_EQ(info_->GetCommandInfo("CD", buffer, nullptr, buffer, nullptr, 0), E_POINTER);
}

TEST_F(EngineBaseTest, MatchCommandSkipsWildcardKeysAndHiddenEntries) {
  engine_->Init(container_.Get(), 0);
  EXPECT_EQ(Match("d*"), std::make_pair(S_OK, std::string("dir")));
  EXPECT_EQ(Match("?d"), std::make_pair(S_OK, std::string("cd")));
  EXPECT_EQ(Match("DO*"), std::make_pair(S_FALSE, std::string("untouched")));
  EXPECT_EQ(Match("DO*", 1), std::make_pair(S_OK, std::string("dos")));
  // Keys beginning with '*' or '?' are never offered, not even to a pattern naming them.
  EXPECT_EQ(Match("*star"), std::make_pair(S_FALSE, std::string("untouched")));
  EXPECT_EQ(Match("?q"), std::make_pair(S_FALSE, std::string("untouched")));
  // Anything matches: the first key in map order that is offered.
  EXPECT_EQ(Match(""), std::make_pair(S_OK, std::string("caf\xC3\xA9")));
  EXPECT_EQ(Match("*"), std::make_pair(S_OK, std::string("caf\xC3\xA9")));
  EXPECT_EQ(Match("zz*"), std::make_pair(S_FALSE, std::string("untouched")));
  EXPECT_EQ(Match(nullptr).first, E_POINTER);
}

TEST_F(EngineBaseTest, MatchCommandGivesItemKeysAsTheItemSpellsThem) {
  engine_->Init(container_.Get(), 0);
  ComPtr<IUnknown> alias(new TestItem("MyAlias"));
  ComPtr<IUnknown> secret(new TestItem("MySecret"));
  engineObject_->AddItem(alias.Get(), "MyAlias", 1);
  engineObject_->AddItem(secret.Get(), "MySecret", 2, /*hidden=*/true);
  EXPECT_EQ(Match("mya*"), std::make_pair(S_OK, std::string("MyAlias")));
  EXPECT_EQ(Match("mys*"), std::make_pair(S_FALSE, std::string("untouched")));
  EXPECT_EQ(Match("mys*", 1), std::make_pair(S_OK, std::string("MySecret")));
}

class CommandTreeTest : public EngineBaseTest {
 protected:
  static void SetUpTestSuite() {
    if (!QApplication::instance()) {
      static int argc = 1;
      static char name[] = "common_tests";
      static char* argv[] = {name, nullptr};
      static QApplication app(argc, argv);
    }
  }
};

TEST_F(CommandTreeTest, AddsOneGroupWithOneChildPerCommandInKeyOrder) {
  engine_->Init(container_.Get(), 0);
  QTreeWidget tree;
  new QTreeWidgetItem(&tree, QStringList{"earlier group"});
  ASSERT_EQ(info_->FillCommandTree(&tree), S_OK);
  ASSERT_EQ(tree.topLevelItemCount(), 2);
  QTreeWidgetItem* group = tree.topLevelItem(1);  // after the nodes already there
  EXPECT_EQ(group->text(0), "Test Commands");
  EXPECT_EQ(group->data(0, Qt::UserRole).toInt(), 0);
  EXPECT_EQ(engineObject_->decoratedGroup, group);
  ASSERT_EQ(group->childCount(), static_cast<int>(kKeysAtHint0.size()));
  for (int k = 0; k < group->childCount(); ++k) {
    EXPECT_EQ(group->child(k)->text(0).toStdString(), kKeysAtHint0[k]);
    EXPECT_EQ(group->child(k)->data(0, Qt::UserRole).toInt(), 1);
  }
}

TEST_F(CommandTreeTest, RefusesWindowsThatAreNoTree) {
  QWidget plain;
  EXPECT_EQ(info_->FillCommandTree(&plain), E_INVALIDARG);
  EXPECT_EQ(info_->FillCommandTree(nullptr), E_INVALIDARG);
}

TEST_F(EngineBaseTest, GetEngineContainerHandsOutNoReference) {
  IUnknown* out = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(engine_->GetEngineContainer(&out), E_FAIL);  // before Init
  EXPECT_EQ(out, nullptr);
  const ULONG before = RefCount(container_.Get());
  engine_->Init(container_.Get(), 1);
  EXPECT_EQ(RefCount(container_.Get()), before);
  EXPECT_EQ(engine_->GetEngineContainer(&out), S_OK);
  EXPECT_EQ(out, container_.Get());
  EXPECT_EQ(RefCount(container_.Get()), before);
  EXPECT_EQ(engine_->GetEngineContainer(nullptr), E_POINTER);
}

TEST_F(EngineBaseTest, AnswersTheEngineInterfacesAsOneObject) {
  EXPECT_EQ(IdentityOf(engine_.Get()).Get(), IdentityOf(table_.Get()).Get());
  EXPECT_EQ(IdentityOf(engine_.Get()).Get(), IdentityOf(info_.Get()).Get());
  EXPECT_FALSE(QueryAs<IvokEngineMenu>(engine_.Get()));
}

// An engine that refines IvokEngine::Command keeps the table's dispatch in its own slot.
class FallbackEngine final : public EngineBase<FallbackEngine> {
 public:
  FallbackEngine() : EngineBase(kResources, kCommands, 15) {}
  HRESULT OnCd(IvokCommandParser*) { return S_OK; }
  HRESULT EngineCommand(IUnknown* parser) override {
    HRESULT hr = TableCommand(parser);
    return hr == S_FALSE ? E_ABORT : hr;  // "handles" every line
  }
  static const CommandEntry kCommands[];
};
const FallbackEngine::CommandEntry FallbackEngine::kCommands[] = {
    {&FallbackEngine::OnCd, kCd, kCdSyntax, kCdDesc, 0}, {nullptr}};

TEST(EngineBaseSlots, EngineCommandAndTableCommandAreSeparateSlots) {
  const int32_t start = ModuleCount().load();
  {
    ComPtr<IvokEngine> engine(new FallbackEngine());
    ComPtr<IvokEngineCmdTable> table = QueryAs<IvokEngineCmdTable>(engine.Get());
    ASSERT_EQ(engine->Init(nullptr, 0), S_OK);
    ComPtr<IUnknown> parser(static_cast<IvokCommandParser*>(new FakeParser({"other"})));
    EXPECT_EQ(engine->Command(parser.Get()), E_ABORT);
    EXPECT_EQ(table->Command(parser.Get()), S_FALSE);
    ComPtr<IUnknown> cd(static_cast<IvokCommandParser*>(new FakeParser({"cd"})));
    EXPECT_EQ(engine->Command(cd.Get()), S_OK);
  }
  EXPECT_EQ(ModuleCount().load(), start);
}

TEST(CommandArgumentTest, ReadsTokensByIndex) {
  ComPtr<IvokCommandParser> parser(new FakeParser({"Copy", "A.TXT", "b c"}));
  EXPECT_EQ(CommandArgument(parser.Get(), -1), "Copy");
  EXPECT_EQ(CommandArgument(parser.Get(), 0), "A.TXT");
  EXPECT_EQ(CommandArgument(parser.Get(), 0, ArgCase::kLower), "a.txt");
  EXPECT_EQ(CommandArgument(parser.Get(), 1), "b c");
  EXPECT_EQ(CommandArgument(parser.Get(), 2), std::nullopt);
  EXPECT_EQ(CommandArgument(parser.Get(), -2), std::nullopt);
  EXPECT_EQ(CommandArgument(nullptr, 0), std::nullopt);
  EXPECT_EQ(AllArguments(parser.Get()), " A.TXT b c");
  ComPtr<IvokCommandParser> bare(new FakeParser({"cd"}));
  EXPECT_EQ(AllArguments(bare.Get()), "");
}

}  // namespace
}  // namespace vok
