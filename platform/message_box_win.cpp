#include "platform/message_box.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/text_win.h"

namespace pellux {
namespace {

// The text's size in the message font: lines broken at `width` when it is
// given, the widest line's width otherwise; and the height of one line.
struct TextSize {
  int width = 0;
  int height = 0;
  int line = 0;
};

TextSize MeasureText(const std::wstring& text, HFONT font, int width) {
  HDC dc = GetDC(nullptr);
  const HGDIOBJ old_font = SelectObject(dc, font);
  RECT rect{0, 0, width, 0};
  UINT format = DT_CALCRECT | DT_EXPANDTABS | DT_NOPREFIX;
  if (width > 0) format |= DT_WORDBREAK;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old_font);
  ReleaseDC(nullptr, dc);
  return {rect.right - rect.left, rect.bottom - rect.top, metrics.tmHeight};
}

// How tall the system's message box would be for the text: the text broken
// as narrow as message boxes break it (a quarter of the screen's width is
// narrower than they do, so the guess errs on the tall side), its caption and
// frame, and margins with the button, about five lines of text.
int MessageBoxHeight(const std::wstring& text, HFONT font, const RECT& work) {
  const TextSize size = MeasureText(text, font, (work.right - work.left) / 4);
  return size.height + 5 * size.line + GetSystemMetrics(SM_CYCAPTION) +
         2 * GetSystemMetrics(SM_CYFIXEDFRAME);
}

// The controls' identifiers. The text has the one the message box gives its
// text, so that it is found the same way in both boxes.
constexpr int kTextId = 0xFFFF;
constexpr int kIconId = 0x14;

// A dialog with no controls of its own, as DialogBoxIndirectParam takes it:
// the box's controls, caption and size are set when it opens.
struct alignas(DWORD) EmptyDialog {
  DLGTEMPLATE header{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 0, 0, 0, 0};
  WORD menu = 0;
  WORD window_class = 0;
  WORD title = 0;
};

// A box like the message box, with its caption, icon and OK button, whose
// text scrolls: for a text too long for the screen. It is as tall as the
// work area and as wide as the text's widest line, up to half the work area.
class ScrollingBox {
 public:
  ScrollingBox(const std::wstring& text, const std::wstring& title, HICON icon, HFONT font,
               const RECT& work)
      : text_(text), title_(title), icon_(icon), font_(font), work_(work) {}

  void Show() {
    // What the task-modal message box does: the thread's other top-level
    // windows wait, disabled, until the box is closed.
    EnumThreadWindows(GetCurrentThreadId(), Disable, reinterpret_cast<LPARAM>(&disabled_));
    static const EmptyDialog dialog;
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &dialog.header, nullptr, DialogProc,
                            reinterpret_cast<LPARAM>(this));
    EnableWaiting();
  }

 private:
  static BOOL CALLBACK Disable(HWND window, LPARAM list) {
    if (IsWindowEnabled(window)) {
      EnableWindow(window, FALSE);
      reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    }
    return TRUE;
  }

