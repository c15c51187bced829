// Design tables: each form's window and controls as fixed data in twips, for both front ends.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>
#include <vector>

#include "ui/twips.h"

namespace pellux {

// A drop-down list is a combo box without an edit field.
enum class ControlKind { kCommandButton, kTextBox, kLabel, kFrame, kPictureBox, kDropDownList };

// Regular weight, Western character set.
struct FontDesign {
  std::string_view face;
  double points = 0;

  friend constexpr bool operator==(const FontDesign&, const FontDesign&) = default;
};

// Faces that look like the one a design names, or take the same room, best first. "Arial" is
// the forms' own face; any other stands for the sans serif of old Windows dialogs.
inline constexpr std::string_view kArialLike[] = {"Liberation Sans",      "Arimo",  "Helvetica",
                                                  "Microsoft Sans Serif", "Tahoma", "DejaVu Sans"};
inline constexpr std::string_view kSansSerifLike[] = {"Microsoft Sans Serif", "Tahoma",
                                                      "Liberation Sans", "Arial", "DejaVu Sans"};

// The face to create for a design font: the face itself when `installed` says the system has
// it, otherwise the first look-alike it has; failing both, the face, for the system to match.
template <class Installed>
std::string_view ResolveFace(std::string_view face, Installed installed) {
  if (installed(face)) return face;
  using Faces = std::span<const std::string_view>;
  for (std::string_view alike : face == "Arial" ? Faces(kArialLike) : Faces(kSansSerifLike)) {
    if (installed(alike)) return alike;
  }
  return face;
}

// Whole-window system colours the tables refer to.
enum class SystemColour { kDefault, kWindowText, kButtonFace };

namespace control_flags {
inline constexpr uint32_t kHidden = 1u << 0;    // not visible when created
inline constexpr uint32_t kDisabled = 1u << 1;  // takes no mouse or keyboard input
inline constexpr uint32_t kCentred = 1u << 2;   // text centred
inline constexpr uint32_t kLocked = 1u << 3;    // text can be selected, not changed
}  // namespace control_flags

// A control of a form, by its place in the form's design table. Each form names its controls
// in an enum whose values are those places, so a misspelt control does not build.
class ControlId {
 public:
  template <class Control>
  requires std::is_enum_v<Control>
  constexpr ControlId(Control control) : index_(static_cast<std::size_t>(control)) {}
  static constexpr ControlId At(std::size_t index) { return ControlId(index); }

  constexpr std::size_t index() const { return index_; }
  friend constexpr bool operator==(ControlId, ControlId) = default;

 private:
  constexpr explicit ControlId(std::size_t index) : index_(index) {}
  std::size_t index_;
};

// A list's item: its caption, and the number the list keeps beside it.
struct ListItemDesign {
  std::string_view caption;
  int32_t data = 0;
};

// A control's place and size in twips, relative to its parent's client area.
struct TwipsBox {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct ControlDesign {
  std::string_view name;  // the control's name in the program, such as cmdClose
  ControlKind kind;
  std::optional<ControlId> parent;  // none: the window itself; otherwise a frame or picture box
  std::string_view caption;
  TwipsBox box;
  int tab_index = 0;
  std::optional<FontDesign> font;  // none: the parent's font
  std::string_view tooltip;
  uint32_t flags = 0;
  SystemColour fore = SystemColour::kDefault;
  SystemColour back = SystemColour::kDefault;
  std::string_view tag;
  std::span<const ListItemDesign> items;  // a list's items, in order
  // What a screen reader calls the control where its caption does not say what it is (a box
  // that shows a value, a frame without a caption).
  std::string_view accessible_name;
  // The label whose caption names the control for a screen reader, as the eye reads it.
  std::optional<ControlId> label;

