#include "bar/property_frame.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QResizeEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstdio>
#include <memory>
#include <optional>

#include "bar/resources/bar_strings.h"
#include "common/text_util.h"
#include "common/vok_object.h"
#include "platform/ui/prompter.h"

namespace vok::bar {

// The frame as a page sees it. The frame detaches it when the page is released, so a page
// that keeps its site longer reaches nothing.
class FrameSite final : public ObjectRoot<IPropertyPageSite> {
 public:
  FrameSite(PropertyFrameDialog* frame, LCID locale) : frame_(frame), locale_(locale) {}
  void Detach() { frame_ = nullptr; }

  HRESULT STDMETHODCALLTYPE OnStatusChange(DWORD dwFlags) override {
    if (frame_) frame_->PageStatusChanged(dwFlags);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetLocaleID(LCID* pLocaleID) override {
    if (!pLocaleID) return E_POINTER;
    *pLocaleID = locale_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPageContainer(IUnknown** ppUnk) override {
    if (ppUnk) *ppUnk = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(void*) override { return S_FALSE; }

 private:
  PropertyFrameDialog* frame_;
  LCID locale_;
};

namespace {

// A tab's client: keeps its page's widget filling it.
class PageHost final : public QWidget {
 public:
  PageHost(IPropertyPage* page, QSize size) : page_(page) { setMinimumSize(size); }
  void Detach() { page_ = nullptr; }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    if (!page_) return;
    const RECT rect = {0, 0, event->size().width(), event->size().height()};
    page_->Move(&rect);
  }

 private:
  IPropertyPage* page_;  // the frame holds the reference
};

// Forwards to the prompter in use and notes whether anything was shown to the user, so the
// frame knows whether a failing page explained itself.
class WatchingPrompter final : public ui::Prompter {
 public:
  explicit WatchingPrompter(ui::Prompter& inner) : inner_(inner) {}
  bool told() const { return told_; }

  ui::Answer Ask(const ui::Message& message) override {
    told_ = true;
    return inner_.Ask(message);
  }
  std::optional<std::string> OpenFile(const ui::OpenFileRequest& request) override {
    return inner_.OpenFile(request);
  }
  std::optional<std::string> SaveFile(const ui::SaveFileRequest& request) override {
    return inner_.SaveFile(request);
  }
  std::optional<std::string> ChooseFolder(const ui::FolderRequest& request) override {
    return inner_.ChooseFolder(request);
  }
  int Exec(QDialog& dialog) override {
    told_ = true;
    return inner_.Exec(dialog);
  }
  QAction* TrackMenu(QMenu& menu, const QPoint& pos) override {
    return inner_.TrackMenu(menu, pos);
  }

 private:
  ui::Prompter& inner_;
  bool told_ = false;
};

// Takes the task-allocated strings of a page's information.
std::string TakeString(LPOLESTR text) {
  std::string taken = text ? text : "";
  CoTaskMemFree(text);
  return taken;
}

}  // namespace

std::string FailureText(HRESULT hr) {
  struct Known {
    HRESULT hr;
    const char* text;
  };
  static const Known kKnown[] = {
      {E_OUTOFMEMORY, "Not enough memory."},
      {STG_E_INSUFFICIENTMEMORY, "Not enough memory."},
      {E_INVALIDARG, "A value is not valid."},
      {STG_E_INVALIDPARAMETER, "A value is not valid."},
      {E_ACCESSDENIED, "Access is denied."},
      {STG_E_ACCESSDENIED, "Access is denied."},
      {E_NOTIMPL, "The operation is not supported."},
      {E_UNEXPECTED, "The operation was not expected now."},
      {E_POINTER, "A value is missing."},
      {E_ABORT, "The operation was cancelled."},
  };
  const char* text = "The operation failed.";
  for (const Known& known : kKnown) {
    if (known.hr == hr) text = known.text;
  }
  char code[16];
  std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
  return std::string(text) + " (" + code + ")";
}

// ---------------------------------------------------------------------------------------------
// PropertyFrameDialog

PropertyFrameDialog::PropertyFrameDialog(QWidget* owner, UINT x, UINT y, const QString& caption,
                                         LCID locale, OpenHelpFn openHelp)
    : QDialog(owner), locale_(locale), openHelp_(std::move(openHelp)) {
  setObjectName(QStringLiteral("propertyFrame"));
  setWindowTitle(caption);
  tabs_ = new QTabWidget;
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                       QDialogButtonBox::Apply | QDialogButtonBox::Help);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  cancel_ = buttons->button(QDialogButtonBox::Cancel);
  apply_ = buttons->button(QDialogButtonBox::Apply);
  help_ = buttons->button(QDialogButtonBox::Help);
  apply_->setEnabled(false);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_, 1);
  layout->addWidget(buttons);

  connect(ok_, &QPushButton::clicked, this, [this] { accept(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
  connect(apply_, &QPushButton::clicked, this, [this] {
    if (ApplyAll()) apply_->setEnabled(false);
  });
  connect(help_, &QPushButton::clicked, this, [this] { ShowHelp(); });

  const QPoint at(static_cast<int>(x), static_cast<int>(y));
  move(owner ? owner->mapToGlobal(at) : at);
}

PropertyFrameDialog::~PropertyFrameDialog() { ReleasePages(); }

bool PropertyFrameDialog::AddPage(REFCLSID clsid, ULONG objectCount, IUnknown** objects) {
  Page entry;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IPropertyPage::kIID,
                              entry.page.ReleaseAndGetVoidAddressOf())))
    return false;
  entry.site = ComPtr<FrameSite>(new FrameSite(this, locale_));
  entry.page->SetPageSite(entry.site.Get());
  entry.page->SetObjects(objectCount, objects);

