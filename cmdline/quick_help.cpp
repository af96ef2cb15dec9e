#include "cmdline/quick_help.h"

#include <QLabel>
#include <QVBoxLayout>

#include "common/engine_base.h"
#include "common/text_util.h"

namespace vok::cmdline {
namespace {

std::string FromBuffer(char (&buffer)[kInfoBufferSize]) {
  buffer[kInfoBufferSize - 1] = '\0';
  return buffer;
}

}  // namespace

std::optional<CommandInfo> LookUpCommandInfo(IvokCommandInfo* info, std::string_view text) {
  if (!info) return std::nullopt;
  char name[kInfoBufferSize] = {};
  char syntax[kInfoBufferSize] = {};
  char description[kInfoBufferSize] = {};
  LONG index = 0;
  const std::string word = ToUpper(text);
  if (info->GetCommandInfo(word.c_str(), name, syntax, description, &index, 0) != S_OK)
    return std::nullopt;
  return CommandInfo{FromBuffer(name), FromBuffer(syntax), FromBuffer(description), index};
}

QuickHelpWindow::QuickHelpWindow(QWidget* owner)
    : QFrame(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
  setObjectName(QStringLiteral("quickHelp"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setBackgroundRole(QPalette::ToolTipBase);
  setForegroundRole(QPalette::ToolTipText);
  setAutoFillBackground(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 2);
  layout->setSpacing(1);
  for (QLabel*& line : lines_) {
    line = new QLabel(this);
    line->setTextFormat(Qt::PlainText);
    line->setForegroundRole(QPalette::ToolTipText);
    layout->addWidget(line);
  }
  QFont bold = lines_[0]->font();
  bold.setBold(true);
  lines_[0]->setFont(bold);
}

void QuickHelpWindow::ShowBelow(const QWidget& anchor, const CommandInfo& info) {
  lines_[0]->setText(QString::fromStdString(info.name));
  lines_[1]->setText(QString::fromStdString(info.syntax));
  lines_[2]->setText(QString::fromStdString(info.description));
  shownIndex_ = info.index;
  adjustSize();
  move(anchor.mapToGlobal(QPoint(0, anchor.height())));
  show();
}

QString QuickHelpWindow::Line(int line) const {
  return line >= 0 && line < 3 ? lines_[line]->text() : QString();
}

}  // namespace vok::cmdline
