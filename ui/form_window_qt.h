// A form's window on Qt, built from the form's design table at the screen's
// DPI each time the form is shown while not loaded.
#pragma once

#include <QPoint>
#include <QPointer>
#include <QPushButton>
#include <QRect>
#include <QSize>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/design.h"
#include "ui/form_view.h"

namespace pellux {

// A command button that can carry a static edge: a thin sunken frame.
class EdgeButton final : public QPushButton {
  Q_OBJECT

 public:
  using QPushButton::QPushButton;

  void SetStaticEdge(bool on);
  bool static_edge() const { return static_edge_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool static_edge_ = false;
};

class FormWindow final : public FormView {
 public:
  // Binds itself to `form`; the window is built when the form is shown.
  explicit FormWindow(Form& form);
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;
  ~FormWindow() override;

  void Show() override;
  // Hides the window at once; the widget itself goes once the event that
  // led here has been handled, as a click of one of its own buttons may.
  void Unload() override;
  bool loaded() const override { return body_ != nullptr; }

  void SetCaption(std::string_view text) override;
  std::string Text(ControlId control) const override;
  void SetText(ControlId control, std::string_view text) override;
  void SetVisible(ControlId control, bool visible) override;
  void SelectItemData(ControlId control, int32_t data) override;
  std::optional<int32_t> SelectedItemData(ControlId control) const override;
  void FlattenButton(ControlId control) override;

  int dpi() const override { return dpi_; }
  TwipsRect Frame() const override;
  TwipsRect Screen() const override;
  TwipsRect WorkArea() const override;
  std::optional<PixelRect> TaskbarRect() const override;
  void Move(double x, double y, Corner corner) override;

  // The loaded window, or null.
  QWidget* widget() const;
  // A control of the loaded window, or null.
  QWidget* Control(ControlId control) const;

 private:
  class Body;

  void Create();
  QWidget* CreateControl(const ControlDesign& control);
  // Places a point of the outer frame at `at` (screen pixels): `anchor` is
  // where it lies as fractions of the frame's size, 0, 0 its top left. The
  // window manager adds the frame only once the window is shown, so a change
  // of its size places the window again.
  void PlaceFrame(QPoint at, QPointF anchor);
  void KeepPlacement();

  Form& form_;
  int dpi_;
  Body* body_ = nullptr;                     // the loaded window
  std::vector<QPointer<QWidget>> unloaded_;  // waiting to be deleted
  std::vector<QWidget*> controls_;           // parallel to the design's controls
  std::optional<QPoint> place_at_;           // none: the window manager places it
  QPointF anchor_;
  QSize placed_size_;  // the outer size the last placement was made for
};

// The panel that takes the part of the screen its available area leaves
// out, as a rectangle in screen pixels whose right and bottom edges lie one
// past its last pixel; nothing when the available area is the whole screen.
std::optional<PixelRect> PanelFromScreen(const QRect& screen, const QRect& available);

}  // namespace pellux
