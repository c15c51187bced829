#include "ui/form_window_qt.h"

#include <qdrawutil.h>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/program_icon_qt.h"
#include "platform/text_qt.h"

namespace pellux {

namespace {

QColor SystemColourValue(const QPalette& palette, SystemColour colour) {
  return colour == SystemColour::kButtonFace ? palette.color(QPalette::Button)
                                             : palette.color(QPalette::WindowText);
}

QFont FontAt(const FontDesign& design, int dpi) {
  const QStringList installed = QFontDatabase::families();
  QFont font(ToQString(ResolveFace(design.face, [&installed](std::string_view candidate) {
    return installed.contains(ToQString(candidate), Qt::CaseInsensitive);
  })));
  // The design gives the character height, as Windows' fonts take it.
  font.setPixelSize(std::max(1, FontPixelHeight(design, dpi)));
  font.setWeight(QFont::Normal);
  return font;
}

// QRect's right() and bottom() are the last pixel inside; a PixelRect's
// edges lie one past it, as Windows' rectangles do.
PixelRect ToPixelRect(const QRect& rect) {
  return {rect.x(), rect.y(), rect.x() + rect.width(), rect.y() + rect.height()};
}

QRect PrimaryScreenRect(bool available) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  return available ? screen->availableGeometry() : screen->geometry();
}

// The logical DPI of the primary screen, which Qt's widget pixels follow.
int ScreenDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? static_cast<int>(std::lround(screen->logicalDotsPerInchY())) : 96;
}

QWidget* CreateCommandButton(const ControlDesign& control, QWidget* parent, Form& form,
                             ControlId id) {
  auto* button = new EdgeButton(ToQString(control.caption), parent);
  QObject::connect(button, &QPushButton::clicked, [&form, id] { form.Click(id); });
  return button;
}

QWidget* CreateTextBox(const ControlDesign& control, QWidget* parent) {
  auto* box = new QLineEdit(ToQString(control.caption), parent);
  box->setReadOnly(control.Has(control_flags::kLocked));
  if (control.Has(control_flags::kCentred)) box->setAlignment(Qt::AlignCenter);
  // Like the Windows edit controls of these forms: no border of their own.
  box->setFrame(false);
  return box;
}

QWidget* CreateLabel(const ControlDesign& control, QWidget* parent) {
  auto* label = new QLabel(DisplayLines(control.caption), parent);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignTop |
                      (control.Has(control_flags::kCentred) ? Qt::AlignHCenter : Qt::AlignLeft));
  return label;
}

QWidget* CreateFrame(const ControlDesign& control, QWidget* parent) {
  auto* frame = new QGroupBox(ToQString(control.caption), parent);
  // A frame is a control of its own: a press on it must not reach the
  // form's body, which would start a drag.
  frame->setAttribute(Qt::WA_NoMousePropagation);
  return frame;
}

QWidget* CreatePictureBox(const ControlDesign& /*control*/, QWidget* parent) {
  auto* picture = new QWidget(parent);
  // It paints its own face, over whatever lies beneath it.
  picture->setAutoFillBackground(true);
  return picture;
}

QWidget* CreateDropDownList(const ControlDesign& control, QWidget* parent) {
  auto* list = new QComboBox(parent);
  for (const ListItemDesign& item : control.items) {
    list->addItem(ToQString(item.caption), item.data);
  }
  list->setCurrentIndex(-1);
  return list;
}

}  // namespace

// The window itself. It passes what happens to it to its window object
// while it is loaded, and nothing once it has been unloaded.
class FormWindow::Body final : public QWidget {
 public:
  explicit Body(FormWindow& owner)
      // A tool window: a small caption bar with a close box, no taskbar button.
      : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                             Qt::WindowCloseButtonHint),
        owner_(&owner) {}

  void Detach() { owner_ = nullptr; }
  // Whether the form is handling a move of the mouse over the body.
  bool following_mouse() const { return following_mouse_; }

 protected:
  // The window has no handler that could refuse to close.
  void closeEvent(QCloseEvent* /*event*/) override {
    if (owner_ != nullptr) owner_->Unload();
  }
  // Only the body gets these: controls take their own mouse input.
  void mousePressEvent(QMouseEvent* event) override {
    TellForm(&Form::Form_MouseDown, event->button(), *event);
    // The compositor takes a window only from a press, so on Wayland the
    // press is also the first move of a drag the form may make of it.
    if (QGuiApplication::platformName() == "wayland") mouseMoveEvent(event);
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    const QScopedValueRollback following(following_mouse_, true);
    TellForm(&Form::Form_MouseMove, event->buttons(), *event);
  }
  // Keys the focused control leaves alone: Enter presses the focused button
  // (no button is a default one), and Esc closes a window whose design says so.
  void keyPressEvent(QKeyEvent* event) override {
    const bool plain = !(event->modifiers() & ~Qt::KeypadModifier);
    const int key = event->key();
    if (plain && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
      if (auto* button = qobject_cast<QPushButton*>(focusWidget())) button->click();
    } else if (plain && key == Qt::Key_Escape) {
      if (owner_ != nullptr && owner_->form_.design().escape_closes) close();
    } else {
      QWidget::keyPressEvent(event);
    }
  }
  bool event(QEvent* event) override {
    const QEvent::Type type = event->type();
    if (owner_ != nullptr &&
        (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show)) {
      owner_->KeepPlacement();
    }
    return QWidget::event(event);
  }

 private:
  // Tells the form of a mouse event on the body, in twips.
  void TellForm(void (Form::*handler)(int16_t, int16_t, float, float), Qt::MouseButtons buttons,
                const QMouseEvent& event) {
    if (owner_ == nullptr) return;
    const QPointF at = event.position();
    const Qt::KeyboardModifiers keys = event.modifiers();
    (owner_->form_.*handler)(
        MouseButtons(buttons & Qt::LeftButton, buttons & Qt::RightButton,
                     buttons & Qt::MiddleButton),
        ShiftKeys(keys & Qt::ShiftModifier, keys & Qt::ControlModifier, keys & Qt::AltModifier),
        static_cast<float>(PixelsToTwips(at.x(), owner_->dpi_)),
        static_cast<float>(PixelsToTwips(at.y(), owner_->dpi_)));
  }

  FormWindow* owner_;
  bool following_mouse_ = false;
};

