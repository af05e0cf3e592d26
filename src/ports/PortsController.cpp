#include "ports/PortsController.h"

#include <array>

namespace tolvane {
namespace {

using P = PortsControlId;
using K = ControlKind;

constexpr std::array<SmallControl, kPortsControlCount> kLayout = {{
    {Index(P::IntroLabel), K::Label,
     L"TCP ports listening and UDP ports open on this computer. A port in bold has a Tolvane "
     L"setting: it closes when that setting's box is ticked and applied.",
     240, 240, 10560, 450},
    {Index(P::PortList), K::ListView, L"", 240, 840, 10560, 4560},
    {Index(P::RefreshButton), K::Button, L"&Refresh", 8040, 5640, 1215, 375},
    {Index(P::CloseButton), K::Button, L"&Close", 9585, 5640, 1215, 375},
}};

}  // namespace

// Wide enough for a setting with its note.
const SmallWindowDesign kPortsDesign{L"TolvanePorts", L"Listening ports", 11040, 6240, 5000,
                                     kLayout};

void PortsController::Refresh() {
    rows_ = PortRows(system_.ListeningPorts(), system_.RunningServices(), inForce_);
    SortPortRows(rows_, sortColumn_, descending_);
}

void PortsController::SortBy(PortColumn column) {
    descending_ = column == sortColumn_ && !descending_;
    sortColumn_ = column;
    SortPortRows(rows_, sortColumn_, descending_);
}

bool PortsController::Click(PortsControlId id) {
    if (id == P::RefreshButton) {
        Refresh();
    }
    return id != P::CloseButton;
}

}  // namespace tolvane
