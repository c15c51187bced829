// The thin three-dimensional frame of the information window's buttons.
#pragma once

#include <windows.h>

namespace pellux {

// Adds the static edge to any window and redraws its frame without moving,
// sizing or restacking it. An invalid handle changes nothing; the results of
// the calls are not needed.
void FlattenButton(HWND hWnd);

}  // namespace pellux
