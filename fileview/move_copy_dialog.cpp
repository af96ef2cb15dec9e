#include "fileview/move_copy_dialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "fileview/history_list.h"
#include "fileview/resources/fileview_strings.h"
#include "platform/ui/prompter.h"

namespace vok::fileview {
namespace {

QString Text(UINT id) {
  return QString::fromStdString(LoadStringResource(&kFileViewResources, id));
}

QComboBox* HistoryBox(QDialog* dialog, const char* name, IvokFastList* history) {
  auto* box = new QComboBox(dialog);
  box->setObjectName(name);
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setMinimumWidth(320);
  FillFromHistory(box, history);
  return box;
}

}  // namespace

std::optional<TransferTarget> AskTransferTarget(HWND owner, bool move,
                                                const std::string& browseFrom,
                                                IvokFastList* destinations, IvokFastList* names) {
  QDialog dialog(owner);
  dialog.setWindowTitle(Text(move ? kIdsMoveTitle : kIdsCopyTitle));
  auto* layout = new QVBoxLayout(&dialog);
  auto* form = new QFormLayout;

  QComboBox* destination = HistoryBox(&dialog, kDestinationBox, destinations);
  auto* browse = new QPushButton(Text(kIdsBrowseButton), &dialog);
  browse->setObjectName(kBrowseButton);
  browse->setAutoDefault(false);
  QObject::connect(browse, &QPushButton::clicked, &dialog, [&] {
    ui::FolderRequest request;
    request.owner = &dialog;
    request.title = LoadStringResource(&kFileViewResources, kIdsSelectNewFolder);
    const std::string typed = destination->currentText().toStdString();
    request.startDir = typed.empty() ? browseFrom : typed;
    if (std::optional<std::string> folder = ui::CurrentPrompter().ChooseFolder(request))
      destination->setEditText(QString::fromStdString(*folder));
  });
  auto* row = new QHBoxLayout;
  row->addWidget(destination, 1);
  row->addWidget(browse);
  form->addRow(Text(kIdsDestinationLabel), row);

  QComboBox* newName = nullptr;
  if (names) {
    newName = HistoryBox(&dialog, kNewNameBox, names);
    // The entry keeps its name unless one is typed or picked.
    newName->setEditText(QString());
    form->addRow(Text(kIdsNewNameLabel), newName);
  }
  layout->addLayout(form);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);

  if (ui::CurrentPrompter().Exec(dialog) != QDialog::Accepted) return std::nullopt;
  TransferTarget target;
  target.destination = destination->currentText().trimmed().toStdString();
  if (newName) target.newName = newName->currentText().trimmed().toStdString();
  return target;
}

}  // namespace vok::fileview
