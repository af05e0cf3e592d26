#include "ui/win32/MainWindow.h"

#include "model/ControlLayout.h"
#include "resources/ResourceIds.h"
#include "system/win32/OnDemand.h"
#include "ui/win32/ChildControls.h"
#include "ui/win32/FontPropertiesForTests.h"
#include "ui/win32/MenuBar.h"

namespace tolvane::win32 {
namespace {

constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kMainExStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
// How long a restart of ours may take to reach this window before it counts as cancelled; a
// later end of the session still ends the program.
constexpr UINT_PTR kSessionEndTimer = 1;
constexpr UINT kSessionEndWaitMs = 30000;

COLORREF ToColorRef(Rgb colour) {
    return RGB(colour.r, colour.g, colour.b);
}

int ScreenDpi() {
    WindowDc screen(nullptr);
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    return dpi > 0 ? dpi : 96;
}

// Posted by an owned window once it is gone, so that its object is freed outside its own
// messages.
constexpr UINT kOwnedGone = WM_APP + 1;

}  // namespace

MainWindow::MainWindow(HINSTANCE instance)
    : instance_(instance),
      dpi_(ScreenDpi()),
      fonts_(dpi_),
      windowBrush_(CreateSolidBrush(ToColorRef(kWindowColour))),
      whiteBrush_(CreateSolidBrush(ToColorRef(kWhite))),
      helpBrush_(CreateSolidBrush(ToColorRef(kHelpTextColour))) {}

MainWindow::~MainWindow() {
    pleaseWait_.reset();
    owned_.reset();
}

bool MainWindow::Create(Controls& controls, MainWindowEvents events) {
    controls_ = &controls;
    events_ = std::move(events);
    if (!RegisterClassOnce(instance_, kMainWindowClass,
                           LoadIconW(instance_, MAKEINTRESOURCEW(IDI_TOLVANE)))) {
        return false;
    }
    const SIZE size =
        OuterSize(kClientWidthTwips, kClientHeightTwips, dpi_, kMainStyle, kMainExStyle, true);
    UniqueMenu menu(CreateMenuBar());
    if (!CreateOwnWindow(instance_, kMainWindowClass, kAppTitle, kMainStyle, kMainExStyle,
                         CW_USEDEFAULT, CW_USEDEFAULT, size.cx, size.cy, nullptr, menu.get())) {
        return false;
    }
    menu.release();  // the window owns it now
    controls.SetView(this);
    return true;
}

void MainWindow::Show(int showCommand) {
    CreateControls();
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    for (const ControlLayout& control : MainWindowLayout()) {
        const HWND child = Child(control.id);
        if (control.kind == ControlKind::CheckBox && IsWindowEnabled(child)) {
            SetFocus(child);
            break;
        }
    }
}

// Only once the machine is read: each control starts as it will be shown, and nothing is drawn
// or changed twice.
void MainWindow::CreateControls() {
    for (const ControlLayout& control : MainWindowLayout()) {
        const HWND child = CreateChildControl(window_, control.kind, control.centred,
                                              controls_->Caption(control.id).c_str(),
                                              WindowRectTwips(control), dpi_, DialogId(control.id),
                                              controls_->Enabled(control.id) ? 0 : WS_DISABLED);
        children_[static_cast<int>(control.id)] = child;
        if (control.kind == ControlKind::Picture) {
            logo_.reset(static_cast<HBITMAP>(LoadImageW(instance_, MAKEINTRESOURCEW(IDB_QUILLLOGO),
                                                        IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
            SendMessageW(child, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo_.get()));
        }
        ShowControlState(control.id, true);
    }
}

void MainWindow::ControlChanged(ControlId id) {
    ShowControlState(id, false);
}

// A control just made holds its caption and enabled state from its creation and is not drawn yet;
// one shown before changes only where it differs, so that it repaints no more than it must.
void MainWindow::ShowControlState(ControlId id, bool fresh) {
    const HWND child = Child(id);
    if (!child) {
        return;
    }
    const Controls& controls = *controls_;
    const ControlLayout& layout = LayoutOf(id);
    switch (layout.kind) {
        case ControlKind::CheckBox:
            if (!fresh || controls.Ticked(id)) {
                SendMessageW(child, BM_SETCHECK, controls.Ticked(id) ? BST_CHECKED : BST_UNCHECKED,
                             0);
            }
            break;
        case ControlKind::Label:
        case ControlKind::TextBox: {
            const HFONT font = fonts_.Get(controls.Centipoints(id), controls.Bold(id));
            if (fresh || reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)) != font) {
                SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), !fresh);
                PublishFontForTests(child, controls.Centipoints(id), controls.Bold(id));
            }
            if (fresh) {
                break;
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
            if (fresh ||
                reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)) == nullptr) {
                SendMessageW(child, WM_SETFONT,
                             reinterpret_cast<WPARAM>(fonts_.Get(layout.centipoints, layout.bold)),
                             FALSE);
            }
            break;
    }
    if (!fresh && (IsWindowEnabled(child) != FALSE) != controls.Enabled(id)) {
        EnableWindow(child, controls.Enabled(id));
    }
}

