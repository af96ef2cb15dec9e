#include "bar/context_folder_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "bar/resources/bar_strings.h"
#include "platform/ui/prompter.h"

namespace vok::bar {
namespace {

QString ToQString(const std::string& text) { return QString::fromUtf8(text.c_str()); }
std::string ToStdString(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace

ContextFolderDialog::ContextFolderDialog(const ContextFolder& record, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("contextFolderDialog"));
  setWindowTitle(ToQString(BarString(kIdsContextFolderCaption)));

  title_ = new QLineEdit(ToQString(record.title));
  title_->setObjectName(QStringLiteral("titleEdit"));
  folder_ = new QLineEdit(ToQString(record.folder));
  folder_->setObjectName(QStringLiteral("folderEdit"));
  browse_ = new QPushButton(QStringLiteral("..."));
  browse_->setObjectName(QStringLiteral("browseButton"));
  browse_->setAutoDefault(false);
  matchCase_ = new QCheckBox(QStringLiteral("Match &case"));
  matchCase_->setObjectName(QStringLiteral("matchCaseBox"));
  matchCase_->setChecked(record.matchCase);
  wholeTitle_ = new QCheckBox(QStringLiteral("Match &whole applicaction title only"));
  wholeTitle_->setObjectName(QStringLiteral("wholeTitleBox"));
  wholeTitle_->setChecked(record.wholeTitle);

  auto* titleLabel = new QLabel(QStringLiteral("&Applicaction Title:"));
  titleLabel->setBuddy(title_);
  auto* folderLabel = new QLabel(QStringLiteral("Context &Folder:"));
  folderLabel->setBuddy(folder_);

  auto* fields = new QGridLayout;
  fields->addWidget(titleLabel, 0, 0);
  fields->addWidget(title_, 0, 1, 1, 2);
  fields->addWidget(folderLabel, 1, 0);
  fields->addWidget(folder_, 1, 1);
  fields->addWidget(browse_, 1, 2);
  fields->addWidget(matchCase_, 2, 1, 1, 2);
  fields->addWidget(wholeTitle_, 3, 1, 1, 2);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(buttons);
  resize(460, sizeHint().height());

  connect(browse_, &QPushButton::clicked, this, [this] { Browse(); });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::optional<ContextFolder> ContextFolderDialog::Edit(const ContextFolder& record,
                                                       QWidget* parent) {
  ContextFolderDialog dialog(record, parent);
  if (ui::CurrentPrompter().Exec(dialog) != QDialog::Accepted) return std::nullopt;
  return dialog.record();
}

ContextFolder ContextFolderDialog::record() const {
  ContextFolder record;
  record.title = ToStdString(title_->text());
  record.folder = ToStdString(folder_->text());
  record.matchCase = matchCase_->isChecked();
  record.wholeTitle = wholeTitle_->isChecked();
  return record;
}

void ContextFolderDialog::Browse() {
  ui::FolderRequest request;
  request.owner = this;
  request.title = BarString(kIdsSelectContextFolder);
  request.startDir = ToStdString(folder_->text());
  if (std::optional<std::string> folder = ui::CurrentPrompter().ChooseFolder(request))
    folder_->setText(ToQString(*folder));
}

}  // namespace vok::bar
