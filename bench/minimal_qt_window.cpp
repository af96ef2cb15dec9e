// The yardstick of the start-up benchmark: the smallest Qt widget program with a window of the
// bar's shape (a line edit in a thin window). With QUILLO_REPORT_SHOWN set it writes "shown"
// once its window is exposed, as the bar program does.
#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QWidget>
#include <QWindow>
#include <cstdio>

namespace {

class ShownReporter final : public QObject {
 public:
  explicit ShownReporter(QObject* parent) : QObject(parent) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
      std::fputs("shown\n", stdout);
      std::fflush(stdout);
      watched->removeEventFilter(this);
    }
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
  auto* layout = new QHBoxLayout(&window);
  layout->addWidget(new QLineEdit(&window));
  window.resize(560, 24);
  window.show();
  if (qEnvironmentVariableIsSet("QUILLO_REPORT_SHOWN")) {
    QWindow* handle = window.windowHandle();
    if (handle->isExposed()) {
      std::fputs("shown\n", stdout);
      std::fflush(stdout);
    } else {
      handle->installEventFilter(new ShownReporter(handle));
    }
  }
  return QApplication::exec();
}
