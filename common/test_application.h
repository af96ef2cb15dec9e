// The QApplication of a widget test program: created on first use, it lives for the whole
// program (Qt allows one per process). Widget tests run with QT_QPA_PLATFORM=offscreen.
#pragma once

#include <QApplication>

namespace vok::test {

inline void EnsureApplication() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char name[] = "vok_widget_tests";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

}  // namespace vok::test
