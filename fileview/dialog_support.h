// Small pieces the file view's model and dialogs share.
#pragma once

#include <QString>

#include "common/vok_types.h"

class QDialog;
class QFormLayout;

namespace vok::fileview {

// String `id` of the library's table.
QString UiText(UINT id);

// Puts `form` (taken over) above OK and Cancel in `dialog` and runs the dialog through the
// prompter; true when the user confirmed.
bool RunFormDialog(QDialog& dialog, QFormLayout* form);

}  // namespace vok::fileview
