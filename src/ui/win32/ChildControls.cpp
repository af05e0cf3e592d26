#include "ui/win32/ChildControls.h"

namespace tolvane::win32 {
namespace {

struct ChildClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

ChildClass ClassOf(ControlKind kind, bool centred) {
    switch (kind) {
        case ControlKind::Picture:
            return {L"STATIC", SS_BITMAP, 0};
        case ControlKind::Label:
            return {L"STATIC", static_cast<DWORD>((centred ? SS_CENTER : SS_LEFT) | SS_NOPREFIX),
                    0};
        case ControlKind::TextBox:
            return {L"EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
                    WS_EX_CLIENTEDGE};
        case ControlKind::Button:
            return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
        case ControlKind::Frame:
            // Never painted over the labels that lie on it.
            return {L"BUTTON", BS_GROUPBOX | WS_CLIPSIBLINGS, 0};
        case ControlKind::CheckBox:
            return {L"BUTTON", BS_CHECKBOX | WS_TABSTOP, 0};
        case ControlKind::ListView:
            // Comctl32 5.8 of Windows 2000 has the report view too.
            return {WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP, WS_EX_CLIENTEDGE};
    }
    return {L"STATIC", 0, 0};
}

}  // namespace

HWND CreateChildControl(HWND parent, ControlKind kind, bool centred, const wchar_t* caption,
                        const TwipRect& place, int dpi, int id, DWORD extraStyle) {
    const ChildClass childClass = ClassOf(kind, centred);
    const HWND child = CreateWindowExW(
        childClass.exStyle, childClass.className, caption,
        WS_CHILD | WS_VISIBLE | childClass.style | extraStyle, TwipsToPixels(place.left, dpi),
        TwipsToPixels(place.top, dpi), TwipsToPixels(place.width, dpi),
        TwipsToPixels(place.height, dpi), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (child && kind == ControlKind::Frame) {
        // Frames go under the labels drawn inside them.
        SetWindowPos(child, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return child;
}

}  // namespace tolvane::win32
