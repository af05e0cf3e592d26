// The listening-ports window's logic: the machine's open ports as rows, sorted by the column the
// user chose, read again on demand.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "model/ControlLayout.h"
#include "ports/ListeningPorts.h"
#include "system/System.h"

namespace tolvane {

enum class PortsControlId : std::uint8_t {
    IntroLabel,
    PortList,
    RefreshButton,
    CloseButton,
    Count
};
inline constexpr int kPortsControlCount = static_cast<int>(PortsControlId::Count);

extern const SmallWindowDesign kPortsDesign;

class PortsController {
  public:
    // inForce: whether the last check of the main window found a box's setting in force; a
    // setting in force whose port still listens is marked so in the port's row.
    explicit PortsController(System& system, std::function<bool(ControlId)> inForce = {})
        : system_(system), inForce_(std::move(inForce)) {}

    // Reads the machine's ports and the services running into the rows, in the order chosen.
    void Refresh();
    // A press on one of its buttons; false when the window is to close.
    bool Click(PortsControlId id);
    // A click on a column's heading: sorts by that column, the other way round when it is the
    // column sorted by already.
    void SortBy(PortColumn column);

    const std::vector<PortRow>& Rows() const { return rows_; }
    PortColumn SortColumn() const { return sortColumn_; }
    bool Descending() const { return descending_; }
    // The rows at these places as text for the clipboard.
    std::wstring CopyText(std::span<const std::size_t> which) const {
        return PortRowsText(rows_, which);
    }

  private:
    System& system_;
    std::function<bool(ControlId)> inForce_;
    std::vector<PortRow> rows_;
    PortColumn sortColumn_ = PortColumn::Protocol;
    bool descending_ = false;
};

}  // namespace tolvane
