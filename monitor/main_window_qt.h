// The main form's window on Qt, which is never shown: it holds the tray
// icon, the poll timer and the command menu, and ends the program.
#pragma once

#include <QDBusConnection>
#include <QTimer>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "monitor/frm_main.h"
#include "tray/tray_icon_qt.h"
#include "ui/process.h"

namespace pellux {

class MainWindow final : public MainView, public Process {
 public:
  // The icon's actions and the timer's ticks go to `form`; `process` ends
  // the program once the icon has left the tray. `bus` is the session bus,
  // which may be unconnected.
  MainWindow(frmMain& form, Process& process, QDBusConnection bus);
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  ~MainWindow() override;

  // Puts the icon into the desktop's tray, or into the first that appears.
  void ShowIcon() { tray_.Show(); }

  void SetTip(const std::string& tip) override { tray_.SetTip(tip); }
  void StartTimer(uint32_t interval_ms) override;
  // Each entry's action carries the entry's name as its object name. The
  // menu opens where the panel asked for it, otherwise at the pointer.
  std::optional<ControlId> PopupMenu(std::span<const MenuItemDesign> items) override;

  // Stops the timer and takes the icon out of the tray, then ends.
  void EndProgram(int exit_code) override;

  QtTrayIcon& tray() { return tray_; }
  QTimer& timer() { return timer_; }

 private:
  Process& process_;
  QtTrayIcon tray_;
  QTimer timer_;
};

}  // namespace pellux
