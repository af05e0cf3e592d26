// The "Closing critical ports" group: services switched off, and the port-135 gate.
#pragma once

#include <span>

#include "catalogue/HardeningSetting.h"

namespace tolvane {

// The group's registry rows as the machine has them now (one per network interface for NetBIOS),
// in apply order.
std::vector<HardeningSetting> ServiceSettings(Reg& reg);
// The order in which the routines treat the port boxes but port 135's.
std::span<const ControlId> ServiceRoutineOrder();
// Enables the port boxes whose service is installed.
void EnableInstalledServiceBoxes(MainWindowState& state, Machine& machine);
// Reaction of the port 135 box: ticked, the other port boxes wait; cleared, they are offered
// again.
void Port135BoxChanged(MainWindowState& state, Machine& machine);
// The service the port box switches is installed (the SMB box switches none: always).
bool ServiceBoxInstalled(Reg& reg, ControlId box);
// Reads only: where port 135 must be open, its box is left cleared, for the window's start-up to
// decide.
void VerifyServices(MainWindowState& state, Machine& machine);
// Stops at the first write the registry refuses and reports it.
GroupResult ApplyServices(MainWindowState& state, Machine& machine);

}  // namespace tolvane
