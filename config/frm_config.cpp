#include "config/frm_config.h"

#include <algorithm>

namespace pellux {

std::string AboutCaption(const VersionNumbers& version) {
  return "About Pellux v" + std::to_string(version.major) + "." + std::to_string(version.minor);
}

void frmConfig::Form_Load() {
  if (!loaded()) return;
  // An interval that is not one the list offers, such as 2500, selects nothing.
  view_->SelectItemData(ConfigControl::cboInterval, main_.TimerInterval);
  GetTaskBarPos();
  // The window's bottom right corner goes to the screen's right edge, on the taskbar's top.
  double right = view_->Screen().right;
  double bottom = PixelsToTwips(TaskTop, view_->dpi());
  const TwipsRect frame = view_->Frame();
  if (bottom < frame.height()) {
    // A taskbar at the top or at a side reports 0 as its top edge, and so does a query that
    // never succeeded: the window would stand above the screen, so the work area's corner it is.
    const TwipsRect work = view_->WorkArea();
    right = std::max(work.left + frame.width(), work.right);
    bottom = std::max(work.top + frame.height(), work.bottom);
  }
  view_->Move(right, bottom, Corner::kBottomRight);
  // Without version information the panel keeps its plain caption.
  if (version_) view_->SetText(ConfigControl::fraAbout, AboutCaption(*version_));
  view_->SetText(ConfigControl::lblAbout, kAboutNotice);
}

void frmConfig::Click(ControlId control) { RunClickHandler(kConfigClicks, *this, control); }

void frmConfig::GetTaskBarPos() {
  // A failed query leaves the top edge as the last good one found it.
  if (const auto taskbar = view_->TaskbarRect()) TaskTop = taskbar->top;
}

void frmConfig::cmdOK_Click() {
  if (!loaded()) return;
  // With nothing selected the window closes and everything stays as it was.
  bool saved = true;
  if (const auto interval = view_->SelectedItemData(ConfigControl::cboInterval)) {
    // Taken only once it is stored: the window opened again shows the
    // interval the next start will use, not one that was lost.
    const auto chosen = static_cast<int16_t>(*interval);
    saved = SaveInterval(settings_, chosen);
    if (saved) main_.TimerInterval = chosen;
  }
  // The window goes first, so nothing can be pressed in it while the message is open.
  view_->Unload();
  if (!saved) messages_.Message(std::string(kIntervalNotSavedMessage));
}

void frmConfig::cmdCancel_Click() {
  if (loaded()) view_->Unload();
}

void frmConfig::cmdAbout_Click() {
  if (!loaded()) return;
  // The button's tag, "About" or "Interval", says which panel a click brings up.
  const bool about = Tag(ConfigControl::cmdAbout) == "About";
  SetTag(ConfigControl::cmdAbout, about ? "Interval" : "About");
  view_->SetText(ConfigControl::cmdAbout, about ? "&Config" : "&About");
  view_->SetVisible(ConfigControl::fraAbout, about);
  view_->SetVisible(ConfigControl::fraInterval, !about);
}

}  // namespace pellux
