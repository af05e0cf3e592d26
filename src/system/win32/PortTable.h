// The IP helper's tables of listening TCP ports and bound UDP ports.
#pragma once

#include <optional>
#include <vector>

#include "system/System.h"

namespace tolvane::win32 {

// The kinds of table, richest first. The first two name each port's process.
enum class PortTableKind {
    Extended,  // GetExtendedTcpTable, GetExtendedUdpTable: XP SP2, Server 2003 SP1 and later
    Stack,     // AllocateAndGet...ExTableFromStack: XP before SP2
    Basic,     // GetTcpTable, GetUdpTable: Windows 2000 and later
};

// The ports of one protocol from one kind of table, without process names; none when this
// Windows lacks that table or it cannot be read.
std::optional<std::vector<ListeningPort>> ReadPortTable(PortProtocol protocol, PortTableKind kind);

// Gives each port with a process number the file name of that process, where it still runs.
void NameProcesses(std::vector<ListeningPort>& ports);

// Both protocols, each from the richest table this Windows has, with the names of the processes.
std::vector<ListeningPort> ReadListeningPorts();

}  // namespace tolvane::win32
