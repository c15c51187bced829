#include "ui/window_win.h"

namespace pellux {

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

bool RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HICON icon, HBRUSH background) {
  const WNDCLASSEXW window_class{.cbSize = sizeof window_class,
                                 .lpfnWndProc = procedure,
                                 .hInstance = GetModuleHandleW(nullptr),
                                 .hIcon = icon,
                                 .hCursor = LoadCursorW(nullptr, IDC_ARROW),
                                 .hbrBackground = background,
                                 .lpszClassName = name};
  return RegisterClassExW(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool Window::Create(const WindowCreateArgs& args) {
  if (!RegisterWindowClass(args.class_name, WindowProc, args.icon, args.background)) return false;
  CreateWindowExW(args.ex_style, args.class_name, args.title, args.style, args.x, args.y,
                  args.width, args.height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  return hwnd_ != nullptr;
}

void Window::Destroy() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    static_cast<Window*>(create->lpCreateParams)->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* const self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);

  const LRESULT result = self->HandleMessage(message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

}  // namespace pellux
