#include "info/frm_info.h"

#include <cmath>

namespace pellux {

std::string InfoSummary(std::string_view ip, std::string_view computer_name,
                        std::string_view host_name) {
  return "IP: " + std::string(ip) + "\r\nComputer Name: " + std::string(computer_name) +
         "\r\nHostname: " + std::string(host_name);
}

void frmInfo::Form_Load() {
  if (!loaded()) return;
  view_->SetCaption("Pellux: " + main_.YourIP);
  view_->SetText(InfoControl::txtIP, main_.YourIP);
  view_->SetText(InfoControl::txtCompName, module1_.QueryComputerName());
  view_->SetText(InfoControl::txtHostName, module1_.QueryHostName());
  for (std::size_t i = 0; i < std::size(kInfoControls); ++i) {
    const bool button = kInfoControls[i].kind == ControlKind::kCommandButton;
    if (button) view_->FlattenButton(ControlId::At(i));
  }
}

void frmInfo::Click(ControlId control) { RunClickHandler(kInfoClicks, *this, control); }

void frmInfo::cmdCopy_Click() { PutOnClipboard(main_.YourIP); }

void frmInfo::cmdCopy2_Click() {
  if (!loaded()) return;
  PutOnClipboard(InfoSummary(view_->Text(InfoControl::txtIP), view_->Text(InfoControl::txtCompName),
                             view_->Text(InfoControl::txtHostName)));
}

void frmInfo::cmdClose_Click() {
  if (loaded()) view_->Unload();
}

void frmInfo::Form_MouseDown(int16_t /*Button*/, int16_t /*Shift*/, float X, float Y) {
  // To the nearest whole twip, halves to the even one.
  DragX = static_cast<int32_t>(std::nearbyint(X));
  DragY = static_cast<int32_t>(std::nearbyint(Y));
}

void frmInfo::Form_MouseMove(int16_t Button, int16_t /*Shift*/, float X, float Y) {
  if (Button != kLeftButton || !loaded()) return;
  const TwipsRect frame = view_->Frame();
  view_->Move(frame.left - (DragX - static_cast<double>(X)),
              frame.top - (DragY - static_cast<double>(Y)), Corner::kTopLeft);
}

void frmInfo::PutOnClipboard(std::string_view text) {
  // No default: a result added later does not build until it is told here.
  switch (clipboard_.ReplaceWithText(text)) {
    case ClipboardResult::kCopied:
      return;
    case ClipboardResult::kInUse:
      return messages_.Message(std::string(kClipboardInUseText));
    case ClipboardResult::kFailed:
      return messages_.Message(std::string(kClipboardFailedText));
    case ClipboardResult::kCleared:
      return messages_.Message(std::string(kClipboardClearedText));
  }
}

}  // namespace pellux
