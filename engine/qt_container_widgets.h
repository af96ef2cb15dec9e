// The Qt side of the engine container: menus, the panel toolbar and window geometry.
//
// The panel toolbar is a QToolBar child of the given parent (which owns it). Each panel button
// is a checkable QAction in one exclusive group; its data() holds the panel identifier, so the
// bar connects QToolBar::actionTriggered and calls IvokPanelBar::SelectPanel with it. The
// control identifier is kept in the toolbar's "vokControlId" property.
#pragma once

#include <QPointer>

#include "engine/container_widgets.h"
#include "platform/com/unknwn.h"

class QToolBar;

namespace vok {

class QtContainerWidgets final : public ContainerWidgets {
 public:
  QtContainerWidgets();
  ~QtContainerWidgets() override;

  void MarkEmptySubmenus(HMENU menu, const std::string& text) override;
  HWND CreateToolbar(UINT controlId, HWND parent, bool flat,
                     const std::vector<PanelButton>& buttons) override;
  void SetButtonChecked(LONG panelId, bool checked) override;
  LONG ClientHeight(HWND window) override;
  RECT ScreenToClient(HWND window, const RECT& screen) override;

 private:
  QPointer<QToolBar> toolbar_;  // owned by its parent window
};

// The engine library's creation function of vokEngineContainer: a container whose window
// operations are done with Qt. Refuses aggregation.
HRESULT CreateQtEngineContainer(IUnknown* outer, REFIID riid, void** ppv);

}  // namespace vok
