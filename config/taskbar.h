// The shell's taskbar query, in the shape the configuration window uses it.
#pragma once

#include <cstdint>

namespace pellux {

// The shell's APPBARDATA record, laid out as Windows lays it out: 36 bytes on
// 32-bit Windows; on 64-bit Windows the window handle and lParam are 64 bits
// wide and the record is 48 bytes.
struct AppBarData {
  uint32_t cbSize = 0;
  uintptr_t hWnd = 0;
  uint32_t uCallbackMessage = 0;
  uint32_t uEdge = 0;
  struct {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
  } rc;
  intptr_t lParam = 0;
};
static_assert(sizeof(AppBarData) == (sizeof(void*) == 4 ? 36 : 48),
              "the shell reads and writes exactly this many bytes");

// The message that asks for the taskbar's bounding rectangle.
inline constexpr uint32_t kAbmGetTaskbarPos = 5;

class AppBar {
 public:
  virtual ~AppBar() = default;

  // Passes the record to the shell, which fills it in; a failed query leaves
  // it as it was. The result is the shell's own.
  virtual uint32_t SHAppBarMessage(uint32_t message, AppBarData& data) = 0;
};

}  // namespace pellux
