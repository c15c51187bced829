// Names and roles that screen readers read for windows whose own say too
// little: a box that shows a value has no label of its own, and a form's
// window is a plain window rather than a dialog. They are given through
// Active Accessibility's Dynamic Annotation, which changes nothing on the
// screen; its proxies serve UI Automation clients as well.
#pragma once

#include <windows.h>

#include <string_view>

struct IAccPropServices;

namespace pellux {

// The annotation service of the thread, started the first time it is
// asked for. COM and the accessibility library are loaded at that moment,
// not imported: the tray icon and its menu need neither.
class Accessibility {
 public:
  Accessibility();
  ~Accessibility();
  Accessibility(const Accessibility&) = delete;
  Accessibility& operator=(const Accessibility&) = delete;

  // False where the service could not be had; then every call does nothing.
  bool available() const { return services_ != nullptr; }

  // The name a screen reader reads for the window's client area, in place
  // of the one Windows would derive. True when the service took it.
  bool SetName(HWND window, std::wstring_view name);
  // Announces the window as a dialog. True when the service took it.
  bool SetDialogRole(HWND window);
  // Removes what SetName and SetDialogRole gave, before the window goes.
  void Clear(HWND window);

 private:
  IAccPropServices* services_ = nullptr;
};

}  // namespace pellux
