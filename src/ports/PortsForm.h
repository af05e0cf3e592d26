// The listening-ports window's logic: the machine's open ports as a table, read again on demand.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "system/System.h"
#include "ui/ControlLayout.h"

namespace tolvane {

enum class PortsControlId : std::uint8_t { Intro, PortList, Refresh, CmdClose, Count };
inline constexpr int kPortsControlCount = static_cast<int>(PortsControlId::Count);

// In the order of the identifiers.
std::span<const SmallControl> PortsWindowLayout();

inline constexpr wchar_t kPortsWindowClass[] = L"TolvanePorts";
inline constexpr wchar_t kPortsCaption[] = L"Listening ports";
inline constexpr int kPortsWidthTwips = 9600;
inline constexpr int kPortsHeightTwips = 6240;

// Child-window identifier of a control of the window.
constexpr int PortsDialogId(PortsControlId id) {
    return 5000 + static_cast<int>(id);
}

class PortsForm {
  public:
    explicit PortsForm(System& system) : system_(system) {}

    // Reads the machine's ports into the list.
    void Refresh();
    // A press on one of its buttons; false when the window is to close.
    bool Click(PortsControlId id);
    // A line naming the columns, then one line a port, each line ended by CR LF.
    const std::wstring& ListText() const { return list_; }

  private:
    System& system_;
    std::wstring list_;
};

}  // namespace tolvane
