// The one place where Tolvane's version is written down. Read by windres for the version block
// of Tolvane.rc and by the program's C++ code (the about window), so it holds plain #defines.
// The texts are narrow literals: C++ code widens one by concatenation, L"" TOLVANE_PRODUCT_NAME.
#ifndef TOLVANE_RESOURCES_VERSION_H
#define TOLVANE_RESOURCES_VERSION_H

#define TOLVANE_VERSION_MAJOR 1
#define TOLVANE_VERSION_MINOR 6
#define TOLVANE_VERSION_BUILD 0
#define TOLVANE_VERSION_REVISION 212

// The numeric version as the version block wants it: four comma-separated numbers.
#define TOLVANE_VERSION_NUMBERS 1, 6, 0, 212

// The texts of the version block, as Explorer's file properties show them.
#define TOLVANE_VERSION_TEXT "1.06.0212"
#define TOLVANE_COMMENTS "Software which improves your PC's security features."
#define TOLVANE_COMPANY_NAME "Tolvane developers"
#define TOLVANE_PRODUCT_NAME "Tolvane"
#define TOLVANE_FILE_DESCRIPTION "Tolvane"
#define TOLVANE_INTERNAL_NAME "Tolvane"
#ifdef _WIN64
#define TOLVANE_ORIGINAL_FILENAME "Tolvane64.exe"
#else
#define TOLVANE_ORIGINAL_FILENAME "Tolvane.exe"
#endif
#define TOLVANE_LEGAL_COPYRIGHT "Freeware"
#define TOLVANE_LEGAL_TRADEMARKS "Tolvane"

// U.S. English texts in the Windows Latin-1 code page: the string block "040904E4" and its
// translation entry.
#define TOLVANE_VERSION_LANGUAGE 0x0409
#define TOLVANE_VERSION_CODEPAGE 1252
#define TOLVANE_VERSION_BLOCK "040904E4"

#endif
