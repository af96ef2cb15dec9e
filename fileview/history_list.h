// The file view's histories (selection masks, destination folders, new names): unique fast
// lists of string items, created by class identifier from the tools library, keeping the 30
// newest entries with the newest at the back.
#pragma once

#include <string>

#include "common/fast_list_ifaces.h"
#include "platform/com/com_ptr.h"

class QComboBox;
class QWidget;

namespace vok::fileview {

inline constexpr LONG kHistoryLimit = 30;

// A new, empty history; the creation status on failure.
HRESULT CreateHistory(ComPtr<IvokFastList>* list);

// Refills `combo` from `history`, newest first, with the iterator control (combo-box mode);
// the combo's text becomes the newest entry. The control's creation status on failure.
HRESULT FillFromHistory(QComboBox* combo, IvokFastList* history);

// An editable combo box of the dialogs, child of `parent`, named `objectName`, at least
// `minimumWidth` pixels wide and filled from `history` (FillFromHistory); typed text is not
// added to its entries.
QComboBox* NewHistoryBox(QWidget* parent, const char* objectName, int minimumWidth,
                         IvokFastList* history);

// Files `text` as the newest entry; an entry with the same text moves to the back instead.
// S_FALSE (nothing filed) for an empty text or one too long to be a key.
HRESULT AddToHistory(IvokFastList* history, const std::string& text);

}  // namespace vok::fileview
