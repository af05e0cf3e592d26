// Reading and operating a list view of another process, through memory lent inside that process.
#include "Driver.h"
// After windows.h, which Driver.h brings.
#include <commctrl.h>

namespace tolvane::e2e {
namespace {

constexpr UINT kSendTimeoutMs = 10000;
constexpr int kTextChars = 512;

// A block of memory inside the process of a window, freed with this object.
class LentMemory {
  public:
    LentMemory(HWND window, SIZE_T size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_.reset(
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
        if (process_) {
            address_ = static_cast<BYTE*>(
                VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE));
        }
    }
    ~LentMemory() {
        if (address_) {
            VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
        }
    }
    LentMemory(const LentMemory&) = delete;
    LentMemory& operator=(const LentMemory&) = delete;

    explicit operator bool() const { return address_ != nullptr; }
    // The address in the other process of the byte at this offset.
    BYTE* At(SIZE_T offset) const { return address_ + offset; }
    bool Write(SIZE_T offset, const void* data, SIZE_T size) const {
        SIZE_T done = 0;
        return WriteProcessMemory(process_.get(), At(offset), data, size, &done) && done == size;
    }
    bool Read(SIZE_T offset, void* data, SIZE_T size) const {
        SIZE_T done = 0;
        return ReadProcessMemory(process_.get(), At(offset), data, size, &done) && done == size;
    }

  private:
    win32::UniqueHandle process_;
    BYTE* address_ = nullptr;
};

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs,
                               result) != 0;
}

HWND Header(HWND list) {
    DWORD_PTR header = 0;
    return Send(list, LVM_GETHEADER, 0, 0, &header) ? reinterpret_cast<HWND>(header) : nullptr;
}

int Count(HWND window, UINT message) {
    DWORD_PTR count = 0;
    return window && Send(window, message, 0, 0, &count) ? static_cast<int>(count) : 0;
}

// Sends a message whose lParam points to a structure (placed first) that points to a text
// buffer (placed after it), and reads the text back; `Fill` sets the structure up.
template <typename Structure, typename Fill>
std::wstring RemoteText(HWND window, UINT message, WPARAM wParam, Fill fill) {
    LentMemory memory(window, sizeof(Structure) + kTextChars * sizeof(wchar_t));
    if (!memory) {
        return {};
    }
    Structure structure{};
    fill(structure, reinterpret_cast<wchar_t*>(memory.At(sizeof(Structure))), kTextChars);
    const wchar_t none = L'\0';
    DWORD_PTR result = 0;
    wchar_t text[kTextChars] = {};
    if (!memory.Write(0, &structure, sizeof(structure)) ||
        !memory.Write(sizeof(Structure), &none, sizeof(none)) ||
        !Send(window, message, wParam, reinterpret_cast<LPARAM>(memory.At(0)), &result) ||
        !memory.Read(sizeof(Structure), text, sizeof(text))) {
        return {};
    }
    text[kTextChars - 1] = L'\0';
    return text;
}

}  // namespace

std::vector<std::wstring> ListViewHeadings(HWND list) {
    std::vector<std::wstring> headings;
    const int columns = Count(Header(list), HDM_GETITEMCOUNT);
    for (int column = 0; column < columns; ++column) {
        headings.push_back(RemoteText<LVCOLUMNW>(list, LVM_GETCOLUMNW, column,
                                                 [](LVCOLUMNW& info, wchar_t* text, int size) {
                                                     info.mask = LVCF_TEXT;
                                                     info.pszText = text;
                                                     info.cchTextMax = size;
                                                 }));
    }
    return headings;
}

std::vector<std::vector<std::wstring>> ListViewRows(HWND list) {
    const int columns = Count(Header(list), HDM_GETITEMCOUNT);
    std::vector<std::vector<std::wstring>> rows(Count(list, LVM_GETITEMCOUNT));
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < columns; ++column) {
            rows[row].push_back(RemoteText<LVITEMW>(
                list, LVM_GETITEMTEXTW, row, [column](LVITEMW& item, wchar_t* text, int size) {
                    item.iSubItem = column;
                    item.pszText = text;
                    item.cchTextMax = size;
                }));
        }
    }
    return rows;
}

bool SelectListViewRows(HWND list, std::initializer_list<int> rows) {
    LentMemory memory(list, sizeof(LVITEMW));
    if (!memory) {
        return false;
    }
    const auto select = [&](int row, bool selected) {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED;
        item.state = selected ? LVIS_SELECTED : 0;
        DWORD_PTR done = 0;
        return memory.Write(0, &item, sizeof(item)) &&
               Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                    reinterpret_cast<LPARAM>(memory.At(0)), &done) &&
               done != 0;
    };
    bool ok = select(-1, false);
    for (const int row : rows) {
        ok = select(row, true) && ok;
    }
    return ok;
}

bool ClickListViewHeading(HWND list, int column) {
    const HWND header = Header(list);
    LentMemory memory(header, sizeof(RECT));
    RECT place{};
    DWORD_PTR found = 0;
    if (!memory ||
        !Send(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(memory.At(0)), &found) ||
        !found || !memory.Read(0, &place, sizeof(place))) {
        return false;
    }
    const LPARAM middle =
        MAKELPARAM((place.left + place.right) / 2, (place.top + place.bottom) / 2);
    // Sent, not posted, so that the click has been taken up when the call returns.
    DWORD_PTR result = 0;
    return Send(header, WM_LBUTTONDOWN, MK_LBUTTON, middle, &result) &&
           Send(header, WM_LBUTTONUP, 0, middle, &result);
}

std::wstring ClipboardText() {
    if (!OpenClipboard(nullptr)) {
        return {};
    }
    std::wstring text;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace tolvane::e2e