std::optional<PixelRect> PanelFromScreen(const QRect& screen, const QRect& available) {
  const PixelRect all = ToPixelRect(screen);
  const PixelRect free = ToPixelRect(available);
  if (free.bottom < all.bottom) return PixelRect{all.left, free.bottom, all.right, all.bottom};
  if (free.top > all.top) return PixelRect{all.left, all.top, all.right, free.top};
  if (free.left > all.left) return PixelRect{all.left, all.top, free.left, all.bottom};
  if (free.right < all.right) return PixelRect{free.right, all.top, all.right, all.bottom};
  return std::nullopt;
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

FormWindow::FormWindow(Form& form) : form_(form), dpi_(ScreenDpi()) {
  // A screen reader announces a form's window as a dialog, named by its
  // caption: Qt would expose a plain top-level widget as a filler. Qt keeps
  // one copy of a factory however often it is installed.
  QAccessible::installFactory([](const QString&, QObject* object) -> QAccessibleInterface* {
    auto* body = dynamic_cast<Body*>(object);
    return body != nullptr ? new QAccessibleWidget(body, QAccessible::Dialog) : nullptr;
  });
  form.Bind(*this);
}

FormWindow::~FormWindow() {
  Unload();
  for (const QPointer<QWidget>& widget : unloaded_) delete widget.data();
}

void FormWindow::Show() {
  if (body_ == nullptr) {
    Create();
    if (form_.design().start == StartPosition::kCentreScreen) {
      PlaceFrame(PrimaryScreenRect(false).center(), QPointF(0.5, 0.5));
    }
    form_.Load();
    if (body_ == nullptr) return;  // the form unloaded itself
  }
  body_->show();
  body_->raise();
  body_->activateWindow();
}

void FormWindow::Unload() {
  if (body_ == nullptr) return;
  Body* body = std::exchange(body_, nullptr);
  controls_.clear();
  place_at_.reset();
  body->Detach();
  body->hide();
  std::erase_if(unloaded_, [](const QPointer<QWidget>& widget) { return widget.isNull(); });
  unloaded_.emplace_back(body);
  body->deleteLater();
}

QWidget* FormWindow::widget() const { return body_; }

void FormWindow::Create() {
  const FormDesign& design = form_.design();
  dpi_ = ScreenDpi();
  UseProgramIconForWindows();
  body_ = new Body(*this);
  body_->setObjectName(ToQString(design.name));
  body_->setWindowTitle(ToQString(design.caption));
  body_->setAttribute(Qt::WA_QuitOnClose, false);
  body_->setFont(FontAt(design.font, dpi_));
  body_->setFixedSize(TwipsToPixels(design.client_width, dpi_),
                      TwipsToPixels(design.client_height, dpi_));
  for (const ControlDesign& control : design.controls) {
    QWidget* widget = CreateControl(control);
    widget->setObjectName(ToQString(control.name));
    const PixelRect rect = ToPixels(control, dpi_);
    widget->setGeometry(rect.left, rect.top, rect.width(), rect.height());
    // A control without a font of its own takes its container's.
    if (control.font) widget->setFont(FontAt(*control.font, dpi_));
    widget->setToolTip(ToQString(control.tooltip));
    widget->setAccessibleName(ToQString(design.AccessibleName(control)));
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
    if (control.Has(control_flags::kHidden)) widget->hide();
    // Controls created earlier lie in front of later ones, as on Windows: the
    // information window's title box stands over its frame's top edge.
    widget->lower();
    controls_.push_back(widget);
  }
  // Qt's AT-SPI bridge names a list by its current item, and tells what the list is by the
  // label that labels it.
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (const auto label = design.controls[i].label) {
      static_cast<QLabel*>(Control(*label))->setBuddy(controls_[i]);
    }
  }
  const std::vector<ControlId> tab_order = TabOrder(design);
  for (std::size_t i = 1; i < tab_order.size(); ++i) {
    QWidget::setTabOrder(Control(tab_order[i - 1]), Control(tab_order[i]));
  }
  // The first control in the tab order has the focus when the window opens.
  if (!tab_order.empty()) Control(tab_order.front())->setFocus();
}

