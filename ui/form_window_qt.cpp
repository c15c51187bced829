#include "ui/form_window_qt.h"

#include <qdrawutil.h>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <span>

#include "ui/text_qt.h"

namespace pellux {
namespace {

// A frame is a control of its own: a press on it must not reach the form's
// body, which would start a drag.
class FrameBox final : public QGroupBox {
 public:
  using QGroupBox::QGroupBox;

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    QGroupBox::mousePressEvent(event);
    event->accept();
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    QGroupBox::mouseMoveEvent(event);
    event->accept();
  }
};

Qt::WindowFlags WindowFlagsFor(const FormDesign& design) {
  // A tool window gets no taskbar button.
  Qt::WindowFlags flags = design.taskbar_button ? Qt::Window : Qt::Tool;
  if (design.border == BorderDesign::kFixedToolWindow) {
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
  } else {
    flags |= Qt::FramelessWindowHint;
  }
  return flags;
}

QColor SystemColourValue(const QPalette& palette, SystemColour colour) {
  return colour == SystemColour::kButtonFace ? palette.color(QPalette::Button)
                                             : palette.color(QPalette::WindowText);
}

QFont FontAt(const FontDesign& design, int dpi) {
  QFont font(ResolveFontFamily(design.face));
  // The design gives the character height, as Windows' fonts take it.
  font.setPixelSize(std::max(1, FontPixelHeight(design, dpi)));
  font.setWeight(static_cast<QFont::Weight>(design.weight));
  return font;
}

}  // namespace

int ScreenDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
  return dpi > 0 ? static_cast<int>(std::lround(dpi)) : 96;
}

QString ResolveFontFamily(std::string_view face) {
  const QStringList installed = QFontDatabase::families();
  const QString wanted = ToQString(face);
  if (installed.contains(wanted, Qt::CaseInsensitive)) return wanted;
  // Metric-compatible or look-alike faces for the ones the forms name.
  static const QStringList kArialLike = {"Liberation Sans", "Arimo", "Helvetica", "DejaVu Sans"};
  static const QStringList kSansSerifLike = {"Microsoft Sans Serif", "Tahoma", "Liberation Sans",
                                             "DejaVu Sans"};
  for (const QString& candidate : face == "Arial" ? kArialLike : kSansSerifLike) {
    if (installed.contains(candidate, Qt::CaseInsensitive)) return candidate;
  }
  return wanted;  // let fontconfig choose
}

void EdgeButton::SetStaticEdge(bool on) {
  static_edge_ = on;
  update();
}

void EdgeButton::paintEvent(QPaintEvent* event) {
  QPushButton::paintEvent(event);
  if (!static_edge_) return;
  QPainter painter(this);
  qDrawShadeRect(&painter, rect(), palette(), /*sunken=*/true, 1);
}

FormWindow::FormWindow(const FormDesign& design)
    : QWidget(nullptr, WindowFlagsFor(design)), design_(design), dpi_(ScreenDpi()) {
  setObjectName(ToQString(design.name));
  setWindowTitle(ToQString(design.caption));
  setAttribute(Qt::WA_QuitOnClose, false);
  setFont(FontAt(design.font, dpi_));
  setFixedSize(ToPixels(design.client_width), ToPixels(design.client_height));
  controls_.reserve(design.controls.size());
  tags_.Reset(design);
  for (const ControlDesign& control : design.controls) {
    controls_.push_back(CreateControl(control));
  }
  // Controls created earlier lie in front of later ones, as on Windows: the
  // information window's title box stands over its frame's top edge.
  for (auto widget = controls_.rbegin(); widget != controls_.rend(); ++widget) (*widget)->raise();
  SetTabOrder();
}

int FormWindow::ToPixels(double twips) const {
  return static_cast<int>(std::lround(twips * dpi_ / kTwipsPerInch));
}

float FormWindow::ToTwips(double pixels) const {
  return static_cast<float>(pixels * kTwipsPerInch / dpi_);
}

