// End-to-end test driver: a Windows console program, run under Wine next to
// the program under test, that looks at and acts on windows, the clipboard,
// the registry and name resolution from the outside, the way a user or the
// system would. Test scripts start it once and send it one step at a time:
//
//   wine driver.exe serve
//
// reads commands on stdin, one a line, its words separated by tabs and coded
// in UTF-8 ("wait-visible\tPelluxForm\tPellux: 10.0.0.1\t15000"), and answers
// each on stdout: the command's result lines, then a line of the record
// separator (0x1e) followed by the command's exit code. What a command says
// about a problem comes on stdout too, each line after a unit separator
// (0x1f), so that it stays with the answer it belongs to. End of input ends
// the driver. A single command can also be run on its own:
//
//   wine driver.exe <command> [args...]
//
// Results go to stdout as UTF-8 (one value per line, "\n" line ends, no
// carriage returns), problems to stderr. Exit code: 0 success, 1 failure
// (including a wait that ran out), 2 bad usage. Window handles are printed and
// read as decimal numbers ("0x" prefixed hex is accepted too). Timeouts are in
// milliseconds; they only bound a wait, which ends as soon as its condition
// holds.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <winsock2.h>
#include <windows.h>
#include <aclapi.h>
#include <knownfolders.h>
#include <objbase.h>
#include <oleacc.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "scripts/wine_tray.h"

namespace {

constexpr DWORD kDefaultTimeoutMs = 15000;
// The common controls' tooltip window class (TOOLTIPS_CLASSW).
constexpr wchar_t kTooltipClass[] = L"tooltips_class32";
constexpr DWORD kPollMs = 20;
// Upper bound for one message sent to a window of another process, so a hung
// program makes the driver fail instead of hanging the test.
constexpr UINT kSendTimeoutMs = 5000;

using Args = std::span<wchar_t* const>;

// ---------------------------------------------------------------------------
// Output

std::string ToUtf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

// Writes bytes as they are: the C runtime's text mode would turn "\n" into
// "\r\n" and its narrow conversions would use the ANSI code page.
void WriteBytes(DWORD which, std::string_view bytes) {
  const HANDLE handle = GetStdHandle(which);
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written == 0) {
      return;
    }
    bytes.remove_prefix(written);
  }
}

// Prints one line of result.
void Out(std::wstring_view line) { WriteBytes(STD_OUTPUT_HANDLE, ToUtf8(line) + "\n"); }

// What marks the lines of a serving driver's answer.
constexpr char kEndOfAnswer = '\x1e';
constexpr char kProblemLine = '\x1f';

// True while the driver serves commands from stdin.
bool serving = false;

// Says something about a problem: on stderr, or while serving, in the
// answer's problem lines.
void Problem(std::string_view text) {
  if (!serving) {
    WriteBytes(STD_ERROR_HANDLE, std::string(text) + "\n");
    return;
  }
  std::string lines;
  for (;;) {
    const size_t end = text.find('\n');
    lines += kProblemLine;
    lines += text.substr(0, end);
    lines += '\n';
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  WriteBytes(STD_OUTPUT_HANDLE, lines);
}

// Prints one line of problem; returns 1 so commands can `return Fail(...)`.
int Fail(std::wstring_view message) {
  Problem("driver: " + ToUtf8(message));
  return 1;
}

int Usage(std::wstring_view message) {
  Problem("driver: usage: " + ToUtf8(message));
  return 2;
}

std::wstring SystemMessage(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = L"error " + std::to_wstring(error);
  if (length != 0 && buffer != nullptr) {
    std::wstring_view message(buffer, length);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) {
      message.remove_suffix(1);
    }
    text += L": ";
    text += message;
  }
  LocalFree(buffer);
  return text;
}

std::wstring Hex(std::string_view bytes) {
  static constexpr wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring out;
  for (const unsigned char byte : bytes) {
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xf];
  }
  return out;
}

// ---------------------------------------------------------------------------
// Argument parsing

std::optional<uint64_t> ParseNumber(const wchar_t* text) {
  std::wstring_view view(text);
  int base = 10;
  if (view.starts_with(L"0x") || view.starts_with(L"0X")) {
    base = 16;
    view.remove_prefix(2);
  }
  if (view.empty() || view.size() > 16) return std::nullopt;
  uint64_t value = 0;
  for (const wchar_t c : view) {
    unsigned digit = 0;
    if (c >= L'0' && c <= L'9') {
      digit = static_cast<unsigned>(c - L'0');
    } else if (base == 16 && c >= L'a' && c <= L'f') {
      digit = static_cast<unsigned>(c - L'a' + 10);
    } else if (base == 16 && c >= L'A' && c <= L'F') {
      digit = static_cast<unsigned>(c - L'A' + 10);
    } else {
      return std::nullopt;
    }
    if (digit >= static_cast<unsigned>(base)) return std::nullopt;
    value = value * static_cast<unsigned>(base) + digit;
  }
  return value;
}

std::optional<HWND> ParseWindow(const wchar_t* text) {
  const auto value = ParseNumber(text);
  if (!value || *value == 0 || *value > UINTPTR_MAX) return std::nullopt;
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(*value));
}

std::optional<DWORD> ParseDword(const wchar_t* text) {
  const auto value = ParseNumber(text);
  if (!value || *value > 0xffffffffu) return std::nullopt;
  return static_cast<DWORD>(*value);
}

// Reads an optional timeout argument at `index`.
std::optional<DWORD> TimeoutArg(Args args, size_t index) {
  if (args.size() <= index) return kDefaultTimeoutMs;
  return ParseDword(args[index]);
}

// "-" stands for "any" / "none" in name arguments.
const wchar_t* NameOrNull(const wchar_t* text) {
  return std::wstring_view(text) == L"-" ? nullptr : text;
}

std::wstring WindowNumber(HWND window) {
  return std::to_wstring(reinterpret_cast<uintptr_t>(window));
}

// Polls `ready` until it returns true or `timeout_ms` has passed; `ready` is
// always called at least once.
template <typename Ready>
bool WaitFor(DWORD timeout_ms, Ready ready) {
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    if (ready()) return true;
    if (GetTickCount64() - start >= timeout_ms) return false;
    Sleep(kPollMs);
  }
}

// ---------------------------------------------------------------------------
// Window helpers

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(window, name, 256);
  return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