int MainWindow::ShowMessageBox(const std::wstring& text, const std::wstring& title,
                               unsigned style) {
    // A window of ours that is open (options, about, ports) owns the box, so that the box comes
    // back to it and not to the main window, which waits behind it.
    const HWND owner = owned_ && owned_->hwnd() ? owned_->hwnd() : window_;
    // Closing the box enables its owner, also one that a running command keeps disabled.
    const bool enabled = IsWindowEnabled(owner) != FALSE;
    const int answer = MessageBoxW(owner, text.c_str(), title.c_str(), style);
    if (!enabled) {
        EnableWindow(owner, FALSE);
    }
    return answer;
}

HWND MainWindow::FocusedChild() const {
    const HWND focus = GetFocus();
    return focus && IsChild(window_, focus) ? focus : nullptr;
}

void MainWindow::EnableMainWindow(bool enabled) {
    if ((IsWindowEnabled(window_) != FALSE) == enabled) {
        return;
    }
    if (!enabled) {
        if (const HWND focus = FocusedChild()) {
            savedFocus_ = focus;
        }
        EnableWindow(window_, FALSE);
        return;
    }
    EnableWindow(window_, TRUE);
    // A disabled window loses the keyboard focus; give it back where the user left it.
    if (savedFocus_ && IsWindow(savedFocus_) && IsWindowVisible(window_) &&
        GetForegroundWindow() == window_) {
        SetFocus(savedFocus_);
    }
    // A close request that came while a command ran is taken up now.
    if (closePending_) {
        closePending_ = false;
        PostMessageW(window_, WM_CLOSE, 0, 0);
    }
}

void MainWindow::ShowMainWindow(bool shown) {
    ShowWindow(window_, shown ? SW_SHOW : SW_HIDE);
}

