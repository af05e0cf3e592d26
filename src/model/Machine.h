// The machine the commands work on, and the window through which they speak to the user.
#pragma once

#include <string>

#include "model/Host.h"
#include "registry/Reg.h"
#include "system/LocalAccounts.h"
#include "system/System.h"

namespace tolvane {

struct Machine {
    Machine(Reg& reg, System& system, Host& host, LocalAccounts& accounts)
        : reg(reg),
          system(system),
          host(host),
          accounts(accounts),
          windowsFolder(system.WindowsDirectory()),
          systemFolder(system.SystemDirectory()),
          systemDrive(windowsFolder.substr(0, 1)) {}

    Reg& reg;
    System& system;
    Host& host;
    LocalAccounts& accounts;
    // Read once, when the program starts.
    std::wstring windowsFolder;  // without a trailing backslash
    std::wstring systemFolder;   // the same
    std::wstring systemDrive;    // the drive letter alone
};

}  // namespace tolvane