// Reads a window's text with WM_GETTEXT, which (unlike GetWindowTextW for a
// window of another process) reaches the window procedure, so controls that
// keep their own text, such as tooltips, report it.
std::optional<std::wstring> TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &length)) {
    return std::nullopt;
  }
  // WM_GETTEXTLENGTH may overestimate; WM_GETTEXT says how much it copied.
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied)) {
    return std::nullopt;
  }
  text.resize(std::min(static_cast<size_t>(copied), text.size() - 1));
  return text;
}

// Window enumeration callback (a named function: on 32-bit Windows it must be
// __stdcall, which a lambda cannot be converted to).
BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

// Top-level windows of all processes on the desktop.
std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> windows;
  EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// Top-level windows followed each by all their descendants.
std::vector<HWND> AllWindows() {
  std::vector<HWND> windows;
  for (const HWND top : TopLevelWindows()) {
    windows.push_back(top);
    for (const HWND child : ChildWindows(top)) windows.push_back(child);
  }
  return windows;
}

// One line describing a window: handle, owning process id, visibility, control
// id, class and text, tab separated.
std::wstring Describe(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  const auto text = TextOf(window);
  return WindowNumber(window) + L"\t" + std::to_wstring(pid) + L"\t" +
         (IsWindowVisible(window) ? L"visible" : L"hidden") + L"\t" +
         std::to_wstring(GetDlgCtrlID(window)) + L"\t" + ClassOf(window) + L"\t" +
         text.value_or(L"<no answer>");
}

struct ChildSearch {
  int id;
  HWND found;
};

BOOL CALLBACK MatchChildId(HWND window, LPARAM search_address) {
  auto* search = reinterpret_cast<ChildSearch*>(search_address);
  if (GetDlgCtrlID(window) != search->id) return TRUE;
  search->found = window;
  return FALSE;
}

// A control of the window by its id, also inside frames and other
// containers of the window.
std::optional<HWND> ChildArg(HWND parent, const wchar_t* id_text) {
  const auto id = ParseDword(id_text);
  if (!id) return std::nullopt;
  if (const HWND child = GetDlgItem(parent, static_cast<int>(*id))) return child;
  ChildSearch search{static_cast<int>(*id), nullptr};
  EnumChildWindows(parent, MatchChildId, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) return std::nullopt;
  return search.found;
}

// ---------------------------------------------------------------------------
// Commands

// resolve: the computer's IPv4 address the way a Windows Sockets 1.1 program
// finds it: the last entry of gethostbyname(own host name).
int CmdResolve(Args) {
  WSADATA data{};
  if (const int error = WSAStartup(MAKEWORD(1, 1), &data); error != 0) {
    return Fail(L"WSAStartup: " + SystemMessage(static_cast<DWORD>(error)));
  }
  char name[256] = {};
  if (gethostname(name, sizeof name) != 0) {
    const int error = WSAGetLastError();
    WSACleanup();
    return Fail(L"gethostname: " + SystemMessage(static_cast<DWORD>(error)));
  }
  const hostent* host = gethostbyname(name);
  std::wstring address;
  if (host != nullptr && host->h_addrtype == AF_INET && host->h_length == 4 &&
      host->h_addr_list != nullptr) {
    const char* last = nullptr;
    for (char** entry = host->h_addr_list; *entry != nullptr; ++entry) {
      last = *entry;
    }
    if (last != nullptr) {
      const auto* bytes = reinterpret_cast<const unsigned char*>(last);
      address = std::to_wstring(bytes[0]) + L"." + std::to_wstring(bytes[1]) + L"." +
                std::to_wstring(bytes[2]) + L"." + std::to_wstring(bytes[3]);
    }
  }
  WSACleanup();
  Out(address);
  return 0;
}

// clip-hold <ms>: opens the clipboard and keeps it open for that long, as a
// busy program would; prints "held" once it has it.
int CmdClipHold(Args args) {
  const auto duration = args.size() == 1 ? ParseDword(args[0]) : std::nullopt;
  if (!duration) return Usage(L"clip-hold <ms>");
  if (!OpenClipboard(nullptr)) return Fail(L"OpenClipboard: " + SystemMessage(GetLastError()));
  Out(L"held");
  Sleep(*duration);
  CloseClipboard();
  return 0;
}

// names: the computer name (GetComputerName) on the first line and the host
// name (gethostname) on the second, as the system reports them.
int CmdNames(Args args) {
  if (!args.empty()) return Usage(L"names");
  wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  if (!GetComputerNameW(computer, &size)) {
    return Fail(L"GetComputerName: " + SystemMessage(GetLastError()));
  }
  WSADATA data{};
  if (const int error = WSAStartup(MAKEWORD(1, 1), &data); error != 0) {
    return Fail(L"WSAStartup: " + SystemMessage(static_cast<DWORD>(error)));
  }
  char host[256] = {};
  const int result = gethostname(host, sizeof host);
  WSACleanup();
  if (result != 0) return Fail(L"gethostname failed");
  Out(computer);
  std::wstring wide_host;
  for (const char* c = host; *c != '\0'; ++c) wide_host += static_cast<wchar_t>(*c);
  Out(wide_host);
  return 0;
}

// wait-window <class|-> <title|-> [timeout_ms]
int CmdWaitWindow(Args args) {
  const auto timeout = TimeoutArg(args, 2);
  if (args.size() < 2 || args.size() > 3 || !timeout) {
    return Usage(L"wait-window <class|-> <title|-> [timeout_ms]");
  }
  const wchar_t* class_name = NameOrNull(args[0]);
  const wchar_t* title = NameOrNull(args[1]);
  HWND found = nullptr;
  if (!WaitFor(*timeout, [&] {
        found = FindWindowW(class_name, title);
        return found != nullptr;
      })) {
    return Fail(L"no window of class '" + std::wstring(args[0]) + L"' titled '" +
                std::wstring(args[1]) + L"'");
  }
  Out(WindowNumber(found));
  return 0;
}

// The first visible window (it and its ancestors) of the class and title,
// top-level or child; nullptr when there is none.
HWND FindVisible(const wchar_t* class_name, const wchar_t* title) {
  for (const HWND window : AllWindows()) {
    if (!IsWindowVisible(window) || (class_name != nullptr && ClassOf(window) != class_name)) {
      continue;
    }
    if (title != nullptr && TextOf(window) != title) continue;
    return window;
  }
  return nullptr;
}

