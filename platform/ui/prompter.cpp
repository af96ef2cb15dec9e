#include "platform/ui/prompter.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QStringList>

namespace vok::ui {
namespace {

QMessageBox::Icon ToQtIcon(Icon icon) {
  switch (icon) {
    case Icon::kInformation:
      return QMessageBox::Information;
    case Icon::kExclamation:
      return QMessageBox::Warning;
    case Icon::kError:
      return QMessageBox::Critical;
    case Icon::kQuestion:
      return QMessageBox::Question;
    case Icon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(Buttons buttons) {
  switch (buttons) {
    case Buttons::kOkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::kYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case Buttons::kYesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::kOk:
      break;
  }
  return QMessageBox::Ok;
}

Answer FromQtButton(int button) {
  switch (button) {
    case QMessageBox::Yes:
      return Answer::kYes;
    case QMessageBox::No:
      return Answer::kNo;
    case QMessageBox::Ok:
      return Answer::kOk;
    default:
      return Answer::kCancel;
  }
}

class QtPrompter final : public Prompter {
 public:
  Answer Ask(const Message& message) override {
    QMessageBox box(ToQtIcon(message.icon), QString::fromStdString(message.caption),
                    QString::fromStdString(message.text), ToQtButtons(message.buttons),
                    message.owner);
    return FromQtButton(box.exec());
  }

  std::optional<std::string> OpenFile(const OpenFileRequest& request) override {
    QStringList filters;
    for (const std::string& filter : request.filters) filters << QString::fromStdString(filter);
    QString selected = request.selected < static_cast<size_t>(filters.size())
                           ? filters[static_cast<qsizetype>(request.selected)]
                           : QString();
    QString path = QFileDialog::getOpenFileName(
        request.owner, QString::fromStdString(request.title),
        QString::fromStdString(request.startDir), filters.join(QStringLiteral(";;")), &selected,
        QFileDialog::DontResolveSymlinks);
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
  }

  std::optional<std::string> SaveFile(const SaveFileRequest& request) override {
    QStringList filters;
    for (const std::string& filter : request.filters) filters << QString::fromStdString(filter);
    QFileDialog dialog(request.owner, QString::fromStdString(request.title),
                       QString::fromStdString(request.startPath),
                       filters.join(QStringLiteral(";;")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultSuffix));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
  }

  std::optional<std::string> ChooseFolder(const FolderRequest& request) override {
    QString path = QFileDialog::getExistingDirectory(
        request.owner, QString::fromStdString(request.title),
        QString::fromStdString(request.startDir), QFileDialog::ShowDirsOnly);
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
  }

  int Exec(QDialog& dialog) override { return dialog.exec(); }

  QAction* TrackMenu(QMenu& menu, const QPoint& pos) override { return menu.exec(pos); }
};

QtPrompter& QtInstance() {
  static QtPrompter prompter;
  return prompter;
}

Prompter* g_prompter = nullptr;

}  // namespace

Prompter& CurrentPrompter() { return g_prompter ? *g_prompter : QtInstance(); }

Prompter* SetPrompter(Prompter* prompter) {
  Prompter* previous = g_prompter;
  g_prompter = prompter;
  return previous;
}

}  // namespace vok::ui
