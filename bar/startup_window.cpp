#include "bar/startup_window.h"

#include <QtWidgets/qdrawutil.h>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "bar/resources/bar_strings.h"

// The built-in program icon is compiled into this static library (see bar_window.cpp).
static void InitStartupResources() { Q_INIT_RESOURCE(bar_window); }

namespace vok::bar {
namespace {

// The window's size in dialog units (a quarter of the average character width, an eighth of
// the line height), so that it scales with the font.
constexpr int kWidthUnits = 160;
constexpr int kHeightUnits = 83;
constexpr int kIconSize = 32;
constexpr int kMargin = 7;

}  // namespace

QIcon ProgramIcon() {
  const QIcon icon = QGuiApplication::windowIcon();
  if (!icon.isNull()) return icon;
  InitStartupResources();
  return QIcon(QStringLiteral(":/vokbar/window/quillo.xpm"));
}

StartupWindow::StartupWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint) {
  setWindowTitle(QString::fromStdString(BarString(kIdsAppName)));

  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("icon"));
  icon->setPixmap(ProgramIcon().pixmap(kIconSize, kIconSize));
  auto* separator = new QFrame(this);
  separator->setObjectName(QStringLiteral("separator"));
  separator->setFrameShape(QFrame::HLine);
  separator->setFrameShadow(QFrame::Sunken);
  // An empty placeholder: paintEvent draws the name on its line.
  name_ = new QLabel(this);
  name_->setObjectName(QStringLiteral("name"));

  QFont nameFont = font();
  nameFont.setPointSize(kNamePointSize);
  nameFont.setBold(true);
  name_->setMinimumHeight(QFontMetrics(nameFont).height() + kShadowOffset);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
  column->addWidget(icon, 0, Qt::AlignLeft);
  column->addWidget(separator);
  column->addWidget(name_, 1);

  const QFontMetrics metrics(font());
  setFixedSize(kWidthUnits * metrics.averageCharWidth() / 4, kHeightUnits * metrics.height() / 8);
}

void StartupWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPalette& colors = palette();
  qDrawShadePanel(&painter, rect(), colors, false, 1);

  QFont nameFont = font();
  nameFont.setPointSize(kNamePointSize);
  nameFont.setBold(true);
  painter.setFont(nameFont);
  const QString name = QString::fromStdString(BarString(kIdsProgramName));
  // Centred across the whole window, on the placeholder's line; the shadow first.
  const QRect line(0, name_->y(), width(), name_->height());
  const int align = Qt::AlignHCenter | Qt::AlignVCenter;
  painter.setPen(colors.color(QPalette::Dark));
  painter.drawText(line.translated(kShadowOffset, kShadowOffset), align, name);
  painter.setPen(colors.color(QPalette::Light));
  painter.drawText(line, align, name);
}

}  // namespace vok::bar