// wait-visible <class|-> <title|-> [timeout_ms]: like wait-window, but the
// window must be visible (it and its ancestors) and may also be a child
// window, e.g. a tray icon inside the tray.
int CmdWaitVisible(Args args) {
  const auto timeout = TimeoutArg(args, 2);
  if (args.size() < 2 || args.size() > 3 || !timeout) {
    return Usage(L"wait-visible <class|-> <title|-> [timeout_ms]");
  }
  HWND found = nullptr;
  if (!WaitFor(*timeout, [&] {
        found = FindVisible(NameOrNull(args[0]), NameOrNull(args[1]));
        return found != nullptr;
      })) {
    return Fail(L"no visible window of class '" + std::wstring(args[0]) + L"' titled '" +
                std::wstring(args[1]) + L"'");
  }
  Out(WindowNumber(found));
  return 0;
}

// wait-none <class|-> <title|-> [timeout_ms]: waits until no such window is
// visible.
int CmdWaitNone(Args args) {
  const auto timeout = TimeoutArg(args, 2);
  if (args.size() < 2 || args.size() > 3 || !timeout) {
    return Usage(L"wait-none <class|-> <title|-> [timeout_ms]");
  }
  if (!WaitFor(*timeout,
               [&] { return FindVisible(NameOrNull(args[0]), NameOrNull(args[1])) == nullptr; })) {
    return Fail(L"a window of class '" + std::wstring(args[0]) + L"' titled '" +
                std::wstring(args[1]) + L"' is still visible");
  }
  return 0;
}

// count <class|-> <title|->: the number of visible windows of the class and
// title, top-level or child.
int CmdCount(Args args) {
  if (args.size() != 2) return Usage(L"count <class|-> <title|->");
  const wchar_t* class_name = NameOrNull(args[0]);
  const wchar_t* title = NameOrNull(args[1]);
  int count = 0;
  for (const HWND window : AllWindows()) {
    if (!IsWindowVisible(window) || (class_name != nullptr && ClassOf(window) != class_name)) {
      continue;
    }
    if (title != nullptr && TextOf(window) != title) continue;
    ++count;
  }
  Out(std::to_wstring(count));
  return 0;
}

// The first visible tray icon once there is one, or nullptr after the timeout.
HWND WaitForTrayIcon(DWORD timeout_ms) {
  HWND icon = nullptr;
  WaitFor(timeout_ms, [&] {
    const auto icons = wine_tray::Icons();
    icon = icons.empty() ? nullptr : icons.front();
    return icon != nullptr;
  });
  return icon;
}

// tray-icons: the visible tray icons, whichever Wine draws them.
int CmdTrayIcons(Args args) {
  if (!args.empty()) return Usage(L"tray-icons");
  for (const HWND icon : wine_tray::Icons()) Out(WindowNumber(icon));
  return 0;
}

// tray-icon [timeout_ms]: waits for a visible tray icon and prints it.
int CmdTrayIcon(Args args) {
  const auto timeout = TimeoutArg(args, 0);
  if (args.size() > 1 || !timeout) return Usage(L"tray-icon [timeout_ms]");
  const HWND icon = WaitForTrayIcon(*timeout);
  if (icon == nullptr) return Fail(L"no visible tray icon");
  Out(WindowNumber(icon));
  return 0;
}

// tray: the tray window that holds the icons.
int CmdTray(Args args) {
  if (!args.empty()) return Usage(L"tray");
  const HWND tray = wine_tray::Tray();
  if (tray == nullptr) return Fail(L"no tray window with a visible icon");
  Out(WindowNumber(tray));
  return 0;
}

// wait-gone <hwnd> [timeout_ms]
int CmdWaitGone(Args args) {
  const auto timeout = TimeoutArg(args, 1);
  const auto window = args.empty() ? std::nullopt : ParseWindow(args[0]);
  if (args.empty() || args.size() > 2 || !window || !timeout) {
    return Usage(L"wait-gone <hwnd> [timeout_ms]");
  }
  if (!WaitFor(*timeout, [&] { return !IsWindow(*window); })) {
    return Fail(L"window " + std::wstring(args[0]) + L" still exists");
  }
  return 0;
}

// tooltip [timeout_ms]: the text of a visible tooltip window of any process.
int CmdTooltip(Args args) {
  const auto timeout = TimeoutArg(args, 0);
  if (args.size() > 1 || !timeout) return Usage(L"tooltip [timeout_ms]");
  std::wstring text;
  if (!WaitFor(*timeout, [&] {
        for (const HWND window : TopLevelWindows()) {
          if (!IsWindowVisible(window) || ClassOf(window) != kTooltipClass) {
            continue;
          }
          if (auto tip = TextOf(window); tip && !tip->empty()) {
            text = std::move(*tip);
            return true;
          }
        }
        return false;
      })) {
    return Fail(L"no visible tooltip with text");
  }
  Out(text);
  return 0;
}

// windows [class]: every top-level window (of the given class), one per line.
int CmdWindows(Args args) {
  if (args.size() > 1) return Usage(L"windows [class]");
  for (const HWND window : TopLevelWindows()) {
    if (args.size() == 1 && ClassOf(window) != args[0]) continue;
    Out(Describe(window));
  }
  return 0;
}

// children <hwnd>: every descendant window, one per line.
int CmdChildren(Args args) {
  const auto parent = args.size() == 1 ? ParseWindow(args[0]) : std::nullopt;
  if (!parent) return Usage(L"children <hwnd>");
  if (!IsWindow(*parent)) return Fail(L"no window " + std::wstring(args[0]));
  for (const HWND window : ChildWindows(*parent)) Out(Describe(window));
  return 0;
}

// text <hwnd>
int CmdText(Args args) {
  const auto window = args.size() == 1 ? ParseWindow(args[0]) : std::nullopt;
  if (!window) return Usage(L"text <hwnd>");
  const auto text = TextOf(*window);
  if (!text) return Fail(L"window " + std::wstring(args[0]) + L" gave no text");
  Out(*text);
  return 0;
}

// child-text <hwnd> <ctrl-id>
int CmdChildText(Args args) {
  const auto parent = args.size() == 2 ? ParseWindow(args[0]) : std::nullopt;
  if (!parent) return Usage(L"child-text <hwnd> <ctrl-id>");
  const auto child = ChildArg(*parent, args[1]);
  if (!child) return Fail(L"no control " + std::wstring(args[1]));
  const auto text = TextOf(*child);
  if (!text) return Fail(L"control " + std::wstring(args[1]) + L" gave no text");
  Out(*text);
  return 0;
}

// child-text-hex <hwnd> <ctrl-id>: the control's text as hex of its UTF-8
// bytes, so line breaks can be checked exactly.
int CmdChildTextHex(Args args) {
  const auto parent = args.size() == 2 ? ParseWindow(args[0]) : std::nullopt;
  if (!parent) return Usage(L"child-text-hex <hwnd> <ctrl-id>");
  const auto child = ChildArg(*parent, args[1]);
  if (!child) return Fail(L"no control " + std::wstring(args[1]));
  const auto text = TextOf(*child);
  if (!text) return Fail(L"control " + std::wstring(args[1]) + L" gave no text");
  Out(Hex(ToUtf8(*text)));
  return 0;
}

