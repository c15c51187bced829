// The information window: the address the main form reports, the computer
// name and the host name as they were when the window loaded; buttons that
// copy them to the clipboard; and a body that drags the window.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "monitor/frm_main.h"
#include "net/module1.h"
#include "ui/clipboard.h"
#include "ui/design.h"
#include "ui/message_box.h"

namespace pellux {

// Mouse buttons as the window's mouse events report them, as a bit set.
inline constexpr int16_t kMouseLeft = 1;
inline constexpr int16_t kMouseRight = 2;
inline constexpr int16_t kMouseMiddle = 4;

// Modifier keys as the mouse events report them, as a bit set.
inline constexpr int16_t kShiftKey = 1;
inline constexpr int16_t kCtrlKey = 2;
inline constexpr int16_t kAltKey = 4;

// Told to the user when a copy did not happen.
inline constexpr std::string_view kClipboardInUseText =
    "The clipboard is in use by another program. Nothing was copied.";
inline constexpr std::string_view kClipboardFailedText =
    "The clipboard did not take the text. Nothing was copied.";
inline constexpr std::string_view kClipboardClearedText =
    "The clipboard did not take the text. What it held before has been cleared.";

// The three-line summary "Copy All Information" puts on the clipboard: the
// lines are joined by CR LF and the last one has no line break.
std::string InfoSummary(std::string_view ip, std::string_view computer_name,
                        std::string_view host_name);

// What the form does to its window while the window is loaded. Positions are
// in twips.
class InfoView {
 public:
  virtual ~InfoView() = default;
  virtual void SetCaption(std::string_view text) = 0;
  // The current text of a text box.
  virtual std::string Text(std::string_view control) const = 0;
  virtual void SetText(std::string_view control, std::string_view text) = 0;
  // The window's controls in load order, containers included.
  virtual std::span<const ControlDesign> Controls() const = 0;
  // Gives a command button the platform's static edge.
  virtual void FlattenButton(std::string_view control) = 0;
  // The window's outer left and top edges, in screen coordinates.
  virtual float Left() const = 0;
  virtual float Top() const = 0;
  // Moves the window's outer left and top edges there, keeping its size.
  virtual void Move(double left, double top) = 0;
  // Closes and destroys the window.
  virtual void Unload() = 0;
};

class frmInfo {
 public:
  frmInfo(const frmMain& main, Module1& module1, Clipboard& clipboard, MessageBoxes& messages)
      : main_(main), module1_(module1), clipboard_(clipboard), messages_(messages) {}

  frmInfo(const frmInfo&) = delete;
  frmInfo& operator=(const frmInfo&) = delete;

  // The window the handlers act on: set when a window has been created for
  // the form, null again once it is gone. The form object itself outlives
  // its windows, and so does the drag point.
  void SetView(InfoView* view) { view_ = view; }
  bool loaded() const { return view_ != nullptr; }

  // Fills the caption and the boxes with the values of this moment, then
  // flattens the command buttons.
  void Form_Load();

  // "Copy IP Address": the address the main form reports now, not the one
  // shown in the box.
  void cmdCopy_Click();
  // "Copy All Information": the summary of the boxes as they show it.
  void cmdCopy2_Click();
  // "Close Window".
  void cmdClose_Click();

  // The window body's mouse events: `Button` and `Shift` are bit sets (see
  // above), `X` and `Y` in twips relative to the client area. A press on any
  // button keeps its point; moving with the left button alone drags the
  // window so that the point stays under the cursor.
  void Form_MouseDown(int16_t Button, int16_t Shift, float X, float Y);
  void Form_MouseMove(int16_t Button, int16_t Shift, float X, float Y);

 private:
  void PutOnClipboard(std::string_view text);

  const frmMain& main_;
  Module1& module1_;
  Clipboard& clipboard_;
  MessageBoxes& messages_;
  InfoView* view_ = nullptr;

  // The last press on the body, in twips; kept across loads of the window.
  int32_t DragX = 0;
  int32_t DragY = 0;
};

}  // namespace pellux
