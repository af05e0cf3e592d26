// Reading and operating the main window's controls and the program's message boxes, with the
// same messages a user's clicks produce.
#include "Driver.h"

#include <dlgs.h>

namespace tolvane::e2e {

namespace {

// Long enough for a handler that waits on a command; short enough to fail instead of hanging.
constexpr UINT kSendTimeoutMs = 60000;
constexpr DWORD kPollMs = 20;
constexpr DWORD kAnswerTimeoutMs = 10000;

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs,
                               result) != 0;
}

}  // namespace

HWND Control(HWND main, ControlId id) {
    return GetDlgItem(main, DialogId(id));
}

bool Click(HWND main, ControlId id) {
    const HWND control = Control(main, id);
    DWORD_PTR result = 0;
    return control != nullptr && Send(control, BM_CLICK, 0, 0, &result);
}

// Sent without waiting rather than posted: sent messages keep their order, so a later WaitIdle
// can tell that the click has been taken up (see App::WaitIdle).
bool PostClick(HWND main, ControlId id) {
    const HWND control = Control(main, id);
    return control != nullptr && SendNotifyMessageW(control, BM_CLICK, 0, 0);
}

bool Menu(HWND main, MenuId id) {
    return SendNotifyMessageW(main, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
}

int CheckState(HWND main, ControlId id) {
    const HWND control = Control(main, id);
    DWORD_PTR state = 0;
    if (control == nullptr || !Send(control, BM_GETCHECK, 0, 0, &state)) {
        return -1;
    }
    return static_cast<int>(state);
}

bool Enabled(HWND main, ControlId id) {
    const HWND control = Control(main, id);
    return control != nullptr && IsWindowEnabled(control);
}

bool Visible(HWND main, ControlId id) {
    const HWND control = Control(main, id);
    return control != nullptr && IsWindowVisible(control);
}

std::wstring Text(HWND window) {
    DWORD_PTR length = 0;
    if (window == nullptr || !Send(window, WM_GETTEXTLENGTH, 0, 0, &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &copied)) {
        return {};
    }
    text.resize(copied < text.size() ? copied : length);
    return text;
}

std::wstring Text(HWND main, ControlId id) {
    return Text(Control(main, id));
}

RECT ClientRectOf(HWND main, ControlId id) {
    RECT rect{};
    const HWND control = Control(main, id);
    if (control != nullptr && GetWindowRect(control, &rect)) {
        MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

namespace {

// A font handle is private to the process that made it (GetObject fails on another's), so the
// program publishes what the tests need as window properties, which any process can read.
std::optional<LOGFONTW> OwnFont(HWND control) {
    DWORD_PTR font = 0;
    LOGFONTW logFont{};
    if (control == nullptr || !Send(control, WM_GETFONT, 0, 0, &font) || font == 0 ||
        GetObjectW(reinterpret_cast<HFONT>(font), sizeof(logFont), &logFont) == 0) {
        return std::nullopt;
    }
    return logFont;
}

}  // namespace

int FontWeight(HWND control) {
    if (control == nullptr) {
        return 0;
    }
    if (const HANDLE published = GetPropW(control, win32::kFontWeightProperty)) {
        return static_cast<int>(reinterpret_cast<INT_PTR>(published));
    }
    const std::optional<LOGFONTW> font = OwnFont(control);
    return font ? static_cast<int>(font->lfWeight) : 0;
}

int FontCentipoints(HWND control) {
    if (control == nullptr) {
        return 0;
    }
    if (const HANDLE published = GetPropW(control, win32::kFontCentipointsProperty)) {
        return static_cast<int>(reinterpret_cast<INT_PTR>(published));
    }
    const std::optional<LOGFONTW> font = OwnFont(control);
    const win32::WindowDc screen(nullptr);
    if (!font || font->lfHeight >= 0 || screen.get() == nullptr) {
        return 0;
    }
    return MulDiv(-font->lfHeight, 7200, GetDeviceCaps(screen.get(), LOGPIXELSY));
}

bool LabelIsBold(HWND main, ControlId id) {
    return FontWeight(Control(main, id)) >= FW_BOLD;
}

bool TextFits(HWND control, const wchar_t* face, int centipoints, bool bold, std::wstring* why) {
    RECT client{};
    if (control == nullptr || !GetClientRect(control, &client)) {
        return false;
    }
    const std::wstring text = Text(control);
    const win32::WindowDc screen(nullptr);
    LOGFONTW description{};
    description.lfHeight = -MulDiv(centipoints, GetDeviceCaps(screen.get(), LOGPIXELSY), 7200);
    description.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    description.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(description.lfFaceName, face, LF_FACESIZE);
    const win32::UniqueFont font(CreateFontIndirectW(&description));
    if (!font || screen.get() == nullptr) {
        return false;
    }
    const win32::Selection selected(screen.get(), font.get());
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    RECT needed{0, 0, client.right, 0};
    DrawTextW(
        screen.get(), text.c_str(), static_cast<int>(text.size()), &needed,
        DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0));
    const bool fits = needed.right <= client.right && needed.bottom <= client.bottom;
    if (!fits && why) {
        *why = L"needs " + std::to_wstring(needed.right) + L"x" + std::to_wstring(needed.bottom) +
               L" pixels, has " + std::to_wstring(client.right) + L"x" +
               std::to_wstring(client.bottom);
    }
    return fits;
}

std::wstring Title(HWND window) {
    return Text(window);
}

std::wstring MessageBoxText(HWND box) {
    // The text of a message box is its Static child with id 65535 (0xFFFF).
    return Text(GetDlgItem(box, 0xFFFF));
}

bool HasButton(HWND box, int buttonId) {
    return GetDlgItem(box, buttonId) != nullptr;
}

int DefaultButton(HWND box) {
    // Wine's message box marks its default button by style, without DM_SETDEFID.
    for (int id = IDOK; id <= IDNO; ++id) {
        const HWND button = GetDlgItem(box, id);
        if (button && (GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            return id;
        }
    }
    return 0;
}

namespace {

// A click only marks a modal box as ended (and hides it); the box is destroyed once its modal
// loop has ended, and only then does the program go on with the answer. Waiting for that keeps a
// following WaitIdle from seeing the moment in between as idle.
bool WaitGone(HWND box) {
    for (DWORD start = GetTickCount(); IsWindow(box); Sleep(kPollMs)) {
        if (GetTickCount() - start > kAnswerTimeoutMs) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool Answer(HWND box, int buttonId) {
    const HWND button = GetDlgItem(box, buttonId);
    DWORD_PTR result = 0;
    return button != nullptr && Send(button, BM_CLICK, 0, 0, &result) && WaitGone(box);
}

bool ChooseFile(HWND dialog, const std::wstring& path) {
    // The name field: the combo box of the Explorer-style dialog, or the edit box of the classic
    // one.
    HWND field = GetDlgItem(dialog, cmb13);
    if (field == nullptr) {
        field = GetDlgItem(dialog, edt1);
    }
    DWORD_PTR result = 0;
    // Posted: the dialog's answer to OK may show a box of its own, which a sent message would
    // wait for.
    return field != nullptr &&
           Send(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), &result) &&
           PostMessageW(dialog, WM_COMMAND, IDOK, 0) && WaitGone(dialog);
}

}  // namespace tolvane::e2e