// accessible <hwnd> [ctrl-id]: the role and the name Active Accessibility
// gives the window's (or the control's) client area, as "<role> <name>", the
// role as its number (ROLE_SYSTEM_*).
int CmdAccessible(Args args) {
  const auto parent = args.size() == 1 || args.size() == 2 ? ParseWindow(args[0]) : std::nullopt;
  if (!parent) return Usage(L"accessible <hwnd> [ctrl-id]");
  std::optional<HWND> window = parent;
  if (args.size() == 2) window = ChildArg(*parent, args[1]);
  if (!window) return Fail(L"no control " + std::wstring(args[1]));
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  // oleacc is loaded rather than linked: its import library and uuid's both
  // define IID_IAccessible.
  const HMODULE oleacc = LoadLibraryW(L"oleacc.dll");
  const auto from_window = reinterpret_cast<decltype(&AccessibleObjectFromWindow)>(
      reinterpret_cast<void (*)()>(GetProcAddress(oleacc, "AccessibleObjectFromWindow")));
  if (from_window == nullptr) return Fail(L"oleacc.dll has no AccessibleObjectFromWindow");
  IAccessible* object = nullptr;
  const HRESULT found = from_window(*window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                    reinterpret_cast<void**>(&object));
  if (FAILED(found) || object == nullptr) {
    wchar_t code[16];
    swprintf(code, 16, L"0x%08lx", static_cast<unsigned long>(found));
    return Fail(L"no IAccessible for the window (" + std::wstring(code) + L")");
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  VARIANT role{};
  BSTR name = nullptr;
  const bool read = SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4 &&
                    SUCCEEDED(object->get_accName(self, &name));
  object->Release();
  if (!read) return Fail(L"the window's IAccessible gave no role or name");
  Out(std::to_wstring(role.lVal) + L" " + (name != nullptr ? std::wstring(name) : L""));
  SysFreeString(name);
  return 0;
}

// focus <hwnd>: the control id of the window that has the keyboard focus in
// the thread of <hwnd> (0 for a window that is no control), or a failure
// when nothing there has it.
int CmdFocus(Args args) {
  const auto window = args.size() == 1 ? ParseWindow(args[0]) : std::nullopt;
  if (!window) return Usage(L"focus <hwnd>");
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(*window, nullptr), &info)) {
    return Fail(L"GetGUIThreadInfo: " + SystemMessage(GetLastError()));
  }
  if (info.hwndFocus == nullptr) return Fail(L"nothing has the focus");
  Out(std::to_wstring(GetDlgCtrlID(info.hwndFocus)));
  return 0;
}

struct ChildTextSearch {
  std::wstring_view text;
  HWND found;
};

