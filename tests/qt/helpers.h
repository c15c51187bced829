// Small helpers shared by the Qt widget tests.
#pragma once

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

// QTRY_VERIFY and QTRY_COMPARE, waiting up to five seconds while handling
// events; Qt 6.8's own narrow a std::chrono count to int inside the expansion,
// which -Wconversion rejects in the file that uses them.
#define TRY_VERIFY_WITH_TIMEOUT(expr, timeout_ms) \
  QVERIFY(QTest::qWaitFor([&] { return static_cast<bool>(expr); }, timeout_ms))
#define TRY_VERIFY(expr) TRY_VERIFY_WITH_TIMEOUT(expr, 5000)
#define TRY_COMPARE(actual, expected)                                    \
  do {                                                                   \
    (void)QTest::qWaitFor([&] { return (actual) == (expected); }, 5000); \
    QCOMPARE(actual, expected);                                          \
  } while (false)

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
