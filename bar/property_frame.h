// The options frame: the program's IvokPropertyFrameService (platform/com/runtime.h). It shows
// one modal dialog with a tab per property page and the buttons OK, Cancel, Apply and Help.
//
// Every page class is created by class identifier and gets the frame's site (its status
// changes enable Apply), all the objects to edit, and a tab titled by its page information;
// a class that cannot be created, or a page that cannot be shown, is left out. OK applies
// every changed page and closes; a page whose Apply fails keeps the frame open on its tab,
// and unless the page told the user itself, the frame says why. Cancel closes without
// applying. Help calls the current page's Help, or opens the help file its page information
// names. On close every page is deactivated and released.
#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "bar/bar_host.h"
#include "platform/com/com_ptr.h"
#include "platform/com/objidl.h"
#include "platform/com/runtime.h"

class QPushButton;
class QTabWidget;

namespace vok::bar {

class FrameSite;

// Opens a help file named by a page ("filters.html"); empty: the Help button does nothing.
using OpenHelpFn = std::function<void(const std::string& file)>;

class PropertyFrameDialog final : public QDialog {
 public:
  // `owner` may be null; the dialog opens at (x, y) of the owner's coordinates.
  PropertyFrameDialog(QWidget* owner, UINT x, UINT y, const QString& caption, LCID locale,
                      OpenHelpFn openHelp);
  ~PropertyFrameDialog() override;

  // Creates the page of `clsid` and shows it in a new tab; false (nothing kept) when the class
  // cannot be created or the page refuses to be shown.
  bool AddPage(REFCLSID clsid, ULONG objectCount, IUnknown** objects);

  // Applies every changed page in tab order. At the first failure the page's tab is made
  // current, the user is told (unless the page did) and false returned.
  bool ApplyAll();
  // OK: ApplyAll, then closes when every page succeeded.
  void accept() override;
  // Deactivates and releases the pages once the dialog closed (by any means).
  void done(int result) override;
  // Help for the current page.
  void ShowHelp();

  // A page's site reports a status change (a dirty or validate bit enables Apply).
  void PageStatusChanged(DWORD flags);

  int pageCount() const { return static_cast<int>(pages_.size()); }
  IPropertyPage* pageAt(int index) const { return pages_.at(index).page.Get(); }
  QTabWidget* tabs() const { return tabs_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }
  QPushButton* applyButton() const { return apply_; }
  QPushButton* helpButton() const { return help_; }

 private:
  struct Page {
    ComPtr<IPropertyPage> page;
    ComPtr<FrameSite> site;
    std::string title;
    std::string helpFile;
    QPointer<QWidget> tab;
  };

  // Releases `page` after the frame gave it its site and objects.
  static void Release(Page& page);
  void ReleasePages();
  // Applies one page; S_OK also for a page without changes.
  HRESULT ApplyPage(Page& page);
  void ReportFailure(const Page& page, HRESULT hr);

  LCID locale_;
  OpenHelpFn openHelp_;
  std::vector<Page> pages_;
  QTabWidget* tabs_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* apply_ = nullptr;
  QPushButton* help_ = nullptr;
};

class PropertyFrame final : public IvokPropertyFrameService {
 public:
  explicit PropertyFrame(OpenHelpFn openHelp = {}) : openHelp_(std::move(openHelp)) {}

  // Runs the frame through the prompter (ui::CurrentPrompter().Exec); S_OK however it was
  // closed, also when no page could be shown (then no dialog opens).
  HRESULT ShowFrame(HWND owner, UINT x, UINT y, LPCOLESTR caption, ULONG objectCount,
                    IUnknown** objects, ULONG pageCount, const CLSID* pages, LCID locale) override;

 private:
  OpenHelpFn openHelp_;
};

// The program's frame: installed as the runtime's frame service with help opened through
// `host` (not owned; it must outlive the installation), replacing an earlier installation.
void InstallPropertyFrame(BarHost* host);
// Removes the frame installed for `host`; a frame of another host, or a service somebody else
// installed in the meantime, stays.
void RemovePropertyFrame(BarHost* host);

// The text of a failure status for the user ("Not enough memory. (0x8007000E)").
std::string FailureText(HRESULT hr);

}  // namespace vok::bar