BOOL CALLBACK MatchChildText(HWND window, LPARAM search_address) {
  auto* search = reinterpret_cast<ChildTextSearch*>(search_address);
  if (!IsWindowVisible(window) || !IsWindowEnabled(window) || TextOf(window) != search->text) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

// child-id <hwnd> <text> [timeout_ms]: waits for a visible and enabled
// control of the window (at any depth) with exactly that text, one a user
// could press, and prints its id, for the commands that take one.
int CmdChildId(Args args) {
  const auto parent = args.size() >= 2 ? ParseWindow(args[0]) : std::nullopt;
  const auto timeout = TimeoutArg(args, 2);
  if (!parent || args.size() > 3 || !timeout) return Usage(L"child-id <hwnd> <text> [timeout_ms]");
  ChildTextSearch search{args[1], nullptr};
  const auto find = [&] {
    search.found = nullptr;
    EnumChildWindows(*parent, MatchChildText, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  };
  if (!WaitFor(*timeout, [&] {
        if (!find()) return false;
        // The window's thread may be half-way through changing its controls
        // (the installer names its button "&Close" first and disables it
        // next, in one go): once it has handled a message sent now, it is
        // done with what it was doing, and a second look tells.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(*parent, WM_NULL, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &ignored);
        return find();
      })) {
    return Fail(L"no control with the text '" + std::wstring(args[1]) + L"'");
  }
  Out(std::to_wstring(GetDlgCtrlID(search.found)));
  return 0;
}

// wait-checked <hwnd> <ctrl-id> <0|1> [timeout_ms]: waits until the check box
// is cleared (0) or checked (1).
int CmdWaitChecked(Args args) {
  const auto parent = args.size() >= 3 ? ParseWindow(args[0]) : std::nullopt;
  const auto want = args.size() >= 3 ? ParseDword(args[2]) : std::nullopt;
  const auto timeout = TimeoutArg(args, 3);
  if (!parent || !want || *want > 1 || args.size() > 4 || !timeout) {
    return Usage(L"wait-checked <hwnd> <ctrl-id> <0|1> [timeout_ms]");
  }
  const auto child = ChildArg(*parent, args[1]);
  if (!child) return Fail(L"no control " + std::wstring(args[1]));
  if (!WaitFor(*timeout, [&] {
        DWORD_PTR state = 0;
        return SendMessageTimeoutW(*child, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                                   &state) != 0 &&
               state == *want;
      })) {
    return Fail(L"check box " + std::wstring(args[1]) + L" is not " + args[2]);
  }
  return 0;
}

// click <hwnd> <ctrl-id>: posts BM_CLICK, so a handler that opens a modal
// loop (a message box, a dialog) cannot block the driver.
int CmdClick(Args args) {
  const auto parent = args.size() == 2 ? ParseWindow(args[0]) : std::nullopt;
  if (!parent) return Usage(L"click <hwnd> <ctrl-id>");
  const auto child = ChildArg(*parent, args[1]);
  if (!child) return Fail(L"no control " + std::wstring(args[1]));
  if (!PostMessageW(*child, BM_CLICK, 0, 0)) {
    return Fail(L"PostMessage: " + SystemMessage(GetLastError()));
  }
  return 0;
}

// tray-click <left|right> [delay_ms]: waits for a visible tray icon, then,
// after the delay, posts a press and a release of the button to the icon's
// window, the way the tray hands clicks to it. Unlike a click on the X
// display it moves no X input focus, and it can be timed from the moment the
// icon appears. Prints the icon's handle.
int CmdTrayClick(Args args) {
  const auto delay = TimeoutArg(args, 1);
  const std::wstring_view button = args.empty() ? L"" : args[0];
  if (args.empty() || args.size() > 2 || !delay || (button != L"left" && button != L"right")) {
    return Usage(L"tray-click <left|right> [delay_ms]");
  }
  const HWND icon = WaitForTrayIcon(kDefaultTimeoutMs);
  if (icon == nullptr) return Fail(L"no visible tray icon");
  if (args.size() == 2 && *delay > 0) Sleep(*delay);
  RECT client{};
  GetClientRect(icon, &client);
  const LPARAM centre = MAKELPARAM(client.right / 2, client.bottom / 2);
  const bool right = button == L"right";
  if (!PostMessageW(icon, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON,
                    centre) ||
      !PostMessageW(icon, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, centre)) {
    return Fail(L"PostMessage: " + SystemMessage(GetLastError()));
  }
  Out(WindowNumber(icon));
  return 0;
}

struct KeyName {
  std::wstring_view name;
  UINT vk;
};

constexpr KeyName kKeyNames[] = {
    {L"RETURN", VK_RETURN}, {L"ESCAPE", VK_ESCAPE}, {L"TAB", VK_TAB},   {L"SPACE", VK_SPACE},
    {L"UP", VK_UP},         {L"DOWN", VK_DOWN},     {L"LEFT", VK_LEFT}, {L"RIGHT", VK_RIGHT},
    {L"HOME", VK_HOME},     {L"END", VK_END},       {L"F1", VK_F1},     {L"DELETE", VK_DELETE},
};

std::optional<UINT> ParseKey(const wchar_t* text) {
  for (const auto& key : kKeyNames) {
    if (key.name == text) return key.vk;
  }
  const auto value = ParseDword(text);
  if (!value || *value == 0 || *value > 0xfe) return std::nullopt;
  return static_cast<UINT>(*value);
}

// key <hwnd> <vk>: posts a key press and release to the window (for a popup
// menu, post to its "#32768" window).
int CmdKey(Args args) {
  const auto window = args.size() == 2 ? ParseWindow(args[0]) : std::nullopt;
  const auto vk = args.size() == 2 ? ParseKey(args[1]) : std::nullopt;
  if (!window || !vk) {
    return Usage(
        L"key <hwnd> <vk>  (vk: number, or RETURN ESCAPE TAB SPACE UP DOWN "
        L"LEFT RIGHT HOME END F1 DELETE)");
  }
  // lParam as a keyboard would give it: repeat count 1 and the scan code; a
  // release also carries "previous state down" and "transition" bits.
  const LPARAM down = 1 | static_cast<LPARAM>(MapVirtualKeyW(*vk, MAPVK_VK_TO_VSC) << 16);
  const LPARAM up = down | (1L << 30) | static_cast<LPARAM>(1UL << 31);
  if (!PostMessageW(*window, WM_KEYDOWN, *vk, down)) {
    return Fail(L"PostMessage: " + SystemMessage(GetLastError()));
  }
  // A window may go away as soon as it has taken the press (a menu closed by
  // Return or Esc): the key was delivered all the same.
  if (!PostMessageW(*window, WM_KEYUP, *vk, up) && IsWindow(*window)) {
    return Fail(L"PostMessage: " + SystemMessage(GetLastError()));
  }
  return 0;
}

// post <hwnd> <message> <wparam> <lparam>: posts the message, as the shell
// posts an icon's callback (numbers in decimal, or hexadecimal with 0x).
int CmdPost(Args args) {
  const auto window = args.size() == 4 ? ParseWindow(args[0]) : std::nullopt;
  const auto message = args.size() == 4 ? ParseDword(args[1]) : std::nullopt;
  const auto wparam = args.size() == 4 ? ParseDword(args[2]) : std::nullopt;
  const auto lparam = args.size() == 4 ? ParseDword(args[3]) : std::nullopt;
  if (!window || !message || !wparam || !lparam) {
    return Usage(L"post <hwnd> <message> <wparam> <lparam>");
  }
  if (!PostMessageW(*window, *message, *wparam, *lparam)) {
    return Fail(L"PostMessage: " + SystemMessage(GetLastError()));
  }
  return 0;
}

// pointer <x> <y>: moves the mouse pointer to the screen point.
int CmdPointer(Args args) {
  const auto x = args.size() == 2 ? ParseDword(args[0]) : std::nullopt;
  const auto y = args.size() == 2 ? ParseDword(args[1]) : std::nullopt;
  if (!x || !y) return Usage(L"pointer <x> <y>");
  if (!SetCursorPos(static_cast<int>(*x), static_cast<int>(*y))) {
    return Fail(L"SetCursorPos: " + SystemMessage(GetLastError()));
  }
  return 0;
}

// foreground: the handle of the foreground window, or "-" when there is none.
int CmdForeground(Args args) {
  if (!args.empty()) return Usage(L"foreground");
  const HWND window = GetForegroundWindow();
  Out(window != nullptr ? WindowNumber(window) : std::wstring(L"-"));
  return 0;
}

// close <hwnd>: posts WM_CLOSE.
int CmdClose(Args args) {
  const auto window = args.size() == 1 ? ParseWindow(args[0]) : std::nullopt;
  if (!window) return Usage(L"close <hwnd>");
  if (!PostMessageW(*window, WM_CLOSE, 0, 0)) {
    return Fail(L"PostMessage: " + SystemMessage(GetLastError()));
  }
  return 0;
}

// The program file of a process, or nothing when the process is gone.
std::optional<std::wstring> ImageOf(DWORD pid) {
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process == nullptr) return std::nullopt;
  wchar_t path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  const BOOL found = QueryFullProcessImageNameW(process, 0, path, &size);
  CloseHandle(process);
  if (!found) return std::nullopt;
  return std::wstring(path, size);
}

// process <hwnd>: the id of the process that owns the window, then the path
// of its program file.
int CmdProcess(Args args) {
  const auto window = args.size() == 1 ? ParseWindow(args[0]) : std::nullopt;
  if (!window) return Usage(L"process <hwnd>");
  DWORD pid = 0;
  if (GetWindowThreadProcessId(*window, &pid) == 0) {
    return Fail(L"no window " + std::wstring(args[0]));
  }
  const auto image = ImageOf(pid);
  if (!image) return Fail(L"process " + std::to_wstring(pid) + L" is gone");
  Out(std::to_wstring(pid));
  Out(*image);
  return 0;
}

// close-all <class> [timeout_ms]: posts WM_CLOSE to every top-level window of
// the class and waits until the processes that owned them have ended. Prints
// how many there were.
int CmdCloseAll(Args args) {
  const auto timeout = TimeoutArg(args, 1);
  if (args.empty() || args.size() > 2 || !timeout) {
    return Usage(L"close-all <class> [timeout_ms]");
  }
  std::vector<HANDLE> processes;
  for (const HWND window : TopLevelWindows()) {
    if (ClassOf(window) != args[0]) continue;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid)) processes.push_back(process);
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
  bool ended = true;
  for (const HANDLE process : processes) {
    ended = WaitForSingleObject(process, *timeout) == WAIT_OBJECT_0 && ended;
    CloseHandle(process);
  }
  if (!ended)
    return Fail(L"a program with a window of class '" + std::wstring(args[0]) + L"' did not end");
  Out(std::to_wstring(processes.size()));
  return 0;
}

