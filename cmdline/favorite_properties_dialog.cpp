#include "cmdline/favorite_properties_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>
#include <optional>
#include <system_error>

#include "cmdline/item_text.h"
#include "cmdline/resources/cmdline_strings.h"
#include "platform/ui/prompter.h"

namespace vok::cmdline {
namespace {

constexpr size_t kMaxTextBytes = kItemTextSize - 1;
constexpr int kMaxTextChars = static_cast<int>(kMaxTextBytes);
// Longest type name in the title, in bytes.
constexpr size_t kMaxTypeNameBytes = 23;
// Programs have no telling extension here: the program dialog lists every file and starts in
// the usual folder of installed programs.
constexpr const char* kProgramFilter = "Programs (*)";
constexpr const char* kAllFilesFilter = "All files (*)";
constexpr const char* kProgramFolder = "/usr/bin";
constexpr const char* kNewLinkText = "http://";

UINT TypeNameId(ULONG type) {
  switch (type) {
    case kFavoriteFile:
      return kIdsTypeFiles;
    case kFavoriteFolder:
      return kIdsTypeFolders;
    case kFavoriteProgram:
      return kIdsTypePrograms;
    case kFavoriteLink:
      return kIdsTypeLinks;
    case kFavoriteOther:
      return kIdsTypeOthers;
    default:
      return 0;
  }
}

bool IsDirectory(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_directory(path, error);
}

}  // namespace

FavoritePropertiesDialog::FavoritePropertiesDialog(IUnknown* item, FavoriteDialogOptions options,
                                                   QWidget* parent)
    : QDialog(parent),
      keyed_(QueryAs<IvokFastListItem>(item)),
      favorite_(QueryAs<IvokFastListItemFavorite>(item)),
      options_(std::move(options)) {
  if (keyed_) keyed_->get_ItemData(&type_);
  BuildLayout();
  LoadFields();
}

bool FavoritePropertiesDialog::Edit(IUnknown* item, FavoriteDialogOptions options,
                                    QWidget* parent) {
  if (!QueryAs<IvokFastListItem>(item) || !QueryAs<IvokFastListItemFavorite>(item)) return false;
  FavoritePropertiesDialog dialog(item, std::move(options), parent);
  return ui::CurrentPrompter().Exec(dialog) == QDialog::Accepted;
}

void FavoritePropertiesDialog::BuildLayout() {
  QString title = QStringLiteral("Favorite Properties");
  if (UINT nameId = TypeNameId(type_)) {
    title += QStringLiteral(" - ") +
             ToQString(CutText(LoadStringResource(&kCmdLineResources, nameId), kMaxTypeNameBytes));
  }
  setWindowTitle(title);

  shortcut_ = new QLineEdit;
  shortcut_->setMaxLength(kMaxTextChars);
  tree_ = new QCheckBox(QStringLiteral("Show &tree in Explorer"));
  tree_->setVisible(type_ == kFavoriteFolder);
  description_ = new QLineEdit;
  description_->setMaxLength(kMaxTextChars);
  definition_ = new QLineEdit;
  definition_->setMaxLength(kMaxTextChars);
  browse_ = new QPushButton(QStringLiteral(". . ."));
  browse_->setAutoDefault(false);
  browse_->setEnabled(type_ == kFavoriteFolder || type_ == kFavoriteFile ||
                      type_ == kFavoriteProgram);

  auto* definitionRow = new QHBoxLayout;
  definitionRow->addWidget(definition_, 1);
  definitionRow->addWidget(browse_);

  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("&Shortcut"), shortcut_);
  fields->addRow(QString(), tree_);
  fields->addRow(QStringLiteral("D&escription"), description_);
  fields->addRow(QStringLiteral("&Definition"), definitionRow);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(buttons);

  connect(browse_, &QPushButton::clicked, this, [this] { Browse(); });
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { accept(); });
  connect(buttons, &QDialogButtonBox::rejected, this, [this] { reject(); });
}

void FavoritePropertiesDialog::LoadFields() {
  if (!keyed_ || !favorite_) return;
  originalName_ =
      ReadBufferText(kItemTextSize, [&](char* b, ULONG* s) { return keyed_->GetStrKey(b, s); });
  shortcut_->setText(ToQString(originalName_));
  description_->setText(ToQString(
      ReadBufferText(kItemTextSize, [&](char* b, ULONG* s) { return favorite_->GetDescr(b, s); })));
  std::string definition = ReadBufferText(
      kItemTextSize, [&](char* b, ULONG* s) { return favorite_->GetFavorite(b, s); });
  if (!options_.editsExisting && type_ == kFavoriteLink && definition.empty())
    definition = kNewLinkText;
  definition_->setText(ToQString(definition));
  LONG useTree = 0;
  favorite_->get_UseExplorerTree(&useTree);
  tree_->setChecked(useTree != 0);
}

void FavoritePropertiesDialog::Browse() {
  const std::string current = ToStdString(definition_->text());
  std::optional<std::string> chosen;
  if (type_ == kFavoriteFolder) {
    ui::FolderRequest request;
    request.owner = this;
    request.title = LoadStringResource(&kCmdLineResources, kIdsSelectFolderPrompt);
    if (IsDirectory(current)) request.startDir = current;
    chosen = ui::CurrentPrompter().ChooseFolder(request);
  } else if (type_ == kFavoriteFile || type_ == kFavoriteProgram) {
    ui::OpenFileRequest request;
    request.owner = this;
    if (type_ == kFavoriteFile) {
      request.title = LoadStringResource(&kCmdLineResources, kIdsBrowseForFile);
      request.filters = {kAllFilesFilter};
    } else {
      request.title = LoadStringResource(&kCmdLineResources, kIdsBrowseForProgram);
      request.filters = {kProgramFilter};
      request.startDir = kProgramFolder;
    }
    chosen = ui::CurrentPrompter().OpenFile(request);
  }
  if (chosen) definition_->setText(ToQString(*chosen));
}

void FavoritePropertiesDialog::accept() {
  if (!keyed_ || !favorite_) return reject();
  const std::string name = CutAndTrim(ToStdString(shortcut_->text()), kMaxTextBytes);
  if (name.empty()) return RefuseField(this, shortcut_, kIdsShortcutEmpty, kIdsCaptionFavorites);
  if (!IsNameFree(name, originalName_, options_.editsExisting, options_.isNameTaken))
    return RefuseField(this, shortcut_, kIdsFavoriteNameTaken, kIdsCaptionFavorites);
  const std::string definition = CutText(ToStdString(definition_->text()), kMaxTextBytes);
  if (IsBlankText(definition))
    return RefuseField(this, definition_, kIdsDefinitionEmpty, kIdsCaptionFavorites);
  const std::string description = CutText(ToStdString(description_->text()), kMaxTextBytes);
  keyed_->SetStrKey(name.c_str());
  favorite_->SetFavorite(definition.c_str());
  favorite_->SetDescr(description.c_str());
  favorite_->put_UseExplorerTree(tree_->isChecked() ? 1 : 0);
  QDialog::accept();
}

}  // namespace vok::cmdline
