/* A tiny Windows console program for the emulated machine's demonstration: it says what it was
   built as, which Windows it is shown and whether it runs under WOW64, so that one line tells
   which loader, prefix and version setting it really met. */
#include <stdio.h>
#include <windows.h>

typedef BOOL(WINAPI *IsWow64ProcessFn)(HANDLE, PBOOL);

int main(void) {
    OSVERSIONINFOW version;
    BOOL wow64 = FALSE;
    /* Looked up, not imported: Windows 2000 has no IsWow64Process. */
    IsWow64ProcessFn isWow64 = (IsWow64ProcessFn)(void (*)(void))GetProcAddress(
        GetModuleHandleW(L"kernel32"), "IsWow64Process");
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExW(&version)) {
        printf("GetVersionEx failed: %lu\n", GetLastError());
        return 1;
    }
    if (isWow64 && !isWow64(GetCurrentProcess(), &wow64)) {
        printf("IsWow64Process failed: %lu\n", GetLastError());
        return 1;
    }
    printf("hello: %u-bit, Windows %lu.%lu.%lu, WOW64 %s\n", (unsigned)(sizeof(void *) * 8),
           version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber,
           wow64 ? "yes" : "no");
    return 0;
}
