#include "bar/property_frame.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTabWidget>
#include <map>
#include <string>
#include <vector>

#include "bar/fake_bar_host.h"
#include "bar/log_test_support.h"
#include "common/property_page_base.h"
#include "platform/ui/scripted_prompter.h"

namespace vok::bar {
namespace {

const StringResource kTestStrings[] = {{1, "Alpha"}, {2, "Beta"}, {3, "alpha.html"}};
const ModuleResources kTestResources{"frame_test", kTestStrings, std::size(kTestStrings)};

const CLSID kAlpha = {0x6A1F2C10, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 1}};
const CLSID kBeta = {0x6A1F2C10, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 2}};
const CLSID kMissing = {0x6A1F2C10, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 3}};  // never served

// What Apply answers, and whether the page tells the user why itself when it fails.
struct PageScript {
  HRESULT applyResult = S_OK;
  bool explains = false;
};
PageScript g_scripts[3];
std::vector<std::string> g_journal;
std::string g_applied;  // "alpha;beta;": the pages whose Apply ran
std::map<std::string, class FakePage*> g_live;

// A page on the common base ("alpha" with a help file, or "beta"); it notes the frame's calls
// in the journal.
class FakePage final : public PropertyPageBase {
 public:
  explicit FakePage(UINT titleId)
      : PropertyPageBase(&kTestResources, {titleId, 0, titleId == 1 ? 3u : 0u, {200, 120}}),
        name_(titleId == 1 ? "alpha" : "beta"),
        script_(g_scripts[titleId]) {
    g_live[name_] = this;
  }
  ~FakePage() override {
    DestroyPage();
    g_live.erase(name_);
  }
  HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* site) override {
    Note(site ? "site" : "no site");
    return PropertyPageBase::SetPageSite(site);
  }
  HRESULT STDMETHODCALLTYPE SetObjects(ULONG count, IUnknown** objects) override {
    Note("objects " + std::to_string(count));
    return PropertyPageBase::SetObjects(count, objects);
  }
  HRESULT STDMETHODCALLTYPE Deactivate() override {
    Note("deactivate");
    return PropertyPageBase::Deactivate();
  }

 protected:
  QWidget* CreatePage(QWidget* parent) override { return new QWidget(parent); }
  HRESULT ApplyChanges() override {
    g_applied += name_ + ";";
    if (FAILED(script_.applyResult) && script_.explains)
      ui::Ask({page(), name_ + " says why", "", ui::Icon::kError, ui::Buttons::kOk});
    return script_.applyResult;
  }

 private:
  void Note(const std::string& what) { g_journal.push_back(name_ + " " + what); }
  std::string name_;
  PageScript script_;
};

template <UINT TitleId>
HRESULT CreateFakePage(IUnknown* outer, REFIID riid, void** ppv) {
  return CreateObject<FakePage>(outer, riid, ppv, TitleId);
}

class FakeObject final : public ObjectRoot<IUnknown> {};

class PropertyFrameTest : public testing::Test {
 protected:
  void SetUp() override {
    test::EnsureApplication();
    startCount_ = ModuleCount().load();
    for (PageScript& script : g_scripts) script = {};
    g_journal.clear();
    g_applied.clear();
  }
  void TearDown() override {
    EXPECT_TRUE(g_live.empty()) << "a page outlived the frame";
    EXPECT_EQ(ModuleCount().load(), startCount_) << "objects leaked";
  }

  // Shows the frame over `pages` with two objects; `script` runs while it is open.
  HRESULT Show(std::function<void(PropertyFrameDialog&)> script,
               std::vector<CLSID> pages = {kAlpha, kMissing, kBeta}) {
    prompter_.dialogs.push_back([script](QDialog& dialog) {
      script(dynamic_cast<PropertyFrameDialog&>(dialog));
      return dialog.result();
    });
    ComPtr<IUnknown> first(new FakeObject), second(new FakeObject);
    IUnknown* objects[] = {first.Get(), second.Get()};
    PropertyFrame frame;
    return frame.ShowFrame(nullptr, 50, 50, "Quillo", 2, objects, static_cast<ULONG>(pages.size()),
                           pages.data(), LOCALE_USER_DEFAULT);
  }
  static FakePage& Page(const std::string& name) { return *g_live.at(name); }

  ui::ScriptedPrompter prompter_;
  ui::ScopedPrompter scope_{&prompter_};
  test::ScopedClassObject alphaClass_{kAlpha, &CreateFakePage<1>};
  test::ScopedClassObject betaClass_{kBeta, &CreateFakePage<2>};
  int32_t startCount_ = 0;
};

