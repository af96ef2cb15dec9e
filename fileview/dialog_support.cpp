#include "fileview/dialog_support.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include "fileview/resources/fileview_strings.h"
#include "platform/ui/prompter.h"

namespace vok::fileview {

QString UiText(UINT id) {
  return QString::fromStdString(LoadStringResource(&kFileViewResources, id));
}

bool RunFormDialog(QDialog& dialog, QFormLayout* form) {
  auto* layout = new QVBoxLayout(&dialog);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  return ui::CurrentPrompter().Exec(dialog) == QDialog::Accepted;
}

}  // namespace vok::fileview