std::optional<std::wstring> MainWindow::ChoosePolicyFile(bool save) {
    // Long enough for any path the dialog gives back in its classic form.
    std::wstring path(MAX_PATH * 4, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = window_;
    dialog.lpstrFilter = L"Tolvane policies (*.txt)\0*.txt\0All files (*.*)\0*.*\0";
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrDefExt = L"txt";
    dialog.lpstrTitle = save ? L"Save as policy" : L"Open policy";
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY |
                   (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen =
        save ? ondemand::GetSaveFileNameW(&dialog) : ondemand::GetOpenFileNameW(&dialog);
    if (!chosen) {
        return std::nullopt;
    }
    path.resize(path.find(L'\0'));
    return path;
}

void MainWindow::AwaitSessionEnd() {
    SetTimer(window_, kSessionEndTimer, kSessionEndWaitMs, nullptr);
}

void MainWindow::ShowPleaseWait(bool shown) {
    if (!shown) {
        pleaseWait_.reset();
        return;
    }
    pleaseWait_ = std::make_unique<PleaseWaitWindow>(instance_, fonts_, dpi_, windowBrush_.get());
    pleaseWait_->Show();
}

void MainWindow::OpenOwnedWindow(OwnedWindow which) {
    owned_ = events_.makeOwnedWindow(
        which, {instance_, fonts_, dpi_, [this] { events_.ownedWindowClosed(); },
                [this] { PostMessageW(window_, kOwnedGone, 0, 0); }});
    if (!owned_ || !owned_->Create(window_)) {
        owned_.reset();
        events_.ownedWindowClosed();
    }
}

void MainWindow::PointerMoved(HWND target, POINT screen) {
    if (!window_ || (target != window_ && !IsChild(window_, target))) {
        return;
    }
    // Found from the design, disabled controls included: the system's own search may give a
    // frame for the controls on it.
    POINT client = screen;
    ScreenToClient(window_, &client);
    events_.pointerOver(ControlAt(MulDiv(client.x, 1440, dpi_), MulDiv(client.y, 1440, dpi_)));
}

void MainWindow::OnClose() {
    if (closing_) {
        return;
    }
    // Closing never runs inside another command or under a window of ours.
    if (events_.closeMustWait()) {
        closePending_ = true;
        return;
    }
    closing_ = true;
    if (!events_.closing(false)) {
        closing_ = false;
        return;
    }
    DestroyWindow(window_);
}

void MainWindow::OnCommand(int id, int notification, HWND control) {
    // Enter reaches a window that is not a dialog as IDOK: it presses the focused button.
    if (id == IDOK && !control) {
        const HWND focus = FocusedChild();
        const std::optional<ControlId> focused =
            focus ? ControlOfDialogId(GetDlgCtrlID(focus)) : std::nullopt;
        if (focused && LayoutOf(*focused).kind == ControlKind::Button) {
            events_.clicked(*focused);
        }
        return;
    }
    if (id == IDCANCEL && !control) {
        return;
    }
    if (control) {
        const std::optional<ControlId> clicked = ControlOfDialogId(id);
        if (notification == BN_CLICKED && clicked) {
            events_.clicked(*clicked);
        }
        return;
    }
    if (id == static_cast<int>(MenuId::Quit)) {
        SendMessageW(window_, WM_CLOSE, 0, 0);
        return;
    }
    events_.menuChosen(static_cast<MenuId>(id));
}

LRESULT MainWindow::ColourControl(HDC dc, HWND control) {
    const std::optional<ControlId> id = ControlOfDialogId(GetDlgCtrlID(control));
    const Backdrop backdrop = id ? LayoutOf(*id).backdrop : Backdrop::Window;
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
        case WM_ERASEBKGND:
            return EraseBackground(reinterpret_cast<HDC>(wParam), windowBrush_.get());
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_QUERYENDSESSION:
            // It has reached this window: WM_ENDSESSION tells how it ends.
            KillTimer(window_, kSessionEndTimer);
            return TRUE;
        case WM_TIMER:
            if (wParam == kSessionEndTimer) {
                KillTimer(window_, kSessionEndTimer);
                events_.sessionEndCancelled();
                return 0;
            }
            break;
        case WM_ENDSESSION:
            // No question now: it would hold up the end of the session.
            if (wParam && !closing_) {
                closing_ = true;
                events_.closing(true);
            } else if (!wParam) {
                // Windows or another program cancelled it, a restart of ours included.
                events_.sessionEndCancelled();
            }
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                if (const HWND focus = FocusedChild()) {
                    savedFocus_ = focus;
                }
            } else if (savedFocus_ && IsWindow(savedFocus_) && IsWindowEnabled(savedFocus_)) {
                SetFocus(savedFocus_);
                return 0;
            }
            break;
        case kOwnedGone:
            owned_.reset();
            return 0;
        case WM_DESTROY:
            for (HWND child : children_) {
                UnpublishFont(child);
            }
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            children_.fill(nullptr);
            break;
        default:
            break;
    }
    return Default(message, wParam, lParam);
}

}  // namespace tolvane::win32
