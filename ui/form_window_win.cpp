#include "ui/form_window_win.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "platform/text_win.h"
#include "ui/accessibility_win.h"

namespace pellux {
namespace {

constexpr wchar_t kPictureBoxClass[] = L"PelluxPictureBox";

// Frames and picture boxes hold controls of their own; the notifications of
// those controls go to their container, which hands them to the form.
constexpr UINT kForwarded[] = {WM_COMMAND,      WM_NOTIFY,      WM_CTLCOLORSTATIC,
                               WM_CTLCOLOREDIT, WM_CTLCOLORBTN, WM_CTLCOLORLISTBOX,
                               WM_DRAWITEM};

// The common controls library is loaded when the first form is built rather
// than imported: the main window and its tray icon use none of it, and
// loaded at start it would take some 3 MB of memory (it registers all its
// window classes as it loads) and keep the icon waiting a little. The
// manifest makes this the version 6 library.
bool LoadCommonControls() {
  const auto init =
      LibraryFunction<decltype(::InitCommonControlsEx)>(L"comctl32.dll", "InitCommonControlsEx");
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  return init != nullptr && init(&controls) != FALSE;
}

// The window procedure of frames and picture boxes. A frame's is in front of
// the group box's own, which the frame keeps in its GWLP_USERDATA; a picture
// box has none there.
LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (std::ranges::find(kForwarded, message) != std::end(kForwarded)) {
    return SendMessageW(GetAncestor(window, GA_ROOT), message, wparam, lparam);
  }
  const auto base = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (base == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCHITTEST) {
    // A group box lets the mouse through to whatever lies beneath it; a
    // frame is a control of its own, and a press on it must not reach the
    // form's body.
    const LRESULT hit = CallWindowProcW(base, window, message, wparam, lparam);
    return hit == HTTRANSPARENT ? HTCLIENT : hit;
  }
  if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
    // The group box's own handling of a press would take the keyboard focus
    // (and Space would then "click" the frame); a frame never takes focus.
    return 0;
  }
  return CallWindowProcW(base, window, message, wparam, lparam);
}

int CALLBACK FaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool HasFace(const std::wstring& face) {
  LOGFONTW query{.lfCharSet = DEFAULT_CHARSET};
  face.copy(query.lfFaceName, std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
  bool found = false;
  const HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &query, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

// The buttons held down during a mouse message.
int16_t ButtonsOf(WPARAM state) {
  return MouseButtons(state & MK_LBUTTON, state & MK_RBUTTON, state & MK_MBUTTON);
}

int16_t ShiftOf(WPARAM state) {
  return ShiftKeys(state & MK_SHIFT, state & MK_CONTROL, GetKeyState(VK_MENU) < 0);
}

TwipsRect ToTwips(const RECT& pixels, int dpi) {
  return ToTwips(PixelRect{pixels.left, pixels.top, pixels.right, pixels.bottom}, dpi);
}

// What a control is made from besides its kind.
struct ControlArgs {
  const ControlDesign& control;
  HWND parent;
  int id;
  int dpi;
  HFONT font;
};

// Makes a control's window where the design places it, with the styles all
// controls share, and gives it its font; `height` is for a window whose
// height means something else. A null window (none could be made) is left
// alone by the calls that follow.
HWND CreateChild(const ControlArgs& args, const wchar_t* window_class, DWORD style,
                 DWORD ex_style = 0, std::optional<int> height = std::nullopt) {
  const ControlDesign& control = args.control;
  style |= WS_CHILD | WS_CLIPSIBLINGS;
  if (control.Has(control_flags::kDisabled)) style |= WS_DISABLED;
  if (!control.Has(control_flags::kHidden)) style |= WS_VISIBLE;
  const PixelRect rect = ToPixels(control, args.dpi);
  const HWND created = CreateWindowExW(
      ex_style, window_class, Widen(control.caption).c_str(), style, rect.left, rect.top,
      rect.width(), height.value_or(TwipsToPixels(control.box.height, args.dpi)), args.parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(created, WM_SETFONT, reinterpret_cast<WPARAM>(args.font), FALSE);
  return created;
}

HWND CreateCommandButton(const ControlArgs& args) {
  return CreateChild(args, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON);
}

HWND CreateTextBox(const ControlArgs& args) {
  DWORD style = WS_TABSTOP | ES_AUTOHSCROLL;
  if (args.control.Has(control_flags::kCentred)) style |= ES_CENTER;
  if (args.control.Has(control_flags::kLocked)) style |= ES_READONLY;
  return CreateChild(args, L"EDIT", style);
}

HWND CreateLabel(const ControlArgs& args) {
  const bool centred = args.control.Has(control_flags::kCentred);
  return CreateChild(args, L"STATIC", static_cast<DWORD>(centred ? SS_CENTER : SS_LEFT));
}

HWND CreateFrame(const ControlArgs& args) {
  const HWND frame = CreateChild(args, L"BUTTON", BS_GROUPBOX, WS_EX_CONTROLPARENT);
  const LONG_PTR base =
      SetWindowLongPtrW(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ContainerProc));
  SetWindowLongPtrW(frame, GWLP_USERDATA, base);
  return frame;
}

HWND CreatePictureBox(const ControlArgs& args) {
  return CreateChild(args, kPictureBoxClass, 0, WS_EX_CONTROLPARENT);
}

HWND CreateDropDownList(const ControlArgs& args) {
  // The height given to a combo box is that of its dropped-down list.
  const HWND list = CreateChild(args, L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0,
                                10 * TwipsToPixels(args.control.box.height, args.dpi));
  for (const ListItemDesign& item : args.control.items) {
    const LRESULT index =
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item.caption).c_str()));
    SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(index), item.data);
  }
  // The closed field takes the designed height: the selection field's
  // item height is what is left inside the combo box's own edges.
  const int frame = 2 * GetSystemMetrics(SM_CYEDGE) + 2;
  SendMessageW(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
               std::max(1, ToPixels(args.control, args.dpi).height() - frame));
  return list;
}

}  // namespace

