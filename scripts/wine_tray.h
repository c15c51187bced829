// Wine's tray as the programs that look at it from outside (the end-to-end
// driver, the benchmarks' probe) find it. Without a panel on the X display,
// Wine draws the tray as a window of its own, and each icon in it as a child
// window with no X window of its own. The class names differ by Wine release:
// Wine 8 draws "__winex11_standalone_tray" with "__winex11_tray_icon"
// children, Wine 10 explorer's "Shell_TrayWnd" with "__wine_tray_icon"
// children. Both are looked for on every call: whichever the running Wine
// draws is found, without asking it for its version.
#pragma once

#include <windows.h>

#include <cwchar>
#include <vector>

namespace wine_tray {

inline constexpr const wchar_t* kIconClasses[] = {L"__winex11_tray_icon", L"__wine_tray_icon"};

inline bool IsIconClass(const wchar_t* name) {
  for (const wchar_t* icon_class : kIconClasses) {
    if (std::wcscmp(name, icon_class) == 0) return true;
  }
  return false;
}

inline BOOL CALLBACK CollectIcon(HWND window, LPARAM icons) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (IsIconClass(name) && IsWindowVisible(window)) {
    reinterpret_cast<std::vector<HWND>*>(icons)->push_back(window);
  }
  return TRUE;
}

inline BOOL CALLBACK CollectIconsOf(HWND top, LPARAM icons) {
  if (IsWindowVisible(top)) EnumChildWindows(top, CollectIcon, icons);
  return TRUE;
}

// The visible icons on the desktop, in the order the trays hold them.
inline std::vector<HWND> Icons() {
  std::vector<HWND> icons;
  EnumWindows(CollectIconsOf, reinterpret_cast<LPARAM>(&icons));
  return icons;
}

// The tray window that holds the first visible icon, or nullptr.
inline HWND Tray() {
  const std::vector<HWND> icons = Icons();
  return icons.empty() ? nullptr : GetAncestor(icons.front(), GA_ROOT);
}

}  // namespace wine_tray