  // Enabled again before the box goes, so that one of them, not another
  // program's window, becomes active.
  void EnableWaiting() {
    for (HWND window : disabled_) EnableWindow(window, TRUE);
    disabled_.clear();
  }

  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
      SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      return reinterpret_cast<ScrollingBox*>(lparam)->OnInit(dialog);
    }
    // OK, Enter, Esc and the close box; the text's notifications come here too.
    if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED &&
        (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
      reinterpret_cast<ScrollingBox*>(GetWindowLongPtrW(dialog, DWLP_USER))->EnableWaiting();
      EndDialog(dialog, IDOK);
      return TRUE;
    }
    return FALSE;
  }

  HWND Child(HWND dialog, const wchar_t* window_class, const wchar_t* text, DWORD style, int id) {
    HWND child = CreateWindowExW(0, window_class, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                                 dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return child;
  }

  INT_PTR OnInit(HWND dialog) {
    SetWindowTextW(dialog, title_.c_str());
    const TextSize text = MeasureText(text_, font_, 0);
    const int margin = text.line;
    const int icon_size = icon_ != nullptr ? GetSystemMetrics(SM_CXICON) : 0;
    const int text_left = margin + (icon_ != nullptr ? icon_size + margin : 0);
    const int text_width = std::min<int>(text.width, (work_.right - work_.left) / 2) +
                           GetSystemMetrics(SM_CXVSCROLL) + margin;
    const int button_width = 6 * text.line;
    const int button_height = 2 * text.line;
    const int client_width = text_left + text_width + margin;

    // The client area is what is left of the work area's height once the
    // frame and caption are around it.
    RECT frame{0, 0, client_width, 0};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = work_.bottom - work_.top;
    const int client_height = height - (frame.bottom - frame.top);
    MoveWindow(dialog, work_.left + (work_.right - work_.left - width) / 2, work_.top, width,
               height, FALSE);

    if (icon_ != nullptr) {
      HWND picture = Child(dialog, L"STATIC", nullptr, SS_ICON, kIconId);
      SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
      MoveWindow(picture, margin, margin, icon_size, icon_size, FALSE);
    }
    // Read-only, the edit control is drawn on the window's own background,
    // like the message box's text. Without ES_WANTRETURN, Enter goes to OK.
    HWND edit =
        Child(dialog, L"EDIT", nullptr,
              WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, kTextId);
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
    SetWindowTextW(edit, text_.c_str());
    MoveWindow(edit, text_left, margin, text_width, client_height - 3 * margin - button_height,
               FALSE);
    HWND ok = Child(dialog, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK);
    MoveWindow(ok, (client_width - button_width) / 2, client_height - margin - button_height,
               button_width, button_height, FALSE);

    SetForegroundWindow(dialog);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, 0);
    // The focus is set here; the dialog must not move it.
    return FALSE;
  }

  const std::wstring& text_;
  const std::wstring& title_;
  HICON icon_;
  HFONT font_;
  RECT work_;
  std::vector<HWND> disabled_;
};

// Every box is a dialog of this thread that disables the thread's other
// windows while it is open, an outer box too: the innermost box is the one
// dialog still enabled. The dialog class "#32770" is the system's atom 32770.
BOOL CALLBACK FindOpenBox(HWND window, LPARAM found) {
  if (GetClassLongPtrW(window, GCW_ATOM) != 32770 || !IsWindowVisible(window) ||
      !IsWindowEnabled(window)) {
    return TRUE;
  }
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

class WinMessageBoxes final : public MessageBoxes {
 public:
  void Show(const std::string& text, const std::string& title, MessageIcon icon) override {
    const std::wstring wide_text = Widen(text);
    const std::wstring wide_title = Widen(title);
    // The font message boxes write their text in.
    NONCLIENTMETRICSW metrics{.cbSize = sizeof metrics};
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const std::unique_ptr<HFONT__, decltype(&DeleteObject)> font(
        CreateFontIndirectW(&metrics.lfMessageFont), DeleteObject);
    const bool information = icon == MessageIcon::kInformation;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    if (MessageBoxHeight(wide_text, font.get(), work) <= work.bottom - work.top) {
      // Task-modal: the program's own windows wait for the box, as they would
      // for a box owned by them. The program runs in the background, so the
      // box asks to come to the front.
      UINT style = MB_OK | MB_TASKMODAL | MB_SETFOREGROUND;
      if (information) style |= MB_ICONINFORMATION;
      MessageBoxW(nullptr, wide_text.c_str(), wide_title.c_str(), style);
      return;
    }
    ScrollingBox(wide_text, wide_title, information ? LoadIconW(nullptr, IDI_INFORMATION) : nullptr,
                 font.get(), work)
        .Show();
  }

  void BringForward() override {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindOpenBox, reinterpret_cast<LPARAM>(&box));
    if (box != nullptr) SetForegroundWindow(box);
  }
};

}  // namespace

std::unique_ptr<MessageBoxes> MakeSystemMessageBoxes() {
  return std::make_unique<WinMessageBoxes>();
}

}  // namespace pellux
