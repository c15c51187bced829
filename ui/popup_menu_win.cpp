#include "ui/popup_menu_win.h"

#include "ui/text_win.h"

namespace pellux {
namespace {

class MenuHandle {
 public:
  MenuHandle() : menu_(CreatePopupMenu()) {}
  MenuHandle(const MenuHandle&) = delete;
  MenuHandle& operator=(const MenuHandle&) = delete;
  ~MenuHandle() {
    if (menu_ != nullptr) DestroyMenu(menu_);
  }
  HMENU get() const { return menu_; }

 private:
  HMENU menu_;
};

}  // namespace

std::optional<std::string_view> WinPopupMenus::Popup(std::span<const MenuItemDesign> items) {
  MenuHandle menu;
  if (menu.get() == nullptr) return std::nullopt;
  // Command ids are the entries' positions plus one; 0 means nothing chosen.
  UINT_PTR id = 0;
  for (const auto& item : items) {
    ++id;
    if (item.separator()) {
      AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(menu.get(), MF_STRING, id, Widen(item.caption).c_str());
    }
  }
  POINT at{};
  GetCursorPos(&at);
  const UINT align = GetSystemMetrics(SM_MENUDROPALIGNMENT) != 0 ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
  SetForegroundWindow(owner_);
  const BOOL chosen = TrackPopupMenuEx(menu.get(), align | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x,
                                       at.y, owner_, nullptr);
  PostMessageW(owner_, WM_NULL, 0, 0);
  if (chosen <= 0 || static_cast<std::size_t>(chosen) > items.size()) return std::nullopt;
  return items[static_cast<std::size_t>(chosen) - 1].name;
}

}  // namespace pellux
