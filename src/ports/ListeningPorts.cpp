#include "ports/ListeningPorts.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "system/Decimal.h"
#include "ui/ControlLayout.h"

namespace tolvane {
namespace {

using C = ControlId;
constexpr PortProtocol kTcp = PortProtocol::Tcp;
constexpr PortProtocol kUdp = PortProtocol::Udp;

// Where a label names the protocol, only that protocol; elsewhere both. From XP SP2 and on Server
// 2003 the UPnP host listens on 2869 through http.sys, for SSDP and UPnP together; SMB, file
// sharing, listens on 139 and 445.
constexpr std::array<PortSetting, 23> kPortSettings = {{
    {kTcp, 123, C::PortsLabel2},   {kUdp, 123, C::PortsLabel2},   {kTcp, 135, C::PortsLabel1},
    {kUdp, 135, C::PortsLabel1},   {kUdp, 137, C::PortsLabel3},   {kUdp, 138, C::PortsLabel3},
    {kTcp, 139, C::PortsLabel3},   {kTcp, 139, C::PartageLabel4}, {kTcp, 445, C::PortsLabel4},
    {kTcp, 445, C::PartageLabel4}, {kUdp, 500, C::PortsLabel5},   {kTcp, 1023, C::PortsLabel6},
    {kUdp, 1023, C::PortsLabel6},  {kTcp, 1024, C::PortsLabel7},  {kUdp, 1024, C::PortsLabel8},
    {kTcp, 1027, C::PortsLabel9},  {kUdp, 1027, C::PortsLabel9},  {kTcp, 1900, C::PortsLabel10},
    {kUdp, 1900, C::PortsLabel10}, {kTcp, 2869, C::PortsLabel10}, {kTcp, 2869, C::PortsLabel11},
    {kTcp, 5000, C::PortsLabel11}, {kUdp, 5000, C::PortsLabel11},
}};

std::wstring ProcessText(const ListeningPort& port) {
    if (!port.processId) {
        return port.processName;
    }
    const std::wstring id = Decimal(*port.processId);
    return port.processName.empty() ? L"pid " + id : port.processName + L" (" + id + L")";
}

PortRow RowOf(const ListeningPort& port) {
    const auto& a = port.address;
    return {port,
            port.protocol == kTcp ? L"TCP" : L"UDP",
            Decimal(a[0]) + L"." + Decimal(a[1]) + L"." + Decimal(a[2]) + L"." + Decimal(a[3]),
            Decimal(port.port),
            ProcessText(port),
            SettingThatCloses(port.protocol, port.port).value_or(L"")};
}

// ASCII is enough for process names here, and the C library's wide character functions are not
// imports Windows 2000 is known to have.
wchar_t Folded(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Without regard to case; an empty text after every other.
bool TextBefore(const std::wstring& a, const std::wstring& b) {
    if (a.empty() || b.empty()) {
        return !a.empty() && b.empty();
    }
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](wchar_t x, wchar_t y) { return Folded(x) < Folded(y); });
}

constexpr std::array<PortColumnInfo, kPortColumnCount> kColumns = {{
    {L"Protocol", &PortRow::protocol, 1200, false,
     [](const PortRow& a, const PortRow& b) { return a.port.protocol < b.port.protocol; }},
    {L"Local address", &PortRow::address, 1560, false,
     [](const PortRow& a, const PortRow& b) { return a.port.address < b.port.address; }},
    {L"Port", &PortRow::number, 840, true,
     [](const PortRow& a, const PortRow& b) { return a.port.port < b.port.port; }},
    {L"Process", &PortRow::process, 2280, false,
     [](const PortRow& a, const PortRow& b) { return TextBefore(a.process, b.process); }},
    {L"Tolvane setting", &PortRow::setting, 2820, false,
     [](const PortRow& a, const PortRow& b) { return TextBefore(a.setting, b.setting); }},
}};

constexpr wchar_t kGap[] = L"  ";

}  // namespace

std::span<const PortSetting> PortSettings() {
    return kPortSettings;
}

std::optional<std::wstring> SettingThatCloses(PortProtocol protocol, std::uint16_t port) {
    std::optional<std::wstring> captions;
    for (const PortSetting& setting : kPortSettings) {
        if (setting.protocol == protocol && setting.port == port) {
            captions =
                (captions ? *captions + kSettingSeparator : L"") + LayoutOf(setting.label).caption;
        }
    }
    return captions;
}

std::vector<PortRow> PortRows(std::vector<ListeningPort> ports) {
    std::sort(ports.begin(), ports.end(), [](const ListeningPort& a, const ListeningPort& b) {
        return std::tie(a.protocol, a.port, a.address, a.processId) <
               std::tie(b.protocol, b.port, b.address, b.processId);
    });
    std::vector<PortRow> rows;
    for (const ListeningPort& port : ports) {
        rows.push_back(RowOf(port));
    }
    return rows;
}

std::span<const PortColumnInfo> PortColumns() {
    return kColumns;
}

void SortPortRows(std::vector<PortRow>& rows, PortColumn column, bool descending) {
    const auto before = kColumns[static_cast<int>(column)].before;
    std::stable_sort(rows.begin(), rows.end(), [&](const PortRow& a, const PortRow& b) {
        return descending ? before(b, a) : before(a, b);
    });
}

std::wstring PortRowsText(const std::vector<PortRow>& rows, std::span<const std::size_t> which) {
    std::wstring text;
    for (const std::size_t index : which) {
        if (!text.empty()) {
            text += L"\r\n";
        }
        for (const PortColumnInfo& column : kColumns) {
            text += rows[index].*column.cell;
            text += &column == &kColumns.back() ? L"" : L"\t";
        }
    }
    return text;
}

std::vector<std::wstring> ListeningPortLines(std::vector<ListeningPort> ports) {
    // Protocol, address and port, process, setting.
    using Cells = std::array<std::wstring, 4>;
    std::vector<Cells> rows;
    for (const PortRow& row : PortRows(std::move(ports))) {
        rows.push_back({row.protocol, row.address + L":" + row.number, row.process, row.setting});
    }
    std::array<std::size_t, 3> widths{};
    for (const Cells& row : rows) {
        for (std::size_t column = 0; column < widths.size(); ++column) {
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    std::vector<std::wstring> lines;
    for (const Cells& row : rows) {
        std::wstring line;
        for (std::size_t column = 0; column < widths.size(); ++column) {
            // A column no line fills (the process on Windows 2000) takes no room.
            if (widths[column] > 0) {
                line += row[column] + std::wstring(widths[column] - row[column].size(), L' ');
                line += kGap;
            }
        }
        line += row[3];
        line.erase(line.find_last_not_of(L' ') + 1);
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace tolvane
