// The splitter window the band layout puts between two neighbouring controls of a row: a child
// of the host, drawn as a raised vertical bar centred in its area, with the east-west resize
// cursor. It does not drag by itself; a left-button press or a move over it asks the layout
// (through `onMouse`) whether a drag starts.
#pragma once

#include <QWidget>
#include <functional>

namespace vok::ctl {

class RebarTracker final : public QWidget {
 public:
  // `edge` is the 3-D edge thickness the bar is drawn with (at least 1).
  RebarTracker(QWidget* host, int edge, std::function<void()> onMouse);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  int edge_;
  std::function<void()> onMouse_;
};

}  // namespace vok::ctl
