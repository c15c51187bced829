// The information window on Qt: the form's window built from its design
// table, and the host that opens it from the tray.
#pragma once

#include <QPointer>

#include "info/frm_info.h"
#include "monitor/forms.h"
#include "ui/form_window_qt.h"

namespace pellux {

class InfoWindow final : public FormWindow, public InfoView {
 public:
  explicit InfoWindow(frmInfo& form);

  void SetCaption(std::string_view text) override { FormWindow::SetCaption(text); }
  std::string Text(std::string_view control) const override { return ControlText(control); }
  void SetText(std::string_view control, std::string_view text) override {
    SetControlText(control, text);
  }
  std::span<const ControlDesign> Controls() const override { return design().controls; }
  void FlattenButton(std::string_view control) override;
  float Left() const override;
  float Top() const override;
  void Move(double left, double top) override;
  // Hides the window at once and lets go of the form; the widget itself goes
  // once the event that led here has been handled.
  void Unload() override;

 protected:
  void OnClick(const ControlDesign& control) override;
  void OnClose() override { Unload(); }
  // Only the body gets these: controls take their own mouse input.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  frmInfo& form_;
};

// The one information window of the program. The form lives as long as the
// host; a window is made for it each time it loads.
class InfoWindowHost final : public FormHost {
 public:
  InfoWindowHost(const frmMain& main, Module1& module1, Clipboard& clipboard,
                 MessageBoxes& messages)
      : form_(main, module1, clipboard, messages) {}
  InfoWindowHost(const InfoWindowHost&) = delete;
  InfoWindowHost& operator=(const InfoWindowHost&) = delete;
  ~InfoWindowHost();

  // Creates and loads the window when it is not loaded, then brings it to
  // the front. A loaded window is not loaded again: it keeps its values.
  void Show() override;
  bool loaded() const override { return form_.loaded(); }
  void Unload() override;

  frmInfo& form() { return form_; }
  // The loaded window, or null.
  InfoWindow* window() const { return loaded() ? window_.data() : nullptr; }

 private:
  frmInfo form_;
  QPointer<InfoWindow> window_;
};

}  // namespace pellux
