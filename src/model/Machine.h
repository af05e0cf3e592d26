// The machine the commands work on, and the window through which they speak to the user.
#pragma once

#include "model/Host.h"
#include "registry/Reg.h"
#include "system/LocalAccounts.h"
#include "system/System.h"

namespace tolvane {

struct Machine {
    Reg& reg;
    System& system;
    Host& host;
    LocalAccounts& accounts;
};

}  // namespace tolvane
