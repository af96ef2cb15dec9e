#include "fileview/select_dialog.h"

#include <QComboBox>
#include <QDialog>
#include <QFormLayout>

#include "fileview/dialog_support.h"
#include "fileview/history_list.h"
#include "fileview/resources/fileview_strings.h"

namespace vok::fileview {

std::optional<std::string> AskSelectionMask(HWND owner, bool select, IvokFastList* history) {
  QDialog dialog(owner);
  dialog.setWindowTitle(UiText(select ? kIdsSelectTitle : kIdsDeselectTitle));
  auto* form = new QFormLayout;
  QComboBox* mask = NewHistoryBox(&dialog, kMaskBox, 280, history);
  form->addRow(UiText(kIdsMaskLabel), mask);
  if (!RunFormDialog(dialog, form)) return std::nullopt;
  return mask->currentText().toStdString();
}

}  // namespace vok::fileview
