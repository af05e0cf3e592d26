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

// Protocol, address and port, process, setting.
using Cells = std::array<std::wstring, 4>;
constexpr std::array<const wchar_t*, 4> kHeading = {L"Protocol", L"Local address", L"Process",
                                                    L"Tolvane setting"};
constexpr wchar_t kGap[] = L"  ";

std::wstring ProcessText(const ListeningPort& port) {
    if (!port.processId) {
        return port.processName;
    }
    const std::wstring id = Decimal(*port.processId);
    return port.processName.empty() ? L"pid " + id : port.processName + L" (" + id + L")";
}

Cells CellsOf(const ListeningPort& port) {
    const auto& a = port.address;
    return {port.protocol == kTcp ? L"TCP" : L"UDP",
            Decimal(a[0]) + L"." + Decimal(a[1]) + L"." + Decimal(a[2]) + L"." + Decimal(a[3]) +
                L":" + Decimal(port.port),
            ProcessText(port), SettingThatCloses(port.protocol, port.port).value_or(L"")};
}

std::vector<std::wstring> Lines(std::vector<ListeningPort> ports, bool heading) {
    std::sort(ports.begin(), ports.end(), [](const ListeningPort& a, const ListeningPort& b) {
        return std::tie(a.protocol, a.port, a.address, a.processId) <
               std::tie(b.protocol, b.port, b.address, b.processId);
    });
    std::vector<Cells> rows;
    if (heading) {
        rows.push_back({kHeading[0], kHeading[1], kHeading[2], kHeading[3]});
    }
    for (const ListeningPort& port : ports) {
        rows.push_back(CellsOf(port));
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

std::vector<std::wstring> ListeningPortLines(std::vector<ListeningPort> ports) {
    return Lines(std::move(ports), false);
}

std::vector<std::wstring> ListeningPortTable(std::vector<ListeningPort> ports) {
    return Lines(std::move(ports), true);
}

}  // namespace tolvane
