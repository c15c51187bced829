// The program icon on Qt, for the tray and for the program's windows.
#pragma once

#include <QIcon>

namespace pellux {

// The program icon, from the program's resources, at every size it is drawn
// in. Each size is read as it is added.
QIcon ProgramIcon();

// Gives the program's windows the program icon; called as each kind of
// window opens, and only the first call does anything. Not done at start:
// the application's icon goes to every window it has, the tray's own
// included, which then carries every size of it for the window manager
// from the start (about a megabyte on the way, and a copy of the icon).
void UseProgramIconForWindows();

}  // namespace pellux
