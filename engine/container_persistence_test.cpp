#include <gtest/gtest.h>

#include "engine/container_test_support.h"

namespace vok::test {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;
using Bytes = std::vector<uint8_t>;

EngineConfig Persisting(const std::string& name, LONG order) {
  EngineConfig config;
  config.name = name;
  config.order = order;
  config.persist = true;
  config.panel = true;
  return config;
}

class PersistenceTest : public ContainerTest {
 protected:
  void SetUp() override {
    ContainerTest::SetUp();
    storage_ = ComPtr<FakeStorage>(new FakeStorage);
  }
  void TearDown() override {
    storage_.Reset();
    ContainerTest::TearDown();
  }
  // Engines B (order 0), A (order 1), C (order 2); every one persists and has a panel.
  void StartThree(std::map<std::string, EngineConfig> overrides = {}) {
    std::vector<EngineConfig> engines = {Persisting("A", 1), Persisting("B", 0),
                                         Persisting("C", 2)};
    for (EngineConfig& engine : engines)
      if (auto it = overrides.find(engine.name); it != overrides.end()) engine = it->second;
    ASSERT_EQ(S_OK, Start(engines));
    ASSERT_EQ(S_OK, As<IvokPanelBar>()->CreatePanels(nullptr, 100, 102));
    Journal().clear();
  }
  ComPtr<IPersistStorage> Persist() { return As<IPersistStorage>(); }
  void StoreRecord(Bytes bytes) {
    storage_->streams["ENG_CONTAINER"] = MemoryStream::Create(bytes);
  }
  const Bytes& Record() { return storage_->streams["ENG_CONTAINER"]->Bytes(); }

