#include "bar/about_box.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "bar/bar_host.h"
#include "bar/resources/bar_strings.h"
#include "bar/startup_window.h"
#include "platform/ui/dialog_items.h"
#include "platform/ui/prompter.h"

#ifndef QUILLO_VERSION
#error "QUILLO_VERSION must be defined by the build (the project version)"
#endif

namespace vok::bar {
namespace {

// Dialog-item id of the OK button, as a dialog numbers its default button.
constexpr int kOkId = 1;
constexpr int kIconSize = 32;

constexpr char kBuildText[] = "(Build: 000822)";
constexpr char kOtherProductsPage[] = "qdxother.htm";

QLabel* AddLabel(QVBoxLayout* column, const QString& text, int id = 0) {
  auto* label = new QLabel(text);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  if (id != 0) ui::SetDialogItemId(label, id);
  column->addWidget(label);
  return label;
}

// The dialog is built on the stack of ShowAboutBox; its parts are owned by the dialog.
void BuildAboutBox(QDialog& dialog, BarHost& host) {
  const QString appName = QString::fromStdString(BarString(kIdsAppName));
  dialog.setWindowTitle(QStringLiteral("About %1").arg(appName));

  auto* icon = new QLabel;
  icon->setObjectName(QStringLiteral("icon"));
  icon->setPixmap(ProgramIcon().pixmap(kIconSize, kIconSize));
  icon->setAlignment(Qt::AlignTop);

  auto* texts = new QVBoxLayout;
  AddLabel(texts,
           QStringLiteral("%1 Version %2").arg(appName, QString::fromLatin1(QUILLO_VERSION)));
  AddLabel(texts, QString::fromLatin1(kBuildText), kAboutBuildId);
  AddLabel(texts, QStringLiteral("Copyright \u00A9 Dravik Software. All rights reserved."));
  texts->addStretch();

  auto* buttons = new QVBoxLayout;
  auto* ok = new QPushButton(QStringLiteral("OK"));
  ok->setDefault(true);
  ui::SetDialogItemId(ok, kOkId);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  // Opening the page leaves the about box open.
  auto* other = new QPushButton(QStringLiteral("&Other Products"));
  ui::SetDialogItemId(other, kAboutOtherProductsId);
  QObject::connect(other, &QPushButton::clicked, &dialog,
                   [&host] { host.OpenHelp(kOtherProductsPage); });
  buttons->addWidget(ok);
  buttons->addWidget(other);
  buttons->addStretch();

  auto* row = new QHBoxLayout(&dialog);
  row->addWidget(icon);
  row->addLayout(texts, 1);
  row->addLayout(buttons);
  row->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace

void ShowAboutBox(QWidget* owner, BarHost& host) {
  QDialog dialog(owner);
  BuildAboutBox(dialog, host);
  ui::CurrentPrompter().Exec(dialog);
}

}  // namespace vok::bar
