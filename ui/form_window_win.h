// A top-level window built from a form's design table at the screen's DPI:
// its controls, fonts, colours and tooltips. Forms derive from it and turn
// control notifications into their handlers.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/design.h"
#include "ui/window_win.h"

namespace pellux {

class FormWindow : public Window {
 public:
  // Control ids start well above IDOK and IDCANCEL, so Enter and Esc, which
  // the dialog manager turns into those ids, press nothing.
  static constexpr int kFirstControlId = 1000;

  explicit FormWindow(const FormDesign& design) : design_(design) {}
  ~FormWindow() override;

  // Builds the window and its controls, hidden. False when it failed. It may
  // be built again once the window has been destroyed: each build starts
  // from the design.
  bool Build();

  const FormDesign& design() const { return design_; }
  int dpi() const { return dpi_; }

  // The control's window, or null.
  HWND Control(std::string_view name) const;
  // The design row of a control window of this form, or null.
  const ControlDesign* DesignOf(HWND control) const;

  void SetCaption(std::string_view text);
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

  // Keyboard handling for the message loop: Tab moves through the controls
  // in their tab order, access keys press their controls. True when the
  // message was used.
  static bool PreTranslate(MSG& message);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

  // A notification from one of the controls (BN_CLICKED, CBN_SELCHANGE ...).
  virtual void OnCommand(const ControlDesign& /*control*/, int /*code*/) {}
  // The close box, Alt+F4. The default unloads the window.
  virtual void OnClose() { Destroy(); }

 private:
  HFONT FontFor(const FontDesign& font);
  void DeleteFonts();
  HWND CreateControl(const ControlDesign& control, int id);
  void AddTooltip(HWND control, std::string_view text);
  HBRUSH OnControlColour(HDC dc, HWND control);
  bool MoveFocusInTabOrder(bool backwards);
  std::vector<std::pair<int, HWND>> TabStops() const;
  void RestoreFocus();

  const FormDesign& design_;
  int dpi_ = 96;
  std::vector<HWND> controls_;  // parallel to design_.controls
  std::vector<std::pair<FontDesign, HFONT>> fonts_;
  ControlTags tags_;
  HWND tooltip_ = nullptr;
  HWND focus_ = nullptr;  // the control that had the focus when the window was left
};

// The face to create for a design font: the face itself when the system has
// it, otherwise the closest face it has.
std::wstring ResolveFontFace(std::string_view face);

}  // namespace pellux
