#include "info/info_window_win.h"

#include <windowsx.h>

#include <cmath>

#include "info/flatten_button_win.h"
#include "info/frm_info_design.h"

namespace pellux {
namespace {

// The button whose press or release a mouse message reports.
int16_t ButtonOf(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
      return kMouseLeft;
    case WM_RBUTTONDOWN:
      return kMouseRight;
    default:
      return kMouseMiddle;
  }
}

// The buttons held down during a mouse message.
int16_t ButtonsOf(WPARAM state) {
  int16_t buttons = 0;
  if (state & MK_LBUTTON) buttons |= kMouseLeft;
  if (state & MK_RBUTTON) buttons |= kMouseRight;
  if (state & MK_MBUTTON) buttons |= kMouseMiddle;
  return buttons;
}

int16_t ShiftOf(WPARAM state) {
  int16_t shift = 0;
  if (state & MK_SHIFT) shift |= kShiftKey;
  if (state & MK_CONTROL) shift |= kCtrlKey;
  if (GetKeyState(VK_MENU) < 0) shift |= kAltKey;
  return shift;
}

constexpr WPARAM kAnyButton = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;

}  // namespace

InfoWindow::InfoWindow(frmInfo& form) : FormWindow(kInfoDesign), form_(form) {}

// The window goes while this object is still whole, so the form hears of it.
InfoWindow::~InfoWindow() { Destroy(); }

void InfoWindow::SetCaption(std::string_view text) { FormWindow::SetCaption(text); }

std::string InfoWindow::Text(std::string_view control) const { return ControlText(control); }

void InfoWindow::SetText(std::string_view control, std::string_view text) {
  SetControlText(control, text);
}

std::span<const ControlDesign> InfoWindow::Controls() const { return design().controls; }

void InfoWindow::FlattenButton(std::string_view control) {
  pellux::FlattenButton(Control(control));
}

float InfoWindow::PixelsToTwips(int pixels) const {
  return static_cast<float>(pixels) * static_cast<float>(kTwipsPerInch) / static_cast<float>(dpi());
}

int InfoWindow::TwipsToPixels(double twips) const {
  return static_cast<int>(std::lround(twips * dpi() / kTwipsPerInch));
}

float InfoWindow::Left() const {
  RECT outer{};
  GetWindowRect(hwnd(), &outer);
  return PixelsToTwips(outer.left);
}

float InfoWindow::Top() const {
  RECT outer{};
  GetWindowRect(hwnd(), &outer);
  return PixelsToTwips(outer.top);
}

void InfoWindow::Move(double left, double top) {
  SetWindowPos(hwnd(), nullptr, TwipsToPixels(left), TwipsToPixels(top), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void InfoWindow::Unload() { Destroy(); }

void InfoWindow::OnCommand(const ControlDesign& control, int code) {
  if (code != BN_CLICKED) return;
  if (control.name == "cmdCopy") {
    form_.cmdCopy_Click();
  } else if (control.name == "cmdCopy2") {
    form_.cmdCopy2_Click();
  } else if (control.name == "cmdClose") {
    form_.cmdClose_Click();
  }
}

void InfoWindow::OnFinalDestroy() { form_.SetView(nullptr); }

LRESULT InfoWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  // Only the body gets these: controls take their own mouse input.
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      // The body keeps the mouse while a button is down, so a quick drag
      // that outruns the window still reaches it.
      SetCapture(hwnd());
      form_.Form_MouseDown(ButtonOf(message), ShiftOf(wparam), PixelsToTwips(GET_X_LPARAM(lparam)),
                           PixelsToTwips(GET_Y_LPARAM(lparam)));
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      if ((wparam & kAnyButton) == 0 && GetCapture() == hwnd()) ReleaseCapture();
      return 0;
    case WM_MOUSEMOVE:
      form_.Form_MouseMove(ButtonsOf(wparam), ShiftOf(wparam), PixelsToTwips(GET_X_LPARAM(lparam)),
                           PixelsToTwips(GET_Y_LPARAM(lparam)));
      return 0;
    default:
      return FormWindow::HandleMessage(message, wparam, lparam);
  }
}

InfoWindowHost::InfoWindowHost(const frmMain& main, Module1& module1, Clipboard& clipboard,
                               MessageBoxes& messages)
    : form_(main, module1, clipboard, messages) {}

void InfoWindowHost::Show() {
  if (!loaded()) {
    auto window = std::make_unique<InfoWindow>(form_);
    if (!window->Build()) return;
    // The window of the previous load, if any, is already gone.
    window_ = std::move(window);
    form_.SetView(window_.get());
    form_.Form_Load();
  }
  const HWND window = window_->hwnd();
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
}

void InfoWindowHost::Unload() {
  if (loaded()) window_->Unload();
}

}  // namespace pellux
