// The container's engine panels: creation, the panel toolbar, selection, layout and the calls
// passed through to every panel.
#include <algorithm>
#include <cstdint>
#include <new>

#include "common/class_ids.h"
#include "common/fast_list_ifaces.h"
#include "common/string_table.h"
#include "engine/engine_container.h"

namespace vok {
namespace {

// Version identifier of IvokComCtlVer::IsVersion that first has flat toolbars.
constexpr USHORT kFlatToolbarVersion = 0;

}  // namespace

template <class Op>
HRESULT EngineContainer::ForEachPanel(Op op) {
  // Steps by key, so a panel call that changes the map cannot leave the loop dangling.
  for (auto it = panels_.begin(); it != panels_.end();) {
    const LONG id = it->first;
    ComPtr<IvokEnginePanel> panel = it->second.panel;
    HRESULT hr = op(panel.Get());
    if (FAILED(hr)) return hr;
    it = panels_.upper_bound(id);
  }
  return S_OK;
}

const EngineContainer::PanelRecord* EngineContainer::FindPanel(LONG id) const {
  if (id == kPanelNone) return nullptr;
  auto it = panels_.find(id);
  return it == panels_.end() ? nullptr : &it->second;
}

HRESULT STDMETHODCALLTYPE EngineContainer::GetPanelCount(LONG* plCount) {
  if (!plCount) return E_POINTER;
  *plCount = static_cast<LONG>(panels_.size());
  return S_OK;
}

HRESULT STDMETHODCALLTYPE EngineContainer::GetMaxPanelHeight(LONG* plHeight) {
  if (!plHeight) return E_POINTER;
  LONG highest = -1;
  HRESULT hr = ForEachPanel([&highest](IvokEnginePanel* panel) {
    RECT rect = {};
    if (FAILED(panel->GetRect(&rect))) return E_FAIL;
    highest = std::max(highest, rect.bottom - rect.top);
    return S_OK;
  });
  if (FAILED(hr)) return hr;
  *plHeight = highest;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE EngineContainer::CreatePanels(HWND hwndParent, LONG lFirstId,
                                                        LONG lLastId) {
  panelParent_ = hwndParent;
  // 64-bit so that a range ending at the largest identifier cannot wrap around.
  int64_t next = lFirstId;
  for (size_t i = 0; i < engines_.size() && next <= lLastId; ++i) {
    ComPtr<IvokEnginePanel> panel = EngineInterface<IvokEnginePanel>(i);
    if (!panel) continue;
    PanelRecord record;
    panel->GetButtonInfo(&record.module, &record.bitmapId, &record.tipId);
    if (FAILED(panel->Create(hwndParent))) return E_ABORT;
    record.panel = std::move(panel);
    const LONG id = static_cast<LONG>(next);
    try {
      panels_.insert_or_assign(id, std::move(record));
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    lastPanelId_ = id;
    ++next;
  }
  return S_OK;
}

bool EngineContainer::FlatToolbarsAvailable() const {
  // Without the version component the toolbar keeps the raised look.
  ComPtr<IvokComCtlVer> version;
  if (FAILED(CoCreateInstance(clsid::kComCtlVer, nullptr, CLSCTX_INPROC_SERVER, IvokComCtlVer::kIID,
                              version.ReleaseAndGetVoidAddressOf())))
    return false;
  version->Init();
  return version->IsVersion(kFlatToolbarVersion) == S_OK;
}

HRESULT STDMETHODCALLTYPE EngineContainer::CreateToolbar(UINT uCtrlId, HWND hwndParent,
                                                         HWND* phwndToolbar) {
  if (!phwndToolbar) return E_POINTER;
  if (panels_.empty()) {
    toolbar_ = *phwndToolbar;
    return S_FALSE;
  }
  if (!widgets_) return E_FAIL;
  std::vector<PanelButton> buttons;
  try {
    buttons.reserve(panels_.size());
    for (const auto& [id, record] : panels_) {
      buttons.push_back(PanelButton{id, record.module, record.bitmapId,
                                    LoadStringResource(ResourcesOf(record.module), record.tipId)});
    }
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  HWND toolbar = widgets_->CreateToolbar(uCtrlId, hwndParent, FlatToolbarsAvailable(), buttons);
  if (!toolbar) return E_FAIL;
  toolbar_ = toolbar;
  *phwndToolbar = toolbar;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE EngineContainer::GetPanelInfo(LONG lId, HMODULE* phModule,
                                                        UINT* puTipId) {
  if (!phModule || !puTipId) return E_POINTER;
  const PanelRecord* record = FindPanel(lId);
  if (!record) return E_INVALIDARG;
  *phModule = record->module;
  *puTipId = record->tipId;
  return S_OK;
}

LONG EngineContainer::ChooseTarget(LONG request) const {
  if (panels_.empty()) return kPanelNone;
  const LONG first = panels_.begin()->first;
  const bool none = selectedPanel_ == kPanelNone;
  switch (request) {
    case kPanelShowSelected:
      return none ? first : selectedPanel_;
    case kPanelNext:
      if (none) return first;
      return int64_t{selectedPanel_} + 1 > lastPanelId_ ? first : selectedPanel_ + 1;
    case kPanelPrevious:
      if (none) return first;
      return int64_t{selectedPanel_} - 1 < first ? lastPanelId_ : selectedPanel_ - 1;
    default:
      return request;
  }
}

void EngineContainer::HideSelectedPanel() {
  if (const PanelRecord* shown = FindPanel(selectedPanel_)) {
    ComPtr<IvokEnginePanel> panel = shown->panel;
    panel->Show(SW_HIDE);
  }
}

HRESULT STDMETHODCALLTYPE EngineContainer::SelectPanel(LONG lId) {
  if (lId == kPanelDeselect) {
    if (selectedPanel_ != kPanelNone) {
      HideSelectedPanel();
      if (widgets_) widgets_->SetButtonChecked(selectedPanel_, false);
      selectedPanel_ = kPanelNone;
    }
    return S_OK;
  }
  const LONG target = ChooseTarget(lId);
  HideSelectedPanel();
  const PanelRecord* record = FindPanel(target);
  if (!record) return E_INVALIDARG;
  ComPtr<IvokEnginePanel> panel = record->panel;
  panel->Show(SW_SHOW);
  if (widgets_) widgets_->SetButtonChecked(target, true);
  selectedPanel_ = target;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE EngineContainer::LayoutPanels() {
  const LONG height = widgets_ ? widgets_->ClientHeight(panelParent_) : 0;
  return ForEachPanel([&](IvokEnginePanel* panel) {
    RECT screen = {};
    // A panel that cannot tell where it is keeps its place.
    if (FAILED(panel->GetRect(&screen))) return S_OK;
    const LONG h = screen.bottom - screen.top;
    const RECT client = widgets_ ? widgets_->ScreenToClient(panelParent_, screen) : screen;
    panel->SetPos((height - h) / 2, client.bottom + h);
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE EngineContainer::BroadcastA(LONG l1, LONG l2) {
  return ForEachPanel([=](IvokEnginePanel* panel) { return panel->SetHorzPos(l1, l2); });
}

HRESULT STDMETHODCALLTYPE EngineContainer::BroadcastB(LONG l1, LONG l2) {
  return ForEachPanel([=](IvokEnginePanel* panel) { return panel->SetFlags(l1, l2); });
}

HRESULT STDMETHODCALLTYPE EngineContainer::BroadcastC() {
  return ForEachPanel([](IvokEnginePanel* panel) { return panel->Refresh(); });
}

HRESULT STDMETHODCALLTYPE EngineContainer::RunPanelCommand() {
  const PanelRecord* record = FindPanel(selectedPanel_);
  if (!record) return E_FAIL;
  ComPtr<IvokEnginePanel> panel = record->panel;
  char command[kPanelCommandSize] = {};
  HRESULT hr = panel->GetCommand(command);
  if (hr != S_OK) return hr;
  command[kPanelCommandSize - 1] = '\0';
  if (command[0] == '\0') return S_FALSE;
  return Command(command);
}

HRESULT STDMETHODCALLTYPE EngineContainer::CurrentPanelOp() {
  const PanelRecord* record = FindPanel(selectedPanel_);
  if (!record) return E_FAIL;
  ComPtr<IvokEnginePanel> panel = record->panel;
  return panel->HideQuickHelp();
}

}  // namespace vok
