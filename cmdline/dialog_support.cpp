#include "cmdline/dialog_support.h"

#include <QWidget>

#include "cmdline/resources/cmdline_strings.h"
#include "common/text_util.h"
#include "platform/ui/prompter.h"

namespace vok::cmdline {

QString DefinitionToEditor(std::string_view stored) {
  QString text = ToQString(stored);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

std::string DefinitionFromEditor(const QString& edited) {
  QString text = edited;
  // Text that already holds "\r\n" would otherwise end up with "\r\r\n".
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return ToStdString(text);
}

void WarnUser(QWidget* owner, UINT textId, UINT captionId) {
  ui::Message message;
  message.owner = owner;
  message.text = LoadStringResource(&kCmdLineResources, textId);
  message.caption = LoadStringResource(&kCmdLineResources, captionId);
  message.icon = ui::Icon::kExclamation;
  message.buttons = ui::Buttons::kOk;
  ui::Ask(message);
}

void RefuseField(QWidget* dialog, QWidget* field, UINT textId, UINT captionId) {
  WarnUser(dialog, textId, captionId);
  field->setFocus();
}

bool IsNameFree(const std::string& name, const std::string& originalName, bool editsExisting,
                const NameTakenFn& isNameTaken) {
  if (editsExisting && EqualsNoCase(name, originalName)) return true;
  return !isNameTaken || !isNameTaken(name);
}

QString LoadUiString(UINT id) { return ToQString(LoadStringResource(&kCmdLineResources, id)); }

}  // namespace vok::cmdline
