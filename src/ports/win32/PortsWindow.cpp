#include "ports/win32/PortsWindow.h"

#include <cstring>
#include <vector>

#include "system/win32/Handles.h"

namespace tolvane::win32 {
namespace {

using P = PortsControlId;

// Puts the text on the clipboard as Unicode text; the clipboard owns the memory once it took it.
void CopyToClipboard(HWND owner, const std::wstring& text) {
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    void* target = memory ? GlobalLock(memory.get()) : nullptr;
    if (!target) {
        return;
    }
    std::memcpy(target, text.c_str(), bytes);
    GlobalUnlock(memory.get());
    if (!OpenClipboard(owner)) {
        return;
    }
    EmptyClipboard();
    if (SetClipboardData(CF_UNICODETEXT, memory.get())) {
        memory.release();
    }
    CloseClipboard();
}

}  // namespace

PortsWindow::PortsWindow(const SmallWindowSetup& setup, System& system,
                         std::function<bool(ControlId)> inForce)
    : SmallWindowBase(setup, kPortsDesign), controller_(system, std::move(inForce)) {}

bool PortsWindow::Create(HWND owner) {
    if (!CreateWithControls(owner)) {
        return false;
    }
    const HWND list = Item(P::PortList);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    AddColumns();
    controller_.Refresh();
    ShowList();
    ShowWithFocusOn(Item(P::CloseButton));
    return true;
}

void PortsWindow::AddColumns() {
    const std::span<const PortColumnInfo> columns = PortColumns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = columns[i].numeric ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = TwipsToPixels(columns[i].widthTwips, dpi_);
        column.pszText = const_cast<wchar_t*>(columns[i].heading);
        column.iSubItem = static_cast<int>(i);
        SendMessageW(Item(P::PortList), LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

// Item i of the list is row i of the controller, in its order.
void PortsWindow::ShowList() {
    const HWND list = Item(P::PortList);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    const std::vector<PortRow>& rows = controller_.Rows();
    const std::span<const PortColumnInfo> columns = PortColumns();
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (std::size_t column = 0; column < columns.size(); ++column) {
            std::wstring text = rows[row].*columns[column].cell;
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(row);
            item.iSubItem = static_cast<int>(column);
            item.pszText = text.data();
            SendMessageW(list, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW,
                         column == 0 ? 0 : row, reinterpret_cast<LPARAM>(&item));
        }
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    ShowSortArrow();
}

// Version 6 of the common controls draws the arrow; 5.8 (Windows 2000) leaves these bits alone.
void PortsWindow::ShowSortArrow() {
    const HWND header =
        reinterpret_cast<HWND>(SendMessageW(Item(P::PortList), LVM_GETHEADER, 0, 0));
    for (int column = 0; column < kPortColumnCount; ++column) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (column == static_cast<int>(controller_.SortColumn())) {
            item.fmt |= controller_.Descending() ? HDF_SORTDOWN : HDF_SORTUP;
        }
        SendMessageW(header, HDM_SETITEMW, column, reinterpret_cast<LPARAM>(&item));
    }
}

void PortsWindow::CopySelectedRows() {
    const HWND list = Item(P::PortList);
    std::vector<std::size_t> selected;
    for (LRESULT item = -1;
         (item = SendMessageW(list, LVM_GETNEXTITEM, item, LVNI_SELECTED)) != -1;) {
        selected.push_back(static_cast<std::size_t>(item));
    }
    if (!selected.empty()) {
        CopyToClipboard(window_, controller_.CopyText(selected));
    }
}

// The ports Tolvane has a setting for are drawn in bold.
LRESULT PortsWindow::MarkRowsOfSettings(const NMLVCUSTOMDRAW& draw) {
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
        return CDRF_NOTIFYITEMDRAW;
    }
    const std::size_t row = draw.nmcd.dwItemSpec;
    if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT && row < controller_.Rows().size() &&
        !controller_.Rows()[row].setting.empty()) {
        SelectObject(draw.nmcd.hdc, fonts_.Get(kDefaultCentipoints, true));
        return CDRF_NEWFONT;
    }
    return CDRF_DODEFAULT;
}

void PortsWindow::Press(int index) {
    if (!controller_.Click(static_cast<P>(index))) {
        Close();
        return;
    }
    ShowList();
}

LRESULT PortsWindow::HandleOther(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* notice = reinterpret_cast<const NMHDR*>(lParam);
    if (message != WM_NOTIFY || notice->hwndFrom != Item(P::PortList)) {
        return Default(message, wParam, lParam);
    }
    switch (notice->code) {
        case LVN_COLUMNCLICK: {
            const int column = reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem;
            if (column >= 0 && column < kPortColumnCount) {
                controller_.SortBy(static_cast<PortColumn>(column));
                ShowList();
            }
            return 0;
        }
        case LVN_KEYDOWN:
            if (reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey == 'C' &&
                GetKeyState(VK_CONTROL) < 0) {
                CopySelectedRows();
            }
            return 0;
        case NM_CUSTOMDRAW:
            return MarkRowsOfSettings(*reinterpret_cast<const NMLVCUSTOMDRAW*>(lParam));
        default:
            return Default(message, wParam, lParam);
    }
}

}  // namespace tolvane::win32
