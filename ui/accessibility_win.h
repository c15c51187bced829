// Names and roles for screen readers where a window's own say too little (a
// box that shows a value has no label; a form's window is not a dialog),
// given through Active Accessibility's Dynamic Annotation, whose proxies
// serve UI Automation clients as well. COM and the accessibility library are
// loaded at the first call, not imported: the tray icon and its menu need
// neither. Where the service cannot be had, nothing is annotated.
#pragma once

#include <windows.h>

#include <string>

namespace pellux {

// The name a screen reader reads for the window's client area, in place of
// the one Windows would derive.
void SetAccessibleName(HWND window, const std::wstring& name);
// Announces the window as a dialog.
void SetDialogRole(HWND window);
// Removes the name and role given above, before the window goes.
void ClearAnnotations(HWND window);

}  // namespace pellux
