#include "ports/ListeningPorts.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "model/ControlLayout.h"
#include "system/AsciiCase.h"
#include "system/Decimal.h"

namespace tolvane {
namespace {

constexpr PortProtocol kTcp = PortProtocol::Tcp;

std::wstring ProcessText(const ListeningPort& port) {
    if (!port.processId) {
        return port.processName;
    }
    const std::wstring id = Decimal(*port.processId);
    return port.processName.empty() ? L"pid " + id : port.processName + L" (" + id + L")";
}

PortRow RowOf(const ListeningPort& port, const RunningServices& services,
              const std::function<bool(ControlId)>& inForce) {
    const auto& a = port.address;
    return {port,
            port.protocol == kTcp ? L"TCP" : L"UDP",
            Decimal(a[0]) + L"." + Decimal(a[1]) + L"." + Decimal(a[2]) + L"." + Decimal(a[3]),
            Decimal(port.port),
            ProcessText(port),
            PortSettingsText(port, services, inForce)};
}

// Without regard to case; an empty text after every other.
bool TextBefore(const std::wstring& a, const std::wstring& b) {
    if (a.empty() || b.empty()) {
        return !a.empty() && b.empty();
    }
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [](wchar_t x, wchar_t y) { return AsciiLower(x) < AsciiLower(y); });
}

constexpr std::array<PortColumnInfo, kPortColumnCount> kColumns = {{
    {L"Protocol", &PortRow::protocol, 1100, false,
     [](const PortRow& a, const PortRow& b) { return a.port.protocol < b.port.protocol; }},
    {L"Local address", &PortRow::address, 1500, false,
     [](const PortRow& a, const PortRow& b) { return a.port.address < b.port.address; }},
    {L"Port", &PortRow::number, 800, true,
     [](const PortRow& a, const PortRow& b) { return a.port.port < b.port.port; }},
    {L"Process", &PortRow::process, 2000, false,
     [](const PortRow& a, const PortRow& b) { return TextBefore(a.process, b.process); }},
    {L"Tolvane setting", &PortRow::setting, 4700, false,
     [](const PortRow& a, const PortRow& b) { return TextBefore(a.setting, b.setting); }},
}};

constexpr wchar_t kGap[] = L"  ";

}  // namespace

std::vector<PortRow> PortRows(std::vector<ListeningPort> ports, const RunningServices& services,
                              const std::function<bool(ControlId)>& inForce) {
    std::sort(ports.begin(), ports.end(), [](const ListeningPort& a, const ListeningPort& b) {
        return std::tie(a.protocol, a.port, a.address, a.processId) <
               std::tie(b.protocol, b.port, b.address, b.processId);
    });
    std::vector<PortRow> rows;
    for (const ListeningPort& port : ports) {
        rows.push_back(RowOf(port, services, inForce));
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

std::vector<std::wstring> ListeningPortLines(std::vector<ListeningPort> ports,
                                             const RunningServices& services) {
    // Protocol, address and port, process, setting.
    using Cells = std::array<std::wstring, 4>;
    std::vector<Cells> rows;
    for (const PortRow& row : PortRows(std::move(ports), services)) {
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
