// The program icon on Qt, for the tray and for the program's windows.
#pragma once

#include <QIcon>

namespace pellux {

// The program icon at every size it is drawn in, from the resources.
QIcon ProgramIcon();

// Gives the program's windows the program icon; called as each kind of
// window opens. Not done at start: the tray's own window would then carry
// every size of it for the window manager (about a megabyte).
void UseProgramIconForWindows();

}  // namespace pellux