void FlattenButton(HWND hWnd) {
  const LONG style = GetWindowLongA(hWnd, GWL_EXSTYLE);
  SetWindowLongA(hWnd, GWL_EXSTYLE, style | WS_EX_STATICEDGE);
  SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
}

FormWindow::FormWindow(Form& form) : form_(form), design_(form.design()) { form.Bind(*this); }

FormWindow::~FormWindow() {
  // Destroyed here rather than in the base class, so that the window's last
  // messages still reach this one.
  Destroy();
}

void FormWindow::Show() {
  if (!loaded()) {
    if (!Build()) {
      Destroy();
      return;
    }
    form_.Load();
    if (!loaded()) return;
  }
  // The first ShowWindow of a process may do what its launcher asked for
  // instead (`start /min` leaves the window minimized, a hidden start leaves
  // it hidden); the next one does as asked.
  ShowWindow(hwnd(), SW_SHOW);
  ShowWindow(hwnd(), SW_SHOWNORMAL);
  SetForegroundWindow(hwnd());
}

HFONT FormWindow::FontFor(const FontDesign& font) {
  for (const auto& [design, handle] : fonts_) {
    if (design == font) return handle.get();
  }
  LOGFONTW description{
      .lfHeight = -FontPixelHeight(font, dpi_), .lfWeight = FW_NORMAL, .lfCharSet = ANSI_CHARSET};
  const std::wstring face = Widen(
      ResolveFace(font.face, [](std::string_view candidate) { return HasFace(Widen(candidate)); }));
  face.copy(description.lfFaceName, std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
  fonts_.emplace_back(font, Font(CreateFontIndirectW(&description), DeleteObject));
  return fonts_.back().second.get();
}

bool FormWindow::Build() {
  [[maybe_unused]] static const bool common_controls = LoadCommonControls();
  // The window of an earlier build is gone, and so is every use of the fonts
  // made for it: they go, as the screen's DPI may have changed since.
  fonts_.clear();
  dpi_ = ScreenDpi();

  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  const DWORD ex_style = WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;
  RECT outer{0, 0, TwipsToPixels(design_.client_width, dpi_),
             TwipsToPixels(design_.client_height, dpi_)};
  AdjustWindowRectEx(&outer, style, FALSE, ex_style);

  WindowCreateArgs args;
  args.class_name = L"PelluxForm";
  const std::wstring caption = Widen(design_.caption);
  args.title = caption.c_str();
  args.style = style;
  args.ex_style = ex_style;
  args.width = outer.right - outer.left;
  args.height = outer.bottom - outer.top;
  args.background = GetSysColorBrush(COLOR_BTNFACE);
  const bool centred = design_.start == StartPosition::kCentreScreen;
  args.x = centred ? (GetSystemMetrics(SM_CXSCREEN) - args.width) / 2 : 0;
  args.y = centred ? (GetSystemMetrics(SM_CYSCREEN) - args.height) / 2 : 0;
  if (!Create(args)) return false;
  SetPropW(hwnd(), kFormProperty, this);

  RegisterWindowClass(kPictureBoxClass, ContainerProc, nullptr, GetSysColorBrush(COLOR_BTNFACE));
  const HWND tooltip =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                      GetModuleHandleW(nullptr), nullptr);
  // The window is a dialog, and a box that shows a value has a name, for
  // screen readers.
  SetDialogRole(hwnd());
  int id = kFirstControlId;
  for (const auto& control : design_.controls) {
    const HWND created = CreateControl(control, id++);
    if (created == nullptr) return false;
    controls_.push_back(created);
    if (const std::string_view name = design_.AccessibleName(control); !name.empty()) {
      SetAccessibleName(created, Widen(name));
    }
    if (control.tooltip.empty()) continue;
    std::wstring tip = Widen(control.tooltip);
    TTTOOLINFOW info{.cbSize = sizeof info,
                     .uFlags = TTF_IDISHWND | TTF_SUBCLASS,
                     .hwnd = hwnd(),
                     .uId = reinterpret_cast<UINT_PTR>(created),
                     .lpszText = tip.data()};
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }
  return true;
}

