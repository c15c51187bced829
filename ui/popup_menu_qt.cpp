#include "ui/popup_menu_qt.h"

#include <QCursor>
#include <QMenu>

#include "ui/text_qt.h"

namespace pellux {

std::optional<std::string_view> QtPopupMenus::Popup(std::span<const MenuItemDesign> items) {
  QMenu menu;
  for (std::size_t index = 0; index < items.size(); ++index) {
    const MenuItemDesign& item = items[index];
    QAction* action =
        item.separator() ? menu.addSeparator() : menu.addAction(ToQString(item.caption));
    action->setObjectName(ToQString(item.name));
    action->setData(static_cast<qulonglong>(index));
  }
  const QPoint at = next_at_.value_or(QCursor::pos());
  next_at_.reset();
  const QAction* chosen = menu.exec(at);
  if (chosen == nullptr) return std::nullopt;
  const auto index = static_cast<std::size_t>(chosen->data().toULongLong());
  if (index >= items.size() || items[index].separator()) return std::nullopt;
  return items[index].name;
}

}  // namespace pellux