QWidget* FormWindow::CreateControl(const ControlDesign& control) {
  QWidget* parent = control.parent.empty() ? this : Control(control.parent);
  if (parent == nullptr) parent = this;
  const QString caption = ToQString(control.caption);
  QWidget* widget = nullptr;
  switch (control.kind) {
    case ControlKind::kCommandButton: {
      auto* button = new EdgeButton(caption, parent);
      connect(button, &QPushButton::clicked, this, [this, &control] { OnClick(control); });
      widget = button;
      break;
    }
    case ControlKind::kTextBox: {
      auto* box = new QLineEdit(caption, parent);
      box->setReadOnly(control.Has(control_flags::kLocked));
      box->setAlignment(control.Has(control_flags::kCentred) ? Qt::AlignCenter
                                                             : Qt::AlignLeft | Qt::AlignVCenter);
      // Like the Windows edit controls of these forms: no border of their own.
      box->setFrame(false);
      widget = box;
      break;
    }
    case ControlKind::kLabel: {
      auto* label = new QLabel(DisplayLines(control.caption), parent);
      label->setTextFormat(Qt::PlainText);
      label->setWordWrap(true);
      label->setAlignment(
          Qt::AlignTop | (control.Has(control_flags::kCentred) ? Qt::AlignHCenter : Qt::AlignLeft));
      widget = label;
      break;
    }
    case ControlKind::kFrame:
      widget = new FrameBox(caption, parent);
      break;
    case ControlKind::kPictureBox: {
      auto* picture = new QWidget(parent);
      // It paints its own face, over whatever lies beneath it.
      picture->setAutoFillBackground(true);
      widget = picture;
      break;
    }
    case ControlKind::kDropDownList: {
      auto* list = new QComboBox(parent);
      for (const std::string_view item : control.items) list->addItem(ToQString(item));
      list->setCurrentIndex(-1);
      widget = list;
      break;
    }
  }
  widget->setObjectName(ToQString(control.name));
  const PixelRect rect = pellux::ToPixels(control, dpi_);
  widget->setGeometry(rect.left, rect.top, rect.width(), rect.height());
  // A control without a font of its own takes its container's, which is how
  // Qt hands fonts down anyway.
  if (control.font) widget->setFont(FontAt(*control.font, dpi_));
  if (!control.tooltip.empty()) widget->setToolTip(ToQString(control.tooltip));
  if (control.fore != SystemColour::kDefault || control.back != SystemColour::kDefault) {
    QPalette palette = widget->palette();
    if (control.fore != SystemColour::kDefault) {
      const QColor fore = SystemColourValue(palette, control.fore);
      palette.setColor(QPalette::WindowText, fore);
      palette.setColor(QPalette::Text, fore);
    }
    if (control.back != SystemColour::kDefault) {
      palette.setColor(QPalette::Base, SystemColourValue(palette, control.back));
    }
    widget->setPalette(palette);
  }
  if (control.Has(control_flags::kDisabled)) {
    if (control.kind == ControlKind::kPictureBox) {
      // A disabled container takes no input, but its contents are drawn as
      // usual rather than greyed: presses go through to the window's body.
      widget->setAttribute(Qt::WA_TransparentForMouseEvents);
      widget->setFocusPolicy(Qt::NoFocus);
    } else {
      widget->setEnabled(false);
    }
  }
  if (control.Has(control_flags::kNoTabStop)) widget->setFocusPolicy(Qt::ClickFocus);
  if (control.Has(control_flags::kHidden)) widget->hide();
  return widget;
}

void FormWindow::SetTabOrder() {
  std::vector<std::pair<int, QWidget*>> stops;
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i]->focusPolicy() & Qt::TabFocus) {
      stops.emplace_back(design_.controls[i].tab_index, controls_[i]);
    }
  }
  std::stable_sort(stops.begin(), stops.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 1; i < stops.size(); ++i) {
    QWidget::setTabOrder(stops[i - 1].second, stops[i].second);
  }
  // The first control in the tab order has the focus when the window opens.
  if (!stops.empty()) stops.front().second->setFocus();
}

QWidget* FormWindow::Control(std::string_view name) const {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (design_.controls[i].name == name) return controls_[i];
  }
  return nullptr;
}

void FormWindow::SetCaption(std::string_view text) { setWindowTitle(ToQString(text)); }

std::string FormWindow::ControlText(std::string_view name) const {
  QWidget* control = Control(name);
  if (auto* box = qobject_cast<QLineEdit*>(control)) return FromQString(box->text());
  if (auto* button = qobject_cast<QAbstractButton*>(control)) return FromQString(button->text());
  if (auto* label = qobject_cast<QLabel*>(control)) return FromQString(label->text());
  if (auto* frame = qobject_cast<QGroupBox*>(control)) return FromQString(frame->title());
  if (auto* list = qobject_cast<QComboBox*>(control)) return FromQString(list->currentText());
  return {};
}

void FormWindow::SetControlText(std::string_view name, std::string_view text) {
  QWidget* control = Control(name);
  if (auto* box = qobject_cast<QLineEdit*>(control)) {
    box->setText(ToQString(text));
    // Show the start of a text longer than the box.
    box->setCursorPosition(0);
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(ToQString(text));
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(DisplayLines(text));
  } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
    frame->setTitle(ToQString(text));
  }
}

void FormWindow::SetControlVisible(std::string_view name, bool visible) {
  if (QWidget* control = Control(name)) control->setVisible(visible);
}

int FormWindow::ListCount(std::string_view name) const {
  const auto* list = qobject_cast<QComboBox*>(Control(name));
  return list != nullptr ? list->count() : 0;
}

std::string FormWindow::ListItem(std::string_view name, int index) const {
  const auto* list = qobject_cast<QComboBox*>(Control(name));
  if (list == nullptr || index < 0 || index >= list->count()) return {};
  return FromQString(list->itemText(index));
}

int FormWindow::ListIndex(std::string_view name) const {
  const auto* list = qobject_cast<QComboBox*>(Control(name));
  return list != nullptr ? list->currentIndex() : -1;
}

void FormWindow::SetListIndex(std::string_view name, int index) {
  if (auto* list = qobject_cast<QComboBox*>(Control(name))) list->setCurrentIndex(index);
}

void FormWindow::PlaceFrame(QPoint at, FrameAnchor anchor) {
  placed_ = true;
  place_at_ = at;
  anchor_ = anchor;
  placed_size_ = QSize();
  KeepPlacement();
}

void FormWindow::KeepPlacement() {
  const QSize outer = frameGeometry().size();
  if (!placed_ || outer == placed_size_) return;
  placed_size_ = outer;
  QPoint top_left = place_at_;
  if (anchor_ == FrameAnchor::kCentre) {
    top_left -= QPoint(outer.width() / 2, outer.height() / 2);
  } else if (anchor_ == FrameAnchor::kBottomRight) {
    top_left -= QPoint(outer.width(), outer.height());
  }
  // A top-level window's position is that of its frame.
  move(top_left);
}

bool FormWindow::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
      KeepPlacement();
      break;
    default:
      break;
  }
  return QWidget::event(event);
}

void FormWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  OnClose();
}

}  // namespace pellux