HWND FormWindow::CreateControl(const ControlDesign& control, int id) {
  // A control without a font of its own takes its container's.
  const ControlDesign* owner = &control;
  while (!owner->font && owner->parent) owner = &design_[*owner->parent];
  const ControlArgs args{control, control.parent ? Control(*control.parent) : hwnd(), id, dpi_,
                         FontFor(owner->font ? *owner->font : design_.font)};
  switch (control.kind) {
    case ControlKind::kCommandButton:
      return CreateCommandButton(args);
    case ControlKind::kTextBox:
      return CreateTextBox(args);
    case ControlKind::kLabel:
      return CreateLabel(args);
    case ControlKind::kFrame:
      return CreateFrame(args);
    case ControlKind::kPictureBox:
      return CreatePictureBox(args);
    case ControlKind::kDropDownList:
      return CreateDropDownList(args);
  }
  return nullptr;
}

HWND FormWindow::Control(ControlId control) const {
  return control.index() < controls_.size() ? controls_[control.index()] : nullptr;
}

void FormWindow::Press(HWND control) {
  const ControlDesign* row = DesignOf(control);
  if (row == nullptr || row->kind != ControlKind::kCommandButton) return;
  // The handler may unload the window: nothing of it is used after.
  form_.Click(ControlId::At(static_cast<std::size_t>(row - design_.controls.data())));
}

const ControlDesign* FormWindow::DesignOf(HWND control) const {
  const auto index = static_cast<std::size_t>(GetDlgCtrlID(control) - kFirstControlId);
  return index < controls_.size() && controls_[index] == control ? &design_.controls[index]
                                                                 : nullptr;
}

void FormWindow::SetCaption(std::string_view text) { SetWindowTextW(hwnd(), Widen(text).c_str()); }

// A drop-down list's window text is its selected item.
std::string FormWindow::Text(ControlId id) const {
  const HWND control = Control(id);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return Narrow(text);
}

void FormWindow::SetText(ControlId id, std::string_view text) {
  if (const HWND control = Control(id)) SetWindowTextW(control, Widen(text).c_str());
}

void FormWindow::SetVisible(ControlId id, bool visible) {
  if (const HWND control = Control(id)) ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
}

void FormWindow::SelectItemData(ControlId id, int32_t data) {
  const HWND list = Control(id);
  const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
  for (LRESULT index = 0; index < count; ++index) {
    if (SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(index), 0) == data) {
      SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
      return;
    }
  }
}

