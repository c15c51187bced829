// The window of any form on Windows, built from the form's design table at
// the screen's DPI: its controls, fonts, colours and tooltips.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/form_view.h"
#include "ui/window_win.h"

namespace pellux {

class FormWindow final : public Window, public FormView {
 public:
  // Control ids start well above IDOK and IDCANCEL, so the dialog manager,
  // which turns Enter and Esc into those ids, never presses a control by
  // mistake: PreTranslate gives both keys their meaning.
  static constexpr int kFirstControlId = 1000;

  // Binds itself to `form`; the window is created when the form is shown.
  explicit FormWindow(Form& form);
  ~FormWindow() override;

  void Show() override;
  void Unload() override { Destroy(); }
  bool loaded() const override { return hwnd() != nullptr; }

  std::string Text(ControlId control) const override;
  void SetText(ControlId control, std::string_view text) override;
  void SetCaption(std::string_view text) override;
  void SetVisible(ControlId control, bool visible) override;
  void FlattenButton(ControlId control) override;
  void SelectItemData(ControlId control, int32_t data) override;
  std::optional<int32_t> SelectedItemData(ControlId control) const override;

  TwipsRect Frame() const override;
  void Move(double x, double y, Corner corner) override;
  TwipsRect Screen() const override;
  TwipsRect WorkArea() const override;
  std::optional<PixelRect> TaskbarRect() const override;
  int dpi() const override { return dpi_; }

  // The control's window, or null.
  HWND Control(ControlId control) const;

  // Keyboard handling for the message loop: Tab moves through the controls
  // in their tab order, access keys press their controls, Enter presses the
  // focused command button and Esc closes a window whose design says so.
  // True when the message was used.
  static bool PreTranslate(MSG& message);
  // Handles every message queued for this thread as the program's loop
  // does, keys through PreTranslate first. At WM_QUIT it stops and gives
  // the exit code that came with it.
  static std::optional<int> HandleQueuedMessages();

 private:
  using Font = std::unique_ptr<HFONT__, decltype(&DeleteObject)>;
  // The window's property that holds the object, for the message loop.
  static constexpr wchar_t kFormProperty[] = L"PelluxForm";

  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

  // Builds the window and its controls, hidden, each time from the design.
  bool Build();
  const ControlDesign* DesignOf(HWND control) const;
  // Runs the form's handler when `control` is one of its command buttons.
  void Press(HWND control);
  HFONT FontFor(const FontDesign& font);
  HWND CreateControl(const ControlDesign& control, int id);
  // The keys a dialog box gives meaning to, in dialog_keys_win.cpp.
  bool MoveFocusInTabOrder(bool backwards);
  bool OnKey(const MSG& message);
  std::vector<HWND> TabStops() const;

  Form& form_;
  const FormDesign& design_;
  int dpi_ = 96;
  std::vector<HWND> controls_;  // parallel to design_.controls
  std::vector<std::pair<FontDesign, Font>> fonts_;
  HWND focus_ = nullptr;  // the control that had the focus when the window was left
};

// Adds the static edge to any window and redraws its frame without moving,
// sizing or restacking it. An invalid handle changes nothing; the results of
// the calls are not needed.
void FlattenButton(HWND hWnd);

}  // namespace pellux
