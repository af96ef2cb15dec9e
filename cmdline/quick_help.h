// Quick help of the command box: a small window under the box with three lines (the command's
// name, its syntax and its description) that follows what the user types without taking the
// focus away from the box.
#pragma once

#include <QFrame>
#include <optional>
#include <string>
#include <string_view>

#include "common/engine_ifaces.h"

class QLabel;

namespace vok::cmdline {

struct CommandInfo {
  std::string name;
  std::string syntax;
  std::string description;
  LONG index = 0;  // the container's index of the command
};

// What `info` (borrowed; may be null) knows about the command word of `text`, which is
// upper-cased first; nothing for an unknown word.
std::optional<CommandInfo> LookUpCommandInfo(IvokCommandInfo* info, std::string_view text);

// A frameless tool-tip window owned by `owner` (deleted with it). Showing it never activates
// it.
class QuickHelpWindow final : public QFrame {
 public:
  explicit QuickHelpWindow(QWidget* owner);

  // Fills the three lines and shows the window just below `anchor`'s bottom-left corner.
  void ShowBelow(const QWidget& anchor, const CommandInfo& info);
  // The index of the command shown last.
  LONG ShownIndex() const { return shownIndex_; }
  // The three lines as shown: 0 name, 1 syntax, 2 description.
  QString Line(int line) const;

 private:
  QLabel* lines_[3] = {};
  LONG shownIndex_ = 0;
};

}  // namespace vok::cmdline
