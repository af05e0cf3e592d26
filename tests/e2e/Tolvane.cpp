#include "Tolvane.h"

namespace tolvane::e2e {
namespace {

void Collect(HKEY key, const std::wstring& prefix, std::map<std::wstring, std::wstring>& out) {
    wchar_t name[16384];
    BYTE data[8192];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 16384;
        DWORD size = sizeof(data);
        DWORD type = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) !=
            ERROR_SUCCESS) {
            break;
        }
        std::wstring text = std::to_wstring(type) + L":";
        for (DWORD b = 0; b < size; ++b) {
            text += std::to_wstring(data[b]) + L",";
        }
        out[prefix + name] = text;
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 16384;
        if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        win32::UniqueRegKey sub;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, sub.put()) == ERROR_SUCCESS) {
            Collect(sub.get(), prefix + name + L"\\", out);
        }
        out[prefix + name + L"\\"] = L"key";
    }
}

struct DialogSearch {
    DWORD pid;
    const wchar_t* title;
    HWND found;
};

// The process may show more than one dialog window, some without a title.
BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<DialogSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t name[16];
    if (pid == search.pid && IsWindowVisible(window) && GetClassNameW(window, name, 16) &&
        lstrcmpW(name, L"#32770") == 0 && Title(window) == search.title) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::map<std::wstring, std::wstring> Snapshot(const std::wstring& keyPath) {
    std::map<std::wstring, std::wstring> values;
    win32::UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, key.put()) ==
        ERROR_SUCCESS) {
        Collect(key.get(), L"", values);
    }
    return values;
}

HWND TolvaneTest::OpenOwned(MenuId entry, const wchar_t* className) {
    EXPECT_TRUE(Menu(main_, entry));
    const HWND window = app_.WaitForWindow(className);
    EXPECT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowEnabled(main_));
    return window;
}

HWND TolvaneTest::WaitForDialog(const wchar_t* title, DWORD timeoutMs) {
    DialogSearch search{app_.pid(), title, nullptr};
    WaitUntil(timeoutMs, [&] {
        EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

bool TolvaneTest::OwnedGone(HWND window) {
    return WaitUntil(10000, [&] { return !IsWindow(window); }) && app_.WaitIdle(main_);
}

bool TolvaneTest::AccountsRead() {
    return WaitUntil(10000, [&] {
        return Enabled(main_, ControlId::GuestAccountBox) &&
               Enabled(main_, ControlId::HelpAssistantBox);
    });
}

HWND TolvaneTest::Launch(const std::wstring& args, const wchar_t* version) {
    EXPECT_TRUE(SetWindowsVersion(version));
    EXPECT_TRUE(app_.Start(args));
    main_ = app_.WaitForMainWindow();
    EXPECT_NE(main_, nullptr) << "no main window";
    return main_;
}

}  // namespace tolvane::e2e
