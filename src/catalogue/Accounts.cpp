#include "catalogue/Accounts.h"

#include <array>
#include <span>
#include <string>
#include <vector>

#include "catalogue/AccountProbe.h"
#include "system/Decimal.h"
#include "system/SystemInfo.h"

namespace tolvane {
namespace {

using C = ControlId;

constexpr std::array<HardeningSetting, 4> kAnonymousRows = {{
    MakeSetting(C::AnonymousAccessBox,
                L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\restrictanonymous", L"2",
                WriteOnUndo(L"0")),
    MakeSetting(C::AnonymousAccessBox,
                L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\restrictanonymoussam", L"1",
                WriteOnUndo(L"0")),
    MakeSetting(C::AnonymousAccessBox,
                L"SYSTEM\\CurrentControlSet\\Control\\Services\\RemoteRegistry", L"4",
                WriteOnUndo(L"0")),
    MakeSetting(C::AnonymousAccessBox,
                L"SYSTEM\\CurrentControlSet\\Control\\Services\\LanManServer", L"4",
                WriteOnUndo(L"0")),
}};
constexpr HardeningSetting kEveryoneRow = MakeSetting(
    C::EveryoneRightsBox, L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\everyoneincludesanonymous",
    L"0", WriteOnUndo(L"1"));
constexpr HardeningSetting kRemoteRegistryRow =
    MakeSetting(C::RemoteRegistryBox, kRemoteRegistryStart, L"4", kRestoreOnUndo);

// The order in which the group applies its boxes.
constexpr std::array<C, 5> kApplyOrder = {C::GuestAccountBox, C::HelpAssistantBox,
                                          C::AnonymousAccessBox, C::EveryoneRightsBox,
                                          C::RemoteRegistryBox};

// The probe after an apply must read the accounts as the switches left them.
constexpr std::uint32_t kSwitchTimeoutMs = 10000;

void VerifyOne(MainWindowState& state, Machine& machine, const HardeningSetting& row) {
    if (!state.controls.Enabled(row.box)) {
        return;
    }
    if (IsInForce(machine, row)) {
        state.controls.SetValue(row.box, BoxValue::Ticked);
    }
    BoldLabelWhileCleared(state, row.box);
}

// Where the account records live: the program's own key, beside no value of Windows.
constexpr wchar_t kProgramKey[] = L"SOFTWARE\\Tolvane";
constexpr wchar_t kAccountRecords[] = L"SOFTWARE\\Tolvane\\Accounts";

// The guest under its identifier, whatever its name in this language; the help assistant by name.
std::wstring AccountRecordPath(const AccountBox& account) {
    return std::wstring(kAccountRecords) + L"\\" +
           (account.rid ? Decimal(account.rid) : std::wstring(account.name));
}

WriteResult RecordAccountActive(Reg& reg, const AccountBox& account) {
    return reg.WriteValue(kHklm, AccountRecordPath(account), L"1", ValueType::Dword);
}

// The record, then the program's keys that hold nothing more.
WriteResult DropAccountRecord(Reg& reg, const AccountBox& account) {
    if (WriteResult failure = reg.Remove(kHklm, AccountRecordPath(account))) {
        return failure;
    }
    for (const wchar_t* key : {kAccountRecords, kProgramKey}) {
        if (reg.KeyEntries(kHklm, key) == 0u) {
            if (WriteResult failure = reg.Remove(kHklm, key + std::wstring(L"\\"))) {
                return failure;
            }
        }
    }
    return std::nullopt;
}

struct AccountSwitch {
    const AccountBox* account;
    bool deactivate;
};
enum class SwitchResult {
    Done,
    Failed,
    NotKnown,  // net user had not ended in time: it may still switch the account
    NotTried,  // an earlier refusal ended the series
    NoName,    // the system could not name the account: nothing was switched
};
struct SwitchOutcome {
    AccountSwitch change;
    SwitchResult result;
    unsigned long code = 0;
    bool throughSystem = false;
    std::wstring account = {};  // as the system names it, where it was switched
    // What had to hold before the switch and was refused (the record): nothing was switched.
    WriteResult refusedBefore = std::nullopt;
};

// An apply ends at its first refusal, as a group's apply does; a restore gives every account a
// try of its own, so that one refused does not hide the other.
enum class AfterRefusal { Stop, GoOn };
// Done just before an account is switched, and only then; its refusal leaves the account as it is.
using BeforeSwitch = std::function<WriteResult(const AccountSwitch&)>;

constexpr wchar_t kUnnamedGuest[] = L"the guest account (relative identifier 501)";

// Switches the accounts in order: through the system where it read the account, else by net user
// under the name the system gives it. A net user that has not ended in time may still switch its
// account: not known.
std::vector<SwitchOutcome> SwitchAccounts(MainWindowState& state, Machine& machine,
                                          const std::vector<AccountSwitch>& asked,
                                          AfterRefusal after,
                                          const BeforeSwitch& before = nullptr) {
    std::vector<SwitchOutcome> outcomes;
    std::vector<std::size_t> byCommand;
    StartedProcesses commands;
    bool stopped = false;
    for (const AccountSwitch& change : asked) {
        const auto found = state.accountsReadFromSystem.find(change.account->box);
        const bool throughSystem = found != state.accountsReadFromSystem.end();
        const std::optional<std::wstring> name =
            throughSystem ? found->second : AccountName(machine.accounts, *change.account);
        if (stopped) {
            outcomes.push_back({change, SwitchResult::NotTried});
            continue;
        }
        if (!name) {
            outcomes.push_back({change, SwitchResult::NoName, kNoSuchAccount});
            stopped = after == AfterRefusal::Stop;
            continue;
        }
        if (WriteResult refused = before ? before(change) : std::nullopt) {
            outcomes.push_back({change, SwitchResult::Failed, refused->code});
            outcomes.back().refusedBefore = std::move(refused);
            stopped = after == AfterRefusal::Stop;
            continue;
        }
        if (!throughSystem) {
            byCommand.push_back(outcomes.size());
            commands.push_back(machine.system.StartCommand(
                L"net user " + *name + (change.deactivate ? L" /active:no" : L" /active:yes"),
                WindowStyle::Minimized));
            outcomes.push_back({change, SwitchResult::NotKnown});
            continue;
        }
        const unsigned long error = machine.accounts.WriteDisabled(*name, change.deactivate);
        outcomes.push_back(
            {change, error ? SwitchResult::Failed : SwitchResult::Done, error, true, *name});
        stopped = error && after == AfterRefusal::Stop;
    }
    const std::vector<CommandEnd> ends = WaitToEnd(machine.system, commands, kSwitchTimeoutMs);
    for (std::size_t i = 0; i < commands.size(); ++i) {
        SwitchOutcome& outcome = outcomes[byCommand[i]];
        if (ends[i] == CommandEnd::NotStarted) {
            outcome.result = SwitchResult::Failed;
        } else if (ends[i] == CommandEnd::Ended) {
            outcome.code = commands[i]->ExitCode().value_or(0);
            outcome.result = outcome.code ? SwitchResult::Failed : SwitchResult::Done;
        }
    }
    return outcomes;
}

}  // namespace

bool HasAccountRecord(Reg& reg, ControlId box) {
    for (const AccountBox& account : kAccountBoxes) {
        if (account.box == box) {
            return reg.ValueExists(kHklm, AccountRecordPath(account));
        }
    }
    return false;
}

std::map<ControlId, RecordedAccountEnd> RestoreRecordedAccounts(
    MainWindowState& state, Machine& machine, const std::function<bool(ControlId)>& wanted) {
    std::vector<AccountSwitch> asked;
    for (const AccountBox& account : kAccountBoxes) {
        if (HasAccountRecord(machine.reg, account.box) && (!wanted || wanted(account.box))) {
            asked.push_back({&account, false});
        }
    }
    // Whatever else happens, a record stays until its account is on again.
    std::map<ControlId, RecordedAccountEnd> ends;
    for (const SwitchOutcome& done : SwitchAccounts(state, machine, asked, AfterRefusal::GoOn)) {
        RecordedAccountEnd& end = ends[done.change.account->box];
        end.failure = done.result == SwitchResult::Failed ? done.code : 0;
        end.stillRunning = done.result == SwitchResult::NotKnown;
        end.nameUnknown = done.result == SwitchResult::NoName;
        if (done.result == SwitchResult::Done) {
            if (WriteResult failure = DropAccountRecord(machine.reg, *done.change.account)) {
                end.failure = failure->code;
            }
        }
    }
    return ends;
}

std::vector<HardeningSetting> AccountSettings() {
    std::vector<HardeningSetting> rows(kAnonymousRows.begin(), kAnonymousRows.end());
    rows.push_back(kEveryoneRow);
    rows.push_back(kRemoteRegistryRow);
    return rows;
}

void VerifyAccounts(MainWindowState& state, Machine& machine) {
    Controls& controls = state.controls;
    if (state.ChangedSinceVerify(C::GuestAccountBox) ||
        state.ChangedSinceVerify(C::HelpAssistantBox)) {
        ProbeAccounts(state, machine);
    }
    for (C box : {C::AnonymousAccessBox, C::RemoteRegistryBox, C::EveryoneRightsBox}) {
        controls.SetValue(box, BoxValue::Cleared);
    }
    if (controls.Enabled(C::AnonymousAccessBox)) {
        // Only the two Lsa values tell whether anonymous access is closed.
        const bool sam = IsInForce(machine, kAnonymousRows[1]);
        const bool anonymous = IsInForce(machine, kAnonymousRows[0]);
        if (sam && anonymous) {
            controls.SetValue(C::AnonymousAccessBox, BoxValue::Ticked);
        }
        BoldLabelWhileCleared(state, C::AnonymousAccessBox);
    }
    VerifyOne(state, machine, kEveryoneRow);
    VerifyOne(state, machine, kRemoteRegistryRow);
    for (C box : {C::AnonymousAccessBox, C::EveryoneRightsBox, C::RemoteRegistryBox}) {
        state.VerifiedValue(box) = controls.Value(box);
    }
}

GroupResult ApplyAccounts(MainWindowState& state, Machine& machine) {
    Controls& controls = state.controls;
    // Only what the user asked for: a disabled or unchanged box starts nothing, so an account
    // whose state is unknown is never switched on behind the user's back.
    std::vector<AccountSwitch> asked;
    for (const AccountBox& account : kAccountBoxes) {
        if (controls.Enabled(account.box) && state.ChangedSinceVerify(account.box)) {
            asked.push_back({&account, controls.Ticked(account.box)});
        }
    }
    // A record exists only while its own switch may have happened: written just before the
    // switch, so that a run cut short still knows to bring the account back, and dropped when
    // the switch was refused. An account the series never reached gets none.
    const BeforeSwitch record = [&](const AccountSwitch& change) -> WriteResult {
        return change.deactivate ? RecordAccountActive(machine.reg, *change.account) : std::nullopt;
    };
    GroupResult refused;
    for (const SwitchOutcome& done :
         SwitchAccounts(state, machine, asked, AfterRefusal::Stop, record)) {
        const AccountBox& account = *done.change.account;
        const bool failed = done.result == SwitchResult::Failed;
        // An account switched on needs no record. Where net user has not ended, the record stays:
        // switching on an active account later does no harm, losing the record of an inactive
        // one would.
        if (done.change.deactivate ? failed && !done.refusedBefore
                                   : done.result == SwitchResult::Done) {
            (void)DropAccountRecord(machine.reg, account);
        }
        if (refused) {
            continue;
        }
        if (done.refusedBefore) {
            WriteFailure failure = *done.refusedBefore;
            failure.outcome = LeftAsItWasMessage(account.box);
            refused = StoppedAt(state, account.box, std::move(failure), kApplyOrder);
        } else if ((failed && done.throughSystem) || done.result == SwitchResult::NoName) {
            refused = StoppedAt(
                state, account.box,
                WriteFailure{done.result == SwitchResult::NoName ? kUnnamedGuest : done.account,
                             done.code, Refused::AccountSwitch, LeftAsItWasMessage(account.box)},
                kApplyOrder);
        }
    }
    if (refused) {
        return refused;
    }
    // The registry boxes, in apply order.
    const std::pair<C, std::span<const HardeningSetting>> registryBoxes[] = {
        {C::AnonymousAccessBox, kAnonymousRows},
        {C::EveryoneRightsBox, {&kEveryoneRow, 1}},
        {C::RemoteRegistryBox, {&kRemoteRegistryRow, 1}},
    };
    for (const auto& [box, rows] : registryBoxes) {
        if (!state.ChangedSinceVerify(box)) {
            continue;
        }
        if (box == C::RemoteRegistryBox && controls.Ticked(box)) {
            StartWithoutWaiting(machine.system, L"net stop remoteregistry", WindowStyle::Minimized);
        }
        if (WriteResult failure = ApplyBoxSettings(machine, rows, controls.Value(box))) {
            return StoppedAt(state, box, std::move(*failure), kApplyOrder);
        }
        state.restartNeeded = true;
    }
    controls.SetValue(C::SelectAllAccountsBox, BoxValue::Cleared);
    return std::nullopt;
}

}  // namespace tolvane
