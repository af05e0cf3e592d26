// Identifiers of the resources compiled into Tolvane.exe. Read by windres for Tolvane.rc and by
// the program's C++ code, so it holds plain #defines and nothing else.
#ifndef TOLVANE_RESOURCES_RESOURCEIDS_H
#define TOLVANE_RESOURCES_RESOURCEIDS_H

// Icon group of the program file and of its windows. The lowest number, so that Explorer,
// which shows the first icon group of a program file, shows this one.
#define IDI_TOLVANE 1

// The main window's logo, a 129 x 33 pixel 24-bit bitmap.
#define IDB_QUILLLOGO 201
// The about window's logo, 73 x 140 pixels.
#define IDB_ABOUTLOGO 202

// Files carried inside the program and written beside it when needed (custom types "REG" and
// "CHM", language 1033). The registry scripts close and reopen port 135.
#define IDR_BIND_REG 101
#define IDR_HELP_CHM 102
#define IDR_CLOSE_DCOM_REG 103
#define IDR_OPEN_DCOM_REG 104

#endif
