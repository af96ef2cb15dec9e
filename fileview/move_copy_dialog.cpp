#include "fileview/move_copy_dialog.h"

#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>

#include "fileview/dialog_support.h"
#include "fileview/history_list.h"
#include "fileview/resources/fileview_strings.h"
#include "platform/ui/prompter.h"

namespace vok::fileview {
namespace {

constexpr int kBoxWidth = 320;

}  // namespace

std::optional<TransferTarget> AskTransferTarget(HWND owner, bool move,
                                                const std::string& browseFrom,
                                                IvokFastList* destinations, IvokFastList* names) {
  QDialog dialog(owner);
  dialog.setWindowTitle(UiText(move ? kIdsMoveTitle : kIdsCopyTitle));
  auto* form = new QFormLayout;

  QComboBox* destination = NewHistoryBox(&dialog, kDestinationBox, kBoxWidth, destinations);
  auto* browse = new QPushButton(UiText(kIdsBrowseButton), &dialog);
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
  form->addRow(UiText(kIdsDestinationLabel), row);

  QComboBox* newName = nullptr;
  if (names) {
    newName = NewHistoryBox(&dialog, kNewNameBox, kBoxWidth, names);
    // The entry keeps its name unless one is typed or picked.
    newName->setEditText(QString());
    form->addRow(UiText(kIdsNewNameLabel), newName);
  }
  if (!RunFormDialog(dialog, form)) return std::nullopt;
  TransferTarget target;
  target.destination = destination->currentText().trimmed().toStdString();
  if (newName) target.newName = newName->currentText().trimmed().toStdString();
  return target;
}

}  // namespace vok::fileview
