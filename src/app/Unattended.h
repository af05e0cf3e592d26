// Tolvane without its window, for the engines that run a program on many machines and read its
// exit code and a file: audit, apply and restore from the command line, with a report.
#pragma once

#include <string>

#include "registry/RegistryStore.h"
#include "system/LocalAccounts.h"
#include "system/System.h"

namespace tolvane {

enum class UnattendedMode { Window, Usage, Audit, Apply, Restore };

// Groups named after /apply: and /restore:.
inline constexpr unsigned kShareGroup = 1;
inline constexpr unsigned kAccountGroup = 2;
inline constexpr unsigned kServiceGroup = 4;
inline constexpr unsigned kAllGroups = kShareGroup | kAccountGroup | kServiceGroup;

// Exit codes beyond the counts, which stop at 99.
inline constexpr int kMostCounted = 99;
inline constexpr int kExitUnsupported = 100;
inline constexpr int kExitNotAdministrator = 101;
inline constexpr int kExitBadValue = 102;

inline constexpr wchar_t kDefaultReport[] = L"\\Tolvane-report.txt";

struct UnattendedRequest {
    UnattendedMode mode = UnattendedMode::Window;
    unsigned groups = 0;
    std::wstring reportPath;  // empty: beside the program
    // A known switch with a value it does not take, or two of the three tasks at once.
    bool badValue = false;

    bool Quiet() const {
        return badValue || mode == UnattendedMode::Audit || mode == UnattendedMode::Apply ||
               mode == UnattendedMode::Restore;
    }
};

// The words of the command line, split on blanks as at every start; each switch is a word of
// its own, exact and case-sensitive; unknown words are left to the window.
UnattendedRequest ParseUnattended(const std::wstring& commandLine);

std::wstring UsageText();

// Does what the request asks without a window or a question, writes the report and gives the
// exit code.
int RunUnattended(const UnattendedRequest& request, const std::wstring& commandLine,
                  RegistryStore& registry, System& system, LocalAccounts& accounts);

}  // namespace tolvane
