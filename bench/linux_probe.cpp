// Starts a tray program on an X display with an XEmbed tray, and prints how
// long it took until its icon was visible in the tray, in milliseconds, and
// then its resident and proportional memory in KiB, read a moment after the
// icon showed. Ends the program before it returns.
//
//   linux_probe <tray window> <settle ms> <program> [argument...]
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <signal.h>
#include <unistd.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

namespace {

// Whether a viewable window of the program's class sits below `window`.
bool HasIcon(Display* display, Window window, const std::string& instance) {
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) return false;
  bool found = false;
  for (unsigned i = 0; i < count && !found; ++i) {
    XClassHint hint{};
    if (XGetClassHint(display, children[i], &hint) != 0) {
      XWindowAttributes attributes{};
      found = hint.res_name != nullptr && instance == hint.res_name &&
              XGetWindowAttributes(display, children[i], &attributes) != 0 &&
              attributes.map_state == IsViewable;
      XFree(hint.res_name);
      XFree(hint.res_class);
    }
    if (!found) found = HasIcon(display, children[i], instance);
  }
  if (children != nullptr) XFree(children);
  return found;
}

// A field of /proc/<pid>/smaps_rollup, in KiB.
long Rollup(pid_t pid, const char* field) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/smaps_rollup");
  std::string line;
  const std::size_t length = std::strlen(field);
  while (std::getline(file, line)) {
    if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':') {
      return std::strtol(line.c_str() + length + 1, nullptr, 10);
    }
  }
  return -1;
}

int XErrors(Display* /*display*/, XErrorEvent* /*event*/) { return 0; }  // windows come and go

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: linux_probe <tray window> <settle ms> <program> [argument...]\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 2;
  XSetErrorHandler(XErrors);
  const Window tray = std::strtoul(argv[1], nullptr, 0);
  const int settle_ms = std::atoi(argv[2]);
  std::string instance = argv[3];
  instance = instance.substr(instance.rfind('/') + 1);

  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    execv(argv[3], argv + 3);
    _exit(127);
  }
  const auto deadline = start + std::chrono::seconds(20);
  bool shown = false;
  while (!(shown = HasIcon(display, tray, instance)) &&
         std::chrono::steady_clock::now() < deadline) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) break;
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  long rss = -1;
  long pss = -1;
  if (shown) {
    std::this_thread::sleep_for(std::chrono::milliseconds(settle_ms));
    rss = Rollup(pid, "Rss");
    pss = Rollup(pid, "Pss");
  }
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  XCloseDisplay(display);
  if (!shown) {
    std::fprintf(stderr, "linux_probe: no icon of %s in the tray\n", instance.c_str());
    return 1;
  }
  std::printf("%.1f %ld %ld\n", ms, rss, pss);
  return 0;
}
