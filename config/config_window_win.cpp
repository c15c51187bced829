#include "config/config_window_win.h"

namespace pellux {

ConfigWindow::~ConfigWindow() {
  // Destroyed here rather than in a base class, so that WM_DESTROY still
  // reaches this class and the form lets go of the window.
  Destroy();
}

std::string ConfigWindow::ListText() const {
  const int index = ListIndex("cboInterval");
  return index < 0 ? std::string() : ListItem("cboInterval", index);
}

int ConfigWindow::ScreenWidth() const {
  return PixelsToTwips(GetSystemMetrics(SM_CXSCREEN), dpi());
}

double ConfigWindow::TwipsPerPixelY() const { return static_cast<double>(kTwipsPerInch) / dpi(); }

TwipsRect ConfigWindow::WorkArea() const {
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return {PixelsToTwips(work.left, dpi()), PixelsToTwips(work.top, dpi()),
          PixelsToTwips(work.right, dpi()), PixelsToTwips(work.bottom, dpi())};
}

int ConfigWindow::Width() const {
  RECT outer{};
  GetWindowRect(hwnd(), &outer);
  return PixelsToTwips(outer.right - outer.left, dpi());
}

int ConfigWindow::Height() const {
  RECT outer{};
  GetWindowRect(hwnd(), &outer);
  return PixelsToTwips(outer.bottom - outer.top, dpi());
}

void ConfigWindow::Move(int left, int top) {
  SetWindowPos(hwnd(), nullptr, TwipsToPixels(left, dpi()), TwipsToPixels(top, dpi()), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ConfigWindow::OnCommand(const ControlDesign& control, int code) {
  if (code != BN_CLICKED) return;
  if (control.name == "cmdOK") {
    form_.cmdOK_Click();
  } else if (control.name == "cmdCancel") {
    form_.cmdCancel_Click();
  } else if (control.name == "cmdAbout") {
    form_.cmdAbout_Click();
  }
}

LRESULT ConfigWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) form_.SetView(nullptr);
  return FormWindow::HandleMessage(message, wparam, lparam);
}

void ConfigWindowHost::Show() {
  if (loaded()) {
    SetForegroundWindow(window_.hwnd());
    return;
  }
  if (!window_.Build()) {
    window_.Unload();
    return;
  }
  form_.SetView(&window_);
  form_.Form_Load();
  if (!loaded()) return;
  ShowWindow(window_.hwnd(), SW_SHOW);
  SetForegroundWindow(window_.hwnd());
}

void ConfigWindowHost::Unload() {
  if (loaded()) window_.Unload();
}

}  // namespace pellux
