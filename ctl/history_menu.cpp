#include "ctl/history_menu.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QPoint>

#include "common/class_ids.h"
#include "ctl/resources/ctl_strings.h"
#include "platform/com/com_ptr.h"
#include "platform/com/runtime.h"
#include "platform/ui/prompter.h"

namespace vok::ctl {
namespace {

bool HaveApplication() { return qobject_cast<QApplication*>(QCoreApplication::instance()); }

void AddEmptyEntry(QMenu* menu) {
  QAction* action =
      menu->addAction(QString::fromUtf8(LoadStringResource(&kCtlResources, kIdsEmpty)));
  action->setData(kEmptyMenuId);
  action->setEnabled(false);
}

// Tracks `menu` and turns the picked action into its number (0 when dismissed).
LONG Track(QMenu* menu, const MenuPlacement& placement) {
  QPoint pos = placement.hasPosition ? QPoint(placement.x, placement.y) : QCursor::pos();
  QAction* picked = ui::CurrentPrompter().TrackMenu(*menu, pos);
  if (!picked || !picked->isEnabled()) return 0;
  bool ok = false;
  int id = picked->data().toInt(&ok);
  return ok && id > 0 && id != kEmptyMenuId ? id : 0;
}

// A path may contain '&', which a menu would take for a mnemonic.
QString MenuText(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
      .replace('&', QStringLiteral("&&"));
}

}  // namespace

HRESULT TrackHistoryMenu(const MenuPlacement& placement, IvokFastList* list, LONG* chosen) {
  if (!list || !chosen) return E_POINTER;
  *chosen = 0;
  if (!HaveApplication()) return E_UNEXPECTED;
  LONG count = 0;
  HRESULT hr = list->get_ItemCount(&count);
  if (FAILED(hr)) return hr;
  QMenu menu(placement.owner);
  if (count == 0) {
    AddEmptyEntry(&menu);
  } else {
    ComPtr<IvokFastListItemIteratorCtl> filler;
    hr = CoCreateInstance(clsid::kFastListItemIteratorCtl, nullptr, CLSCTX_ALL,
                          IvokFastListItemIteratorCtl::kIID, filler.ReleaseAndGetVoidAddressOf());
    if (FAILED(hr)) return hr;
    hr = filler->Init(&menu, kIteratorCtlMenu);
    if (SUCCEEDED(hr)) hr = list->ReverseIterate(filler.Get());
    if (FAILED(hr)) return hr;
  }
  *chosen = Track(&menu, placement);
  return S_OK;
}

HRESULT TrackListMenu(const MenuPlacement& placement, const std::vector<std::string>& entries,
                      LONG* chosen) {
  if (!chosen) return E_POINTER;
  *chosen = 0;
  if (!HaveApplication()) return E_UNEXPECTED;
  QMenu menu(placement.owner);
  if (entries.empty()) AddEmptyEntry(&menu);
  int id = 0;
  for (const std::string& entry : entries) menu.addAction(MenuText(entry))->setData(++id);
  *chosen = Track(&menu, placement);
  return S_OK;
}

}  // namespace vok::ctl
