#include "ui/win32/MainWindow.h"

#include "resources/ResourceIds.h"
#include "ui/ControlLayout.h"
#include "ui/win32/MenuBar.h"

namespace tolvane::win32 {
namespace {

constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kMainExStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;

void PublishFont(HWND control, int centipoints, bool bold) {
    SetPropW(control, kFontWeightProperty,
             reinterpret_cast<HANDLE>(static_cast<INT_PTR>(bold ? FW_BOLD : FW_NORMAL)));
    SetPropW(control, kFontCentipointsProperty,
             reinterpret_cast<HANDLE>(static_cast<INT_PTR>(centipoints)));
}

void ForgetFont(HWND control) {
    RemovePropW(control, kFontWeightProperty);
    RemovePropW(control, kFontCentipointsProperty);
}

COLORREF ToColorRef(Rgb colour) {
    return RGB(colour.r, colour.g, colour.b);
}

int ScreenDpi() {
    WindowDc screen(nullptr);
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    return dpi > 0 ? dpi : 96;
}

struct ChildClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

ChildClass ClassOf(const ControlLayout& control) {
    switch (control.kind) {
        case ControlKind::Picture:
            return {L"STATIC", SS_BITMAP, 0};
        case ControlKind::Label:
            return {L"STATIC",
                    static_cast<DWORD>((control.centred ? SS_CENTER : SS_LEFT) | SS_NOPREFIX), 0};
        case ControlKind::TextBox:
            return {L"EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
                    WS_EX_CLIENTEDGE};
        case ControlKind::Button:
            return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
        case ControlKind::Frame:
            return {L"BUTTON", BS_GROUPBOX, 0};
        case ControlKind::CheckBox:
            return {L"BUTTON", BS_CHECKBOX | WS_TABSTOP, 0};
    }
    return {L"STATIC", 0, 0};
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance)
    : instance_(instance),
      dpi_(ScreenDpi()),
      fonts_(dpi_),
      windowBrush_(CreateSolidBrush(ToColorRef(kWindowColour))),
      whiteBrush_(CreateSolidBrush(ToColorRef(kWhite))),
      helpBrush_(CreateSolidBrush(ToColorRef(kHelpTextColour))) {}

MainWindow::~MainWindow() {
    patient_.reset();
    if (window_) {
        DestroyWindow(window_);
    }
}

bool MainWindow::Create(MainForm& form) {
    form_ = &form;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_TOLVANE));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kMainWindowClass;
    if (!RegisterClassExW(&windowClass)) {
        return false;
    }
    RECT frame{0, 0, TwipsToPixels(kClientWidthTwips, dpi_),
               TwipsToPixels(kClientHeightTwips, dpi_)};
    AdjustWindowRectEx(&frame, kMainStyle, TRUE, kMainExStyle);
    UniqueMenu menu(CreateMenuBar());
    if (!CreateWindowExW(kMainExStyle, kMainWindowClass, kAppTitle, kMainStyle, CW_USEDEFAULT,
                         CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                         menu.get(), instance_, this)) {
        return false;
    }
    menu.release();  // the window owns it now
    CreateControls();
    form.controls().SetView(this);
    return true;
}

void MainWindow::Show(int showCommand) {
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
}

