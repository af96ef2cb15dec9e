// A tool button whose menu arrow and right click ask for a history menu that the caller shows
// (the navigator tracks its own menus), instead of popping up a QMenu of its own. Used by the
// command-line panel and the File Management window for Back, Forward and Up.
#pragma once

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionToolButton>
#include <QToolButton>
#include <functional>
#include <utility>

namespace vok::cmdline {

class HistoryButton final : public QToolButton {
 public:
  // `parent` may be null when a toolbar adopts the button.
  HistoryButton(QWidget* parent, std::function<void()> showHistory)
      : QToolButton(parent), showHistory_(std::move(showHistory)) {
    setPopupMode(QToolButton::MenuButtonPopup);
    // The arrow is only drawn for a button with a menu; this one is never shown by a click.
    setMenu(new QMenu(this));
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && InMenuArrow(event->position().toPoint())) {
      event->accept();
      if (isEnabled()) showHistory_();
      return;
    }
    QToolButton::mousePressEvent(event);
  }
  void contextMenuEvent(QContextMenuEvent* event) override {
    event->accept();
    if (isEnabled()) showHistory_();
  }

 private:
  bool InMenuArrow(const QPoint& point) const {
    QStyleOptionToolButton option;
    initStyleOption(&option);
    return style()
        ->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButtonMenu, this)
        .contains(point);
  }

  std::function<void()> showHistory_;
};

}  // namespace vok::cmdline
