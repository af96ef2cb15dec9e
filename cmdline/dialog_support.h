// Small pieces the command-line library's dialogs share: string conversion, the line breaks of
// stored definitions and the exclamation message box of a failed OK check.
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cmdline/item_text.h"
#include "common/vok_types.h"

class QWidget;

namespace vok::cmdline {

// Answers whether a name is taken by another command (the caller decides what "taken" means:
// the page's list and the container, or the container alone).
using NameTakenFn = std::function<bool(const std::string& name)>;

inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string ToStdString(const QString& text) { return text.toUtf8().toStdString(); }

// Stored definitions separate lines with "\r\n"; editors use "\n".
QString DefinitionToEditor(std::string_view stored);
std::string DefinitionFromEditor(const QString& edited);

// Shows string `textId` in an exclamation message box with caption string `captionId`,
// owned by `owner`, through the prompter.
void WarnUser(QWidget* owner, UINT textId, UINT captionId);

// A check of OK that failed: WarnUser(dialog, textId, captionId), then `field` gets the focus
// (the dialog stays open).
void RefuseField(QWidget* dialog, QWidget* field, UINT textId, UINT captionId);

// Whether OK may give an item the (trimmed, non-empty) name `name`: an edited item keeps its
// own name `originalName` in any letter case without asking; otherwise `isNameTaken` decides
// (null: no name is taken).
bool IsNameFree(const std::string& name, const std::string& originalName, bool editsExisting,
                const NameTakenFn& isNameTaken);

// Loads string `id` of the command-line library's table.
QString LoadUiString(UINT id);

}  // namespace vok::cmdline
