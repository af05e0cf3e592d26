#include "catalogue/AccountProbe.h"

#include <array>
#include <vector>

#include "catalogue/HardeningSetting.h"
#include "system/SystemInfo.h"

namespace tolvane {
namespace {

using C = ControlId;

// The French console writes a non-breaking space (byte 0xFF) before the colon.
constexpr wchar_t kActiveKey[] = L"Compte\u00ff: actif";
constexpr std::uint32_t kQueryTimeoutMs = 10000;
constexpr int kMostLooks = 40;
constexpr std::int32_t kLookIntervalMs = 250;
// net user's report is a few hundred bytes; anything past this is not its output.
constexpr std::size_t kMostBytes = 1 << 20;

// Where the report cannot tell (another language, or no report at all), the system can.
AccountState StateFromSystem(MainWindowState& state, LocalAccounts& accounts,
                             const AccountBox& account, const std::wstring& name) {
    bool disabled = false;
    const unsigned long error = accounts.ReadDisabled(name, disabled);
    // The guest always exists: a name that cannot be found for it tells nothing.
    if (error == kNoSuchAccount && !account.rid) {
        return AccountState::Missing;
    }
    if (error != 0) {
        return AccountState::Unknown;
    }
    state.accountsReadFromSystem[account.box] = name;
    return disabled ? AccountState::Inactive : AccountState::Active;
}

}  // namespace

std::optional<std::wstring> AccountName(LocalAccounts& accounts, const AccountBox& account) {
    return account.rid ? accounts.NameOf(account.rid) : std::optional<std::wstring>(account.name);
}

std::wstring FindValueInFile(System& system, const std::wstring& path, const std::wstring& key,
                             bool allOccurrences, const std::wstring& separator, wchar_t lineEnd,
                             wchar_t otherLineEnd, WriterState writer) {
    if (key.empty()) {
        return {};
    }
    // The file of a writer that has ended will not change: one look is all it takes.
    const int mostLooks = writer == WriterState::Ended ? 1 : kMostLooks;
    int emptySightings = 0;
    for (int look = 1;; ++look) {
        if (FileExists(system, path)) {
            if (const auto bytes = ReadFileBytes(system, path, kMostBytes).bytes) {
                if (!bytes->empty()) {
                    return FindValueInText(*bytes, key, allOccurrences, separator, lineEnd,
                                           otherLineEnd);
                }
                if (++emptySightings > 1) {
                    return {};
                }
            }
        }
        if (look >= mostLooks) {
            return {};
        }
        system.Pause(kLookIntervalMs);
    }
}

AccountState ReadAccountState(System& system, const std::wstring& path, WriterState writer) {
    return AccountStateOf(
        FindValueInFile(system, path, kActiveKey, false, L" ", L'\n', L'\r', writer));
}

AccountQueries StartAccountQueries(Machine& machine) {
    System& system = machine.system;
    // A report left by an earlier run must not stand in for a query that fails to start.
    for (const AccountBox& account : kAccountBoxes) {
        system.RemoveFile(machine.windowsFolder + account.reportFile);
    }
    AccountQueries queries;
    for (const AccountBox& account : kAccountBoxes) {
        const std::optional<std::wstring> name = AccountName(machine.accounts, account);
        queries.names.push_back(name);
        queries.processes.push_back(
            name ? system.StartProgram({machine.systemFolder + L"\\net.exe", L"user " + *name,
                                        machine.windowsFolder + account.reportFile,
                                        WindowStyle::Hidden})
                 : nullptr);
    }
    return queries;
}

void ProbeAccounts(MainWindowState& state, Machine& machine) {
    ProbeAccounts(state, machine, StartAccountQueries(machine));
}

void ProbeAccounts(MainWindowState& state, Machine& machine, AccountQueries queries) {
    BusyScope busy(state, machine.host);
    machine.host.ShowPleaseWait(true);
    System& system = machine.system;
    // Read each file only once its writer has ended, so a report is never read half written.
    const std::vector<CommandEnd> ends = WaitToEnd(system, queries.processes, kQueryTimeoutMs);

    // An account nobody could name is neither asked nor looked for.
    std::array<AccountState, kAccountBoxes.size()> states{};
    for (std::size_t i = 0; i < kAccountBoxes.size(); ++i) {
        states[i] =
            !queries.names[i]
                ? AccountState::Unknown
                : ReadAccountState(system, machine.windowsFolder + kAccountBoxes[i].reportFile,
                                   ends[i] == CommandEnd::Ended ? WriterState::Ended
                                                                : WriterState::MayStillWrite);
    }
    for (const AccountBox& account : kAccountBoxes) {
        system.RemoveFile(machine.windowsFolder + account.reportFile);
    }
    state.accountsReadFromSystem.clear();
    for (std::size_t i = 0; i < kAccountBoxes.size(); ++i) {
        if (states[i] == AccountState::Unknown && queries.names[i]) {
            states[i] =
                StateFromSystem(state, machine.accounts, kAccountBoxes[i], *queries.names[i]);
        }
    }
    Controls& controls = state.controls;
    state.unknownAccounts.clear();
    for (std::size_t i = 0; i < kAccountBoxes.size(); ++i) {
        const AccountBox& account = kAccountBoxes[i];
        state.unavailableHere.erase(account.box);
        if (states[i] == AccountState::Unknown || states[i] == AccountState::Missing) {
            const bool unknown = states[i] == AccountState::Unknown;
            if (unknown) {
                state.unknownAccounts.insert(account.box);
            }
            state.unavailableHere[account.box] =
                unknown ? kUnreadableAccountHelp : kMissingAccountHelp;
            controls.SetEnabled(account.box, false);
            state.VerifiedValue(account.box) = BoxValue::Cleared;
        } else {
            // An inactive account: its deactivation is in force.
            const BoxValue value =
                states[i] == AccountState::Inactive ? BoxValue::Ticked : BoxValue::Cleared;
            state.VerifiedValue(account.box) = value;
            controls.SetValue(account.box, value);
            BoldLabelWhileCleared(state, account.box);
        }
    }
    machine.host.ShowPleaseWait(false);
}

}  // namespace tolvane
