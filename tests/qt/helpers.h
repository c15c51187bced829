// Small helpers shared by the Qt widget tests.
#pragma once

#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace pellux::qt_tests {

// Runs `act` on the popup menu or modal window that the code under test is
// about to open in a loop of its own (QMenu::exec, QDialog::exec): it is
// polled for from a timer, which that loop runs.
inline void WhenOpen(std::function<QWidget*()> find, std::function<void(QWidget*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, find, act] {
    QWidget* open = find();
    if (open == nullptr || !open->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    act(open);
  });
  timer->start();
}

inline QWidget* ActivePopup() { return QApplication::activePopupWidget(); }
inline QWidget* ActiveModal() { return QApplication::activeModalWidget(); }

// Deletes the windows that were unloaded with deleteLater.
inline void DropUnloadedWindows() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace pellux::qt_tests
