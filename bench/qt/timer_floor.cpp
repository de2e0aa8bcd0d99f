// The floor the CPU figure of bench_qt.py is read against: a bare Qt Widgets program with a
// 400 x 254 window and one 10 ms precise timer that does nothing. What the real program uses
// above this is its own work per tick; this much is the platform's cost of 100 wake-ups a
// second.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("timer floor"));
  window.resize(400, 254);
  window.show();
  QTimer timer;
  timer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer, &QTimer::timeout, [] {});
  timer.start(10);
  return QApplication::exec();
}
