#include "system/win32/PortTable.h"

#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <cstring>
#include <map>
#include <string>

#include "system/win32/Handles.h"
#include "system/win32/OnDemand.h"

namespace tolvane::win32 {
namespace {

constexpr ULONG kIpv4 = 2;        // AF_INET, without the socket headers
constexpr int kTcpListeners = 3;  // TCP_TABLE_OWNER_PID_LISTENER
constexpr int kUdpWithOwner = 1;  // UDP_TABLE_OWNER_PID

// Calls `read(buffer, &size)` with a larger buffer while the table does not fit: it may grow
// between two calls.
template <typename Read>
std::optional<std::vector<DWORD>> ReadSized(Read read) {
    DWORD size = 16 * 1024;
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::vector<DWORD> buffer(size / sizeof(DWORD) + 1);
        DWORD given = static_cast<DWORD>(buffer.size() * sizeof(DWORD));
        const DWORD result = read(buffer.data(), &given);
        if (result == NO_ERROR) {
            return buffer;
        }
        if (result != ERROR_INSUFFICIENT_BUFFER) {
            return std::nullopt;
        }
        size = given + given / 2;
    }
    return std::nullopt;
}

template <typename Table>
std::vector<ListeningPort> PortsOf(const Table& table, PortProtocol protocol) {
    std::vector<ListeningPort> ports;
    for (DWORD i = 0; i < table.dwNumEntries; ++i) {
        const auto& row = table.table[i];
        // A UDP row has no state: every one is a bound port.
        if constexpr (requires { row.dwState; }) {
            if (row.dwState != MIB_TCP_STATE_LISTEN) {
                continue;
            }
        }
        ListeningPort port;
        port.protocol = protocol;
        // Both in network byte order: the address's bytes as written, the port in the first two
        // bytes, high byte first.
        std::memcpy(port.address.data(), &row.dwLocalAddr, port.address.size());
        BYTE portBytes[sizeof(row.dwLocalPort)];
        std::memcpy(portBytes, &row.dwLocalPort, sizeof(portBytes));
        port.port = static_cast<std::uint16_t>(portBytes[0] << 8 | portBytes[1]);
        // Process 0, the idle process, owns no port: Wine gives it where it does not know the
        // owner.
        if constexpr (requires { row.dwOwningPid; }) {
            if (row.dwOwningPid != 0) {
                port.processId = row.dwOwningPid;
            }
        }
        ports.push_back(port);
    }
    return ports;
}

// XP's tables from the stack have the rows of the later extended tables.
template <typename Buffer>
std::vector<ListeningPort> PortsWithOwners(const Buffer* table, PortProtocol protocol) {
    return protocol == PortProtocol::Tcp
               ? PortsOf(*reinterpret_cast<const MIB_TCPTABLE_OWNER_PID*>(table), protocol)
               : PortsOf(*reinterpret_cast<const MIB_UDPTABLE_OWNER_PID*>(table), protocol);
}

std::optional<std::vector<ListeningPort>> FromExtended(PortProtocol protocol) {
    const bool tcp = protocol == PortProtocol::Tcp;
    const auto read = ondemand::ExtendedTable(tcp);
    if (!read) {
        return std::nullopt;
    }
    const auto buffer = ReadSized([&](DWORD* table, DWORD* size) {
        return read(table, size, FALSE, kIpv4, tcp ? kTcpListeners : kUdpWithOwner, 0);
    });
    if (!buffer) {
        return std::nullopt;
    }
    return PortsWithOwners(buffer->data(), protocol);
}

std::optional<std::vector<ListeningPort>> FromStack(PortProtocol protocol) {
    const auto read = ondemand::TableFromStack(protocol == PortProtocol::Tcp);
    UniqueHeapBlock table;
    if (!read || read(table.put(), FALSE, GetProcessHeap(), 0, kIpv4) != NO_ERROR || !table) {
        return std::nullopt;
    }
    return PortsWithOwners(table.get(), protocol);
}

std::optional<std::vector<ListeningPort>> FromBasic(PortProtocol protocol) {
    if (protocol == PortProtocol::Tcp) {
        const auto buffer = ReadSized([](DWORD* table, DWORD* size) {
            return ondemand::GetTcpTable(reinterpret_cast<MIB_TCPTABLE*>(table), size, FALSE);
        });
        if (!buffer) {
            return std::nullopt;
        }
        return PortsOf(*reinterpret_cast<const MIB_TCPTABLE*>(buffer->data()), protocol);
    }
    const auto buffer = ReadSized([](DWORD* table, DWORD* size) {
        return ondemand::GetUdpTable(reinterpret_cast<MIB_UDPTABLE*>(table), size, FALSE);
    });
    if (!buffer) {
        return std::nullopt;
    }
    return PortsOf(*reinterpret_cast<const MIB_UDPTABLE*>(buffer->data()), protocol);
}

// The file names of the processes running now, by process number.
std::map<std::uint32_t, std::wstring> ProcessNames() {
    std::map<std::uint32_t, std::wstring> names;
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return names;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        // Some versions give the whole path.
        const std::wstring path = entry.szExeFile;
        names[entry.th32ProcessID] = path.substr(path.find_last_of(L'\\') + 1);
    }
    return names;
}

}  // namespace

std::optional<std::vector<ListeningPort>> ReadPortTable(PortProtocol protocol, PortTableKind kind) {
    switch (kind) {
        case PortTableKind::Extended:
            return FromExtended(protocol);
        case PortTableKind::Stack:
            return FromStack(protocol);
        case PortTableKind::Basic:
            return FromBasic(protocol);
    }
    return std::nullopt;
}

void NameProcesses(std::vector<ListeningPort>& ports) {
    // No snapshot where the system named no process (Windows 2000).
    std::optional<std::map<std::uint32_t, std::wstring>> names;
    for (ListeningPort& port : ports) {
        if (!port.processId) {
            continue;
        }
        if (!names) {
            names = ProcessNames();
        }
        if (const auto name = names->find(*port.processId); name != names->end()) {
            port.processName = name->second;
        }
    }
}

std::vector<ListeningPort> ReadListeningPorts() {
    std::vector<ListeningPort> ports;
    for (const PortProtocol protocol : {PortProtocol::Tcp, PortProtocol::Udp}) {
        for (const PortTableKind kind :
             {PortTableKind::Extended, PortTableKind::Stack, PortTableKind::Basic}) {
            if (const auto found = ReadPortTable(protocol, kind)) {
                ports.insert(ports.end(), found->begin(), found->end());
                break;
            }
        }
    }
    NameProcesses(ports);
    return ports;
}

}  // namespace tolvane::win32
