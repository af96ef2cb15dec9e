#include "cmdline/alias_properties_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "cmdline/item_text.h"
#include "cmdline/resources/cmdline_strings.h"
#include "platform/ui/prompter.h"

namespace vok::cmdline {
namespace {

constexpr size_t kMaxNameBytes = kItemTextSize - 1;
constexpr size_t kMaxDescriptionBytes = kItemTextSize - 1;
constexpr size_t kMaxDefinitionBytes = kAliasDefinitionSize - 1;
constexpr int kMaxFieldChars = static_cast<int>(kMaxNameBytes);

constexpr const char* kHint =
    "Each command has to be on separate row.  Comment begins with '#'.  Use quotation marks for "
    "pathes containing space characters (e.g., cd \"c:\\Program Files\", etc.).  Up to 9 "
    "parameters (strings %1, %2, ... %9) will be replaced by actual alias arguments.";

}  // namespace

AliasPropertiesDialog::AliasPropertiesDialog(IUnknown* item, AliasDialogOptions options,
                                             QWidget* parent)
    : QDialog(parent),
      keyed_(QueryAs<IvokFastListItem>(item)),
      alias_(QueryAs<IvokFastListItemAlias>(item)),
      options_(std::move(options)) {
  BuildLayout();
  LoadFields();
}

bool AliasPropertiesDialog::Edit(IUnknown* item, AliasDialogOptions options, QWidget* parent) {
  if (!QueryAs<IvokFastListItem>(item) || !QueryAs<IvokFastListItemAlias>(item)) return false;
  AliasPropertiesDialog dialog(item, std::move(options), parent);
  return ui::CurrentPrompter().Exec(dialog) == QDialog::Accepted;
}

void AliasPropertiesDialog::BuildLayout() {
  setWindowTitle(QStringLiteral("Alias Properties"));
  name_ = new QLineEdit;
  name_->setMaxLength(kMaxFieldChars);
  description_ = new QLineEdit;
  description_->setMaxLength(kMaxFieldChars);
  definition_ = new QPlainTextEdit;
  definition_->setLineWrapMode(QPlainTextEdit::NoWrap);
  hint_ = new QLabel(QString::fromUtf8(kHint));
  hint_->setWordWrap(true);
  hint_->setTextFormat(Qt::PlainText);

  insertCommand_ = new QPushButton(QStringLiteral("Insert &Command"));
  insertCommand_->setEnabled(options_.browser != nullptr);
  auto* insertFile = new QPushButton(QStringLiteral("Insert Full Path &File Name"));
  auto* insertPath = new QPushButton(QStringLiteral("Insert &Path"));
  for (QPushButton* button : {insertCommand_, insertFile, insertPath})
    button->setAutoDefault(false);

  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("&Alias"), name_);
  fields->addRow(QStringLiteral("D&escription"), description_);
  auto* definitionLabel = new QLabel(QStringLiteral("Alias &Definition:"));
  definitionLabel->setBuddy(definition_);

  auto* inserts = new QHBoxLayout;
  inserts->addWidget(insertCommand_);
  inserts->addWidget(insertFile);
  inserts->addWidget(insertPath);
  inserts->addStretch(1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(definitionLabel);
  layout->addWidget(definition_, 1);
  layout->addLayout(inserts);
  layout->addWidget(hint_);
  layout->addWidget(buttons);

  connect(insertCommand_, &QPushButton::clicked, this, [this] { InsertCommand(); });
  connect(insertFile, &QPushButton::clicked, this, [this] { InsertFileName(); });
  connect(insertPath, &QPushButton::clicked, this, [this] { InsertPath(); });
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { accept(); });
  connect(buttons, &QDialogButtonBox::rejected, this, [this] { reject(); });
}

void AliasPropertiesDialog::LoadFields() {
  if (!keyed_ || !alias_) return;
  originalName_ =
      ReadBufferText(kItemTextSize, [&](char* b, ULONG* s) { return keyed_->GetStrKey(b, s); });
  name_->setText(ToQString(originalName_));
  description_->setText(ToQString(
      ReadBufferText(kItemTextSize, [&](char* b, ULONG* s) { return alias_->GetDescr(b, s); })));
  definition_->setPlainText(DefinitionToEditor(ReadBufferText(
      kAliasDefinitionSize, [&](char* b, ULONG* s) { return alias_->GetAlias(b, s); })));
}

void AliasPropertiesDialog::InsertAtCaret(const std::string& text) {
  definition_->insertPlainText(ToQString(text));
  definition_->setFocus();
}

void AliasPropertiesDialog::InsertCommand() {
  if (!options_.browser) return;
  char command[kItemTextSize] = {};
  ULONG size = sizeof command;
  if (options_.browser->BrowseForCmd(command, &size) == S_OK)
    InsertAtCaret(std::string(command, size));
}

void AliasPropertiesDialog::InsertFileName() {
  ui::OpenFileRequest request;
  request.owner = this;
  request.title = LoadStringResource(&kCmdLineResources, kIdsBrowseForFile);
  request.filters = {"All files (*)"};
  if (auto path = ui::CurrentPrompter().OpenFile(request)) InsertAtCaret(*path);
}

void AliasPropertiesDialog::InsertPath() {
  ui::FolderRequest request;
  request.owner = this;
  if (auto path = ui::CurrentPrompter().ChooseFolder(request)) InsertAtCaret(*path);
}

void AliasPropertiesDialog::accept() {
  if (!keyed_ || !alias_) return reject();
  const std::string name = CutAndTrim(ToStdString(name_->text()), kMaxNameBytes);
  if (name.empty()) return RefuseField(this, name_, kIdsShortcutEmpty, kIdsCaptionAliases);
  if (!IsNameFree(name, originalName_, options_.editsExisting, options_.isNameTaken))
    return RefuseField(this, name_, kIdsAliasNameTaken, kIdsCaptionAliases);
  const std::string definition =
      CutText(DefinitionFromEditor(definition_->toPlainText()), kMaxDefinitionBytes);
  if (IsBlankText(definition))
    return RefuseField(this, definition_, kIdsDefinitionEmpty, kIdsCaptionAliases);
  // The key changes only now: a refused definition must not leave a renamed item behind.
  const std::string description = CutText(ToStdString(description_->text()), kMaxDescriptionBytes);
  keyed_->SetStrKey(name.c_str());
  alias_->SetAlias(definition.c_str());
  alias_->SetDescr(description.c_str());
  QDialog::accept();
}

}  // namespace vok::cmdline
