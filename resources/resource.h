// resource ids shared by pellux.rc and the C++ code.
// kept free of anything but #defines so windres can read it too.
#ifndef PELLUX_RESOURCE_H
#define PELLUX_RESOURCE_H

// the program icon. it is the first (lowest) icon group in the exe, so
// explorer shows it for pellux.exe; the main window and the tray icon
// load the same id.
#define IDI_PELLUX 1

// version numbers, used by the VERSIONINFO block in pellux.rc
#define PELLUX_VERSION_MAJOR 1
#define PELLUX_VERSION_MINOR 11
#define PELLUX_VERSION_STRING "1.11"

#endif
