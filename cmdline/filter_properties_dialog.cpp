#include "cmdline/filter_properties_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QVBoxLayout>

#include "cmdline/item_text.h"
#include "cmdline/resources/cmdline_strings.h"
#include "platform/ui/prompter.h"

namespace vok::cmdline {
namespace {

constexpr size_t kMaxFieldBytes = kFilterTextSize - 1;
constexpr int kMaxFieldChars = static_cast<int>(kMaxFieldBytes);

}  // namespace

FilterPropertiesDialog::FilterPropertiesDialog(IUnknown* item, FilterDialogOptions options,
                                               QWidget* parent)
    : QDialog(parent),
      keyed_(QueryAs<IvokFastListItem>(item)),
      filter_(QueryAs<IvokFastListItemFilter>(item)),
      options_(std::move(options)) {
  BuildLayout();
  LoadFields();
}

bool FilterPropertiesDialog::Edit(IUnknown* item, FilterDialogOptions options, QWidget* parent) {
  if (!QueryAs<IvokFastListItem>(item) || !QueryAs<IvokFastListItemFilter>(item)) return false;
  FilterPropertiesDialog dialog(item, std::move(options), parent);
  return ui::CurrentPrompter().Exec(dialog) == QDialog::Accepted;
}

void FilterPropertiesDialog::BuildLayout() {
  setObjectName(QStringLiteral("filterPropertiesDialog"));
  setWindowTitle(LoadUiString(kIdsCaptionFilterProperties));
  auto makeEdit = [](const char* name) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(kMaxFieldChars);
    return edit;
  };
  shortcut_ = makeEdit("shortcutEdit");
  description_ = makeEdit("descriptionEdit");
  definition_ = makeEdit("definitionEdit");

  auto* icon = new QLabel;
  icon->setPixmap(QIcon::fromTheme(QStringLiteral("view-filter"),
                                   style()->standardIcon(QStyle::SP_FileDialogContentsView))
                      .pixmap(32, 32));
  icon->setAlignment(Qt::AlignTop);

  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("&Shortcut"), shortcut_);
  fields->addRow(QStringLiteral("D&escription"), description_);
  fields->addRow(QStringLiteral("&Definition"), definition_);

  auto* body = new QHBoxLayout;
  body->addWidget(icon);
  body->addLayout(fields, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body);
  layout->addWidget(buttons);
  resize(420, sizeHint().height());

  connect(buttons, &QDialogButtonBox::accepted, this, [this] { accept(); });
  connect(buttons, &QDialogButtonBox::rejected, this, [this] { reject(); });
}

void FilterPropertiesDialog::LoadFields() {
  if (!keyed_ || !filter_) return;
  originalKey_ = ItemKey(keyed_.Get());
  shortcut_->setText(ToQString(originalKey_));
  definition_->setText(ToQString(
      ReadBufferText(filter_.Get(), &IvokFastListItemFilter::GetFilter, kFilterTextSize)));
  description_->setText(
      ToQString(ReadBufferText(filter_.Get(), &IvokFastListItemFilter::GetDescr, kFilterTextSize)));
}

void FilterPropertiesDialog::accept() {
  if (!keyed_ || !filter_) return reject();
  const std::string shortcut = CutAndTrim(ToStdString(shortcut_->text()), kMaxFieldBytes);
  if (shortcut.empty()) return RefuseField(this, shortcut_, kIdsShortcutEmpty, kIdsCaptionFilters);
  if (!IsNameFree(shortcut, originalKey_, options_.editsExisting, options_.isNameTaken))
    return RefuseField(this, shortcut_, kIdsFilterNameTaken, kIdsCaptionFilters);
  const std::string definition = CutText(ToStdString(definition_->text()), kMaxFieldBytes);
  if (IsBlankText(definition))
    return RefuseField(this, definition_, kIdsFilterDefinitionEmpty, kIdsCaptionFilters);
  // The key changes only now: a refused definition must not leave a renamed item behind.
  const std::string description = CutText(ToStdString(description_->text()), kMaxFieldBytes);
  keyed_->SetStrKey(shortcut.c_str());
  filter_->SetFilter(definition.c_str());
  filter_->SetDescr(description.c_str());
  QDialog::accept();
}

}  // namespace vok::cmdline
