// The window operations of the engine container, kept behind this seam so that the container's
// logic builds and is tested without Qt. The engine library supplies the Qt implementation
// (qt_container_widgets.h); tests supply a recording fake.
#pragma once

#include <string>
#include <vector>

#include "common/vok_types.h"

namespace vok {

// One check-group button of the panel toolbar.
struct PanelButton {
  LONG panelId;     // the command identifier of the button
  HMODULE module;   // the panel library's resources (vok::ModuleResources); may be null
  UINT bitmapId;    // image resource identifier inside that library
  std::string tip;  // tooltip text
};

class ContainerWidgets {
 public:
  virtual ~ContainerWidgets() = default;

  // Appends one disabled item reading `text` to every direct submenu of `menu` that holds no
  // item. `menu` is not null.
  virtual void MarkEmptySubmenus(HMENU menu, const std::string& text) = 0;

  // Creates the visible panel toolbar as a child of `parent`, one checkable button per entry in
  // the given order, exactly one of them checked at a time. Null when it cannot be created.
  // The toolbar belongs to its parent window; this object only remembers it.
  virtual HWND CreateToolbar(UINT controlId, HWND parent, bool flat,
                             const std::vector<PanelButton>& buttons) = 0;
  // Checks or unchecks the button of `panelId` on the toolbar made last; nothing when there is
  // no toolbar (any more) or no such button.
  virtual void SetButtonChecked(LONG panelId, bool checked) = 0;

  // Height of the client area of `window`; 0 for a null window.
  virtual LONG ClientHeight(HWND window) = 0;
  // `screen` converted from screen coordinates to the client coordinates of `window`.
  virtual RECT ScreenToClient(HWND window, const RECT& screen) = 0;
};

}  // namespace vok