std::optional<int32_t> FormWindow::SelectedItemData(ControlId id) const {
  const HWND list = Control(id);
  if (list == nullptr) return std::nullopt;
  const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return std::nullopt;
  return static_cast<int32_t>(SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

void FormWindow::FlattenButton(ControlId control) { pellux::FlattenButton(Control(control)); }

TwipsRect FormWindow::Frame() const {
  RECT outer{};
  GetWindowRect(hwnd(), &outer);
  return ToTwips(outer, dpi_);
}

TwipsRect FormWindow::Screen() const {
  return ToTwips(PixelRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)},
                 dpi_);
}

TwipsRect FormWindow::WorkArea() const {
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return ToTwips(work, dpi_);
}

std::optional<PixelRect> FormWindow::TaskbarRect() const {
  APPBARDATA taskbar{.cbSize = sizeof taskbar};
  if (SHAppBarMessage(ABM_GETTASKBARPOS, &taskbar) == 0) return std::nullopt;
  return PixelRect{taskbar.rc.left, taskbar.rc.top, taskbar.rc.right, taskbar.rc.bottom};
}

void FormWindow::Move(double x, double y, Corner corner) {
  int left = TwipsToPixels(x, dpi_);
  int top = TwipsToPixels(y, dpi_);
  if (corner == Corner::kBottomRight) {
    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    left -= outer.right - outer.left;
    top -= outer.bottom - outer.top;
  }
  SetWindowPos(hwnd(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT FormWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) Press(reinterpret_cast<HWND>(lparam));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      // DefWindowProc writes a control's text in the window text colour on the
      // button face, as the designs want it unless the text is to be invisible.
      if (const ControlDesign* row = DesignOf(reinterpret_cast<HWND>(lparam));
          row != nullptr && row->fore == SystemColour::kButtonFace) {
        const LRESULT brush = Window::HandleMessage(message, wparam, lparam);
        SetTextColor(reinterpret_cast<HDC>(wparam), GetSysColor(COLOR_BTNFACE));
        return brush;
      }
      break;
    case WM_ACTIVATE:
      // Activation gives the focus to the window itself (WM_SETFOCUS below);
      // leaving it, the control that has the focus is remembered.
      if (LOWORD(wparam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd(), focus)) focus_ = focus;
      }
      break;
    case WM_SETFOCUS:
      // As in a dialog box: the control that had the focus gets it back, and
      // at first the first control in the tab order has it.
      if (IsWindowVisible(focus_) && IsWindowEnabled(focus_)) {
        SetFocus(focus_);
      } else if (const auto stops = TabStops(); !stops.empty()) {
        SetFocus(stops.front());
      }
      return 0;
    // Only the body gets the mouse messages: controls take their own input.
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      // The body keeps the mouse while a button is down, so a quick drag
      // that outruns the window still reaches it.
      SetCapture(hwnd());
      // The button pressed, not those held.
      form_.Form_MouseDown(MouseButtons(message == WM_LBUTTONDOWN, message == WM_RBUTTONDOWN,
                                        message == WM_MBUTTONDOWN),
                           ShiftOf(wparam),
                           static_cast<float>(PixelsToTwips(GET_X_LPARAM(lparam), dpi_)),
                           static_cast<float>(PixelsToTwips(GET_Y_LPARAM(lparam), dpi_)));
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      if (ButtonsOf(wparam) == 0 && GetCapture() == hwnd()) ReleaseCapture();
      return 0;
    case WM_MOUSEMOVE:
      form_.Form_MouseMove(ButtonsOf(wparam), ShiftOf(wparam),
                           static_cast<float>(PixelsToTwips(GET_X_LPARAM(lparam), dpi_)),
                           static_cast<float>(PixelsToTwips(GET_Y_LPARAM(lparam), dpi_)));
      return 0;
    case WM_DESTROY:
      ClearAnnotations(hwnd());
      for (HWND control : controls_) ClearAnnotations(control);
      RemovePropW(hwnd(), kFormProperty);
      controls_.clear();
      focus_ = nullptr;
      break;
    default:
      break;
  }
  return Window::HandleMessage(message, wparam, lparam);
}

}  // namespace pellux
