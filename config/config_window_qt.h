// The configuration window on Qt: frmConfig's window, built from its design
// table, and the host that creates it on demand.
#pragma once

#include <QPointer>

#include "config/frm_config.h"
#include "monitor/forms.h"
#include "ui/form_window_qt.h"

namespace pellux {

class ConfigWindow final : public FormWindow, public ConfigView {
 public:
  explicit ConfigWindow(frmConfig& form) : FormWindow(kConfigDesign), form_(form) {}

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

  // Hides the window at once and lets go of the form; the widget itself goes
  // once the event that led here has been handled.
  void Unload() override;

 protected:
  void OnClick(const ControlDesign& control) override;
  void OnClose() override { Unload(); }

 private:
  frmConfig& form_;
};

// Owns the configuration form, which lives as long as the program, and its
// window, which exists from "Configure" until the window is closed.
class ConfigWindowHost final : public FormHost {
 public:
  ConfigWindowHost(frmMain& main, SettingsStore& settings, MessageBoxes& messages, AppBar& app_bar,
                   ProgramVersion& version)
      : form_(main, settings, messages, app_bar, version) {}
  ConfigWindowHost(const ConfigWindowHost&) = delete;
  ConfigWindowHost& operator=(const ConfigWindowHost&) = delete;
  ~ConfigWindowHost();

  // Creates and loads the window and shows it; when it is already loaded,
  // only brings it to the front.
  void Show() override;
  bool loaded() const override { return form_.loaded(); }
  // Closes the window, storing nothing.
  void Unload() override;

  frmConfig& form() { return form_; }
  // The loaded window, or null.
  ConfigWindow* window() const { return loaded() ? window_.data() : nullptr; }

 private:
  frmConfig form_;
  QPointer<ConfigWindow> window_;
};

}  // namespace pellux
