// Design tables: each form's window and controls as fixed data, in twips.
// Both front ends build their windows from these tables, so geometry, texts
// and fonts are written once and tested once.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "ui/twips.h"

namespace pellux {

enum class ControlKind {
  kCommandButton,
  kTextBox,
  kLabel,
  kFrame,
  kPictureBox,
  kDropDownList,  // a combo box without an edit field
};

// Regular weight, Western character set.
struct FontDesign {
  std::string_view face;
  double points = 0;

  friend constexpr bool operator==(const FontDesign&, const FontDesign&) = default;
};

// Faces that look like the one a design names, or take the same room, best
// first: a system without the face itself uses the first of these it has.
// "Arial" is the forms' own face; any other stands for the sans serif of
// old Windows dialogs.
inline constexpr std::string_view kArialLike[] = {"Liberation Sans",      "Arimo",  "Helvetica",
                                                  "Microsoft Sans Serif", "Tahoma", "DejaVu Sans"};
inline constexpr std::string_view kSansSerifLike[] = {"Microsoft Sans Serif", "Tahoma",
                                                      "Liberation Sans", "Arial", "DejaVu Sans"};
constexpr std::span<const std::string_view> LookAlikeFaces(std::string_view face) {
  return face == "Arial" ? std::span<const std::string_view>(kArialLike)
                         : std::span<const std::string_view>(kSansSerifLike);
}

// The face to create for a design font: the face itself when `installed`
// says the system has it, otherwise the first look-alike it has; failing
// both, the face itself, and the system's font matching chooses.
template <class Installed>
std::string_view ResolveFace(std::string_view face, Installed installed) {
  if (installed(face)) return face;
  for (const std::string_view candidate : LookAlikeFaces(face)) {
    if (installed(candidate)) return candidate;
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

// A control's place and size in twips, relative to its parent's client area.
struct TwipsBox {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct ControlDesign {
  std::string_view name;  // the control's name in the program, such as "cmdClose"
  ControlKind kind;
  std::string_view parent;  // empty: the window itself; otherwise a frame or picture box
  std::string_view caption;
  TwipsBox box;
  int tab_index = 0;
  std::optional<FontDesign> font;  // none: the parent's font
  std::string_view tooltip;
  uint32_t flags = 0;
  SystemColour fore = SystemColour::kDefault;
  SystemColour back = SystemColour::kDefault;
  std::string_view tag;
  std::span<const std::string_view> items;  // a list's items, in order
  // What a screen reader calls the control where its caption does not say
  // what it is (a box that shows a value, a frame without a caption); the
  // eye never sees it.
  std::string_view accessible_name;

  constexpr bool Has(uint32_t flag) const { return (flags & flag) != 0; }
};

enum class StartPosition { kDefault, kCentreScreen };

// A window with a thin fixed frame and a small caption bar with a close box
// only, and no taskbar button.
struct FormDesign {
  std::string_view name;
  std::string_view caption;
  StartPosition start = StartPosition::kDefault;
  int client_width = 0;  // twips
  int client_height = 0;
  FontDesign font;
  std::span<const ControlDesign> controls;  // in creation (load) order
  // Esc closes the window as its close box does. Without it Esc means
  // nothing there. Enter presses the focused command button in every window;
  // no button is a default button that Enter presses from anywhere.
  bool escape_closes = false;

  // The position of the control of that name in `controls`, or the number
  // of controls when there is none.
  constexpr std::size_t IndexOf(std::string_view control) const {
    std::size_t i = 0;
    while (i < controls.size() && controls[i].name != control) ++i;
    return i;
  }
  // The control of that name, or null.
  constexpr const ControlDesign* Find(std::string_view control) const {
    const std::size_t i = IndexOf(control);
    return i < controls.size() ? &controls[i] : nullptr;
  }
};

// An entry of a popup menu.
struct MenuItemDesign {
  std::string_view name;     // the entry's name in the program, such as "mnuExit"
  std::string_view caption;  // "-" makes a separator line
  constexpr bool separator() const { return caption == "-"; }
};

// One row of a form's table of handlers: a click on `control` runs `handler`.
template <class Form>
struct ClickHandler {
  std::string_view control;
  void (Form::*handler)();
};

// Runs the handler `table` names for a click on `control`, if any.
template <class Form, std::size_t N>
void RunClickHandler(const ClickHandler<Form> (&table)[N], Form& form, std::string_view control) {
  for (const ClickHandler<Form>& row : table) {
    if (row.control == control) (form.*row.handler)();
  }
}

// A control's rectangle in pixels at `dpi`, relative to its parent's client
// area. Edges are converted, not sizes, so neighbouring controls stay
// neighbours at every DPI.
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  constexpr int width() const { return right - left; }
  constexpr int height() const { return bottom - top; }
  friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

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

// A font's character height in pixels at `dpi` (the size Windows' CreateFont
// takes as a negative height), rounded to the nearest pixel.
constexpr int FontPixelHeight(const FontDesign& font, int dpi) {
  return static_cast<int>(font.points * dpi / 72.0 + 0.5);
}

}  // namespace pellux
