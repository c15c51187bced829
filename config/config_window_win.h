// The configuration window on Windows: frmConfig's window, built from its
// design table, and the host that creates it on demand.
#pragma once

#include <windows.h>

#include "config/frm_config.h"
#include "monitor/forms.h"
#include "ui/form_window_win.h"

namespace pellux {

class ConfigWindow final : public FormWindow, public ConfigView {
 public:
  explicit ConfigWindow(frmConfig& form) : FormWindow(kConfigDesign), form_(form) {}
  ~ConfigWindow() override;

  int ListCount() const override { return FormWindow::ListCount("cboInterval"); }
  std::string List(int index) const override { return ListItem("cboInterval", index); }
  void SetListIndex(int index) override { FormWindow::SetListIndex("cboInterval", index); }
  std::string ListText() const override;

  void SetCaption(std::string_view control, std::string_view text) override {
    SetControlText(control, text);
  }
  void SetVisible(std::string_view control, bool visible) override {
    SetControlVisible(control, visible);
  }
  std::string Tag(std::string_view control) const override { return FormWindow::Tag(control); }
  void SetTag(std::string_view control, std::string_view tag) override {
    FormWindow::SetTag(control, tag);
  }

  int ScreenWidth() const override;
  double TwipsPerPixelY() const override;
  TwipsRect WorkArea() const override;
  int Width() const override;
  int Height() const override;
  void Move(int left, int top) override;

  void Unload() override { Destroy(); }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void OnCommand(const ControlDesign& control, int code) override;

  frmConfig& form_;
};

// Owns the configuration form, which lives as long as the program, and its
// window, which exists from "Configure" until the window is closed.
class ConfigWindowHost final : public FormHost {
 public:
  ConfigWindowHost(frmMain& main, SettingsStore& settings, MessageBoxes& messages, AppBar& app_bar,
                   ProgramVersion& version)
      : form_(main, settings, messages, app_bar, version), window_(form_) {}
  ConfigWindowHost(const ConfigWindowHost&) = delete;
  ConfigWindowHost& operator=(const ConfigWindowHost&) = delete;
  ~ConfigWindowHost() { Unload(); }

  // Creates and loads the window and shows it; when it is already loaded,
  // only brings it to the front.
  void Show() override;
  bool loaded() const override { return window_.hwnd() != nullptr; }
  // Closes the window, storing nothing.
  void Unload() override;

  frmConfig& form() { return form_; }
  ConfigWindow& window() { return window_; }

 private:
  frmConfig form_;
  ConfigWindow window_;
};

}  // namespace pellux
