#include "bar/startup_window.h"

#include <gtest/gtest.h>

#include <QFrame>
#include <QImage>
#include <QLabel>

#include "common/test_application.h"

namespace vok::bar {
namespace {

// The bounding box of the pixels of exactly `color`.
QRect PixelsOf(const QImage& image, QRgb color) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) == color) box |= QRect(x, y, 1, 1);
  return box;
}

TEST(StartupWindow, ShowsIconSeparatorAndTheNameEmbossed) {
  test::EnsureApplication();
  StartupWindow window;
  EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(window.windowFlags() & Qt::Tool);
  const auto* icon = window.findChild<QLabel*>("icon");
  ASSERT_NE(icon, nullptr);
  EXPECT_FALSE(icon->pixmap().isNull());
  const auto* separator = window.findChild<QFrame*>("separator");
  ASSERT_NE(separator, nullptr);
  EXPECT_EQ(separator->frameShape(), QFrame::HLine);
  const auto* line = window.findChild<QLabel*>("name");
  ASSERT_NE(line, nullptr);

  const QImage image = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QPalette& colors = window.palette();
  // The panel frame uses the same colours: look only inside the name's line.
  const QRect area(2, line->y(), image.width() - 4, line->height() + StartupWindow::kShadowOffset);
  const QImage inside = image.copy(area);
  const QRect light = PixelsOf(inside, colors.color(QPalette::Light).rgb());
  const QRect shadow = PixelsOf(inside, colors.color(QPalette::Dark).rgb());
  ASSERT_FALSE(light.isEmpty());
  ASSERT_FALSE(shadow.isEmpty());
  EXPECT_EQ(shadow.right() - light.right(), StartupWindow::kShadowOffset);
  EXPECT_EQ(shadow.bottom() - light.bottom(), StartupWindow::kShadowOffset);
  // Centred across the window.
  EXPECT_LE(
      std::abs((light.left() + area.left()) - (image.width() - 1 - light.right() - area.left())),
      2);
}

}  // namespace
}  // namespace vok::bar
