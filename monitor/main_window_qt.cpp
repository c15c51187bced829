#include "monitor/main_window_qt.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "ui/text_qt.h"

namespace pellux {

MainWindow::MainWindow(frmMain& form, Process& process, QDBusConnection bus)
    : process_(process), tray_(std::move(bus), form, kMainMenu) {
  // The interval is the user's choice to the millisecond.
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [&form] { form.Timer1_Timer(); });
}

MainWindow::~MainWindow() {
  timer_.stop();
  tray_.Hide();
}

void MainWindow::StartTimer(uint32_t interval_ms) {
  timer_.start(static_cast<int>(std::min<uint32_t>(interval_ms, INT32_MAX)));
}

std::optional<ControlId> MainWindow::PopupMenu(std::span<const MenuItemDesign> items) {
  QMenu menu;
  for (std::size_t index = 0; index < items.size(); ++index) {
    const MenuItemDesign& item = items[index];
    QAction* action =
        item.separator() ? menu.addSeparator() : menu.addAction(ToQString(item.caption));
    action->setObjectName(ToQString(item.name));
    action->setData(static_cast<qulonglong>(index));
  }
  const QPoint at = tray_.TakeMenuPlace().value_or(QCursor::pos());
  const QAction* chosen = menu.exec(at);
  if (chosen == nullptr) return std::nullopt;
  const auto index = static_cast<std::size_t>(chosen->data().toULongLong());
  if (index >= items.size() || items[index].separator()) return std::nullopt;
  return ControlId::At(index);
}

void MainWindow::EndProgram(int exit_code) {
  timer_.stop();
  tray_.Hide();
  process_.EndProgram(exit_code);
}

}  // namespace pellux