std::wstring RectText(const RECT& rect) {
  return std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " +
         std::to_wstring(rect.right) + L" " + std::to_wstring(rect.bottom);
}

// rect <hwnd>: "window L T R B" and "client L T R B", both in screen
// coordinates (what xdotool needs to point at something).
int CmdRect(Args args) {
  const auto window = args.size() == 1 ? ParseWindow(args[0]) : std::nullopt;
  if (!window) return Usage(L"rect <hwnd>");
  RECT outer{};
  RECT client{};
  if (!GetWindowRect(*window, &outer) || !GetClientRect(*window, &client)) {
    return Fail(L"no window " + std::wstring(args[0]));
  }
  POINT origin{0, 0};
  ClientToScreen(*window, &origin);
  OffsetRect(&client, origin.x, origin.y);
  Out(L"window " + RectText(outer));
  Out(L"client " + RectText(client));
  return 0;
}

// Opens the clipboard and returns its CF_UNICODETEXT as UTF-8 (up to the
// terminating NUL), or nothing when it holds no text. The clipboard is opened
// for as short a time as possible: while it is open, the program under test
// cannot open it.
std::optional<std::string> ClipboardText(DWORD timeout_ms) {
  // The program that changed the clipboard may still have it open; retry
  // until it has closed it.
  if (!WaitFor(timeout_ms, [] { return OpenClipboard(nullptr) != FALSE; })) {
    Fail(L"OpenClipboard: " + SystemMessage(GetLastError()));
    return std::nullopt;
  }
  std::optional<std::string> text;
  if (const HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      const size_t capacity = GlobalSize(data) / sizeof(wchar_t);
      text = ToUtf8(std::wstring_view(chars, wcsnlen(chars, capacity)));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// clip-seq: the clipboard sequence number, for a later clip-wait.
int CmdClipSeq(Args args) {
  if (!args.empty()) return Usage(L"clip-seq");
  Out(std::to_wstring(GetClipboardSequenceNumber()));
  return 0;
}

// clip-text: the clipboard text as hex of its UTF-8 bytes.
int CmdClipText(Args args) {
  if (!args.empty()) return Usage(L"clip-text");
  const auto text = ClipboardText(kDefaultTimeoutMs);
  if (!text) return Fail(L"no text on the clipboard");
  Out(Hex(*text));
  return 0;
}

// clip-wait <old-seq> [timeout_ms]: waits until the clipboard changed since
// clip-seq printed <old-seq> and holds text; prints it like clip-text. Polls
// the sequence number only: opening the clipboard in a loop would make the
// program's own OpenClipboard fail.
int CmdClipWait(Args args) {
  const auto timeout = TimeoutArg(args, 1);
  const auto old_seq = args.empty() ? std::nullopt : ParseDword(args[0]);
  if (args.empty() || args.size() > 2 || !old_seq || !timeout) {
    return Usage(L"clip-wait <old-seq> [timeout_ms]");
  }
  const ULONGLONG start = GetTickCount64();
  DWORD seen = *old_seq;
  for (;;) {
    const ULONGLONG elapsed = GetTickCount64() - start;
    const DWORD left = elapsed >= *timeout ? 0 : *timeout - static_cast<DWORD>(elapsed);
    if (!WaitFor(left, [&] { return GetClipboardSequenceNumber() != seen; })) {
      return Fail(L"the clipboard did not get text");
    }
    seen = GetClipboardSequenceNumber();
    if (const auto text = ClipboardText(left == 0 ? kPollMs : left)) {
      Out(Hex(*text));
      return 0;
    }
    // Changed but without text (yet): wait for the next change.
  }
}

// ---------------------------------------------------------------------------
// Files

struct FolderName {
  std::wstring_view name;
  const KNOWNFOLDERID* id;
};

const FolderName kFolderNames[] = {
    {L"Profile", &FOLDERID_Profile},
    {L"LocalAppData", &FOLDERID_LocalAppData},
    {L"Programs", &FOLDERID_Programs},
};

// folder <Profile|LocalAppData|Programs>: the user's folder of that
// name (Programs is the Start menu's).
int CmdFolder(Args args) {
  const std::wstring_view name = args.size() == 1 ? args[0] : L"";
  for (const auto& folder : kFolderNames) {
    if (folder.name != name) continue;
    wchar_t* path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(*folder.id, 0, nullptr, &path);
    if (SUCCEEDED(result)) Out(path);
    CoTaskMemFree(path);
    if (FAILED(result)) return Fail(L"SHGetKnownFolderPath failed for " + std::wstring(name));
    return 0;
  }
  return Usage(L"folder <Profile|LocalAppData|Programs>");
}

// shortcut <file.lnk>: the shortcut's target, its arguments, its working
// folder and its icon's file and index, one per line.
int CmdShortcut(Args args) {
  if (args.size() != 1) return Usage(L"shortcut <file.lnk>");
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return Fail(L"CoInitializeEx");
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  std::wstring failure;
  wchar_t target[MAX_PATH] = {};
  wchar_t arguments[1024] = {};
  wchar_t folder[MAX_PATH] = {};
  wchar_t icon[MAX_PATH] = {};
  int icon_index = 0;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    failure = L"no shell link object";
  } else if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) ||
             FAILED(file->Load(args[0], STGM_READ))) {
    failure = L"cannot read " + std::wstring(args[0]);
  } else if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) ||
             FAILED(link->GetArguments(arguments, 1024)) ||
             FAILED(link->GetWorkingDirectory(folder, MAX_PATH)) ||
             FAILED(link->GetIconLocation(icon, MAX_PATH, &icon_index))) {
    failure = L"cannot read the shortcut's fields";
  }
  if (file != nullptr) file->Release();
  if (link != nullptr) link->Release();
  CoUninitialize();
  if (!failure.empty()) return Fail(failure);
  Out(target);
  Out(arguments);
  Out(folder);
  Out(std::wstring(icon) + L"," + std::to_wstring(icon_index));
  return 0;
}

