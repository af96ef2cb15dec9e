// The start-up window: a small caption-less tool window with the program icon, a separator and
// the program name drawn embossed (24-point bold, a shadow 3 pixels right and down). The
// program shows it briefly while the bar window is being built and decides when to hide it;
// it knows nothing of the bar.
//
// Child object names: "icon", "separator", "name" (the line the name is drawn on).
#pragma once

#include <QIcon>
#include <QWidget>

class QLabel;

namespace vok::bar {

class StartupWindow final : public QWidget {
 public:
  explicit StartupWindow(QWidget* parent = nullptr);

  // The offset of the name's shadow, in pixels right and down.
  static constexpr int kShadowOffset = 3;
  static constexpr int kNamePointSize = 24;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QLabel* name_;
};

// The program's icon: the application's window icon when one is set, else the built-in one.
QIcon ProgramIcon();

}  // namespace vok::bar
