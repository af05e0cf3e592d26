// Which of the main window's boxes should close each listening port, and which settings in force
// still have a port listening: the proof on the wire, for the listening-ports window and the
// report alike.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/ControlId.h"
#include "system/System.h"

namespace tolvane {

using RunningServices = std::optional<std::vector<RunningService>>;

// Between the captions of two settings that close the same port.
inline constexpr wchar_t kSettingSeparator[] = L"; ";

// The boxes whose settings should close the port. Where the system names the port's process and
// the services running now, a process that runs one service alone ties its ports to that
// service's box, whatever their numbers (DTC and others take ports as they come); the ports of a
// shared service host or of the System process (SMB on 139 and 445, http.sys) are matched by
// their numbers; a program that runs no service has ports of its own, none of Tolvane's. Without
// the process or the services, by number.
std::vector<ControlId> BoxesOfPort(const ListeningPort& port, const RunningServices& services);

// A box in force with ports still listening, their numbers in increasing order.
struct StillListening {
    ControlId box;
    std::vector<std::uint16_t> ports;
};
// In the order of the boxes' first ports.
std::vector<StillListening> InForceButListening(std::span<const ListeningPort> ports,
                                                const RunningServices& services,
                                                const std::function<bool(ControlId)>& inForce);

// "in force, but port 139 still listens"; "in force, but ports 137 and 139 still listen".
std::wstring StillListensNote(std::span<const std::uint16_t> ports);

// The captions of the settings that should close the port, each one in force followed by its
// note in brackets (none is, without the test); empty for a port of none.
std::wstring PortSettingsText(const ListeningPort& port, const RunningServices& services,
                              const std::function<bool(ControlId)>& inForce);

}  // namespace tolvane
