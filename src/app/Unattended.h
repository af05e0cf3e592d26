// Tolvane without its window, for the engines that run a program on many machines and read its
// exit code and a file: audit, apply and restore from the command line, with a report.
#pragma once

#include <string>

#include "app/CommandLine.h"
#include "app/ExitCode.h"
#include "registry/RegistryStore.h"
#include "system/LocalAccounts.h"
#include "system/System.h"

namespace tolvane {

std::wstring UsageText();

// The report's path: as asked, with its %VARIABLES% expanded; by default Tolvane-COMPUTER.txt
// beside the program, so that a share holding the program collects one report per machine.
std::wstring ReportPath(const UnattendedRequest& request, System& system);

// A policy file's path (@PATH): %VARIABLES% expanded; a relative one is beside the program.
std::wstring PolicyPath(const std::wstring& path, System& system);

// Does what the request asks without a window or a question, writes the report and gives the
// exit code. Only the groups asked for change; port 135 changes only by a restore of the
// services.
int RunUnattended(const UnattendedRequest& request, RegistryStore& registry, System& system,
                  LocalAccounts& accounts);

}  // namespace tolvane
