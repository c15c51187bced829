// The information window: the address, the computer name and the host name as they were when
// it loaded, buttons that copy them to the clipboard, and a body that drags the window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "monitor/frm_main.h"
#include "net/network_identity.h"
#include "platform/clipboard.h"
#include "platform/message_box.h"
#include "ui/form_view.h"

namespace pellux {

inline constexpr FontDesign kInfoFont{.face = "Arial", .points = 9.75};
inline constexpr FontDesign kInfoTitleFont{.face = "MS Sans Serif", .points = 8.25};

#define PELLUX_INFO_CONTROLS(X) \
  X(cmdClose)                   \
  X(cmdCopy2) X(cmdCopy) X(Picture1) X(Label1) X(fraIP) X(txtHostName) X(txtCompName) X(txtIP)
enum class InfoControl { PELLUX_INFO_CONTROLS(PELLUX_ENUMERATOR) };

// A box of the frame that shows one value, centred and locked, on the face of a button.
constexpr ControlDesign InfoBox(std::string_view name, std::string_view caption, TwipsBox box,
                                int tab_index, std::string_view tooltip,
                                std::string_view accessible_name) {
  return {.name = name,
          .kind = ControlKind::kTextBox,
          .parent = InfoControl::fraIP,
          .caption = caption,
          .box = box,
          .tab_index = tab_index,
          .tooltip = tooltip,
          .flags = control_flags::kCentred | control_flags::kLocked,
          .back = SystemColour::kButtonFace,
          .accessible_name = accessible_name};
}

// The controls in load order, which matters twice: the window enumerates its controls in it,
// and controls created earlier lie in front of later ones (the title box over the frame's edge).
inline constexpr ControlDesign kInfoControls[] = {
    CommandButton("cmdClose", "Close Window", {2370, 840, 2355, 345}, 0),
    CommandButton("cmdCopy2", "Copy All Information", {2370, 450, 2355, 375}, 1),
    CommandButton("cmdCopy", "Copy IP Address", {2370, 90, 2355, 345}, 2),
    {.name = "Picture1",
     .kind = ControlKind::kPictureBox,
     .box = {405, 0, 1455, 285},
     .tab_index = 7,
     .font = kInfoTitleFont,
     .flags = control_flags::kDisabled,
     .fore = SystemColour::kWindowText,
     .accessible_name = "Network Info"},
    {.name = "Label1",
     .kind = ControlKind::kLabel,
     .parent = InfoControl::Picture1,
     .caption = "Network Info",
     .box = {0, 0, 1425, 240},
     .tab_index = 8,
     .flags = control_flags::kCentred},
    {.name = "fraIP",
     .kind = ControlKind::kFrame,
     .box = {30, -30, 2205, 1215},
     .tab_index = 6,
     .fore = SystemColour::kWindowText,
     .accessible_name = "Network Info"},
    InfoBox("txtHostName", "Hostname", {60, 870, 2055, 255}, 3, "The current host name",
            "Host name"),
    InfoBox("txtCompName", "Computer Name", {60, 600, 2055, 255}, 4, "The current computer name",
            "Computer name"),
    InfoBox("txtIP", "IP Address", {90, 330, 2055, 255}, 5, "Your Current IP Address",
            "IP address"),
};

static_assert(NamesMatch(kInfoControls, {PELLUX_INFO_CONTROLS(PELLUX_NAME_OF)}));

inline constexpr FormDesign kInfoDesign{.name = "frmInfo",
                                        .caption = "Your IP:",
                                        .start = StartPosition::kCentreScreen,
                                        .client_width = 4770,
                                        .client_height = 1215,
                                        .font = kInfoFont,
                                        .controls = kInfoControls,
                                        .escape_closes = true};

// Told to the user when a copy did not happen.
inline constexpr std::string_view kClipboardInUseText =
    "The clipboard is in use by another program. Nothing was copied.";
inline constexpr std::string_view kClipboardFailedText =
    "The clipboard did not take the text. Nothing was copied.";
inline constexpr std::string_view kClipboardClearedText =
    "The clipboard did not take the text. What it held before has been cleared.";

// The three lines "Copy All Information" copies, joined by CR LF, the last one without one.
std::string InfoSummary(std::string_view ip, std::string_view computer_name,
                        std::string_view host_name);

class frmInfo final : public Form {
 public:
  frmInfo(const frmMain& main, Module1& module1, Clipboard& clipboard, MessageBoxes& messages)
      : Form(kInfoDesign),
        main_(main),
        module1_(module1),
        clipboard_(clipboard),
        messages_(messages) {}

  // Fills the caption and the boxes with the values of this moment; flattens the buttons.
  void Form_Load() override;
  void Click(ControlId control) override;

  // "Copy IP Address": the address the main form reports now, not the one in the box.
  void cmdCopy_Click();
  // "Copy All Information": the summary of the boxes as they show it.
  void cmdCopy2_Click();
  // "Close Window".
  void cmdClose_Click();

  // A press on the body with any button keeps its point; moving with the left button alone
  // drags the window so that the point stays under the cursor.
  void Form_MouseDown(int16_t Button, int16_t Shift, float X, float Y) override;
  void Form_MouseMove(int16_t Button, int16_t Shift, float X, float Y) override;

 private:
  void PutOnClipboard(std::string_view text);

  const frmMain& main_;
  Module1& module1_;
  Clipboard& clipboard_;
  MessageBoxes& messages_;

  // The last press on the body, in twips; kept across loads of the window.
  int32_t DragX = 0;
  int32_t DragY = 0;
};

inline constexpr ClickHandler<frmInfo, InfoControl> kInfoClicks[] = {
    {InfoControl::cmdCopy, &frmInfo::cmdCopy_Click},
    {InfoControl::cmdCopy2, &frmInfo::cmdCopy2_Click},
    {InfoControl::cmdClose, &frmInfo::cmdClose_Click},
};

}  // namespace pellux
