// Names and roles that screen readers read for windows whose own say too
// little: a box that shows a value has no label of its own, and a form's
// window is a plain window rather than a dialog. They are given through
// Active Accessibility's Dynamic Annotation, which changes nothing on the
// screen; its proxies serve UI Automation clients as well. COM and the
// accessibility library are loaded the first time, not imported: the tray
// icon and its menu need neither. Where the service cannot be had, nothing
// is annotated.
#pragma once

#include <windows.h>

#include <string_view>

namespace pellux {

// The name a screen reader reads for the window's client area, in place of
// the one Windows would derive.
void SetAccessibleName(HWND window, std::wstring_view name);
// Announces the window as a dialog.
void SetDialogRole(HWND window);
// Removes the name and role given above, before the window goes.
void ClearAnnotations(HWND window);

}  // namespace pellux