  ComPtr<FakeStorage> storage_;
};

TEST_F(PersistenceTest, SaveWritesTheRecordThenEveryEngineInOrder) {
  StartThree();
  ASSERT_EQ(S_OK, Persist()->Save(storage_.Get(), 1));
  EXPECT_EQ((Bytes{0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}), Record()) << "no panel selected";
  EXPECT_THAT(storage_->calls, ElementsAre("create ENG_CONTAINER 0x1012"));
  EXPECT_THAT(Journal(), ElementsAre("B:Save 1", "A:Save 1", "C:Save 1"));

  ASSERT_EQ(S_OK, As<IvokPanelBar>()->SelectPanel(101));
  ASSERT_EQ(S_OK, Persist()->Save(storage_.Get(), 0));
  EXPECT_EQ((Bytes{0, 0, 0, 0, 101, 0, 0, 0}), Record());
}

TEST_F(PersistenceTest, LoadReadsTheSelectionWithoutShowingItThenLoadsEngines) {
  StartThree();
  ASSERT_EQ(S_OK, As<IvokPanelBar>()->SelectPanel(100));
  StoreRecord({0, 0, 0, 0, 102, 0, 0, 0});
  Journal().clear();
  ASSERT_EQ(S_OK, Persist()->Load(storage_.Get()));
  EXPECT_THAT(storage_->calls, ElementsAre("open ENG_CONTAINER 0x12"));
  EXPECT_THAT(Journal(), ElementsAre("B:Show 0", "B:Load", "A:Load", "C:Load"));

  Journal().clear();
  ASSERT_EQ(S_OK, As<IvokPanelBar>()->SelectPanel(kPanelShowSelected));
  // 102 is the third panel, C; the selected panel is hidden before the target is shown.
  EXPECT_THAT(JournalWith("Show"), ElementsAre("C:Show 0", "C:Show 5"));
}

TEST_F(PersistenceTest, NegativeFormatKeepsNoSelection) {
  StartThree();
  ASSERT_EQ(S_OK, As<IvokPanelBar>()->SelectPanel(101));
  StoreRecord({0xFF, 0xFF, 0xFF, 0xFF, 102, 0, 0, 0});
  ASSERT_EQ(S_OK, Persist()->Load(storage_.Get()));
  ASSERT_EQ(S_OK, Persist()->Save(storage_.Get(), 1));
  EXPECT_EQ((Bytes{0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}), Record());
}

struct BadRecord {
  const char* what;
  std::optional<Bytes> record;  // none: the stream is missing
  std::optional<size_t> failAfter;
  HRESULT expected;
};

class BadRecordTest : public PersistenceTest, public testing::WithParamInterface<BadRecord> {};

TEST_P(BadRecordTest, FailsWithoutLoadingEngines) {
  StartThree();
  if (GetParam().record) StoreRecord(*GetParam().record);
  storage_->failAfter = GetParam().failAfter;
  EXPECT_EQ(GetParam().expected, Persist()->Load(storage_.Get())) << GetParam().what;
  EXPECT_THAT(JournalWith("Load"), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Records, BadRecordTest,
    testing::Values(BadRecord{"missing stream", std::nullopt, std::nullopt, STG_E_FILENOTFOUND},
                    BadRecord{"cut record", Bytes{0, 0, 0, 0, 1}, std::nullopt, STG_E_READFAULT},
                    BadRecord{"failing read", Bytes{0, 0, 0, 0, 1, 0, 0, 0}, size_t{4},
                              STG_E_LOCKVIOLATION}));

TEST_F(PersistenceTest, SaveFailuresOfTheRecordStopBeforeTheEngines) {
  StartThree();
  storage_->createResult = STG_E_ACCESSDENIED;
  EXPECT_EQ(STG_E_ACCESSDENIED, Persist()->Save(storage_.Get(), 1));
  storage_->createResult = S_OK;
  storage_->failAfter = 4;
  EXPECT_EQ(STG_E_MEDIUMFULL, Persist()->Save(storage_.Get(), 1));
  EXPECT_THAT(JournalWith("Save"), IsEmpty());
}

TEST_F(PersistenceTest, FailingEngineStopsTheWalk) {
  EngineConfig failingA = Persisting("A", 1);
  failingA.saveResult = STG_E_MEDIUMFULL;
  failingA.loadResult = STG_E_DOCFILECORRUPT;
  StartThree({{"A", failingA}});
  EXPECT_EQ(STG_E_MEDIUMFULL, Persist()->Save(storage_.Get(), 1));
  EXPECT_EQ(STG_E_DOCFILECORRUPT, Persist()->Load(storage_.Get()));
  EXPECT_THAT(Journal(), ElementsAre("B:Save 1", "A:Save 1", "B:Load", "A:Load"));
}

struct DirtyCase {
  std::vector<HRESULT> results;  // per engine in dispatch order
  HRESULT expected;
  size_t asked;
};

class IsDirtyTest : public PersistenceTest, public testing::WithParamInterface<DirtyCase> {};

TEST_P(IsDirtyTest, FirstDirtyEngineAnswers) {
  std::vector<EngineConfig> engines;
  for (size_t i = 0; i < GetParam().results.size(); ++i) {
    EngineConfig engine =
        Persisting(std::string(1, static_cast<char>('A' + i)), static_cast<LONG>(i));
    engine.dirtyResult = GetParam().results[i];
    engines.push_back(engine);
  }
  EngineConfig plain;  // offers no IPersistStorage
  plain.name = "N";
  engines.push_back(plain);
  ASSERT_EQ(S_OK, Start(engines));
  EXPECT_EQ(GetParam().expected, Persist()->IsDirty());
  EXPECT_EQ(GetParam().asked, JournalWith("IsDirty").size());
}

INSTANTIATE_TEST_SUITE_P(Cases, IsDirtyTest,
                         testing::Values(DirtyCase{{}, S_FALSE, 0},
                                         DirtyCase{{S_FALSE, S_FALSE}, S_FALSE, 2},
                                         DirtyCase{{S_OK, S_FALSE, S_FALSE}, S_OK, 1},
                                         DirtyCase{{S_FALSE, S_FALSE, S_OK}, S_OK, 3},
                                         DirtyCase{{E_FAIL, S_OK}, S_OK, 2},
                                         DirtyCase{{S_FALSE, E_UNEXPECTED}, E_UNEXPECTED, 2}));

TEST_F(PersistenceTest, InitNewAndTheOtherNoticesTellNoEngine) {
  StartThree();
  EXPECT_EQ(S_OK, Persist()->InitNew(storage_.Get()));
  EXPECT_EQ(S_OK, Persist()->SaveCompleted(storage_.Get()));
  EXPECT_EQ(S_OK, Persist()->HandsOffStorage());
  EXPECT_THAT(Journal(), IsEmpty());
  EXPECT_THAT(storage_->calls, IsEmpty());
}

}  // namespace
}  // namespace vok::test
