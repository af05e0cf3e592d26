// The machine the commands work on, and the window through which they speak to the user.
#pragma once

#include <cstdint>
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
    // How long the imports of one registry operation may take together before the editor is
    // ended: a slow import must not write once the operation, and its lock, are over.
    std::uint32_t importWaitMs = 60000;
};

}  // namespace tolvane
