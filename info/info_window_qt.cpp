#include "info/info_window_qt.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include <cmath>

#include "info/frm_info_design.h"

namespace pellux {
namespace {

int16_t ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return kMouseLeft;
    case Qt::RightButton:
      return kMouseRight;
    case Qt::MiddleButton:
      return kMouseMiddle;
    default:
      return 0;
  }
}

int16_t ButtonsOf(Qt::MouseButtons buttons) {
  int16_t set = 0;
  if (buttons & Qt::LeftButton) set |= kMouseLeft;
  if (buttons & Qt::RightButton) set |= kMouseRight;
  if (buttons & Qt::MiddleButton) set |= kMouseMiddle;
  return set;
}

int16_t ShiftOf(Qt::KeyboardModifiers modifiers) {
  int16_t set = 0;
  if (modifiers & Qt::ShiftModifier) set |= kShiftKey;
  if (modifiers & Qt::ControlModifier) set |= kCtrlKey;
  if (modifiers & Qt::AltModifier) set |= kAltKey;
  return set;
}

}  // namespace

InfoWindow::InfoWindow(frmInfo& form) : FormWindow(kInfoDesign), form_(form) {}

void InfoWindow::FlattenButton(std::string_view control) {
  if (auto* button = dynamic_cast<EdgeButton*>(Control(control))) button->SetStaticEdge(true);
}

float InfoWindow::Left() const { return ToTwips(pos().x()); }

float InfoWindow::Top() const { return ToTwips(pos().y()); }

void InfoWindow::Move(double left, double top) {
  PlaceFrame(QPoint(ToPixels(left), ToPixels(top)), FrameAnchor::kTopLeft);
}

void InfoWindow::Unload() {
  hide();
  form_.SetView(nullptr);
  deleteLater();
}

void InfoWindow::OnClick(const ControlDesign& control) {
  if (control.name == "cmdCopy") {
    form_.cmdCopy_Click();
  } else if (control.name == "cmdCopy2") {
    form_.cmdCopy2_Click();
  } else if (control.name == "cmdClose") {
    form_.cmdClose_Click();
  }
}

void InfoWindow::mousePressEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  form_.Form_MouseDown(ButtonOf(event->button()), ShiftOf(event->modifiers()), ToTwips(at.x()),
                       ToTwips(at.y()));
}

void InfoWindow::mouseMoveEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  form_.Form_MouseMove(ButtonsOf(event->buttons()), ShiftOf(event->modifiers()), ToTwips(at.x()),
                       ToTwips(at.y()));
}

InfoWindowHost::~InfoWindowHost() { delete window_.data(); }

void InfoWindowHost::Show() {
  if (!loaded()) {
    window_ = new InfoWindow(form_);
    form_.SetView(window_.data());
    form_.Form_Load();
    // The window opens centred on the screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      window_->PlaceFrame(screen->geometry().center(), FrameAnchor::kCentre);
    }
  }
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void InfoWindowHost::Unload() {
  if (InfoWindow* window = this->window()) window->Unload();
}

}  // namespace pellux
