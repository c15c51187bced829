// A top-level window built from a form's design table at the screen's DPI:
// its controls with their names, places, fonts, colours, tooltips and tab
// order. Forms derive from it and turn the controls' signals into their
// handlers.
#pragma once

#include <QPoint>
#include <QPushButton>
#include <QSize>
#include <QWidget>

#include <string>
#include <string_view>
#include <vector>

#include "ui/design.h"

namespace pellux {

// A command button that can carry the platform's static edge: a thin sunken
// frame around the button.
class EdgeButton final : public QPushButton {
 public:
  using QPushButton::QPushButton;

  void SetStaticEdge(bool on);
  bool static_edge() const { return static_edge_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool static_edge_ = false;
};

// Which point of the window's outer frame a placement fixes.
enum class FrameAnchor { kTopLeft, kCentre, kBottomRight };

class FormWindow : public QWidget {
 public:
  explicit FormWindow(const FormDesign& design);

  const FormDesign& design() const { return design_; }
  int dpi() const { return dpi_; }

  // The control's widget, or null.
  QWidget* Control(std::string_view name) const;

  void SetCaption(std::string_view text);
  // The text of a text box, the caption of a button, label or frame.
  std::string ControlText(std::string_view name) const;
  void SetControlText(std::string_view name, std::string_view text);
  void SetControlVisible(std::string_view name, bool visible);

  // A control's tag: text the form keeps with it, the design's tag at first.
  std::string Tag(std::string_view name) const { return tags_.Get(name); }
  void SetTag(std::string_view name, std::string_view tag) { tags_.Set(name, tag); }

  // A drop-down list's items, and its selected item (-1: none).
  int ListCount(std::string_view name) const;
  std::string ListItem(std::string_view name, int index) const;
  int ListIndex(std::string_view name) const;
  void SetListIndex(std::string_view name, int index);

  // Twips and this window's pixels.
  int ToPixels(double twips) const;
  float ToTwips(double pixels) const;

  // Places the window's outer frame so that its `anchor` point lies at `at`
  // (screen pixels). The window manager adds the frame only after the window
  // is shown; when the frame's size changes, the window is placed again so
  // the same point stays put.
  void PlaceFrame(QPoint at, FrameAnchor anchor);

 protected:
  // A click on one of the command buttons.
  virtual void OnClick(const ControlDesign& /*control*/) {}
  // The close box. The window has no handler that could refuse.
  virtual void OnClose() = 0;

  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  QWidget* CreateControl(const ControlDesign& control);
  void SetTabOrder();
  void KeepPlacement();

  const FormDesign& design_;
  int dpi_;
  std::vector<QWidget*> controls_;  // parallel to design_.controls
  ControlTags tags_;
  bool placed_ = false;
  QPoint place_at_;
  FrameAnchor anchor_ = FrameAnchor::kTopLeft;
  QSize placed_size_;  // the outer size the last placement was made for
};

// The family to use for a design font: the face itself when it is installed,
// otherwise a look-alike that is.
QString ResolveFontFamily(std::string_view face);

// The logical DPI of the primary screen, which Qt's widget pixels follow.
int ScreenDpi();

}  // namespace pellux