void MainWindow::CreateControls() {
    for (const ControlLayout& control : MainWindowLayout()) {
        const TwipRect rect = WindowRectTwips(control);
        const ChildClass childClass = ClassOf(control);
        const HWND child = CreateWindowExW(
            childClass.exStyle, childClass.className, control.caption,
            WS_CHILD | WS_VISIBLE | childClass.style, TwipsToPixels(rect.left, dpi_),
            TwipsToPixels(rect.top, dpi_), TwipsToPixels(rect.width, dpi_),
            TwipsToPixels(rect.height, dpi_), window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(DialogId(control.id))), instance_,
            nullptr);
        controls_[static_cast<int>(control.id)] = child;
        if (control.kind == ControlKind::Picture) {
            logo_.reset(static_cast<HBITMAP>(LoadImageW(instance_, MAKEINTRESOURCEW(IDB_QUILLLOGO),
                                                        IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
            SendMessageW(child, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo_.get()));
        }
        if (control.kind == ControlKind::Frame) {
            // Frames go under the labels drawn inside them.
            SetWindowPos(child, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        ControlChanged(control.id);
    }
}

void MainWindow::ControlChanged(ControlId id) {
    const HWND child = Child(id);
    if (!child) {
        return;
    }
    const Controls& controls = form_->controls();
    const ControlLayout& layout = LayoutOf(id);
    switch (layout.kind) {
        case ControlKind::CheckBox:
            SendMessageW(child, BM_SETCHECK, static_cast<WPARAM>(controls.Value(id)), 0);
            break;
        case ControlKind::Label:
        case ControlKind::TextBox: {
            const HFONT font = fonts_.Get(controls.Centipoints(id), controls.Bold(id));
            if (reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)) != font) {
                SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
                PublishFont(child, controls.Centipoints(id), controls.Bold(id));
            }
            std::wstring shown(static_cast<std::size_t>(GetWindowTextLengthW(child)) + 1, L'\0');
            shown.resize(static_cast<std::size_t>(
                GetWindowTextW(child, shown.data(), static_cast<int>(shown.size()))));
            if (shown != controls.Caption(id)) {
                SetWindowTextW(child, controls.Caption(id).c_str());
            }
            break;
        }
        default:
            if (reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)) == nullptr) {
                SendMessageW(child, WM_SETFONT,
                             reinterpret_cast<WPARAM>(fonts_.Get(layout.centipoints, layout.bold)),
                             FALSE);
            }
            break;
    }
    if ((IsWindowEnabled(child) != FALSE) != controls.Enabled(id)) {
        EnableWindow(child, controls.Enabled(id));
    }
}

int MainWindow::ShowMessage(const std::wstring& text, const std::wstring& title, unsigned style) {
    // Closing the box enables its owner, also one that a running command keeps disabled.
    const bool enabled = IsWindowEnabled(window_) != FALSE;
    const int answer = MessageBoxW(window_, text.c_str(), title.c_str(), style);
    if (!enabled) {
        EnableWindow(window_, FALSE);
    }
    return answer;
}

void MainWindow::EnableMainWindow(bool enabled) {
    if (!enabled) {
        savedFocus_ = GetFocus();
        EnableWindow(window_, FALSE);
        return;
    }
    EnableWindow(window_, TRUE);
    // A disabled window loses the keyboard focus; give it back where the user left it.
    if (savedFocus_ && IsWindow(savedFocus_) && IsWindowVisible(window_) &&
        GetForegroundWindow() == window_) {
        SetFocus(savedFocus_);
    }
    savedFocus_ = nullptr;
}

void MainWindow::ShowPatient(bool shown) {
    if (!shown) {
        patient_.reset();
        return;
    }
    patient_ = std::make_unique<PatientWindow>(instance_, fonts_, dpi_, windowBrush_.get());
    patient_->Show();
}

void MainWindow::OnCommand(int id, int notification, HWND control) {
    if (control) {
        const int index = id - DialogId(static_cast<ControlId>(0));
        if (notification == BN_CLICKED && index >= 0 && index < kControlCount) {
            form_->Click(static_cast<ControlId>(index));
        }
        return;
    }
    if (id == static_cast<int>(MenuId::QuitMnu)) {
        SendMessageW(window_, WM_CLOSE, 0, 0);
        return;
    }
    form_->Menu(static_cast<MenuId>(id));
}

LRESULT MainWindow::ColourControl(HDC dc, HWND control) {
    const int index = GetDlgCtrlID(control) - DialogId(static_cast<ControlId>(0));
    Backdrop backdrop = Backdrop::Window;
    if (index >= 0 && index < kControlCount) {
        backdrop = LayoutOf(static_cast<ControlId>(index)).backdrop;
    }
    SetTextColor(dc, RGB(0, 0, 0));
    switch (backdrop) {
        case Backdrop::White:
            SetBkColor(dc, ToColorRef(kWhite));
            return reinterpret_cast<LRESULT>(whiteBrush_.get());
        case Backdrop::HelpText:
            SetBkColor(dc, ToColorRef(kHelpTextColour));
            return reinterpret_cast<LRESULT>(helpBrush_.get());
        case Backdrop::Window:
            break;
    }
    SetBkColor(dc, ToColorRef(kWindowColour));
    return reinterpret_cast<LRESULT>(windowBrush_.get());
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
            return ColourControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(window_, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, windowBrush_.get());
            return 1;
        }
        case WM_CLOSE:
            DestroyWindow(window_);
            return 0;
        case WM_DESTROY:
            for (HWND child : controls_) {
                ForgetFont(child);
            }
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            window_ = nullptr;
            controls_.fill(nullptr);
            break;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->HandleMessage(message, wParam, lParam)
                : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tolvane::win32
