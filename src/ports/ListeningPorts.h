// The ports open on the machine as rows of cells, each of Tolvane's ports with the setting that
// closes it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/ControlId.h"
#include "ports/PortBoxes.h"
#include "system/System.h"

namespace tolvane {

// One port as the window and the report show it: its cells by name, and the port itself to sort
// by. A new column is a new cell here and a new entry in PortColumns.
struct PortRow {
    ListeningPort port;
    std::wstring protocol;  // "TCP" or "UDP"
    std::wstring address;   // "0.0.0.0"
    std::wstring number;    // "135"
    std::wstring process;   // "svchost.exe (868)"; empty where the system does not tell
    // The settings that should close the port, each one in force marked so; empty for a port
    // Tolvane leaves alone.
    std::wstring setting;
};

// One row a port, sorted by protocol (TCP first), then port, address and process. Without the
// services running, ports are tied to settings by number; without the boxes in force, none is
// marked.
std::vector<PortRow> PortRows(std::vector<ListeningPort> ports,
                              const RunningServices& services = std::nullopt,
                              const std::function<bool(ControlId)>& inForce = {});

enum class PortColumn : std::uint8_t { Protocol, LocalAddress, Port, Process, Setting, Count };
inline constexpr int kPortColumnCount = static_cast<int>(PortColumn::Count);

struct PortColumnInfo {
    const wchar_t* heading;
    std::wstring PortRow::*cell;
    int widthTwips;
    bool numeric;  // sorted as a number and aligned to the right
    // Whether the first row comes before the second by this column alone.
    bool (*before)(const PortRow&, const PortRow&);
};
// In the order of PortColumn.
std::span<const PortColumnInfo> PortColumns();

// Sorts by the column, rows the same in it keeping their order. Empty cells come last going up.
void SortPortRows(std::vector<PortRow>& rows, PortColumn column, bool descending);

// The rows at these places, their cells separated by tabs and the rows by CR LF, as a table
// program pastes them.
std::wstring PortRowsText(const std::vector<PortRow>& rows, std::span<const std::size_t> which);

// The lines of a report: one a port, in the order of PortRows, with protocol, local address and
// port, the process where the system names it, and the setting that closes the port where there
// is one. The columns line up, and lines end without blanks.
std::vector<std::wstring> ListeningPortLines(std::vector<ListeningPort> ports,
                                             const RunningServices& services = std::nullopt);

}  // namespace tolvane
