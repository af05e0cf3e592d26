#include "ports/PortBoxes.h"

#include <algorithm>
#include <array>

#include "model/ControlLayout.h"
#include "model/SettingBoxes.h"
#include "system/AsciiCase.h"
#include "system/Decimal.h"

namespace tolvane {
namespace {

using C = ControlId;
constexpr PortProtocol kTcp = PortProtocol::Tcp;
constexpr PortProtocol kUdp = PortProtocol::Udp;

// A port that one of the main window's boxes closes.
struct PortSetting {
    PortProtocol protocol;
    std::uint16_t port;
    C box;
};

// Where a box's label names the protocol, only that protocol; elsewhere both. From XP SP2 and on
// Server 2003 the UPnP host listens on 2869 through http.sys, for SSDP and UPnP together; SMB, file
// sharing, listens on 139 and 445.
constexpr std::array<PortSetting, 23> kPortSettings = {{
    {kTcp, 123, C::Port123Box},      {kUdp, 123, C::Port123Box},
    {kTcp, 135, C::Port135Box},      {kUdp, 135, C::Port135Box},
    {kUdp, 137, C::NetBiosPortsBox}, {kUdp, 138, C::NetBiosPortsBox},
    {kTcp, 139, C::NetBiosPortsBox}, {kTcp, 139, C::FolderSharingBox},
    {kTcp, 445, C::Port445Box},      {kTcp, 445, C::FolderSharingBox},
    {kUdp, 500, C::Port500Box},      {kTcp, 1023, C::Port1023Box},
    {kUdp, 1023, C::Port1023Box},    {kTcp, 1024, C::Port1024TcpBox},
    {kUdp, 1024, C::Port1024UdpBox}, {kTcp, 1027, C::Port1027Box},
    {kUdp, 1027, C::Port1027Box},    {kTcp, 1900, C::Port1900Box},
    {kUdp, 1900, C::Port1900Box},    {kTcp, 2869, C::Port1900Box},
    {kTcp, 2869, C::Port5000Box},    {kTcp, 5000, C::Port5000Box},
    {kUdp, 5000, C::Port5000Box},
}};

// The service whose process alone ties a port to the box; none for SMB, which the System process
// serves.
struct PortBox {
    C box;
    const wchar_t* service;
};
constexpr PortBox kPortBoxes[] = {
    {C::Port135Box, L"RpcSs"},        {C::Port123Box, L"W32Time"},
    {C::NetBiosPortsBox, L"LmHosts"}, {C::Port445Box, nullptr},
    {C::Port500Box, L"PolicyAgent"},  {C::Port1023Box, L"MSDTC"},
    {C::Port1024TcpBox, L"Schedule"}, {C::Port1024UdpBox, L"Dnscache"},
    {C::Port1027Box, L"Messenger"},   {C::Port1900Box, L"SSDPSRV"},
    {C::Port5000Box, L"upnphost"},    {C::FolderSharingBox, L"lanmanserver"},
};

// The System process is 4 from XP on (8 on Windows 2000, which names no process of a port).
constexpr std::uint32_t kSystemProcess = 4;

std::vector<C> ByNumber(const ListeningPort& port) {
    std::vector<C> boxes;
    for (const PortSetting& setting : kPortSettings) {
        if (setting.protocol == port.protocol && setting.port == port.port) {
            boxes.push_back(setting.box);
        }
    }
    return boxes;
}

// The caption of the box's label, as designed.
const wchar_t* CaptionOf(C box) {
    return LayoutOf(LabelOf(box)).caption;
}

}  // namespace

std::vector<C> BoxesOfPort(const ListeningPort& port, const RunningServices& services) {
    if (!port.processId || !services) {
        return ByNumber(port);
    }
    std::vector<const RunningService*> inProcess;
    for (const RunningService& service : *services) {
        if (service.processId == *port.processId) {
            inProcess.push_back(&service);
        }
    }
    if (inProcess.size() == 1) {
        for (const PortBox& box : kPortBoxes) {
            if (box.service && SameIgnoringCase(inProcess.front()->name, box.service)) {
                return {box.box};
            }
        }
        return {};
    }
    const bool system =
        *port.processId == kSystemProcess || SameIgnoringCase(port.processName, L"System");
    return inProcess.size() > 1 || system ? ByNumber(port) : std::vector<C>{};
}

std::vector<StillListening> InForceButListening(std::span<const ListeningPort> ports,
                                                const RunningServices& services,
                                                const std::function<bool(C)>& inForce) {
    std::vector<ListeningPort> sorted(ports.begin(), ports.end());
    std::sort(sorted.begin(), sorted.end(),
              [](const ListeningPort& a, const ListeningPort& b) { return a.port < b.port; });
    std::vector<StillListening> found;
    for (const ListeningPort& port : sorted) {
        for (C box : BoxesOfPort(port, services)) {
            if (!inForce(box)) {
                continue;
            }
            auto entry = std::find_if(found.begin(), found.end(),
                                      [box](const StillListening& e) { return e.box == box; });
            if (entry == found.end()) {
                found.push_back({box, {}});
                entry = found.end() - 1;
            }
            if (entry->ports.empty() || entry->ports.back() != port.port) {
                entry->ports.push_back(port.port);
            }
        }
    }
    return found;
}

std::wstring StillListensNote(std::span<const std::uint16_t> ports) {
    std::wstring numbers;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        if (i > 0) {
            numbers += i + 1 == ports.size() ? L" and " : L", ";
        }
        numbers += Decimal(ports[i]);
    }
    return ports.size() == 1 ? L"in force, but port " + numbers + L" still listens"
                             : L"in force, but ports " + numbers + L" still listen";
}

std::wstring PortSettingsText(const ListeningPort& port, const RunningServices& services,
                              const std::function<bool(C)>& inForce) {
    std::wstring text;
    for (C box : BoxesOfPort(port, services)) {
        if (!text.empty()) {
            text += kSettingSeparator;
        }
        text += CaptionOf(box);
        if (inForce && inForce(box)) {
            const std::uint16_t number = port.port;
            text += L" (" + StillListensNote({&number, 1}) + L")";
        }
    }
    return text;
}

}  // namespace tolvane
