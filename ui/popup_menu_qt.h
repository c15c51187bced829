// Popup menus on Qt.
#pragma once

#include <QPoint>

#include <optional>

#include "ui/popup_menu.h"

namespace pellux {

class QtPopupMenus final : public PopupMenus {
 public:
  // Each entry's action carries the entry's name as its object name. The
  // menu opens at the mouse pointer, or where the next call was asked to
  // open it.
  std::optional<std::string_view> Popup(std::span<const MenuItemDesign> items) override;

  // The place for the next popup, in Qt's screen coordinates: where a
  // panel asks the menu to open, which may be away from the pointer (when
  // the menu key opened it, say).
  void OpenNextAt(QPoint position) { next_at_ = position; }

 private:
  std::optional<QPoint> next_at_;
};

}  // namespace pellux
