#include "engine/engine_container.h"

#include <gtest/gtest.h>

#include "common/class_ids.h"
#include "engine/container_test_support.h"

namespace vok::test {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

EngineConfig Engine(const std::string& name, LONG order = 0,
                    std::map<std::string, HRESULT> words = {}) {
  EngineConfig config;
  config.name = name;
  config.order = order;
  config.words = std::move(words);
  return config;
}

EngineConfig WithTable(EngineConfig config) {
  config.cmdTable = true;
  return config;
}

using DispatchTest = ContainerTest;

TEST_F(DispatchTest, AsksEnginesByVirtualOrderKeepingListOrderForTies) {
  ASSERT_EQ(S_OK, Start({Engine("A", 5), Engine("B", 0), Engine("C", 5), Engine("D", 1)}));
  EXPECT_EQ(S_FALSE, Run("nobody"));
  EXPECT_THAT(EnginesAsked(), ElementsAre("B", "D", "A", "C"));
}

TEST_F(DispatchTest, FirstEngineKnowingTheWordTakesIt) {
  ASSERT_EQ(S_OK, Start({Engine("A", 2, {{"GO", S_OK}}), Engine("B", 1, {{"GO", S_OK}})}));
  EXPECT_EQ(S_OK, Run("go somewhere"));
  EXPECT_THAT(EnginesAsked(), ElementsAre("B"));
}

class DispatchResultTest : public ContainerTest, public testing::WithParamInterface<HRESULT> {};

TEST_P(DispatchResultTest, AnyResultButSFalseEndsTheLoopUnchanged) {
  ASSERT_EQ(S_OK, Start({Engine("A"), Engine("B", 0, {{"X", GetParam()}}),
                         Engine("C", 0, {{"X", S_OK}})}));
  EXPECT_EQ(GetParam(), Run("x"));
  EXPECT_THAT(EnginesAsked(), ElementsAre("A", "B"));
}

INSTANTIATE_TEST_SUITE_P(Results, DispatchResultTest,
                         testing::Values(S_OK, HRESULT{2}, E_INVALIDARG, E_FAIL));

TEST_F(DispatchTest, EmptyLineReachesNoEngineButBlanksDo) {
  ASSERT_EQ(S_OK, Start({Engine("A"), Engine("B")}));
  EXPECT_EQ(S_OK, Run(""));
  EXPECT_THAT(EnginesAsked(), IsEmpty());
  EXPECT_EQ(S_FALSE, Run("   "));
  EXPECT_THAT(EnginesAsked(), ElementsAre("A", "B"));
}

TEST_F(DispatchTest, WithoutInitOrLineThereIsNothingToDispatch) {
  CreateContainer();
  EXPECT_EQ(E_UNEXPECTED, Run("x"));
  EXPECT_EQ(E_POINTER, Run(nullptr));
}

TEST_F(DispatchTest, NestedCommandLeavesTheOuterHandlerItsOwnArguments) {
  EngineConfig alias = Engine("A", 0);
  std::optional<std::string> argumentAfter;
  alias.handlers["ALIAS"] = [&](IvokCommandParser* parser, IUnknown* container) {
    HRESULT inner = QueryAs<IvokEngineContainer>(container)->Command("real one two");
    argumentAfter = Argument(parser, 0);
    return inner;
  };
  ASSERT_EQ(S_OK, Start({alias, Engine("B", 1, {{"REAL", E_ACCESSDENIED}})}));

  EXPECT_EQ(E_ACCESSDENIED, Run("alias mine"));
  EXPECT_EQ("mine", argumentAfter.value_or("<none>"));
  EXPECT_THAT(EnginesAsked(), ElementsAre("A", "A", "B"));
}

TEST_F(DispatchTest, InitGivesEachEngineTheContainerAndHint) {
  ASSERT_EQ(S_OK, Start({Engine("A")}, 3));
  EXPECT_THAT(JournalWith("Init"), ElementsAre("A:Init 3"));
  ComPtr<IUnknown> engine;
  ASSERT_EQ(S_OK, container_->GetEngineByIface(IvokEngine::kIID, engine.GetAddressOf()));
  IUnknown* given = nullptr;
  ASSERT_EQ(S_OK, QueryAs<IvokEngine>(engine.Get())->GetEngineContainer(&given));
  EXPECT_EQ(IdentityOf(container_.Get()).Get(), given);
}

using InitTest = ContainerTest;

TEST_F(InitTest, EmptyListIsUnexpectedAndCreatesNoParser) {
  CreateContainer();
  const CLSID* none[] = {nullptr};
  EXPECT_EQ(E_UNEXPECTED, container_->Init(none, 1));
  EXPECT_EQ(E_UNEXPECTED, Run("x"));
}

TEST_F(InitTest, EngineThatCannotBeCreatedAbortsAndKeepsEarlierOnes) {
  CreateContainer();
  classes_.AddEngine(TestEngineClsid(0), Engine("A"));
  classes_.AddEngine(TestEngineClsid(2), Engine("C"));
  const CLSID a = TestEngineClsid(0), missing = TestEngineClsid(1), c = TestEngineClsid(2);
  const CLSID* list[] = {&a, &missing, &c, nullptr};
  EXPECT_EQ(E_ABORT, container_->Init(list, 1));
  EXPECT_THAT(JournalWith("Init"), ElementsAre("A:Init 1"));
  EXPECT_EQ(E_UNEXPECTED, Run("x")) << "no parser after a failed start";
  container_.Reset();
  EXPECT_THAT(JournalWith("Exit"), ElementsAre("A:Exit refs=1"));
}

TEST_F(InitTest, EngineWhoseInitFailsIsReleasedAndItsResultReturned) {
  EngineConfig failing = Engine("B");
  failing.initResult = E_ACCESSDENIED;
  EXPECT_EQ(E_ACCESSDENIED, Start({Engine("A"), failing, Engine("C")}));
  EXPECT_THAT(Journal(), ElementsAre("A:Init 1", "B:Init 1", "B:destroyed"));
}

TEST_F(InitTest, MissingParserIsInitsResult) {
  classes_.Clear();  // no parser class
  EXPECT_EQ(REGDB_E_CLASSNOTREG, Start({Engine("A")}));
}

TEST_F(InitTest, SecondInitIsRefused) {
  ASSERT_EQ(S_OK, Start({Engine("A")}));
  const CLSID a = TestEngineClsid(0);
  const CLSID* list[] = {&a, nullptr};
  EXPECT_EQ(E_UNEXPECTED, container_->Init(list, 1));
  EXPECT_THAT(JournalWith("Init"), ElementsAre("A:Init 1"));
}

TEST_F(InitTest, TeardownExitsAndReleasesEnginesInDispatchOrderButNotTheLog) {
  ASSERT_EQ(S_OK, Start({Engine("A", 9), Engine("B", 1)}));
  ComPtr<FakeLog> log(new FakeLog);
  const ULONG before = log->References();
  container_->put_Log(log->Identity());
  IUnknown* held = nullptr;
  ASSERT_EQ(S_OK, container_->get_Log(&held));
  EXPECT_EQ(log->Identity(), held);
  EXPECT_EQ(before, log->References()) << "the log is held without a reference";

  Journal().clear();
  container_.Reset();
  EXPECT_THAT(Journal(),
              ElementsAre("B:Exit refs=1", "B:destroyed", "A:Exit refs=1", "A:destroyed"));
  EXPECT_EQ(before, log->References());
}

using LookupTest = ContainerTest;

TEST_F(LookupTest, IsCommandRegisteredNeedsACommandTable) {
  ASSERT_EQ(S_OK, Start({Engine("A", 0, {{"X", S_OK}})}));
  EXPECT_EQ(E_FAIL, container_->IsCommandRegistered("x"));
}

TEST_F(LookupTest, IsCommandRegisteredAsksTablesInOrder) {
  EngineConfig failing = WithTable(Engine("C", 2));
  failing.isRegisteredResult = E_OUTOFMEMORY;
  ASSERT_EQ(S_OK, Start({Engine("N", 0, {{"ZZ", S_OK}}), WithTable(Engine("A", 1, {{"AA", S_OK}})),
                         failing, WithTable(Engine("D", 3, {{"DD", S_OK}}))}));
  EXPECT_EQ(S_OK, container_->IsCommandRegistered("aa"));
  EXPECT_EQ(E_OUTOFMEMORY, container_->IsCommandRegistered("dd")) << "a failure stops the walk";
  EXPECT_THAT(JournalWith("IsCommandRegistered"),
              ElementsAre("A:IsCommandRegistered aa", "A:IsCommandRegistered dd",
                          "C:IsCommandRegistered dd"));
}

TEST_F(LookupTest, IsCommandRegisteredIsSFalseWhenEveryTableDeclines) {
  ASSERT_EQ(S_OK, Start({WithTable(Engine("A")), WithTable(Engine("B"))}));
  EXPECT_EQ(S_FALSE, container_->IsCommandRegistered("nothing"));
}

TEST_F(LookupTest, GetEngineByIfaceHandsOutTheFirstOffererWithAReference) {
  EngineConfig first = WithTable(Engine("A", 2));
  EngineConfig second = WithTable(Engine("B", 1));
  second.persist = true;
  ASSERT_EQ(S_OK, Start({first, second, Engine("C", 0)}));

  ComPtr<IUnknown> found;
  ASSERT_EQ(S_OK, container_->GetEngineByIface(IvokEngineCmdTable::kIID, found.GetAddressOf()));
  ComPtr<IUnknown> persisting;
  ASSERT_EQ(S_OK, container_->GetEngineByIface(IPersistStorage::kIID, persisting.GetAddressOf()));
  EXPECT_EQ(found.Get(), persisting.Get()) << "B comes before A in dispatch order";
  EXPECT_EQ(found.Get(), IdentityOf(found.Get()).Get()) << "an identity pointer";

  IUnknown* none = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(E_FAIL, container_->GetEngineByIface(IvokEnginePanel::kIID, &none));
  EXPECT_EQ(nullptr, none);
}

using CommandInfoTest = ContainerTest;

EngineConfig WithInfo(EngineConfig config, std::vector<std::string> words) {
  config.commandInfo = true;
  config.infoWords = std::move(words);
  return config;
}

TEST_F(CommandInfoTest, IndexCountsEveryEngineAlsoThoseWithoutInfo) {
  ASSERT_EQ(S_OK, Start({WithInfo(Engine("A", 0), {"CD", "DIR"}), Engine("B", 1),
                         WithInfo(Engine("C", 2), {"A", "B", "C", "D", "Go"})}));
  char name[127], syntax[127], description[127];
  LONG index = -1;
  ASSERT_EQ(S_OK, As<IvokCommandInfo>()->GetCommandInfo(" \t Go now", name, syntax, description,
                                                        &index, 0));
  EXPECT_EQ(20004, index);
  EXPECT_STREQ("Go", name) << "the word goes to the engines as typed";
  EXPECT_STREQ("C syntax", syntax);
  EXPECT_THAT(JournalWith("GetCommandInfo"),
              ElementsAre("A:GetCommandInfo Go", "C:GetCommandInfo Go"));
}

TEST_F(CommandInfoTest, UnknownWordGivesTheLastResultAndIndexZero) {
  ASSERT_EQ(S_OK, Start({WithInfo(Engine("A"), {"CD"}), WithInfo(Engine("B"), {"X"})}));
  char name[127] = "", syntax[127] = "", description[127] = "";
  LONG index = -1;
  EXPECT_EQ(S_FALSE,
            As<IvokCommandInfo>()->GetCommandInfo("nothing", name, syntax, description, &index, 0));
  EXPECT_EQ(0, index);
}

TEST_F(CommandInfoTest, LongWordIsCutTo127Bytes) {
  const std::string word(300, 'w');
  ASSERT_EQ(S_OK, Start({WithInfo(Engine("A"), {word.substr(0, 127)})}));
  char name[127], syntax[127], description[127];
  LONG index = -1;
  EXPECT_EQ(S_OK, As<IvokCommandInfo>()->GetCommandInfo(word.c_str(), name, syntax, description,
                                                        &index, 0));
}

TEST_F(CommandInfoTest, FillCommandTreeStopsAtTheFirstFailure) {
  EngineConfig failing = WithInfo(Engine("B", 1), {});
  failing.fillTreeResult = E_OUTOFMEMORY;
  ASSERT_EQ(S_OK, Start({WithInfo(Engine("A", 0), {}), failing, WithInfo(Engine("C", 2), {})}));
  EXPECT_EQ(E_OUTOFMEMORY, As<IvokCommandInfo>()->FillCommandTree(nullptr));
  EXPECT_THAT(JournalWith("FillCommandTree"),
              ElementsAre("A:FillCommandTree", "B:FillCommandTree"));
}

TEST_F(CommandInfoTest, FillCommandTreeWithoutInfoEnginesIsSFalse) {
  ASSERT_EQ(S_OK, Start({Engine("A")}));
  EXPECT_EQ(S_FALSE, As<IvokCommandInfo>()->FillCommandTree(nullptr));
}

TEST_F(CommandInfoTest, MatchCommandTakesTheFirstMatch) {
  EngineConfig failing = WithInfo(Engine("A", 0), {});
  failing.matchResult = E_FAIL;
  EngineConfig matching = WithInfo(Engine("B", 1), {});
  matching.matchResult = S_OK;
  EngineConfig later = matching;
  later.name = "C";
  later.order = 2;
  ASSERT_EQ(S_OK, Start({failing, matching, later}));
  char out[128] = "";
  EXPECT_EQ(S_OK, As<IvokCommandInfo>()->MatchCommand("g*", out, 0));
  EXPECT_STREQ("B", out);
  EXPECT_THAT(JournalWith("MatchCommand"), ElementsAre("A:MatchCommand", "B:MatchCommand"));
}

using MenuTest = ContainerTest;

HMENU FakeMenu() {
  static int menu;
  return reinterpret_cast<HMENU>(&menu);
}

EngineConfig WithMenu(EngineConfig config, std::vector<std::string> commands) {
  config.menu = true;
  config.menuCommands = std::move(commands);
  return config;
}

TEST_F(MenuTest, FillMenuNumbersCommandsAndMarksEmptySubmenus) {
  ASSERT_EQ(S_OK, Start({WithMenu(Engine("A", 1), {"b one"}), Engine("N", 2),
                         WithMenu(Engine("B", 0), {"a one", "a two"})}));
  ASSERT_EQ(S_OK, As<IvokMenuCommands>()->FillMenu(FakeMenu(), 1000));
  EXPECT_THAT(JournalWith("menu"),
              ElementsAre("B:menu 1000 a one", "B:menu 1001 a two", "A:menu 1002 b one"));
  ASSERT_EQ(1u, widgets_.markedMenus.size());
  EXPECT_EQ(FakeMenu(), widgets_.markedMenus[0].first);
  EXPECT_EQ("(Empty)", widgets_.markedMenus[0].second);
}

TEST_F(MenuTest, RunMenuCommandRunsOnceAndEmptiesTheTable) {
  ASSERT_EQ(S_OK, Start({WithMenu(Engine("A", 0, {{"RUN", HRESULT{2}}}), {"run x", "run y"})}));
  auto menu = As<IvokMenuCommands>();
  ASSERT_EQ(S_OK, menu->FillMenu(FakeMenu(), 7));
  EXPECT_EQ(HRESULT{2}, menu->RunMenuCommand(8));
  EXPECT_EQ(E_FAIL, menu->RunMenuCommand(8));
  EXPECT_EQ(E_FAIL, menu->RunMenuCommand(7)) << "every identifier of the fill is gone";
  EXPECT_THAT(EnginesAsked(), ElementsAre("A"));
}

TEST_F(MenuTest, UnknownIdentifierFailsAndEmptiesTheTable) {
  ASSERT_EQ(S_OK, Start({WithMenu(Engine("A", 0, {{"RUN", S_OK}}), {"run x"})}));
  auto menu = As<IvokMenuCommands>();
  ASSERT_EQ(S_OK, menu->FillMenu(FakeMenu(), 1));
  EXPECT_EQ(E_FAIL, menu->RunMenuCommand(99));
  EXPECT_EQ(E_FAIL, menu->RunMenuCommand(1));
  EXPECT_THAT(EnginesAsked(), IsEmpty());
}

TEST_F(MenuTest, CommandRunningItsOwnMenuItemAgainFailsInsteadOfRecursing) {
  EngineConfig engine = WithMenu(Engine("A"), {"again"});
  HRESULT inner = S_OK;
  engine.handlers["AGAIN"] = [&](IvokCommandParser*, IUnknown* container) {
    inner = QueryAs<IvokMenuCommands>(container)->RunMenuCommand(1);
    return S_OK;
  };
  ASSERT_EQ(S_OK, Start({engine}));
  ASSERT_EQ(S_OK, As<IvokMenuCommands>()->FillMenu(FakeMenu(), 1));
  EXPECT_EQ(S_OK, As<IvokMenuCommands>()->RunMenuCommand(1));
  EXPECT_EQ(E_FAIL, inner);
}

TEST_F(MenuTest, RefillReusesIdentifiersForTheNewTexts) {
  ASSERT_EQ(S_OK, Start({Engine("A", 0, {{"OLD", E_FAIL}, {"NEW", S_OK}})}));
  auto menu = As<IvokMenuCommands>();
  LONG id = 0;
  ASSERT_EQ(S_OK, menu->FillMenu(FakeMenu(), 5));
  ASSERT_EQ(S_OK, menu->AddCommand("old", &id));
  ASSERT_EQ(S_OK, menu->FillMenu(FakeMenu(), 5));
  ASSERT_EQ(S_OK, menu->AddCommand("new", &id));
  EXPECT_EQ(5, id);
  EXPECT_EQ(S_OK, menu->RunMenuCommand(5));
}

using PropertiesTest = ContainerTest;

CLSID Page(int n) { return CLSID{0xBA6E0000u + static_cast<uint32_t>(n), 0, 0, {}}; }

TEST_F(PropertiesTest, OneFrameWithEveryEngineAndAllPagesInEngineOrder) {
  EngineConfig many = Engine("A", 1);
  many.pages = true;
  for (int i = 0; i < 6; ++i) many.pageIds.push_back(Page(i));
  EngineConfig two = Engine("B", 0);
  two.pages = true;
  two.pageIds = {Page(10), Page(11)};
  ASSERT_EQ(S_OK, Start({many, two, Engine("C", 2)}));

  FakeFrameService frame;
  frame.result = HRESULT{2};
  HWND owner = reinterpret_cast<HWND>(0x55);
  EXPECT_EQ(HRESULT{2}, container_->Properties(owner, 10, 20, "Options"));
  ASSERT_EQ(1, frame.calls);
  EXPECT_EQ(owner, frame.owner);
  EXPECT_EQ(10u, frame.x);
  EXPECT_EQ(20u, frame.y);
  EXPECT_EQ("Options", frame.caption);
  EXPECT_EQ(LCID{0x400}, frame.locale);
  EXPECT_EQ(3u, frame.objects.size());
  ComPtr<IUnknown> first;
  ASSERT_EQ(S_OK, container_->GetEngineByIface(IvokEngine::kIID, first.GetAddressOf()));
  EXPECT_EQ(first.Get(), frame.objects[0]);
  std::vector<CLSID> expected = {Page(10), Page(11)};
  for (int i = 0; i < 6; ++i) expected.push_back(Page(i));
  EXPECT_EQ(expected, frame.pages) << "six pages from one engine fit";
}

TEST_F(PropertiesTest, WithoutAFrameServiceTheCallFails) {
  ASSERT_EQ(S_OK, Start({Engine("A")}));
  EXPECT_EQ(E_NOTIMPL, container_->Properties(nullptr, 0, 0, "x"));
}

TEST(EngineContainerCreationTest, RefusesAggregationAndAnswersItsInterfaces) {
  const int32_t before = ModuleCount();
  {
    ComPtr<FakeLog> outer(new FakeLog);
    ComPtr<IUnknown> object;
    EXPECT_EQ(CLASS_E_NOAGGREGATION,
              CreateEngineContainer(nullptr, outer->Identity(), IUnknown::kIID,
                                    object.ReleaseAndGetVoidAddressOf()));
    EXPECT_FALSE(object);
    ASSERT_EQ(S_OK, CreateEngineContainer(nullptr, nullptr, IUnknown::kIID,
                                          object.ReleaseAndGetVoidAddressOf()));
    EXPECT_EQ(static_cast<void*>(QueryAs<IvokEngineContainer>(object.Get()).Get()),
              static_cast<void*>(object.Get()))
        << "the first interface is the identity";
    EXPECT_TRUE(QueryAs<IPersistStorage>(object.Get()));
    EXPECT_TRUE(QueryAs<IvokPanelBar>(object.Get()));
    EXPECT_TRUE(QueryAs<IvokCommandInfo>(object.Get()));
    EXPECT_TRUE(QueryAs<IvokMenuCommands>(object.Get()));
    CLSID clsid = GUID_NULL;
    ASSERT_EQ(S_OK, QueryAs<IPersistStorage>(object.Get())->GetClassID(&clsid));
    EXPECT_EQ(clsid::kEngineContainer, clsid);
  }
  EXPECT_EQ(before, ModuleCount());
}

}  // namespace
}  // namespace vok::test
