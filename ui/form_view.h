// A form and its window. Each form is a portable class that holds its state and handlers; each
// front end has one window class that builds any form's window from its design table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/design.h"

namespace pellux {

// Mouse buttons and modifier keys as mouse events report them, as bit sets.
inline constexpr int16_t kLeftButton = 1;
inline constexpr int16_t kRightButton = 2;
inline constexpr int16_t kMiddleButton = 4;
inline constexpr int16_t kShiftKey = 1;
inline constexpr int16_t kCtrlKey = 2;
inline constexpr int16_t kAltKey = 4;

// The bit sets of the buttons and of the keys a mouse event finds held down.
constexpr int16_t MouseButtons(bool left, bool right, bool middle) {
  return static_cast<int16_t>((left ? kLeftButton : 0) | (right ? kRightButton : 0) |
                              (middle ? kMiddleButton : 0));
}
constexpr int16_t ShiftKeys(bool shift, bool ctrl, bool alt) {
  return static_cast<int16_t>((shift ? kShiftKey : 0) | (ctrl ? kCtrlKey : 0) |
                              (alt ? kAltKey : 0));
}

// Which corner of a window's outer frame a move puts at the given point; it stays there when
// the window manager frames the window later.
enum class Corner { kTopLeft, kBottomRight };

// A form's window, as the form and the forms that open it see it. The window object lives as
// long as the program; everything but Show, Unload and loaded acts on the loaded window only.
class FormView {
 public:
  virtual ~FormView() = default;

  // Creates and loads the window unless it is loaded, then shows it and brings it to the front.
  virtual void Show() = 0;
  // Destroys the window if it is loaded. Nothing is asked or stored.
  virtual void Unload() = 0;
  virtual bool loaded() const = 0;

  virtual void SetCaption(std::string_view text) = 0;
  // A text box's text, the caption of a button, label or frame, a list's selected item or "".
  virtual std::string Text(ControlId control) const = 0;
  virtual void SetText(ControlId control, std::string_view text) = 0;
  virtual void SetVisible(ControlId control, bool visible) = 0;
  // Selects a drop-down list's first item with `data`; with none, the selection stays.
  virtual void SelectItemData(ControlId control, int32_t data) = 0;
  // The selected item's number; nothing when no item is selected.
  virtual std::optional<int32_t> SelectedItemData(ControlId control) const = 0;
  // Gives a command button the platform's static edge.
  virtual void FlattenButton(ControlId control) = 0;

  // The dots per inch the window's twips are converted at.
  virtual int dpi() const = 0;
  // The window's outer frame, the screen, and the screen less the taskbar, in twips.
  virtual TwipsRect Frame() const = 0;
  virtual TwipsRect Screen() const = 0;
  virtual TwipsRect WorkArea() const = 0;
  // The taskbar's (or panel's) rectangle in screen pixels; nothing when it cannot be asked.
  virtual std::optional<PixelRect> TaskbarRect() const = 0;
  // Moves the window, keeping its size, so that `corner` of its outer frame lies at x, y.
  virtual void Move(double x, double y, Corner corner) = 0;
};

// What a window delivers to its form. The window binds itself once, when it is made.
class Form {
 public:
  explicit Form(const FormDesign& design) : design_(design), tags_(design.controls.size()) {}
  virtual ~Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const FormDesign& design() const { return design_; }
  void Bind(FormView& view) { view_ = &view; }
  bool loaded() const { return view_ != nullptr && view_->loaded(); }

  // Loads the form into its newly created window: the tags start as the design sets them.
  void Load() {
    for (std::size_t i = 0; i < tags_.size(); ++i) tags_[i] = design_.controls[i].tag;
    Form_Load();
  }
  // A control's tag: text the form keeps with the control; empty before the window first loads.
  std::string Tag(ControlId control) const { return tags_[control.index()]; }
  void SetTag(ControlId control, std::string_view tag) { tags_[control.index()] = tag; }

  // Runs each time the window has been created, before it is shown.
  virtual void Form_Load() = 0;
  // A click on a command button; the form's table says which handler runs.
  virtual void Click(ControlId control) = 0;
  // The mouse on the window's body, not on a control; `X` and `Y` in twips from its corner.
  virtual void Form_MouseDown(int16_t /*Button*/, int16_t /*Shift*/, float /*X*/, float /*Y*/) {}
  virtual void Form_MouseMove(int16_t /*Button*/, int16_t /*Shift*/, float /*X*/, float /*Y*/) {}

 protected:
  // The window, or null while no window has bound itself (in tests).
  FormView* view_ = nullptr;

 private:
  const FormDesign& design_;
  std::vector<std::string> tags_;  // parallel to the design's controls
};

}  // namespace pellux
