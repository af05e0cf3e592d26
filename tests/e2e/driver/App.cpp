// Starting the program under test and waiting for its windows.
#include <algorithm>
#include <cstdio>

#include "Driver.h"

namespace tolvane::e2e {

namespace {

constexpr DWORD kPollMs = 20;
constexpr wchar_t kMessageBoxClass[] = L"#32770";

struct Search {
    DWORD pid;
    const wchar_t* className;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    Search& search = *reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search.pid || (search.visibleOnly && !IsWindowVisible(window))) {
        return TRUE;
    }
    wchar_t className[64];
    if (GetClassNameW(window, className, 64) == 0 || lstrcmpW(className, search.className) != 0) {
        return TRUE;
    }
    search.found = window;
    return FALSE;
}

}  // namespace

HWND FindProcessWindow(DWORD pid, const wchar_t* className, bool visibleOnly) {
    Search search{pid, className, visibleOnly, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

App::~App() {
    Kill();
}

bool App::Start(const std::wstring& args, HANDLE standardOutput) {
    // The driver lends the program structures of its own layout (list-view items): a driver of
    // another processor would read garbage rather than fail.
    constexpr DWORD kOwnType = sizeof(void*) == 8 ? SCS_64BIT_BINARY : SCS_32BIT_BINARY;
    DWORD type = 0;
    if (!GetBinaryTypeW(TolvaneExePath().c_str(), &type) || type != kOwnType) {
        std::fputws(L"driver: the program to drive is not built for the driver's processor\n",
                    stderr);
        return false;
    }
    return StartProgram(TolvaneExePath(), args, standardOutput);
}

bool App::StartProgram(const std::wstring& exePath, const std::wstring& args,
                       HANDLE standardOutput) {
    Kill();
    std::wstring commandLine = L"\"" + exePath + L"\"";
    if (!args.empty()) {
        commandLine += L" " + args;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (standardOutput) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = standardOutput;
    }
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr,
                        standardOutput != nullptr, 0, nullptr, nullptr, &startup, &info)) {
        return false;
    }
    process_.reset(info.hProcess);
    thread_.reset(info.hThread);
    pid_ = info.dwProcessId;
    return true;
}

template <typename Found>
HWND App::Poll(DWORD timeoutMs, Found found) {
    if (!(process_)) {
        return nullptr;
    }
    const DWORD start = GetTickCount();
    for (;;) {
        if (const HWND window = found()) {
            return window;
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) {
            return nullptr;
        }
        // Wakes at once when the process ends: then nothing new can appear.
        if (WaitForSingleObject(process_.get(), std::min(kPollMs, timeoutMs - elapsed)) ==
            WAIT_OBJECT_0) {
            return found();
        }
    }
}

HWND App::WaitForMainWindow(DWORD timeoutMs) {
    return Poll(timeoutMs, [this]() -> HWND {
        const HWND main = FindProcessWindow(pid_, kMainWindowClass);
        return main != nullptr && IsWindowEnabled(main) ? main : nullptr;
    });
}

HWND App::WaitForWindow(const wchar_t* className, DWORD timeoutMs) {
    return Poll(timeoutMs, [&]() { return FindProcessWindow(pid_, className); });
}

HWND App::WaitForMessageBox(DWORD timeoutMs) {
    return WaitForWindow(kMessageBoxClass, timeoutMs);
}

bool App::WaitIdle(HWND main, DWORD timeoutMs) {
    // Sent messages are handled in the order they were sent: once this one returns, a click or
    // command sent before it (PostClick, Menu) has started, and a command that runs disables
    // the window until it ends.
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result)) {
        return false;
    }
    const HWND idle = Poll(timeoutMs, [&]() -> HWND {
        const bool ready = IsWindowVisible(main) && IsWindowEnabled(main) &&
                           FindProcessWindow(pid_, kMessageBoxClass) == nullptr &&
                           FindProcessWindow(pid_, kPleaseWaitWindowClass) == nullptr;
        return ready ? main : nullptr;
    });
    return idle != nullptr;
}

bool App::WaitForExit(DWORD timeoutMs) {
    return process_ && WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
}

bool App::Running() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

DWORD App::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) {
        GetExitCodeProcess(process_.get(), &code);
    }
    return code;
}

void App::Kill() {
    if (Running()) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
}

}  // namespace tolvane::e2e
