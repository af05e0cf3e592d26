// The ports open on the machine as text, each of Tolvane's ports with the setting that closes it.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "system/System.h"
#include "ui/ControlId.h"

namespace tolvane {

// A port that one of the main window's port boxes closes, named by that box's label.
struct PortSetting {
    PortProtocol protocol;
    std::uint16_t port;
    ControlId label;
};
std::span<const PortSetting> PortSettings();

// Between the captions of two settings that close the same port.
inline constexpr wchar_t kSettingSeparator[] = L"; ";

// The captions of the labels whose boxes close the port; none for a port Tolvane leaves alone.
std::optional<std::wstring> SettingThatCloses(PortProtocol protocol, std::uint16_t port);

// One line a port, sorted by protocol (TCP first), then port: protocol, local address and port,
// the process where the system names it, and the setting that closes it where there is one.
// The columns line up, and lines end without blanks.
std::vector<std::wstring> ListeningPortLines(std::vector<ListeningPort> ports);

// The same lines under a line that names the columns.
std::vector<std::wstring> ListeningPortTable(std::vector<ListeningPort> ports);

}  // namespace tolvane
