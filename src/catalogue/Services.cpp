#include "catalogue/Services.h"

#include <algorithm>
#include <array>
#include <set>
#include <span>
#include <string>

#include "catalogue/Port135.h"
#include "system/SystemInfo.h"

namespace tolvane {
namespace {

using C = ControlId;

// What applying a box does to the restart flag.
enum class Restart {
    Leaves,
    Clears,  // the service stopped at once: nothing waits for a restart
    Sets,    // a value Windows reads only when it starts; stays set whatever follows
};

struct ServiceRow {
    C box;
    // The service's start type, disabled when the box is applied ticked; it exists only while the
    // service is installed. Null for the SMB box, which switches no service.
    const wchar_t* start;
    const wchar_t* command;  // started when the box is applied ticked
    Restart restart;
    // Port 135 may be closed only while this box is ticked or its service absent.
    bool keepsPort135Open = true;
};

// NetBIOS over TCP/IP holds ports 137 to 139 (KB 204279). It is switched per network interface:
// each key under this one has the value NetbiosOptions, 2 for off, 1 for on and 0 for what DHCP
// says (Microsoft's unattended-setup reference "NetbiosOptions", written for Windows Vista and
// later). Windows' own 0 leaves it on wherever DHCP does not turn it off.
constexpr wchar_t kNetbtInterfaces[] =
    L"SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters\\Interfaces";

// Catalogue rows hold their paths for as long as the program runs; the interfaces' paths are
// kept here, once each, for the same time.
const wchar_t* LastingPath(std::wstring path) {
    static std::set<std::wstring> paths;
    return paths.insert(std::move(path)).first->c_str();
}

// One row per interface the machine has now.
void AddNetbiosRows(Reg& reg, std::vector<HardeningSetting>& rows) {
    for (const std::wstring& name : reg.SubkeyNames(kHklm, kNetbtInterfaces)) {
        rows.push_back(MakeSetting(
            C::NetBiosPortsBox,
            LastingPath(std::wstring(kNetbtInterfaces) + L"\\" + name + L"\\NetbiosOptions"), L"2",
            WriteOnUndo(L"0")));
    }
}

// In the order in which the group applies its boxes.
constexpr ServiceRow kServiceRows[] = {
    {C::NetBiosPortsBox, L"SYSTEM\\CurrentControlSet\\Services\\LmHosts\\Start",
     L"net stop lmhosts", Restart::Sets},
    {C::Port123Box, L"SYSTEM\\CurrentControlSet\\Services\\W32Time\\Start", L"net stop W32Time",
     Restart::Clears},
    {C::Port500Box, L"SYSTEM\\CurrentControlSet\\Services\\PolicyAgent\\Start",
     L"net stop policyagent", Restart::Leaves},
    {C::Port5000Box, L"SYSTEM\\CurrentControlSet\\Services\\upnphost\\Start", L"net stop upnphost",
     Restart::Leaves},
    {C::Port1900Box, L"SYSTEM\\CurrentControlSet\\Services\\SSDPSRV\\Start", nullptr,
     Restart::Leaves, false},
    {C::Port1024TcpBox, L"System\\CurrentControlSet\\Services\\Schedule\\Start",
     L"net stop Schedule", Restart::Clears},
    {C::Port1024UdpBox, L"SYSTEM\\CurrentControlSet\\Services\\Dnscache\\Start",
     L"net stop Dnscache", Restart::Clears},
    {C::Port1023Box, L"SYSTEM\\CurrentControlSet\\Services\\MSDTC\\Start", L"net stop msdtc",
     Restart::Clears},
    {C::Port1027Box, L"System\\CurrentControlSet\\Services\\Messenger\\Start",
     L"net stop messenger", Restart::Clears},
    {C::Port445Box, nullptr, nullptr, Restart::Leaves},
};

// The values a box sets beside its service's start type, after it in apply order.
constexpr HardeningSetting kOtherRows[] = {
    MakeSetting(C::Port1024UdpBox,
                L"SYSTEM\\CurrentControlSet\\Services\\Dnscache\\Parameters\\MaxCachedSockets",
                L"0", kDeleteOnUndo),
    MakeSetting(C::Port445Box,
                L"SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters\\SmbDeviceEnabled", L"0",
                kDeleteOnUndo),
};

const ServiceRow& RowOf(C box) {
    return *std::find_if(std::begin(kServiceRows), std::end(kServiceRows),
                         [box](const ServiceRow& row) { return row.box == box; });
}

// The order in which the routines treat the boxes: enabling them, looking for their services,
// clearing them, ticking them all and the port 135 box's reaction. Each box's reaction runs when
// it is reached, so the order shows.
constexpr std::array<C, 10> kRoutineOrder = {
    C::NetBiosPortsBox, C::Port445Box,  C::Port1024TcpBox, C::Port123Box,     C::Port500Box,
    C::Port1900Box,     C::Port5000Box, C::Port1023Box,    C::Port1024UdpBox, C::Port1027Box};
// The order in which the group checks its boxes.
constexpr std::array<C, 10> kVerifyOrder = {
    C::Port123Box,  C::Port500Box,     C::Port5000Box, C::Port1900Box, C::Port1024TcpBox,
    C::Port1027Box, C::Port1024UdpBox, C::Port1023Box, C::Port445Box,  C::NetBiosPortsBox};

// Port 135 first, then the others in routine order.
std::vector<C> ClearOrder() {
    std::vector<C> boxes{C::Port135Box};
    boxes.insert(boxes.end(), kRoutineOrder.begin(), kRoutineOrder.end());
    return boxes;
}

// The box's rows as the machine has them now, in apply order.
std::vector<HardeningSetting> SettingsOf(Reg& reg, const ServiceRow& row) {
    std::vector<HardeningSetting> rows;
    if (row.start) {
        rows.push_back(MakeSetting(row.box, row.start, L"4", kRestoreOnUndo));
    }
    for (const HardeningSetting& other : kOtherRows) {
        if (other.box == row.box) {
            rows.push_back(other);
        }
    }
    if (row.box == C::NetBiosPortsBox) {
        AddNetbiosRows(reg, rows);
    }
    return rows;
}

}  // namespace

std::span<const ControlId> ServiceRoutineOrder() {
    return kRoutineOrder;
}

std::vector<HardeningSetting> ServiceSettings(Reg& reg) {
    std::vector<HardeningSetting> rows;
    for (const ServiceRow& row : kServiceRows) {
        const std::vector<HardeningSetting> settings = SettingsOf(reg, row);
        rows.insert(rows.end(), settings.begin(), settings.end());
    }
    return rows;
}

bool ServiceBoxInstalled(Reg& reg, ControlId box) {
    const wchar_t* start = RowOf(box).start;
    return !start || reg.ReadText(kHklm, start).has_value();
}

void EnableInstalledServiceBoxes(MainWindowState& state, Machine& machine) {
    for (C box : kRoutineOrder) {
        state.controls.SetEnabled(box, true);
    }
    for (C box : kRoutineOrder) {
        if (!ServiceBoxInstalled(machine.reg, box)) {
            state.controls.SetEnabled(box, false);
        }
    }
}

void Port135BoxChanged(MainWindowState& state, Machine& machine) {
    if (state.controls.Ticked(C::Port135Box)) {
        for (C box : kRoutineOrder) {
            state.controls.SetEnabled(box, false);
        }
    } else {
        EnableInstalledServiceBoxes(state, machine);
    }
}

void VerifyServices(MainWindowState& state, Machine& machine) {
    Controls& controls = state.controls;
    const std::vector<C> clearOrder = ClearOrder();
    for (C box : clearOrder) {
        controls.SetValue(box, BoxValue::Cleared);
    }
    {
        // Each box from the machine alone: ticking SSDP as read must not tick UPnP.
        Controls::ReadingScope reading(controls);
        for (C box : kVerifyOrder) {
            if (!controls.Enabled(box)) {
                continue;
            }
            const ServiceRow& row = RowOf(box);
            const std::vector<HardeningSetting> settings = SettingsOf(machine.reg, row);
            bool inForce = true;
            // The two-row box checks its second row first.
            for (auto it = settings.rbegin(); it != settings.rend(); ++it) {
                inForce = IsInForce(machine, *it) && inForce;
            }
            if (inForce) {
                controls.SetValue(box, BoxValue::Ticked);
            }
            BoldLabelWhileCleared(state, box);
        }
    }
    const bool gateClosed =
        std::all_of(std::begin(kServiceRows), std::end(kServiceRows), [&](const ServiceRow& row) {
            return !row.keepsPort135Open || controls.Ticked(row.box) || !controls.Enabled(row.box);
        });
    if (state.unavailableHere.count(C::Port135Box)) {
        controls.SetEnabled(C::Port135Box, false);
    } else if (gateClosed) {
        controls.SetEnabled(C::Port135Box, true);
        controls.SetValue(C::Port135Box,
                          IsPort135Closed(machine) ? BoxValue::Ticked : BoxValue::Cleared);
        BoldLabelWhileCleared(state, C::Port135Box);
    } else {
        // Port 135 must be open while any of the nine is: the box stays cleared.
        controls.SetEnabled(C::Port135Box, false);
    }
    for (C box : clearOrder) {
        state.VerifiedValue(box) = controls.Value(box);
    }
}

GroupResult ApplyServices(MainWindowState& state, Machine& machine) {
    Controls& controls = state.controls;
    state.restartNeeded = true;
    bool restartSet = false;
    for (const ServiceRow& row : kServiceRows) {
        const C box = row.box;
        if (!state.ChangedSinceVerify(box)) {
            continue;
        }
        const BoxValue value = controls.Value(box);
        if (value == BoxValue::Ticked && row.command) {
            StartWithoutWaiting(machine.system, row.command, WindowStyle::Minimized);
        }
        if (WriteResult failure = ApplyBoxSettings(machine, SettingsOf(machine.reg, row), value)) {
            std::vector<C> order;
            for (const ServiceRow& next : kServiceRows) {
                order.push_back(next.box);
            }
            return StoppedAt(state, box, std::move(*failure), order);
        }
        if (row.restart == Restart::Clears) {
            state.restartNeeded = false;
        }
        restartSet = restartSet || row.restart == Restart::Sets;
    }
    state.restartNeeded = state.restartNeeded || restartSet;
    // Never an import where DCOM cannot be switched off, whatever the box holds.
    if (state.ChangedSinceVerify(C::Port135Box) && !state.unavailableHere.count(C::Port135Box)) {
        if (controls.Ticked(C::Port135Box)) {
            ClosePort135(state, machine);
        } else {
            OpenPort135(machine);
        }
    }
    controls.SetValue(C::SelectAllServicesBox, BoxValue::Cleared);
    return std::nullopt;
}

}  // namespace tolvane
