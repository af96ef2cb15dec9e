#include "ctl/rebar_tracker.h"

#include <QMouseEvent>
#include <QPainter>

namespace vok::ctl {

RebarTracker::RebarTracker(QWidget* host, int edge, std::function<void()> onMouse)
    : QWidget(host), edge_(std::max(edge, 1)), onMouse_(std::move(onMouse)) {
  setCursor(Qt::SplitHCursor);
  // Every pixel is painted here; nothing of the host needs to show through.
  setAttribute(Qt::WA_OpaquePaintEvent);
  hide();
}

void RebarTracker::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPalette& pal = palette();
  painter.fillRect(rect(), pal.color(QPalette::Button));

  // A bar 2 edges wide (less one pixel), its top and left strips lit, bottom and right in
  // shadow, each strip one pixel thinner than the edge.
  const int barX = (width() - 2 * edge_) / 2;
  const int barWidth = 2 * edge_ - 1;
  const int strip = std::max(edge_ - 1, 1);
  const QColor light = pal.color(QPalette::Light);
  const QColor dark = pal.color(QPalette::Dark);
  painter.fillRect(barX, 0, barWidth, strip, light);
  painter.fillRect(barX, 0, strip, height(), light);
  painter.fillRect(barX, height() - strip, barWidth, strip, dark);
  painter.fillRect(barX + barWidth - strip, 0, strip, height(), dark);
}

void RebarTracker::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  if (onMouse_) onMouse_();
  event->accept();  // the press belongs to the tracker, not to the host behind it
}

void RebarTracker::mouseMoveEvent(QMouseEvent* event) {
  if (onMouse_) onMouse_();
  QWidget::mouseMoveEvent(event);
}

}  // namespace vok::ctl
