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

namespace {

// One process per account, in order, null for one nobody could name; `started` holds those of
// the named ones.
StartedProcesses OnePerAccount(const AccountQueries& queries, StartedProcesses started) {
    StartedProcesses processes;
    std::size_t next = 0;
    for (const std::optional<std::wstring>& name : queries.names) {
        processes.push_back(name && next < started.size() ? std::move(started[next++]) : nullptr);
    }
    return processes;
}

}  // namespace

AccountQueries StartAccountQueries(Machine& machine, bool aside) {
    System& system = machine.system;
    // A report left by an earlier run must not stand in for a query that fails to start.
    for (const AccountBox& account : kAccountBoxes) {
        system.RemoveFile(machine.windowsFolder + account.reportFile);
    }
    AccountQueries queries;
    queries.startedAt = system.Milliseconds();
    std::vector<ProgramStart> starts;
    for (const AccountBox& account : kAccountBoxes) {
        const std::optional<std::wstring> name = AccountName(machine.accounts, account);
        queries.names.push_back(name);
        if (name) {
            starts.push_back({machine.systemFolder + L"\\net.exe", L"user " + *name,
                              machine.windowsFolder + account.reportFile, WindowStyle::Hidden});
        }
    }
    if (aside) {
        queries.starting = system.StartProgramsAside(std::move(starts));
    } else {
        queries.processes = OnePerAccount(queries, StartPrograms(system, starts));
    }
    return queries;
}

void TakeStartedQueries(AccountQueries& queries) {
    if (queries.starting) {
        queries.processes = OnePerAccount(queries, queries.starting->Take());
        queries.starting.reset();
    }
}

void ShowAccountBeingRead(MainWindowState& state, std::size_t account) {
    const ControlId box = kAccountBoxes[account].box;
    state.unavailableHere[box] = kReadingAccountHelp;
    state.controls.SetEnabled(box, false);
}

void ShowAccountAnswer(MainWindowState& state, Machine& machine, const AccountQueries& queries,
                       std::size_t account) {
    const AccountBox& box = kAccountBoxes[account];
    const std::optional<std::wstring>& name = queries.names[account];
    StartedProcess* const query = queries.processes[account].get();
    System& system = machine.system;
    const std::wstring report = machine.windowsFolder + box.reportFile;
    // Read once its writer has ended, so that a report is never read half written; a query that
    // never started writes nothing. An account nobody could name is neither asked nor looked for.
    AccountState found = AccountState::Unknown;
    if (name) {
        found = ReadAccountState(
            system, report,
            !query || query->WaitForExit(0) ? WriterState::Ended : WriterState::MayStillWrite);
    }
    system.RemoveFile(report);
    state.accountsReadFromSystem.erase(box.box);
    if (found == AccountState::Unknown && name) {
        found = StateFromSystem(state, machine.accounts, box, *name);
    }
    Controls& controls = state.controls;
    state.unknownAccounts.erase(box.box);
    state.unavailableHere.erase(box.box);
    if (found == AccountState::Unknown || found == AccountState::Missing) {
        const bool unknown = found == AccountState::Unknown;
        if (unknown) {
            state.unknownAccounts.insert(box.box);
        }
        state.unavailableHere[box.box] = unknown ? kUnreadableAccountHelp : kMissingAccountHelp;
        controls.SetEnabled(box.box, false);
        state.VerifiedValue(box.box) = BoxValue::Cleared;
        return;
    }
    // An inactive account: its deactivation is in force.
    const BoxValue value = found == AccountState::Inactive ? BoxValue::Ticked : BoxValue::Cleared;
    state.VerifiedValue(box.box) = value;
    controls.SetValue(box.box, value);
    BoldLabelWhileCleared(state, box.box);
}

void ProbeAccounts(MainWindowState& state, Machine& machine) {
    const AccountQueries queries = StartAccountQueries(machine);
    BusyScope busy(state, machine.host);
    machine.host.ShowPleaseWait(true);
    WaitToEnd(machine.system, queries.processes, kAccountQueryTimeoutMs);
    for (std::size_t i = 0; i < kAccountBoxes.size(); ++i) {
        ShowAccountAnswer(state, machine, queries, i);
    }
    machine.host.ShowPleaseWait(false);
}

}  // namespace tolvane
