// A window that owns its HWND and handles its messages in a virtual member.
// The static window procedure binds the object at WM_NCCREATE.
#pragma once

#include <windows.h>

namespace pellux {

struct WindowCreateArgs {
  const wchar_t* class_name = nullptr;
  const wchar_t* title = L"";
  DWORD style = 0;
  DWORD ex_style = 0;
  int x = CW_USEDEFAULT;
  int y = CW_USEDEFAULT;
  int width = CW_USEDEFAULT;
  int height = CW_USEDEFAULT;
  HICON icon = nullptr;
  HBRUSH background = nullptr;
};

// The screen's dots per inch, as windows are laid out at (96 when unknown).
int ScreenDpi();

// Registers a window class of this module with the arrow cursor; true when
// it is registered, by this call or an earlier one.
bool RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HICON icon, HBRUSH background);

// A function of a library loaded at run time rather than imported, or null.
// Through a generic pointer: GetProcAddress's own type does not convert to
// another function type without a warning.
template <class Function>
Function* LibraryFunction(const wchar_t* library, const char* name) {
  const HMODULE module = LoadLibraryW(library);
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window() { Destroy(); }

  HWND hwnd() const { return hwnd_; }

 protected:
  // Registers the class on first use and creates the window. False when the
  // window could not be created.
  bool Create(const WindowCreateArgs& args);
  void Destroy();

  virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  HWND hwnd_ = nullptr;
};

}  // namespace pellux
