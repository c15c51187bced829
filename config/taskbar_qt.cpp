#include "config/taskbar_qt.h"

#include <QGuiApplication>
#include <QScreen>

namespace pellux {

std::optional<AppBarData> PanelFromScreen(const QRect& screen, const QRect& available) {
  // QRect's right() and bottom() are the last pixel inside; the record's
  // edges lie one past it, as Windows' rectangles do.
  const int left = screen.x();
  const int top = screen.y();
  const int right = screen.x() + screen.width();
  const int bottom = screen.y() + screen.height();
  const int free_top = available.y();
  const int free_bottom = available.y() + available.height();
  const int free_left = available.x();
  const int free_right = available.x() + available.width();
  AppBarData panel;
  if (free_bottom < bottom) {
    panel.rc = {left, free_bottom, right, bottom};
  } else if (free_top > top) {
    panel.rc = {left, top, right, free_top};
  } else if (free_left > left) {
    panel.rc = {left, top, free_left, bottom};
  } else if (free_right < right) {
    panel.rc = {free_right, top, right, bottom};
  } else {
    return std::nullopt;
  }
  return panel;
}

uint32_t ScreenAppBar::SHAppBarMessage(uint32_t message, AppBarData& data) {
  if (message != kAbmGetTaskbarPos) return 0;
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return 0;
  const auto panel = PanelFromScreen(screen->geometry(), screen->availableGeometry());
  if (!panel) return 0;
  data.rc = panel->rc;
  return 1;
}

}  // namespace pellux
