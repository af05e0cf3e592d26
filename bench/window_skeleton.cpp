// The skeleton of Tolvane's main window: what its start-up does to show that window, without
// reading the machine. The same common controls and COM apartment, class icon, styles, size,
// menu, child controls from the same design table with the same fonts, logo and colours, the
// same manifest and the same DLLs loaded at start. Built with Tolvane.exe's own flags, so that
// what Tolvane takes beyond it is the reading of the machine and the program's own logic.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <iphlpapi.h>
#include <lm.h>
#include <objbase.h>
#include <shellapi.h>

#include <array>
#include <optional>

#include "model/ControlLayout.h"
#include "model/Host.h"
#include "resources/ResourceIds.h"
#include "system/win32/Handles.h"
#include "ui/win32/ChildControls.h"
#include "ui/win32/FontCache.h"
#include "ui/win32/MenuBar.h"
#include "ui/win32/WindowBase.h"

namespace {

using namespace tolvane;

constexpr wchar_t kClassName[] = L"TolvaneSkeleton";
// As the main window's.
constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kMainExStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;

COLORREF ToColorRef(Rgb colour) {
    return RGB(colour.r, colour.g, colour.b);
}

int ScreenDpi() {
    win32::WindowDc screen(nullptr);
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    return dpi > 0 ? dpi : 96;
}

struct Brushes {
    win32::UniqueBrush window{CreateSolidBrush(ToColorRef(kWindowColour))};
    win32::UniqueBrush white{CreateSolidBrush(ToColorRef(kWhite))};
    win32::UniqueBrush help{CreateSolidBrush(ToColorRef(kHelpTextColour))};
};
// Made by wWinMain before the window and freed after it.
Brushes* brushes = nullptr;

// The controls' colours by their backdrop in the design, as the main window paints them.
LRESULT ColourControl(HDC dc, HWND control) {
    const std::optional<ControlId> id = ControlOfDialogId(GetDlgCtrlID(control));
    SetTextColor(dc, RGB(0, 0, 0));
    switch (id ? LayoutOf(*id).backdrop : Backdrop::Window) {
        case Backdrop::White:
            SetBkColor(dc, ToColorRef(kWhite));
            return reinterpret_cast<LRESULT>(brushes->white.get());
        case Backdrop::HelpText:
            SetBkColor(dc, ToColorRef(kHelpTextColour));
            return reinterpret_cast<LRESULT>(brushes->help.get());
        case Backdrop::Window:
            break;
    }
    SetBkColor(dc, ToColorRef(kWindowColour));
    return reinterpret_cast<LRESULT>(brushes->window.get());
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
            return ColourControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

void CreateControls(HINSTANCE instance, HWND window, int dpi, win32::FontCache& fonts,
                    win32::UniqueBitmap& logo) {
    for (const ControlLayout& control : MainWindowLayout()) {
        const HWND child =
            win32::CreateChildControl(window, control.kind, control.centred, control.caption,
                                      WindowRectTwips(control), dpi, DialogId(control.id));
        if (control.kind == ControlKind::Picture) {
            logo.reset(static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(IDB_QUILLLOGO),
                                                       IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
            SendMessageW(child, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo.get()));
        }
        SendMessageW(child, WM_SETFONT,
                     reinterpret_cast<WPARAM>(fonts.Get(control.centipoints, control.bold)), FALSE);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // Tolvane.exe imports these DLLs whatever it does next: the loader maps them all at start.
    using AnyFunction = void (*)();
    volatile const std::array<AnyFunction, 8> imports = {
        reinterpret_cast<AnyFunction>(&ShellExecuteW),
        reinterpret_cast<AnyFunction>(&CoInitializeEx),
        reinterpret_cast<AnyFunction>(&NetUserGetInfo),
        reinterpret_cast<AnyFunction>(&NetApiBufferFree),
        reinterpret_cast<AnyFunction>(&GetTcpTable),
        reinterpret_cast<AnyFunction>(&GetUdpTable),
        reinterpret_cast<AnyFunction>(&InitCommonControls),
        reinterpret_cast<AnyFunction>(&RegOpenKeyExW),
    };
    (void)imports;

    InitCommonControls();
    const HRESULT apartment = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    const int dpi = ScreenDpi();
    win32::FontCache fonts(dpi);
    Brushes paint;
    brushes = &paint;
    win32::UniqueBitmap logo;

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TOLVANE));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = paint.window.get();
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExW(&windowClass)) {
        return 1;
    }
    const SIZE size = win32::OuterSize(kClientWidthTwips, kClientHeightTwips, dpi, kMainStyle,
                                       kMainExStyle, true);
    win32::UniqueMenu menu(win32::CreateMenuBar());
    const HWND window =
        CreateWindowExW(kMainExStyle, kClassName, kAppTitle, kMainStyle, CW_USEDEFAULT,
                        CW_USEDEFAULT, size.cx, size.cy, nullptr, menu.get(), instance, nullptr);
    if (!window) {
        return 1;
    }
    menu.release();  // the window owns it now and frees it on WM_DESTROY
    CreateControls(instance, window, dpi, fonts, logo);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    // The focus on the first box that takes it, as the main window does.
    for (const ControlLayout& control : MainWindowLayout()) {
        const HWND child = GetDlgItem(window, DialogId(control.id));
        if (control.kind == ControlKind::CheckBox && IsWindowEnabled(child)) {
            SetFocus(child);
            break;
        }
    }

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        const HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (!root || !IsDialogMessageW(root, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (SUCCEEDED(apartment)) {
        CoUninitialize();
    }
    return static_cast<int>(msg.wParam);
}
