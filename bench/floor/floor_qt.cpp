// The least a Qt tray program can be: an application, a tray icon with the
// program's icon and a tip, and a timer that changes nothing. Pellux on
// Linux is measured against it.
#include <QApplication>
#include <QIcon>
#include <QSystemTrayIcon>
#include <QTimer>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  // The program's icon, at the same sizes as Pellux offers it.
  QIcon image;
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    image.addFile(QStringLiteral(":/pellux/icons/pellux-%1.png").arg(size), QSize(size, size));
  }
  QSystemTrayIcon icon(image);
  icon.setToolTip(QStringLiteral("Floor: 192.168.0.5"));
  icon.show();
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, &icon, [] {});
  timer.start(5000);
  return QApplication::exec();
}
