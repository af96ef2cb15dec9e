#include "platform/shell/context_menu.h"

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPoint>
#include <QVBoxLayout>

#include "platform/ui/prompter.h"

namespace vok::shell {

ItemAction ChooseItemAction(HWND owner, const QPoint& pos) {
  QMenu menu(owner);
  const std::pair<const char*, ItemAction> entries[] = {
      {kMenuOpen, ItemAction::kOpen},         {kMenuOpenWith, ItemAction::kOpenWith},
      {kMenuCopyPath, ItemAction::kCopyPath}, {kMenuRename, ItemAction::kRename},
      {kMenuDelete, ItemAction::kDelete},     {kMenuProperties, ItemAction::kProperties},
  };
  for (const auto& [text, action] : entries) {
    if (action == ItemAction::kCopyPath || action == ItemAction::kProperties) menu.addSeparator();
    menu.addAction(QString::fromUtf8(text))->setData(static_cast<int>(action));
  }
  QAction* chosen = ui::CurrentPrompter().TrackMenu(menu, pos);
  if (!chosen || !chosen->data().isValid()) return ItemAction::kNone;
  return static_cast<ItemAction>(chosen->data().toInt());
}

std::optional<std::string> AskNewName(HWND owner, const std::string& currentName) {
  QDialog dialog(owner);
  dialog.setWindowTitle(QStringLiteral("Rename"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("New name:"), &dialog));
  auto* name = new QLineEdit(QString::fromStdString(currentName), &dialog);
  name->setObjectName(kNewNameBox);
  name->setMinimumWidth(320);
  name->selectAll();
  layout->addWidget(name);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  if (ui::CurrentPrompter().Exec(dialog) != QDialog::Accepted) return std::nullopt;
  std::string text = name->text().toStdString();
  if (text.empty() || text == currentName) return std::nullopt;
  return text;
}

void CopyPathToClipboard(const std::string& path) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return;
  const QString text = QString::fromStdString(path);
  clipboard->setText(text, QClipboard::Clipboard);
  if (clipboard->supportsSelection()) clipboard->setText(text, QClipboard::Selection);
}

}  // namespace vok::shell
