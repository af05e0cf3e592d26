// The test environment: paths handed over by run-under-wine.sh and Wine's reported version.
#include "Driver.h"

#include <iterator>
#include <vector>

#include "system/win32/Handles.h"

namespace tolvane::e2e {

namespace {

std::wstring Environment(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(length < size ? length : 0);
    return value;
}

bool Foreground(HWND window) {
    return WaitUntil(2000, [window] {
        if (GetForegroundWindow() == window) {
            return true;
        }
        SetForegroundWindow(window);
        return false;
    });
}

}  // namespace

bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

HWND FocusedWindow(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus
                                                                              : nullptr;
}

bool FocusControl(HWND control) {
    if (!Foreground(GetAncestor(control, GA_ROOT))) {
        return false;
    }
    // SetFocus works only for windows of the thread's own input queue: share it for a moment.
    const DWORD own = GetCurrentThreadId();
    const DWORD theirs = GetWindowThreadProcessId(control, nullptr);
    if (!AttachThreadInput(own, theirs, TRUE)) {
        return false;
    }
    SetFocus(control);
    const bool focused = GetFocus() == control;
    AttachThreadInput(own, theirs, FALSE);
    return focused;
}

bool PressKeys(HWND window, std::initializer_list<WORD> keys) {
    if (!Foreground(GetAncestor(window, GA_ROOT))) {
        return false;
    }
    std::vector<INPUT> inputs;
    for (const WORD key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
           inputs.size();
}

bool PointAtScreen(POINT point) {
    // Absolute positions are in 65536ths of the screen.
    const auto Move = [](int x, int y) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        return SendInput(1, &input, sizeof(input)) == 1;
    };
    return Move(point.x + 1, point.y) && Move(point.x, point.y);
}

bool PointAt(HWND control) {
    RECT place;
    return GetWindowRect(control, &place) &&
           PointAtScreen({(place.left + place.right) / 2, (place.top + place.bottom) / 2});
}

std::wstring TolvaneExePath() {
    return Environment(L"TOLVANE_EXE");
}

std::wstring ShotsDir() {
    return Environment(L"TOLVANE_SHOTS");
}

std::wstring SharedDir() {
    return Environment(L"TOLVANE_SHARED");
}

bool Fat32Drive() {
    return !Environment(L"TOLVANE_FAT32").empty();
}

bool SetWindowsVersion(const wchar_t* name) {
    win32::UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD bytes = static_cast<DWORD>((lstrlenW(name) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                          bytes) == ERROR_SUCCESS;
}

bool ActAsDomainController() {
    constexpr wchar_t kCurrentVersion[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion";
    win32::UniqueRegKey wine;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Wine", 0, KEY_SET_VALUE, wine.put()) ==
        ERROR_SUCCESS) {
        RegDeleteValueW(wine.get(), L"Version");
    }
    // Wine reads the numbers from these values before the text.
    return DeleteValue(kCurrentVersion, L"CurrentMajorVersionNumber") &&
           DeleteValue(kCurrentVersion, L"CurrentMinorVersionNumber") &&
           SetString(kCurrentVersion, L"CurrentVersion", L"5.2") &&
           SetString(kCurrentVersion, L"CurrentBuildNumber", L"3790") &&
           SetString(kCurrentVersion, L"CSDVersion", L"Service Pack 2") &&
           SetDword(L"SYSTEM\\CurrentControlSet\\Control\\Windows", L"CSDVersion", 0x200) &&
           SetString(L"SYSTEM\\CurrentControlSet\\Control\\ProductOptions", L"ProductType",
                     L"LanmanNT");
}

}  // namespace tolvane::e2e