QWidget* FormWindow::CreateControl(const ControlDesign& control) {
  QWidget* parent = control.parent ? Control(*control.parent) : body_;
  switch (control.kind) {
    case ControlKind::kCommandButton:
      // Controls are made in table order, so this one's place is the count so far.
      return CreateCommandButton(control, parent, form_, ControlId::At(controls_.size()));
    case ControlKind::kTextBox:
      return CreateTextBox(control, parent);
    case ControlKind::kLabel:
      return CreateLabel(control, parent);
    case ControlKind::kFrame:
      return CreateFrame(control, parent);
    case ControlKind::kPictureBox:
      return CreatePictureBox(control, parent);
    case ControlKind::kDropDownList:
      return CreateDropDownList(control, parent);
  }
  return nullptr;
}

QWidget* FormWindow::Control(ControlId control) const {
  return control.index() < controls_.size() ? controls_[control.index()] : nullptr;
}

void FormWindow::SetCaption(std::string_view text) {
  if (body_ != nullptr) body_->setWindowTitle(ToQString(text));
}

std::string FormWindow::Text(ControlId control) const {
  QWidget* widget = Control(control);
  if (auto* box = qobject_cast<QLineEdit*>(widget)) return FromQString(box->text());
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return FromQString(button->text());
  if (auto* label = qobject_cast<QLabel*>(widget)) return FromQString(label->text());
  if (auto* frame = qobject_cast<QGroupBox*>(widget)) return FromQString(frame->title());
  if (auto* list = qobject_cast<QComboBox*>(widget)) return FromQString(list->currentText());
  return {};
}

void FormWindow::SetText(ControlId control, std::string_view text) {
  QWidget* widget = Control(control);
  if (auto* box = qobject_cast<QLineEdit*>(widget)) {
    box->setText(ToQString(text));
    // Show the start of a text longer than the box.
    box->setCursorPosition(0);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(ToQString(text));
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(DisplayLines(text));
  } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
    frame->setTitle(ToQString(text));
  }
}

void FormWindow::SetVisible(ControlId control, bool visible) {
  if (QWidget* widget = Control(control)) widget->setVisible(visible);
}

void FormWindow::SelectItemData(ControlId control, int32_t data) {
  auto* list = qobject_cast<QComboBox*>(Control(control));
  if (list == nullptr) return;
  if (const int index = list->findData(data); index >= 0) list->setCurrentIndex(index);
}

std::optional<int32_t> FormWindow::SelectedItemData(ControlId control) const {
  const auto* list = qobject_cast<QComboBox*>(Control(control));
  if (list == nullptr || list->currentIndex() < 0) return std::nullopt;
  return list->currentData().toInt();
}

void FormWindow::FlattenButton(ControlId control) {
  if (auto* button = dynamic_cast<EdgeButton*>(Control(control))) button->SetStaticEdge(true);
}

TwipsRect FormWindow::Frame() const {
  // A top-level window's frame geometry is its client area until the
  // window manager has framed it.
  return body_ != nullptr ? ToTwips(ToPixelRect(body_->frameGeometry()), dpi_) : TwipsRect{};
}

TwipsRect FormWindow::Screen() const {
  return ToTwips(ToPixelRect(PrimaryScreenRect(false)), dpi_);
}

TwipsRect FormWindow::WorkArea() const {
  return ToTwips(ToPixelRect(PrimaryScreenRect(true)), dpi_);
}

std::optional<PixelRect> FormWindow::TaskbarRect() const {
  return PanelFromScreen(PrimaryScreenRect(false), PrimaryScreenRect(true));
}

void FormWindow::Move(double x, double y, Corner corner) {
  if (body_ == nullptr) return;
  // A Wayland client cannot place its window: a drag of the body hands the
  // window to the compositor, which moves it with the pointer until the
  // button comes up. Elsewhere the window follows the form's arithmetic.
  if (body_->following_mouse() && QGuiApplication::platformName() == "wayland" &&
      body_->windowHandle()->startSystemMove()) {
    return;
  }
  PlaceFrame(QPoint(TwipsToPixels(x, dpi_), TwipsToPixels(y, dpi_)),
             corner == Corner::kBottomRight ? QPointF(1, 1) : QPointF(0, 0));
}

void FormWindow::PlaceFrame(QPoint at, QPointF anchor) {
  place_at_ = at;
  anchor_ = anchor;
  placed_size_ = QSize();
  KeepPlacement();
}

void FormWindow::KeepPlacement() {
  // Only a loaded window has been placed.
  if (!place_at_) return;
  const QSize outer = body_->frameGeometry().size();
  if (outer == placed_size_) return;
  placed_size_ = outer;
  // A top-level window's position is that of its frame.
  body_->move(*place_at_ - QPoint(static_cast<int>(outer.width() * anchor_.x()),
                                  static_cast<int>(outer.height() * anchor_.y())));
}

}  // namespace pellux
