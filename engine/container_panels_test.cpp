#include <gtest/gtest.h>

#include "common/string_table.h"
#include "engine/container_test_support.h"

namespace vok::test {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

constexpr StringResource kPanelStrings[] = {{7, "First tip"}, {8, "Second tip"}};
const ModuleResources kPanelModule = {"panelTest", kPanelStrings, std::size(kPanelStrings)};

HWND Parent() { return reinterpret_cast<HWND>(0x4000); }

EngineConfig PanelEngine(const std::string& name, LONG order, LONG height = 20) {
  EngineConfig config;
  config.name = name;
  config.order = order;
  config.panel = true;
  config.rect = {0, 100, 300, 100 + height};
  config.module = ModuleHandle(kPanelModule);
  config.bitmapId = 30 + order;
  config.tipId = 7 + order % 2;
  return config;
}

EngineConfig PlainEngine(const std::string& name, LONG order) {
  EngineConfig config;
  config.name = name;
  config.order = order;
  return config;
}

class PanelTest : public ContainerTest {
 protected:
  // Panels 100 (P0), 101 (P1), 102 (P2), with a panel-less engine between them.
  void StartThreePanels() {
    ASSERT_EQ(S_OK, Start({PanelEngine("P2", 2), PlainEngine("N", 1), PanelEngine("P0", 0),
                           PanelEngine("P1", 1)}));
    ASSERT_EQ(S_OK, Bar()->CreatePanels(Parent(), 100, 199));
    Journal().clear();
  }
  ComPtr<IvokPanelBar> Bar() { return As<IvokPanelBar>(); }
  LONG Selected() {
    // The selection is what Save writes; the shown panel is what Show was last told.
    ComPtr<FakeStorage> storage(new FakeStorage);
    EXPECT_EQ(S_OK, As<IPersistStorage>()->Save(storage.Get(), 1));
    const auto& bytes = storage->streams["ENG_CONTAINER"]->Bytes();
    return static_cast<LONG>(bytes[4] | bytes[5] << 8 | bytes[6] << 16 |
                             static_cast<ULONG>(bytes[7]) << 24);
  }
};

TEST_F(PanelTest, PanelsGetConsecutiveIdentifiersInDispatchOrder) {
  StartThreePanels();
  LONG count = 0;
  ASSERT_EQ(S_OK, Bar()->GetPanelCount(&count));
  EXPECT_EQ(3, count);
  HMODULE module = nullptr;
  UINT tip = 0;
  ASSERT_EQ(S_OK, Bar()->GetPanelInfo(101, &module, &tip));
  EXPECT_EQ(ModuleHandle(kPanelModule), module);
  EXPECT_EQ(8u, tip) << "101 is P1";
  EXPECT_EQ(E_INVALIDARG, Bar()->GetPanelInfo(103, &module, &tip));
}

TEST_F(PanelTest, FirstEqualLastMakesOnePanel) {
  ASSERT_EQ(S_OK, Start({PanelEngine("P0", 0), PanelEngine("P1", 1)}));
  ASSERT_EQ(S_OK, Bar()->CreatePanels(Parent(), 5, 5));
  LONG count = 0;
  Bar()->GetPanelCount(&count);
  EXPECT_EQ(1, count);
  EXPECT_THAT(JournalWith("Create"), ElementsAre("P0:Create"));
}

TEST_F(PanelTest, FailingCreateAbortsButKeepsEarlierPanels) {
  EngineConfig failing = PanelEngine("P1", 1);
  failing.createResult = E_FAIL;
  ASSERT_EQ(S_OK, Start({PanelEngine("P0", 0), failing, PanelEngine("P2", 2)}));
  EXPECT_EQ(E_ABORT, Bar()->CreatePanels(Parent(), 1, 10));
  LONG count = 0;
  Bar()->GetPanelCount(&count);
  EXPECT_EQ(1, count);
  container_.Reset();
  EXPECT_THAT(JournalWith("Exit"),
              ElementsAre("P0:Exit refs=1", "P1:Exit refs=1", "P2:Exit refs=1"))
      << "panels are released before the engines exit";
}

struct SelectStep {
  LONG before;  // panel selected first, or -1 for none
  LONG request;
  HRESULT result;
  LONG after;
};

class SelectPanelTest : public PanelTest, public testing::WithParamInterface<SelectStep> {};

TEST_P(SelectPanelTest, ChoosesTheTarget) {
  StartThreePanels();
  const SelectStep step = GetParam();
  if (step.before != kPanelNone) {
    ASSERT_EQ(S_OK, Bar()->SelectPanel(step.before));
  }
  EXPECT_EQ(step.result, Bar()->SelectPanel(step.request));
  EXPECT_EQ(step.after, Selected());
}

INSTANTIATE_TEST_SUITE_P(Steps, SelectPanelTest,
                         testing::Values(SelectStep{102, kPanelNext, S_OK, 100},
                                         SelectStep{100, kPanelNext, S_OK, 101},
                                         SelectStep{100, kPanelPrevious, S_OK, 102},
                                         SelectStep{102, kPanelPrevious, S_OK, 101},
                                         SelectStep{kPanelNone, kPanelNext, S_OK, 100},
                                         SelectStep{kPanelNone, kPanelPrevious, S_OK, 100},
                                         SelectStep{kPanelNone, kPanelShowSelected, S_OK, 100},
                                         SelectStep{101, kPanelShowSelected, S_OK, 101},
                                         SelectStep{101, kPanelDeselect, S_OK, kPanelNone},
                                         SelectStep{101, 99, E_INVALIDARG, 101},
                                         SelectStep{kPanelNone, 102, S_OK, 102}));

TEST_F(PanelTest, SelectingHidesTheShownPanelAndChecksTheNewButton) {
  StartThreePanels();
  ASSERT_EQ(S_OK, Bar()->SelectPanel(100));
  ASSERT_EQ(S_OK, Bar()->SelectPanel(kPanelNext));
  EXPECT_THAT(JournalWith("Show"), ElementsAre("P0:Show 5", "P0:Show 0", "P1:Show 5"));
  EXPECT_EQ((std::map<LONG, bool>{{100, false}, {101, true}}), widgets_.checked);

  Journal().clear();
  ASSERT_EQ(S_OK, Bar()->SelectPanel(kPanelDeselect));
  EXPECT_THAT(JournalWith("Show"), ElementsAre("P1:Show 0"));
  EXPECT_FALSE(widgets_.checked[101]);
}

TEST_F(PanelTest, UnknownTargetLeavesNoPanelShown) {
  StartThreePanels();
  ASSERT_EQ(S_OK, Bar()->SelectPanel(101));
  Journal().clear();
  EXPECT_EQ(E_INVALIDARG, Bar()->SelectPanel(555));
  EXPECT_THAT(JournalWith("Show"), ElementsAre("P1:Show 0"));
}

TEST_F(PanelTest, WithoutPanelsThereIsNoToolbarAndNoHeight) {
  ASSERT_EQ(S_OK, Start({PlainEngine("N", 0)}));
  ASSERT_EQ(S_OK, Bar()->CreatePanels(Parent(), 100, 110));
  HWND toolbar = reinterpret_cast<HWND>(0x1234);
  EXPECT_EQ(S_FALSE, Bar()->CreateToolbar(9, Parent(), &toolbar));
  EXPECT_EQ(reinterpret_cast<HWND>(0x1234), toolbar);
  EXPECT_EQ(0, widgets_.toolbarsCreated);
  LONG height = 0;
  ASSERT_EQ(S_OK, Bar()->GetMaxPanelHeight(&height));
  EXPECT_EQ(-1, height);
  EXPECT_EQ(E_INVALIDARG, Bar()->SelectPanel(kPanelShowSelected));
}

TEST_F(PanelTest, MaxHeightIsTheTallestPanel) {
  ASSERT_EQ(S_OK, Start({PanelEngine("P0", 0, 20), PanelEngine("P1", 1, 35)}));
  ASSERT_EQ(S_OK, Bar()->CreatePanels(Parent(), 1, 9));
  LONG height = 0;
  ASSERT_EQ(S_OK, Bar()->GetMaxPanelHeight(&height));
  EXPECT_EQ(35, height);
}

TEST_F(PanelTest, MaxHeightFailsWhenAPanelCannotReportItsRectangle) {
  EngineConfig broken = PanelEngine("P1", 1);
  broken.rectResult = E_FAIL;
  ASSERT_EQ(S_OK, Start({PanelEngine("P0", 0), broken}));
  ASSERT_EQ(S_OK, Bar()->CreatePanels(Parent(), 1, 9));
  LONG height = 0;
  EXPECT_EQ(E_FAIL, Bar()->GetMaxPanelHeight(&height));
}

class ToolbarLookTest : public PanelTest,
                        public testing::WithParamInterface<std::pair<int, bool>> {};

// Parameter: IsVersion result of the version component (-1: not available), flat look expected.
TEST_P(ToolbarLookTest, ButtonsFollowPanelsAndTheLookFollowsTheControlsVersion) {
  const auto [isVersion, flat] = GetParam();
  if (isVersion >= 0) classes_.AddComCtlVer(isVersion);
  StartThreePanels();
  HWND toolbar = nullptr;
  ASSERT_EQ(S_OK, Bar()->CreateToolbar(42, Parent(), &toolbar));
  EXPECT_EQ(widgets_.toolbarToReturn, toolbar);
  EXPECT_EQ(42u, widgets_.controlId);
  EXPECT_EQ(Parent(), widgets_.toolbarParent);
  EXPECT_EQ(flat, widgets_.flat);
  ASSERT_EQ(3u, widgets_.buttons.size());
  EXPECT_EQ(100, widgets_.buttons[0].panelId);
  EXPECT_EQ(30u, widgets_.buttons[0].bitmapId);
  EXPECT_EQ("First tip", widgets_.buttons[0].tip);
  EXPECT_EQ(102, widgets_.buttons[2].panelId);
  EXPECT_EQ("Second tip", widgets_.buttons[1].tip);
}

INSTANTIATE_TEST_SUITE_P(Versions, ToolbarLookTest,
                         testing::Values(std::pair{-1, false}, std::pair{int{S_OK}, true},
                                         std::pair{int{S_FALSE}, false}));

TEST_F(PanelTest, LayoutCentresEveryPanelInTheParentsClientArea) {
  ASSERT_EQ(S_OK, Start({PanelEngine("P0", 0, 20), PanelEngine("P1", 1, 15)}));
  ASSERT_EQ(S_OK, Bar()->CreatePanels(Parent(), 1, 9));
  widgets_.clientHeight = 41;
  widgets_.offsetY = 90;
  ASSERT_EQ(S_OK, Bar()->LayoutPanels());
  // P0: top (41-20)/2 = 10, client bottom 120-90 = 30, plus 20. P1: (41-15)/2 = 13, 25 + 15.
  EXPECT_THAT(JournalWith("SetPos"), ElementsAre("P0:SetPos 10 50", "P1:SetPos 13 40"));
}

TEST_F(PanelTest, BroadcastsGoToEveryPanelAndStopAtAFailure) {
  EngineConfig failing = PanelEngine("P1", 1);
  failing.broadcastResult = E_ACCESSDENIED;
  ASSERT_EQ(S_OK, Start({PanelEngine("P0", 0), failing, PanelEngine("P2", 2)}));
  ASSERT_EQ(S_OK, Bar()->CreatePanels(Parent(), 1, 9));
  Journal().clear();
  EXPECT_EQ(E_ACCESSDENIED, Bar()->BroadcastA(3, 4));
  EXPECT_EQ(E_ACCESSDENIED, Bar()->BroadcastB(5, 6));
  EXPECT_EQ(E_ACCESSDENIED, Bar()->BroadcastC());
  EXPECT_THAT(JournalWith("Broadcast"),
              ElementsAre("P0:BroadcastA 3 4", "P1:BroadcastA 3 4", "P0:BroadcastB 5 6",
                          "P1:BroadcastB 5 6", "P0:BroadcastC 0 0", "P1:BroadcastC 0 0"));
}

struct PanelCommandCase {
  std::string text;
  HRESULT getResult;
  HRESULT expected;
  bool dispatched;
};

class RunPanelCommandTest : public PanelTest,
                            public testing::WithParamInterface<PanelCommandCase> {};

TEST_P(RunPanelCommandTest, RunsTheSelectedPanelsCommand) {
  const PanelCommandCase& c = GetParam();
  EngineConfig panel = PanelEngine("P0", 0);
  panel.panelCommand = c.text;
  panel.getCommandResult = c.getResult;
  panel.words = {{"GO", HRESULT{3}}};
  ASSERT_EQ(S_OK, Start({panel}));
  ASSERT_EQ(S_OK, Bar()->CreatePanels(Parent(), 1, 1));
  EXPECT_EQ(E_FAIL, Bar()->RunPanelCommand()) << "no panel selected";
  ASSERT_EQ(S_OK, Bar()->SelectPanel(1));
  EXPECT_EQ(c.expected, Bar()->RunPanelCommand());
  EXPECT_EQ(c.dispatched, !EnginesAsked().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunPanelCommandTest,
    testing::Values(PanelCommandCase{"go far", S_OK, HRESULT{3}, true},
                    PanelCommandCase{"", S_OK, S_FALSE, false},
                    PanelCommandCase{"go far", S_FALSE, S_FALSE, false},
                    PanelCommandCase{"go far", E_OUTOFMEMORY, E_OUTOFMEMORY, false},
                    PanelCommandCase{std::string(600, 'x'), S_OK, S_FALSE, true}));

TEST_F(PanelTest, CurrentPanelOpGoesToTheSelectedPanel) {
  EngineConfig second = PanelEngine("P1", 1);
  second.panelOpResult = HRESULT{4};
  ASSERT_EQ(S_OK, Start({PanelEngine("P0", 0), second}));
  ASSERT_EQ(S_OK, Bar()->CreatePanels(Parent(), 1, 9));
  EXPECT_EQ(E_FAIL, Bar()->CurrentPanelOp());
  ASSERT_EQ(S_OK, Bar()->SelectPanel(2));
  EXPECT_EQ(HRESULT{4}, Bar()->CurrentPanelOp());
  EXPECT_THAT(JournalWith("PanelOp"), ElementsAre("P1:PanelOp"));
}

}  // namespace
}  // namespace vok::test