  constexpr bool Has(uint32_t flag) const { return (flags & flag) != 0; }
};

// A command button with nothing but its caption, place and size, and place in the tab order.
constexpr ControlDesign CommandButton(std::string_view name, std::string_view caption, TwipsBox box,
                                      int tab_index) {
  return {.name = name,
          .kind = ControlKind::kCommandButton,
          .caption = caption,
          .box = box,
          .tab_index = tab_index};
}

enum class StartPosition { kDefault, kCentreScreen };

// A window with a thin fixed frame, a small caption bar with a close box only, and no taskbar
// button.
struct FormDesign {
  std::string_view name;
  std::string_view caption;
  StartPosition start = StartPosition::kDefault;
  int client_width = 0;  // twips
  int client_height = 0;
  FontDesign font;
  std::span<const ControlDesign> controls;  // in creation (load) order
  // Esc closes the window as its close box does; otherwise Esc means nothing there. Enter
  // presses the focused command button only: no window has a default button.
  bool escape_closes = false;

  constexpr const ControlDesign& operator[](ControlId id) const { return controls[id.index()]; }
  // What a screen reader calls `control` beyond its caption: its label's caption, or its own name.
  constexpr std::string_view AccessibleName(const ControlDesign& control) const {
    return control.label ? (*this)[*control.label].caption : control.accessible_name;
  }
};

// The controls Tab visits, in the order it visits them: the command buttons, text boxes and
// lists, by tab index. A window skips those hidden or disabled at the time.
inline std::vector<ControlId> TabOrder(const FormDesign& form) {
  std::vector<ControlId> order;
  for (std::size_t i = 0; i < form.controls.size(); ++i) {
    const ControlKind kind = form.controls[i].kind;
    if (kind == ControlKind::kCommandButton || kind == ControlKind::kTextBox ||
        kind == ControlKind::kDropDownList) {
      order.push_back(ControlId::At(i));
    }
  }
  std::ranges::stable_sort(order, {}, [&form](ControlId id) { return form[id].tab_index; });
  return order;
}

// An entry of a popup menu.
struct MenuItemDesign {
  std::string_view name;     // the entry's name in the program, such as mnuExit
  std::string_view caption;  // "-" makes a separator line
  constexpr bool separator() const { return caption == "-"; }
};

// A form lists its controls (or a menu its entries) once, in table order, as X(name) entries,
// for the enum that names them and the names the compiler checks the table against:
//   enum class InfoControl { PELLUX_INFO_CONTROLS(PELLUX_ENUMERATOR) };
//   static_assert(NamesMatch(kInfoControls, {PELLUX_INFO_CONTROLS(PELLUX_NAME_OF)}));
#define PELLUX_ENUMERATOR(name) name,
#define PELLUX_NAME_OF(name) #name,

// Whether the rows of a table carry exactly these names, in this order.
template <class Row, std::size_t M, std::size_t N>
constexpr bool NamesMatch(const Row (&rows)[M], const std::string_view (&names)[N]) {
  return std::ranges::equal(rows, names, {}, &Row::name);
}

// One row of a form's table of handlers: a click on `control` runs `handler`. `Control` is
// the form's own enum, so a row cannot name another form's control.
template <class Form, class Control>
struct ClickHandler {
  Control control;
  void (Form::*handler)();
};

// Runs the handler `table` names for a click on `control`, if any.
template <class Form, class Control, std::size_t N>
void RunClickHandler(const ClickHandler<Form, Control> (&table)[N], Form& form, ControlId control) {
  for (const auto& row : table) {
    if (ControlId(row.control) == control) (form.*row.handler)();
  }
}

// A control's rectangle in pixels at `dpi`, relative to its parent's client area. Edges are
// converted, not sizes, so neighbouring controls stay neighbours at every DPI.
constexpr PixelRect ToPixels(const ControlDesign& c, int dpi) {
  const TwipsBox& box = c.box;
  return {TwipsToPixels(box.left, dpi), TwipsToPixels(box.top, dpi),
          TwipsToPixels(box.left + box.width, dpi), TwipsToPixels(box.top + box.height, dpi)};
}

// A rectangle in pixels at `dpi` as twips.
constexpr TwipsRect ToTwips(const PixelRect& pixels, int dpi) {
  return {PixelsToTwips(pixels.left, dpi), PixelsToTwips(pixels.top, dpi),
          PixelsToTwips(pixels.right, dpi), PixelsToTwips(pixels.bottom, dpi)};
}

// A font's character height in pixels at `dpi` (CreateFont's negative height), rounded.
constexpr int FontPixelHeight(const FontDesign& font, int dpi) {
  return static_cast<int>(font.points * dpi / 72.0 + 0.5);
}

}  // namespace pellux
