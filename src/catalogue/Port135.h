// The RPC endpoint mapper on port 135.
#pragma once

#include <cstdint>

#include "ui/Form.h"

namespace tolvane {

// 1 when every trace of a closed port 135 is there, 0 otherwise: a value for the box.
std::int16_t IsPort135Closed(Machine& machine);

// Reaction of the box: ticked, the other port boxes wait; cleared, they are offered again.
void Port135_Click(Form& form, Machine& machine);

}  // namespace tolvane
