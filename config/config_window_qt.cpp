#include "config/config_window_qt.h"

#include <QGuiApplication>
#include <QScreen>

namespace pellux {
namespace {

QRect ScreenRect(bool available) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  return available ? screen->availableGeometry() : screen->geometry();
}

}  // namespace

std::string ConfigWindow::ListText() const {
  const int index = ListIndex("cboInterval");
  return index < 0 ? std::string() : ListItem("cboInterval", index);
}

int ConfigWindow::ScreenWidth() const {
  const QRect screen = ScreenRect(false);
  return static_cast<int>(ToTwips(screen.x() + screen.width()));
}

double ConfigWindow::TwipsPerPixelY() const { return static_cast<double>(kTwipsPerInch) / dpi(); }

TwipsRect ConfigWindow::WorkArea() const {
  const QRect work = ScreenRect(true);
  return {static_cast<int>(ToTwips(work.x())), static_cast<int>(ToTwips(work.y())),
          static_cast<int>(ToTwips(work.x() + work.width())),
          static_cast<int>(ToTwips(work.y() + work.height()))};
}

int ConfigWindow::Width() const { return static_cast<int>(ToTwips(frameGeometry().width())); }

int ConfigWindow::Height() const { return static_cast<int>(ToTwips(frameGeometry().height())); }

void ConfigWindow::Move(int left, int top) {
  // The form places the window by its right and bottom edges: flush with the
  // screen's right edge, standing on the panel. Until the window manager has
  // framed the window its outer size is only the client area, so the place
  // is kept by those edges and mended once the frame is known.
  const QPoint bottom_right(ToPixels(left + Width()), ToPixels(top + Height()));
  PlaceFrame(bottom_right, FrameAnchor::kBottomRight);
}

void ConfigWindow::Unload() {
  hide();
  form_.SetView(nullptr);
  deleteLater();
}

void ConfigWindow::OnClick(const ControlDesign& control) {
  if (control.name == "cmdOK") {
    form_.cmdOK_Click();
  } else if (control.name == "cmdCancel") {
    form_.cmdCancel_Click();
  } else if (control.name == "cmdAbout") {
    form_.cmdAbout_Click();
  }
}

ConfigWindowHost::~ConfigWindowHost() { delete window_.data(); }

void ConfigWindowHost::Show() {
  if (!loaded()) {
    window_ = new ConfigWindow(form_);
    form_.SetView(window_.data());
    form_.Form_Load();
  }
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void ConfigWindowHost::Unload() {
  if (ConfigWindow* window = this->window()) window->Unload();
}

}  // namespace pellux