// Registry commands work on HKEY_CURRENT_USER; "-" names the default value.

std::wstring TypeName(DWORD type) {
  switch (type) {
    case REG_NONE:
      return L"REG_NONE";
    case REG_SZ:
      return L"REG_SZ";
    case REG_EXPAND_SZ:
      return L"REG_EXPAND_SZ";
    case REG_BINARY:
      return L"REG_BINARY";
    case REG_DWORD:
      return L"REG_DWORD";
    case REG_MULTI_SZ:
      return L"REG_MULTI_SZ";
    case REG_QWORD:
      return L"REG_QWORD";
    default:
      return L"type " + std::to_wstring(type);
  }
}

// reg-get <subkey> <value>: REG_SZ data as text; any other type as
// "<TYPE> <data>", the data in decimal for REG_DWORD, else as hex bytes.
int CmdRegGet(Args args) {
  if (args.size() != 2) return Usage(L"reg-get <HKCU subkey> <value|->");
  const wchar_t* value = NameOrNull(args[1]);
  DWORD type = 0;
  DWORD size = 0;
  LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, args[0], value, RRF_RT_ANY | RRF_NOEXPAND, &type,
                                nullptr, &size);
  std::vector<BYTE> data;
  while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
    data.resize(size);
    status = RegGetValueW(HKEY_CURRENT_USER, args[0], value, RRF_RT_ANY | RRF_NOEXPAND, &type,
                          data.empty() ? nullptr : data.data(), &size);
    if (status == ERROR_SUCCESS) {
      data.resize(size);
      break;
    }
  }
  if (status != ERROR_SUCCESS) {
    return Fail(std::wstring(args[0]) + L" " + args[1] + L": " +
                SystemMessage(static_cast<DWORD>(status)));
  }
  if (type == REG_SZ) {
    const auto* chars = reinterpret_cast<const wchar_t*>(data.data());
    Out(std::wstring_view(chars, wcsnlen(chars, data.size() / sizeof(wchar_t))));
  } else if (type == REG_DWORD && data.size() == sizeof(DWORD)) {
    DWORD number = 0;
    memcpy(&number, data.data(), sizeof number);
    Out(L"REG_DWORD " + std::to_wstring(number));
  } else {
    Out(TypeName(type) + L" " +
        Hex(std::string_view(reinterpret_cast<const char*>(data.data()), data.size())));
  }
  return 0;
}

int SetValue(const wchar_t* subkey, const wchar_t* value, DWORD type, const void* data,
             DWORD size) {
  const LSTATUS status = RegSetKeyValueW(HKEY_CURRENT_USER, subkey, value, type, data, size);
  if (status != ERROR_SUCCESS) {
    return Fail(std::wstring(subkey) + L": " + SystemMessage(static_cast<DWORD>(status)));
  }
  return 0;
}

// reg-set-sz <subkey> <value> <text>: creates the key if needed.
int CmdRegSetSz(Args args) {
  if (args.size() != 3) {
    return Usage(L"reg-set-sz <HKCU subkey> <value|-> <text>");
  }
  const std::wstring_view text(args[2]);
  return SetValue(args[0], NameOrNull(args[1]), REG_SZ, text.data(),
                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// reg-delete-value <subkey> <value>: succeeds when the value is already gone.
int CmdRegDeleteValue(Args args) {
  if (args.size() != 2) return Usage(L"reg-delete-value <HKCU subkey> <value|->");
  const LSTATUS status = RegDeleteKeyValueW(HKEY_CURRENT_USER, args[0], NameOrNull(args[1]));
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
    return Fail(std::wstring(args[0]) + L" " + args[1] + L": " +
                SystemMessage(static_cast<DWORD>(status)));
  }
  return 0;
}

// reg-values <subkey>: the names of the key's values, one per line ("-" for
// the default value), in the order the registry lists them; fails when the
// key is missing.
int CmdRegValues(Args args) {
  if (args.size() != 1) return Usage(L"reg-values <HKCU subkey>");
  HKEY key = nullptr;
  LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, args[0], 0, KEY_QUERY_VALUE, &key);
  if (status != ERROR_SUCCESS) {
    return Fail(std::wstring(args[0]) + L": " + SystemMessage(static_cast<DWORD>(status)));
  }
  for (DWORD index = 0;; ++index) {
    wchar_t name[16384];
    DWORD length = 16384;
    status = RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) break;
    Out(length == 0 ? std::wstring(L"-") : std::wstring(name, length));
  }
  RegCloseKey(key);
  if (status != ERROR_NO_MORE_ITEMS) {
    return Fail(std::wstring(args[0]) + L": " + SystemMessage(static_cast<DWORD>(status)));
  }
  return 0;
}

// reg-wait-gone <subkey> [timeout_ms]: waits until the key is gone.
int CmdRegWaitGone(Args args) {
  const auto timeout = TimeoutArg(args, 1);
  if (args.empty() || args.size() > 2 || !timeout) {
    return Usage(L"reg-wait-gone <HKCU subkey> [timeout_ms]");
  }
  if (!WaitFor(*timeout, [&] {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, args[0], 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
          return true;
        }
        RegCloseKey(key);
        return false;
      })) {
    return Fail(std::wstring(args[0]) + L" is still there");
  }
  return 0;
}

// reg-delete-key <subkey>: deletes the key with everything under it;
// succeeds when the key is already gone.
int CmdRegDeleteKey(Args args) {
  if (args.size() != 1) return Usage(L"reg-delete-key <HKCU subkey>");
  const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, args[0]);
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return 0;
  return Fail(std::wstring(args[0]) + L": " + SystemMessage(static_cast<DWORD>(status)));
}

