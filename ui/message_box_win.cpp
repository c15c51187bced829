#include "ui/message_box_win.h"

#include <windows.h>

#include "ui/text_win.h"

namespace pellux {

void WinMessageBoxes::Show(const std::string& text, const std::string& title, MessageIcon icon) {
  // Task-modal: the program's own windows wait for the box, as they would for
  // a box owned by them. The program runs in the background, so the box asks
  // to come to the front.
  UINT style = MB_OK | MB_TASKMODAL | MB_SETFOREGROUND;
  if (icon == MessageIcon::kInformation) style |= MB_ICONINFORMATION;
  MessageBoxW(nullptr, Widen(text).c_str(), Widen(title).c_str(), style);
}

void WinProcess::EndProgram(int exit_code) { ExitProcess(static_cast<UINT>(exit_code)); }

}  // namespace pellux
