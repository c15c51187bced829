// The taskbar query on Qt: the panel's place follows from the screen's
// geometry and the part of it that windows may use.
#pragma once

#include <QRect>

#include <optional>

#include "config/taskbar.h"

namespace pellux {

// The rectangle a panel takes on a screen (edges in screen pixels, right and
// bottom exclusive), judged by which side the available area has given up:
// a panel along the bottom starts at the available area's bottom edge; one
// at the top or at a side starts at the screen's top. Nothing when the whole
// screen is available.
std::optional<AppBarData> PanelFromScreen(const QRect& screen, const QRect& available);

class ScreenAppBar final : public AppBar {
 public:
  // Answers ABM_GETTASKBARPOS from the primary screen; 0 (and the record
  // left as it was) when there is no screen or no panel on it.
  uint32_t SHAppBarMessage(uint32_t message, AppBarData& data) override;
};

}  // namespace pellux