// reg-lock <subkey> on|off: with "on", nobody may set values or make
// subkeys under the key (created if needed) any more; "off" lifts that.
int CmdRegLock(Args args) {
  const std::wstring_view mode = args.size() == 2 ? args[1] : L"";
  if (mode != L"on" && mode != L"off") return Usage(L"reg-lock <HKCU subkey> on|off");
  HKEY key = nullptr;
  LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, args[0], 0, nullptr, 0,
                                   READ_CONTROL | WRITE_DAC, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) {
    return Fail(std::wstring(args[0]) + L": " + SystemMessage(static_cast<DWORD>(status)));
  }
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
  EXPLICIT_ACCESSW entries[2] = {};
  for (auto& entry : entries) {
    entry.grfInheritance = NO_INHERITANCE;
    entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    entry.Trustee.ptstrName = static_cast<LPWSTR>(everyone);
  }
  // The denial comes first: access checks stop at the first entry that
  // decides.
  entries[0].grfAccessPermissions = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
  entries[0].grfAccessMode = DENY_ACCESS;
  entries[1].grfAccessPermissions = KEY_ALL_ACCESS;
  entries[1].grfAccessMode = GRANT_ACCESS;
  const bool lock = mode == L"on";
  PACL acl = nullptr;
  status = static_cast<LSTATUS>(
      SetEntriesInAclW(lock ? 2 : 1, lock ? entries : &entries[1], nullptr, &acl));
  if (status == ERROR_SUCCESS) {
    status = static_cast<LSTATUS>(SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION,
                                                  nullptr, nullptr, acl, nullptr));
  }
  LocalFree(acl);
  FreeSid(everyone);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) {
    return Fail(std::wstring(args[0]) + L": " + SystemMessage(static_cast<DWORD>(status)));
  }
  return 0;
}

// ---------------------------------------------------------------------------

struct Command {
  std::wstring_view name;
  int (*run)(Args);
  std::wstring_view usage;
};

constexpr Command kCommands[] = {
    {L"resolve", CmdResolve, L"resolve"},
    {L"reg-lock", CmdRegLock, L"reg-lock <HKCU subkey> on|off"},
    {L"wait-window", CmdWaitWindow, L"wait-window <class|-> <title|-> [ms]"},
    {L"wait-visible", CmdWaitVisible, L"wait-visible <class|-> <title|-> [ms]"},
    {L"wait-none", CmdWaitNone, L"wait-none <class|-> <title|-> [ms]"},
    {L"wait-gone", CmdWaitGone, L"wait-gone <hwnd> [ms]"},
    {L"count", CmdCount, L"count <class|-> <title|->"},
    {L"process", CmdProcess, L"process <hwnd>"},
    {L"close-all", CmdCloseAll, L"close-all <class> [ms]"},
    {L"folder", CmdFolder, L"folder <Profile|LocalAppData|Programs>"},
    {L"shortcut", CmdShortcut, L"shortcut <file.lnk>"},
    {L"tooltip", CmdTooltip, L"tooltip [ms]"},
    {L"windows", CmdWindows, L"windows [class]"},
    {L"children", CmdChildren, L"children <hwnd>"},
    {L"names", CmdNames, L"names"},
    {L"clip-hold", CmdClipHold, L"clip-hold <ms>"},
    {L"text", CmdText, L"text <hwnd>"},
    {L"child-text-hex", CmdChildTextHex, L"child-text-hex <hwnd> <ctrl-id>"},
    {L"child-text", CmdChildText, L"child-text <hwnd> <ctrl-id>"},
    {L"accessible", CmdAccessible, L"accessible <hwnd> [ctrl-id]"},
    {L"focus", CmdFocus, L"focus <hwnd>"},
    {L"child-id", CmdChildId, L"child-id <hwnd> <text> [ms]"},
    {L"wait-checked", CmdWaitChecked, L"wait-checked <hwnd> <ctrl-id> <0|1> [ms]"},
    {L"click", CmdClick, L"click <hwnd> <ctrl-id>"},
    {L"tray-icons", CmdTrayIcons, L"tray-icons"},
    {L"tray-icon", CmdTrayIcon, L"tray-icon [ms]"},
    {L"tray", CmdTray, L"tray"},
    {L"tray-click", CmdTrayClick, L"tray-click <left|right> [delay_ms]"},
    {L"key", CmdKey, L"key <hwnd> <vk>"},
    {L"close", CmdClose, L"close <hwnd>"},
    {L"post", CmdPost, L"post <hwnd> <message> <wparam> <lparam>"},
    {L"pointer", CmdPointer, L"pointer <x> <y>"},
    {L"foreground", CmdForeground, L"foreground"},
    {L"rect", CmdRect, L"rect <hwnd>"},
    {L"clip-seq", CmdClipSeq, L"clip-seq"},
    {L"clip-text", CmdClipText, L"clip-text"},
    {L"clip-wait", CmdClipWait, L"clip-wait <old-seq> [ms]"},
    {L"reg-get", CmdRegGet, L"reg-get <HKCU subkey> <value|->"},
    {L"reg-set-sz", CmdRegSetSz, L"reg-set-sz <HKCU subkey> <value|-> <text>"},
    {L"reg-delete-value", CmdRegDeleteValue, L"reg-delete-value <HKCU subkey> <value|->"},
    {L"reg-values", CmdRegValues, L"reg-values <HKCU subkey>"},
    {L"reg-delete-key", CmdRegDeleteKey, L"reg-delete-key <HKCU subkey>"},
    {L"reg-wait-gone", CmdRegWaitGone, L"reg-wait-gone <HKCU subkey> [ms]"},
};

int ListCommands() {
  std::wstring text = L"commands:";
  for (const auto& command : kCommands) {
    text += L"\n  ";
    text += command.usage;
  }
  return Usage(text);
}

// Runs the command named by args[0] with the rest as its arguments.
int Run(Args args) {
  if (args.empty()) return ListCommands();
  for (const auto& command : kCommands) {
    if (command.name == args[0]) return command.run(args.subspan(1));
  }
  return ListCommands();
}

std::wstring FromUtf8(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), size);
  return out;
}

// Runs one command line of a serving driver and answers it.
void Answer(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::vector<std::wstring> words;
  for (;;) {
    const size_t tab = line.find('\t');
    words.push_back(FromUtf8(line.substr(0, tab)));
    if (tab == std::string_view::npos) break;
    line.remove_prefix(tab + 1);
  }
  std::vector<wchar_t*> args;
  for (auto& word : words) args.push_back(word.data());
  const int status = Run(Args(args.data(), args.size()));
  WriteBytes(STD_OUTPUT_HANDLE, kEndOfAnswer + std::to_string(status) + "\n");
}

// serve: answers command lines from stdin until it ends.
int Serve() {
  serving = true;
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  std::string pending;
  char buffer[4096];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(input, buffer, sizeof buffer, &got, nullptr) || got == 0) break;
    pending.append(buffer, got);
    size_t end = 0;
    while ((end = pending.find('\n')) != std::string::npos) {
      Answer(std::string_view(pending).substr(0, end));
      pending.erase(0, end + 1);
    }
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring_view(argv[1]) == L"serve") return Serve();
  return Run(Args(argv + 1, static_cast<size_t>(argc - 1)));
}
