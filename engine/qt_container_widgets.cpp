#include "engine/qt_container_widgets.h"

#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QToolBar>
#include <QToolButton>
#include <new>

#include "common/string_table.h"
#include "engine/engine_container.h"

namespace vok {
namespace {

// Button image size of the panel toolbar.
constexpr int kButtonWidth = 16;
constexpr int kButtonHeight = 15;

// A plain image with the first letter of the tip, for a panel whose library ships no image.
QIcon FallbackIcon(const QString& tip) {
  QPixmap pixmap(kButtonWidth, kButtonHeight);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setPen(Qt::darkGray);
  painter.drawRect(0, 0, kButtonWidth - 1, kButtonHeight - 1);
  painter.drawText(pixmap.rect(), Qt::AlignCenter,
                   tip.isEmpty() ? QStringLiteral("?") : tip.left(1));
  return QIcon(pixmap);
}

// The image ":/<library name>/<bitmap id>.png" of the panel's library.
QIcon ButtonIcon(const PanelButton& button, const QString& tip) {
  if (const ModuleResources* resources = ResourcesOf(button.module); resources && resources->name) {
    const QString path =
        QStringLiteral(":/%1/%2.png").arg(QString::fromUtf8(resources->name)).arg(button.bitmapId);
    if (QFile::exists(path)) return QIcon(path);
  }
  return FallbackIcon(tip);
}

}  // namespace

QtContainerWidgets::QtContainerWidgets() = default;
QtContainerWidgets::~QtContainerWidgets() = default;

void QtContainerWidgets::MarkEmptySubmenus(HMENU menu, const std::string& text) {
  const QString label = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  for (QAction* item : menu->actions()) {
    QMenu* submenu = item->menu();
    if (!submenu || !submenu->actions().isEmpty()) continue;
    submenu->addAction(label)->setEnabled(false);
  }
}

HWND QtContainerWidgets::CreateToolbar(UINT controlId, HWND parent, bool flat,
                                       const std::vector<PanelButton>& buttons) {
  auto* toolbar = new (std::nothrow) QToolBar(parent);
  if (!toolbar) return nullptr;
  toolbar->setProperty("vokControlId", controlId);
  toolbar->setMovable(false);
  toolbar->setFloatable(false);
  toolbar->setIconSize(QSize(kButtonWidth, kButtonHeight));
  toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  auto* group = new QActionGroup(toolbar);
  group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
  for (const PanelButton& button : buttons) {
    const QString tip =
        QString::fromUtf8(button.tip.data(), static_cast<qsizetype>(button.tip.size()));
    QAction* action = toolbar->addAction(ButtonIcon(button, tip), tip);
    action->setToolTip(tip);
    action->setCheckable(true);
    action->setData(static_cast<int>(button.panelId));
    group->addAction(action);
    if (auto* widget = qobject_cast<QToolButton*>(toolbar->widgetForAction(action)))
      widget->setAutoRaise(flat);
  }
  toolbar->move(0, 0);
  toolbar->adjustSize();
  toolbar->show();
  toolbar_ = toolbar;
  return toolbar;
}

void QtContainerWidgets::SetButtonChecked(LONG panelId, bool checked) {
  if (!toolbar_) return;
  for (QAction* action : toolbar_->actions()) {
    if (action->isCheckable() && action->data().toInt() == panelId) {
      action->setChecked(checked);
      return;
    }
  }
}

LONG QtContainerWidgets::ClientHeight(HWND window) { return window ? window->height() : 0; }

RECT QtContainerWidgets::ScreenToClient(HWND window, const RECT& screen) {
  if (!window) return screen;
  const QPoint topLeft = window->mapFromGlobal(QPoint(screen.left, screen.top));
  const QPoint bottomRight = window->mapFromGlobal(QPoint(screen.right, screen.bottom));
  return RECT{topLeft.x(), topLeft.y(), bottomRight.x(), bottomRight.y()};
}

HRESULT CreateQtEngineContainer(IUnknown* outer, REFIID riid, void** ppv) {
  std::unique_ptr<ContainerWidgets> widgets(new (std::nothrow) QtContainerWidgets());
  if (!widgets) return E_OUTOFMEMORY;
  return CreateEngineContainer(std::move(widgets), outer, riid, ppv);
}

}  // namespace vok
