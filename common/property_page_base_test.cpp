#include "common/property_page_base.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <memory>

#include "common/test_application.h"

namespace {

const vok::StringResource kStrings[] = {{1, "Title"}, {2, "Doc string"}, {3, "page.html"}};
const vok::ModuleResources kResources = {"test", kStrings, std::size(kStrings)};

class TestPage final : public vok::PropertyPageBase {
 public:
  TestPage() : PropertyPageBase(&kResources, {1, 2, 3, {300, 200}}) {}
  ~TestPage() override { DestroyPage(); }
  HRESULT applyResult = S_OK;
  int destroyed = 0;

 protected:
  QWidget* CreatePage(QWidget* parent) override { return new QLabel("page", parent); }
  HRESULT ApplyChanges() override { return applyResult; }
  void PageDestroyed() override { ++destroyed; }
};

// Records status changes; `alive` tells whether it still lives.
class Site final : public vok::ObjectRoot<IPropertyPageSite> {
 public:
  explicit Site(bool* alive) : alive_(alive) { *alive_ = true; }
  ~Site() override { *alive_ = false; }
  HRESULT STDMETHODCALLTYPE OnStatusChange(DWORD flags) override {
    statuses.push_back(flags);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetLocaleID(LCID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPageContainer(IUnknown**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(void*) override { return E_NOTIMPL; }
  std::vector<DWORD> statuses;

 private:
  bool* alive_;
};

class PropertyPageBaseTest : public testing::Test {
 protected:
  void SetUp() override {
    vok::test::EnsureApplication();
    parent_ = std::make_unique<QWidget>();
    page_ = ComPtr<TestPage>(new TestPage);
  }

  std::unique_ptr<QWidget> parent_;
  ComPtr<TestPage> page_;
};

TEST_F(PropertyPageBaseTest, ActivateCreatesAHiddenChildAndPageInfoComesFromTheStringTable) {
  const RECT rect = {10, 20, 110, 70};
  EXPECT_EQ(page_->Show(5), E_UNEXPECTED) << "not active yet";
  ASSERT_EQ(page_->Activate(parent_.get(), &rect, 1), S_OK);
  QWidget* widget = page_->page();
  ASSERT_TRUE(widget);
  EXPECT_EQ(widget->parentWidget(), parent_.get());
  EXPECT_EQ(widget->geometry(), QRect(10, 20, 100, 50));
  EXPECT_TRUE(widget->isHidden());
  EXPECT_EQ(page_->Activate(parent_.get(), &rect, 1), E_UNEXPECTED);
  EXPECT_EQ(page_->Show(5), S_OK);
  EXPECT_FALSE(widget->isHidden());
  const RECT moved = {0, 0, 40, 30};
  EXPECT_EQ(page_->Move(&moved), S_OK);
  EXPECT_EQ(widget->geometry(), QRect(0, 0, 40, 30));
  EXPECT_EQ(page_->Deactivate(), S_OK);
  EXPECT_TRUE(parent_->findChildren<QLabel*>().isEmpty()) << "the widget was deleted";
  EXPECT_EQ(page_->destroyed, 1);
  EXPECT_EQ(page_->Deactivate(), S_OK) << "deactivating twice is harmless";

  PROPPAGEINFO info{};
  ASSERT_EQ(page_->GetPageInfo(&info), S_OK);
  EXPECT_EQ(std::string(info.pszTitle) + "|" + info.pszDocString + "|" + info.pszHelpFile,
            "Title|Doc string|page.html");
  EXPECT_EQ(std::make_pair(info.size.cx, info.size.cy), std::make_pair(300, 200));
  for (char* text : {info.pszTitle, info.pszDocString, info.pszHelpFile}) CoTaskMemFree(text);
}

TEST_F(PropertyPageBaseTest, DirtyStateReachesTheSiteOnceAndApplyClearsItOnSuccess) {
  bool alive = false;
  ComPtr<Site> site(new Site(&alive));
  page_->SetPageSite(site.Get());
  page_->SetDirty(true);
  page_->SetDirty(true);
  EXPECT_EQ(page_->IsPageDirty(), S_OK);
  EXPECT_EQ(site->statuses, std::vector<DWORD>{PROPPAGESTATUS_DIRTY});
  page_->applyResult = E_FAIL;
  EXPECT_EQ(page_->Apply(), E_FAIL);
  EXPECT_EQ(page_->IsPageDirty(), S_OK) << "a failed apply keeps the changes pending";
  page_->applyResult = S_OK;
  EXPECT_EQ(page_->Apply(), S_OK);
  EXPECT_EQ(page_->IsPageDirty(), S_FALSE);
  page_->SetDirty(true);
  EXPECT_EQ(site->statuses.size(), 2u) << "dirty again after a clean apply";

  // The page holds the site and its objects until told otherwise.
  IUnknown* objects[] = {site->Identity()};
  ASSERT_EQ(page_->SetObjects(1, objects), S_OK);
  site = nullptr;
  page_->SetPageSite(nullptr);
  EXPECT_TRUE(alive);
  ASSERT_EQ(page_->SetObjects(0, nullptr), S_OK);
  EXPECT_FALSE(alive);
}

}  // namespace
