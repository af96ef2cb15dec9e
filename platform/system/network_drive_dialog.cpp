#include "platform/system/network_drive_dialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/prompter.h"

namespace vok::sys {

std::optional<std::string> AskNetworkLocation(HWND owner, NetworkDialogKind kind,
                                              const std::vector<std::string>& known) {
  const bool connect = kind == NetworkDialogKind::kConnect;
  QDialog dialog(owner);
  dialog.setWindowTitle(connect ? QStringLiteral("Connect to Network Location")
                                : QStringLiteral("Disconnect Network Location"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(connect ? QStringLiteral("Server address (for example "
                                                        "smb://server/share or sftp://host/):")
                                       : QStringLiteral("Network location to disconnect:"),
                               &dialog));
  auto* address = new QComboBox(&dialog);
  address->setObjectName(kNetworkAddressBox);
  address->setEditable(true);
  address->setMinimumWidth(360);
  for (const std::string& location : known) address->addItem(QString::fromStdString(location));
  if (connect) address->setCurrentText(QString());
  layout->addWidget(address);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)
      ->setText(connect ? QStringLiteral("Connect") : QStringLiteral("Disconnect"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);

  if (ui::CurrentPrompter().Exec(dialog) != QDialog::Accepted) return std::nullopt;
  std::string text = address->currentText().trimmed().toStdString();
  if (text.empty()) return std::nullopt;
  return text;
}

}  // namespace vok::sys
