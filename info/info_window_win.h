// The information window on Windows: the form's window built from its
// design table, and the host that opens it from the tray.
#pragma once

#include <windows.h>

#include <memory>

#include "info/frm_info.h"
#include "monitor/forms.h"
#include "ui/form_window_win.h"

namespace pellux {

class InfoWindow final : public FormWindow, public InfoView {
 public:
  explicit InfoWindow(frmInfo& form);
  ~InfoWindow() override;

  void SetCaption(std::string_view text) override;
  std::string Text(std::string_view control) const override;
  void SetText(std::string_view control, std::string_view text) override;
  std::span<const ControlDesign> Controls() const override;
  void FlattenButton(std::string_view control) override;
  float Left() const override;
  float Top() const override;
  void Move(double left, double top) override;
  void Unload() override;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void OnCommand(const ControlDesign& control, int code) override;
  void OnFinalDestroy() override;

  float PixelsToTwips(int pixels) const;
  int TwipsToPixels(double twips) const;

  frmInfo& form_;
};

// The one information window of the program. The form lives as long as the
// host; a window is created for it each time it loads and destroyed when it
// unloads.
class InfoWindowHost final : public FormHost {
 public:
  InfoWindowHost(const frmMain& main, Module1& module1, Clipboard& clipboard,
                 MessageBoxes& messages);
  InfoWindowHost(const InfoWindowHost&) = delete;
  InfoWindowHost& operator=(const InfoWindowHost&) = delete;

  // Creates and loads the window when it is not loaded, then brings it to
  // the front. A loaded window is not loaded again: it keeps its values.
  void Show() override;
  bool loaded() const override { return form_.loaded(); }
  // Destroys the window if it is loaded.
  void Unload() override;

  frmInfo& form() { return form_; }
  // The loaded window, or null.
  InfoWindow* window() { return loaded() ? window_.get() : nullptr; }

 private:
  frmInfo form_;
  std::unique_ptr<InfoWindow> window_;
};

}  // namespace pellux
