#include "help/win32/AboutWindow.h"

#include "help/WebLinks.h"
#include "resources/ResourceIds.h"

namespace tolvane::win32 {
namespace {

using A = AboutControlId;

}  // namespace

AboutWindow::AboutWindow(const SmallWindowSetup& setup, Machine& machine)
    : SmallWindowBase(setup, kAboutDesign), machine_(machine) {}

bool AboutWindow::Create(HWND owner) {
    if (!CreateWithControls(owner)) {
        return false;
    }
    logo_.reset(static_cast<HBITMAP>(LoadImageW(instance_, MAKEINTRESOURCEW(IDB_ABOUTLOGO),
                                                IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    SendMessageW(Item(A::LogoPicture), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(logo_.get()));
    // The address is a link: it takes clicks and shows the hand.
    const HWND link = Item(A::HomePageLink);
    SetWindowLongPtrW(link, GWL_STYLE, GetWindowLongPtrW(link, GWL_STYLE) | SS_NOTIFY);

    SetWindowTextW(Item(A::VersionLabel), AboutVersionText(machine_.system).c_str());
    SetWindowTextW(Item(A::TitleLabel), kAppTitle);
    ShowWithFocusOn(Item(A::OkButton));
    return true;
}

COLORREF AboutWindow::TextColour(HWND control) {
    return control == Item(A::HomePageLink) ? RGB(kLinkColour.r, kLinkColour.g, kLinkColour.b)
                                            : RGB(255, 255, 255);
}

void AboutWindow::Press(int index) {
    const auto owner = reinterpret_cast<std::uintptr_t>(window_);
    switch (static_cast<A>(index)) {
        case A::SupportButton:
            machine_.system.OpenDocument(owner, kForumUrl);
            break;
        case A::HomePageLink:
            machine_.system.OpenDocument(owner, kHomePageUrl);
            break;
        case A::SystemInfoButton:
            StartSystemInformation(machine_);
            break;
        case A::OkButton:
            Close();
            break;
        default:
            break;
    }
}

void AboutWindow::PaintSeparator() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window_, &paint);
    const int left = TwipsToPixels(kAboutSeparator.left, dpi_);
    const int top = TwipsToPixels(kAboutSeparator.top, dpi_);
    const RECT line{left, top, left + TwipsToPixels(kAboutSeparator.width, dpi_), top + 2};
    FillRect(dc, &line, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EndPaint(window_, &paint);
}

LRESULT AboutWindow::HandleOther(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == Item(A::HomePageLink)) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        case WM_PAINT:
            PaintSeparator();
            return 0;
        default:
            break;
    }
    return Default(message, wParam, lParam);
}

}  // namespace tolvane::win32
