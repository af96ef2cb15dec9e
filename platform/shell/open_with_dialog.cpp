#include "platform/shell/open_with_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "platform/shell/desktop_entry.h"
#include "platform/system/process_runner.h"
#include "platform/ui/prompter.h"

namespace vok::shell {

DialogOutcome OpenWithChosenApplication(HWND owner, const std::string& path) {
  const std::vector<DesktopApp> apps = ApplicationsFor(MimeTypesOf(path));
  QDialog dialog(owner);
  dialog.setWindowTitle(QStringLiteral("Open With"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(
      new QLabel(QStringLiteral("Open \"%1\" with:")
                     .arg(QString::fromStdString(std::filesystem::path(path).filename().string())),
                 &dialog));
  auto* list = new QListWidget(&dialog);
  list->setObjectName(kApplicationList);
  for (const DesktopApp& app : apps) {
    auto* row = new QListWidgetItem(QString::fromStdString(app.name), list);
    row->setData(Qt::UserRole, QString::fromStdString(app.id));
  }
  if (list->count() > 0) list->setCurrentRow(0);
  layout->addWidget(list);
  layout->addWidget(new QLabel(QStringLiteral("Other program:"), &dialog));
  auto* other = new QLineEdit(&dialog);
  other->setObjectName(kOtherProgramBox);
  layout->addWidget(other);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
  layout->addWidget(buttons);

  if (ui::CurrentPrompter().Exec(dialog) != QDialog::Accepted) return DialogOutcome::kCancelled;
  const std::string program = other->text().trimmed().toStdString();
  const std::string folder = std::filesystem::path(path).parent_path().string();
  if (!program.empty()) {
    bool started = sys::CurrentProcessRunner().StartDetached({program, path}, folder);
    return started ? DialogOutcome::kDone : DialogOutcome::kFailed;
  }
  QListWidgetItem* chosen = list->currentItem();
  if (!chosen) return DialogOutcome::kCancelled;
  const std::string id = chosen->data(Qt::UserRole).toString().toStdString();
  for (const DesktopApp& app : apps)
    if (app.id == id)
      return LaunchApplication(app, path) ? DialogOutcome::kDone : DialogOutcome::kFailed;
  return DialogOutcome::kFailed;
}

}  // namespace vok::shell
