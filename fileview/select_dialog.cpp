#include "fileview/select_dialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "fileview/history_list.h"
#include "fileview/resources/fileview_strings.h"
#include "platform/ui/prompter.h"

namespace vok::fileview {

std::optional<std::string> AskSelectionMask(HWND owner, bool select, IvokFastList* history) {
  auto text = [](UINT id) {
    return QString::fromStdString(LoadStringResource(&kFileViewResources, id));
  };
  QDialog dialog(owner);
  dialog.setWindowTitle(text(select ? kIdsSelectTitle : kIdsDeselectTitle));
  auto* layout = new QVBoxLayout(&dialog);
  auto* form = new QFormLayout;
  auto* mask = new QComboBox(&dialog);
  mask->setObjectName(kMaskBox);
  mask->setEditable(true);
  mask->setInsertPolicy(QComboBox::NoInsert);
  mask->setMinimumWidth(280);
  FillFromHistory(mask, history);
  form->addRow(text(kIdsMaskLabel), mask);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  if (ui::CurrentPrompter().Exec(dialog) != QDialog::Accepted) return std::nullopt;
  return mask->currentText().toStdString();
}

}  // namespace vok::fileview