// The tabs of the pages that could be created; Apply follows the pages' state and applies the
// changed ones without closing; on close every page is deactivated, then released.
TEST_F(PropertyFrameTest, ShowsTheCreatablePagesAppliesOnRequestAndReleasesThemOnClose) {
  g_scripts[2].applyResult = E_FAIL;
  std::vector<std::string> titles;
  EXPECT_EQ(Show([&](PropertyFrameDialog& frame) {
              for (int i = 0; i < frame.tabs()->count(); ++i)
                titles.push_back(frame.tabs()->tabText(i).toStdString());
              QPushButton* apply = frame.applyButton();
              EXPECT_FALSE(apply->isEnabled());
              Page("alpha").SetDirty(true);  // tells the site
              EXPECT_TRUE(apply->isEnabled());
              apply->click();
              EXPECT_EQ(g_applied, "alpha;");
              EXPECT_FALSE(apply->isEnabled());
              Page("beta").SetDirty(true);
              apply->click();  // fails: stays available
              EXPECT_TRUE(apply->isEnabled());
              EXPECT_FALSE(g_live.empty()) << "Apply closed the frame";
              frame.cancelButton()->click();
            }),
            S_OK);
  EXPECT_EQ(titles, (std::vector<std::string>{"Alpha", "Beta"}));
  EXPECT_EQ(g_journal, (std::vector<std::string>{
                           "alpha site", "alpha objects 2", "beta site", "beta objects 2",
                           "alpha deactivate", "beta deactivate", "alpha no site",
                           "alpha objects 0", "beta no site", "beta objects 0"}));
  // Without any page there is nothing to show.
  EXPECT_EQ(Show([](PropertyFrameDialog&) {}, {kMissing}), S_OK);
  EXPECT_EQ(prompter_.dialogCount, 1);
}

// Both pages changed; the frame closes with OK or Cancel.
struct ClosingCase {
  const char* name;
  PageScript alpha, beta;
  bool pressOk;
  const char* applied;       // pages whose Apply ran
  int openOnTab;             // -1: the frame closed
  const char* frameMessage;  // the frame's own message; "" = none
};
const char kAlphaFailed[] =
    "The changes on the page \"Alpha\" could not be applied: Not enough memory. (0x8007000E)";
const ClosingCase kClosingCases[] = {
    {"Ok", {}, {}, true, "alpha;beta;", -1, ""},
    {"Cancel", {}, {}, false, "", -1, ""},
    {"FailureKeepsItsPageOpen", {E_OUTOFMEMORY}, {}, true, "alpha;", 0, kAlphaFailed},
    {"APageThatExplainedIsNotExplainedAgain", {}, {E_FAIL, true}, true, "alpha;beta;", 1, ""},
};

class PropertyFrameClosingTest : public PropertyFrameTest,
                                 public testing::WithParamInterface<ClosingCase> {};

TEST_P(PropertyFrameClosingTest, OkAppliesEveryPageUntilOneFails) {
  const ClosingCase& c = GetParam();
  g_scripts[1] = c.alpha;
  g_scripts[2] = c.beta;
  int tab = -1;
  Show([&](PropertyFrameDialog& frame) {
    Page("alpha").SetDirty(true);
    Page("beta").SetDirty(true);
    frame.tabs()->setCurrentIndex(c.openOnTab == 0 ? 1 : 0);
    (c.pressOk ? frame.okButton() : frame.cancelButton())->click();
    if (!g_live.empty()) tab = frame.tabs()->currentIndex();
    frame.cancelButton()->click();
  });
  EXPECT_EQ(g_applied, c.applied);
  EXPECT_EQ(tab, c.openOnTab);
  std::string frameMessages;  // under the frame's caption; the page's own has none
  for (const ui::Message& message : prompter_.messages)
    if (message.caption == "Quillo") frameMessages += message.text;
  EXPECT_EQ(frameMessages, c.frameMessage);
}

INSTANTIATE_TEST_SUITE_P(Cases, PropertyFrameClosingTest, testing::ValuesIn(kClosingCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PropertyFrameTest, InstalledFrameServesTheRuntimeUntilItsHostRemovesIt) {
  FakeBarHost host, other;
  InstallPropertyFrame(&host);
  const CLSID pages[] = {kAlpha};
  auto show = [&] {
    return OleCreatePropertyFrame(nullptr, 0, 0, "Quillo", 0, nullptr, 1, pages,
                                  LOCALE_USER_DEFAULT, 0, nullptr);
  };
  // The base page has no help of its own: the frame opens the file its information names.
  prompter_.dialogs.push_back([](QDialog& dialog) {
    dynamic_cast<PropertyFrameDialog&>(dialog).helpButton()->click();
    return 0;
  });
  EXPECT_EQ(show(), S_OK);
  EXPECT_EQ(host.operations, std::vector<std::string>{"help alpha.html"});
  RemovePropertyFrame(&other);
  EXPECT_EQ(show(), S_OK);
  RemovePropertyFrame(&host);
  EXPECT_EQ(show(), E_NOTIMPL);
  EXPECT_EQ(prompter_.dialogCount, 2);
}

}  // namespace
}  // namespace vok::bar
