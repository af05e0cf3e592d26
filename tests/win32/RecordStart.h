// A copy of the platform test program planted in place of another program (net.exe, cmd.exe)
// is started by a command line that leaves no room for a switch: while this variable names a
// file, the program only appends its path and command line to it and exits.
#pragma once

inline constexpr wchar_t kRecordStartVariable[] = L"TOLVANE_RECORD_START";