  PROPPAGEINFO info = {};
  info.cb = sizeof info;
  QSize size(0, 0);
  if (SUCCEEDED(entry.page->GetPageInfo(&info))) {
    entry.title = TakeString(info.pszTitle);
    TakeString(info.pszDocString);
    entry.helpFile = TakeString(info.pszHelpFile);
    size = QSize(info.size.cx, info.size.cy);
  }

  auto* host = new PageHost(entry.page.Get(), size);
  entry.tab = host;
  const RECT rect = {0, 0, size.width(), size.height()};
  if (FAILED(entry.page->Activate(host, &rect, 1))) {
    delete host;
    Release(entry);
    return false;
  }
  entry.page->Show(1);
  tabs_->addTab(host, QString::fromUtf8(entry.title.c_str()));
  pages_.push_back(std::move(entry));
  return true;
}

void PropertyFrameDialog::Release(Page& entry) {
  if (auto* host = static_cast<PageHost*>(entry.tab.data())) host->Detach();
  entry.site->Detach();
  entry.page->SetPageSite(nullptr);
  entry.page->SetObjects(0, nullptr);
  entry.page = nullptr;
  entry.site = nullptr;
}

void PropertyFrameDialog::ReleasePages() {
  for (Page& entry : pages_) entry.page->Deactivate();
  for (Page& entry : pages_) Release(entry);
  pages_.clear();
}

void PropertyFrameDialog::PageStatusChanged(DWORD flags) {
  if (flags & (PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE)) apply_->setEnabled(true);
}

HRESULT PropertyFrameDialog::ApplyPage(Page& entry) {
  if (entry.page->IsPageDirty() != S_OK) return S_OK;
  WatchingPrompter watching(ui::CurrentPrompter());
  HRESULT hr;
  {
    ui::ScopedPrompter scope(&watching);
    hr = entry.page->Apply();
  }
  if (FAILED(hr) && !watching.told()) ReportFailure(entry, hr);
  return hr;
}

bool PropertyFrameDialog::ApplyAll() {
  for (int i = 0; i < pageCount(); ++i) {
    if (FAILED(ApplyPage(pages_[i]))) {
      // The user corrects the page there; Apply stays available.
      tabs_->setCurrentIndex(i);
      apply_->setEnabled(true);
      return false;
    }
  }
  return true;
}

void PropertyFrameDialog::ReportFailure(const Page& entry, HRESULT hr) {
  std::string text = Substitute(BarString(kIdsApplyFailed), "%s", entry.title);
  text = Substitute(text, "%e", FailureText(hr));
  ui::Ask({this, text, windowTitle().toStdString(), ui::Icon::kExclamation, ui::Buttons::kOk});
}

void PropertyFrameDialog::accept() {
  if (ApplyAll()) QDialog::accept();
}

void PropertyFrameDialog::done(int result) {
  QDialog::done(result);
  ReleasePages();
}

void PropertyFrameDialog::ShowHelp() {
  const int index = tabs_->currentIndex();
  if (index < 0 || index >= pageCount()) return;
  Page& entry = pages_[index];
  if (SUCCEEDED(entry.page->Help(""))) return;
  if (!entry.helpFile.empty() && openHelp_) openHelp_(entry.helpFile);
}

// ---------------------------------------------------------------------------------------------
// PropertyFrame

HRESULT PropertyFrame::ShowFrame(HWND owner, UINT x, UINT y, LPCOLESTR caption, ULONG objectCount,
                                 IUnknown** objects, ULONG pageCount, const CLSID* pages,
                                 LCID locale) {
  if ((objectCount > 0 && !objects) || (pageCount > 0 && !pages)) return E_POINTER;
  PropertyFrameDialog dialog(owner, x, y, QString::fromUtf8(caption ? caption : ""), locale,
                             openHelp_);
  for (ULONG i = 0; i < pageCount; ++i) dialog.AddPage(pages[i], objectCount, objects);
  if (dialog.pageCount() > 0) ui::CurrentPrompter().Exec(dialog);
  return S_OK;
}

namespace {

struct ProgramFrame {
  BarHost* host = nullptr;
  std::unique_ptr<PropertyFrame> frame;
};

ProgramFrame& Installed() {
  static ProgramFrame installed;
  return installed;
}

}  // namespace

void InstallPropertyFrame(BarHost* host) {
  ProgramFrame& installed = Installed();
  RemovePropertyFrame(installed.host);
  installed.host = host;
  installed.frame =
      std::make_unique<PropertyFrame>([host](const std::string& file) { host->OpenHelp(file); });
  VokSetPropertyFrameService(installed.frame.get());
}

void RemovePropertyFrame(BarHost* host) {
  ProgramFrame& installed = Installed();
  if (!installed.frame || installed.host != host) return;
  IvokPropertyFrameService* current = VokSetPropertyFrameService(nullptr);
  if (current != installed.frame.get()) VokSetPropertyFrameService(current);
  installed = {};
}

}  // namespace vok::bar
