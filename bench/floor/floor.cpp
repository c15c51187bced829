// The floor of the benchmarks: the least a tray program can be. A hidden
// window puts one icon with a tip into the notification area and runs a
// timer whose ticks set the tip again; there is nothing else. Its size,
// start-up time and memory are what any tray program pays, so Pellux is
// measured against it.
//
// Built three times: as it stands, using nothing of the C++ standard
// library; with FLOOR_WITH_STD_STRING, where the tip is made with std::string
// and std::to_string and widened into a std::wstring the way the program
// makes its texts, so that the size of the statically linked library is paid
// too; and with FLOOR_WITH_LOOKUP as well, where every tick (and the start)
// also does what any poll of the address must do: start sockets, read the
// host name and resolve it, and put the first address into the tip. The last
// is no floor of its own but a reference: it shows what the sockets library
// and a lookup cost in memory, apart from anything Pellux does.
//
// Usage: floor.exe [interval_ms]   (default 5000)
#ifdef FLOOR_WITH_LOOKUP
#include <winsock2.h>
#endif
#include <windows.h>
#include <shellapi.h>

#ifdef FLOOR_WITH_STD_STRING
#include <string>
#endif

namespace {

constexpr wchar_t kClassName[] = L"PelluxFloor";
constexpr UINT kCallbackMessage = WM_APP + 1;
constexpr UINT kIconId = 1;
// The same id as the program's poll timer, so a benchmark can deliver ticks
// to either window the same way.
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kDefaultIntervalMs = 5000;
// The program icon's resource id (bench/floor/floor.rc).
constexpr int kIconResource = 1;

UINT g_interval_ms = kDefaultIntervalMs;
HICON g_icon = nullptr;
unsigned g_ticks = 0;

#ifdef FLOOR_WITH_LOOKUP
std::string g_address;

std::string LookUp() {
  WSADATA data{};
  if (WSAStartup(0x0101, &data) != 0) return {};
  char name[256] = {};
  if (gethostname(name, sizeof name) != 0) return {};
  const hostent* host = gethostbyname(name);
  if (host == nullptr || host->h_length != 4 || host->h_addr_list == nullptr ||
      host->h_addr_list[0] == nullptr) {
    return {};
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(host->h_addr_list[0]);
  return std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." +
         std::to_string(bytes[2]) + "." + std::to_string(bytes[3]);
}
#endif

#ifdef FLOOR_WITH_STD_STRING
std::wstring Widen(const std::string& text) {
  const int length =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}
#endif

void SetTip(NOTIFYICONDATAW& data) {
#ifdef FLOOR_WITH_STD_STRING
#ifdef FLOOR_WITH_LOOKUP
  const std::wstring tip = Widen("Floor: " + g_address);
#else
  const std::wstring tip = Widen("Floor: " + std::to_string(g_ticks));
#endif
  const std::size_t length = tip.size() < 127 ? tip.size() : 127;
  tip.copy(data.szTip, length);
  data.szTip[length] = L'\0';
#else
  lstrcpynW(data.szTip, L"Floor", ARRAYSIZE(data.szTip));
#endif
  data.uFlags |= NIF_TIP | NIF_SHOWTIP;
}

NOTIFYICONDATAW IconData(HWND window, UINT flags) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = kIconId;
  data.uFlags = flags;
  data.uCallbackMessage = kCallbackMessage;
  data.hIcon = g_icon;
  if (flags & NIF_TIP) SetTip(data);
  return data;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE: {
      NOTIFYICONDATAW data = IconData(window, NIF_ICON | NIF_MESSAGE | NIF_TIP);
      if (Shell_NotifyIconW(NIM_ADD, &data)) {
        data.uVersion = NOTIFYICON_VERSION_4;
        Shell_NotifyIconW(NIM_SETVERSION, &data);
      }
      SetTimer(window, kTimerId, g_interval_ms, nullptr);
#ifdef FLOOR_WITH_LOOKUP
      g_address = LookUp();
      data = IconData(window, NIF_TIP);
      Shell_NotifyIconW(NIM_MODIFY, &data);
#endif
      return 0;
    }
    case WM_TIMER:
      if (wparam == kTimerId) {
        ++g_ticks;
#ifdef FLOOR_WITH_LOOKUP
        g_address = LookUp();
#endif
        NOTIFYICONDATAW data = IconData(window, NIF_TIP);
        Shell_NotifyIconW(NIM_MODIFY, &data);
      }
      return 0;
    case WM_DESTROY: {
      KillTimer(window, kTimerId);
      NOTIFYICONDATAW data = IconData(window, 0);
      Shell_NotifyIconW(NIM_DELETE, &data);
      PostQuitMessage(0);
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

UINT IntervalFromCommandLine(const wchar_t* text) {
  UINT value = 0;
  for (; *text == L' '; ++text) {
  }
  for (; *text >= L'0' && *text <= L'9'; ++text) {
    value = value * 10 + static_cast<UINT>(*text - L'0');
    if (value > 0x7fff) return kDefaultIntervalMs;
  }
  return value == 0 ? kDefaultIntervalMs : value;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
  g_interval_ms = IntervalFromCommandLine(command_line);
  g_icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON),
                                         GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hIcon = g_icon;
  window_class.lpszClassName = kClassName;
  if (!RegisterClassExW(&window_class)) return 1;
  if (!CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"Floor", WS_POPUP, CW_USEDEFAULT,
                       CW_USEDEFAULT, 254, 87, nullptr, nullptr, instance, nullptr)) {
    return 1;
  }
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
