#include "platform/shell/properties_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "platform/shell/item_properties.h"
#include "platform/ui/prompter.h"

namespace vok::shell {

bool ShowProperties(HWND owner, const std::string& path) {
  auto rows = ItemProperties(path);
  if (!rows) return false;
  QDialog dialog(owner);
  dialog.setObjectName(kPropertiesDialog);
  dialog.setWindowTitle(QStringLiteral("Properties"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* form = new QFormLayout;
  for (const auto& [label, value] : *rows) {
    auto* text = new QLabel(QString::fromStdString(value), &dialog);
    text->setObjectName(QString::fromStdString(label));
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(QString::fromStdString(label) + QLatin1Char(':'), text);
  }
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  ui::CurrentPrompter().Exec(dialog);
  return true;
}

}  // namespace vok::shell
