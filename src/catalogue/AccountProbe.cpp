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

struct AccountQuery {
    C box;
    C label;
    const wchar_t* account;
    const wchar_t* file;
    std::uint32_t rid;  // how the system finds the account; 0: by the name above
};
constexpr std::array<AccountQuery, 2> kQueries = {{
    {C::GuestAccountBox, C::GuestAccountLabel, L"Invit\u00e9", L"\\Inv.cmp", kGuestRid},
    {C::HelpAssistantBox, C::HelpAssistantLabel, L"HelpAssistant", L"\\Hlp.cmp", 0},
}};

// Where the report cannot tell (another language, or no report at all), the system can: the
// guest by its identifier, whatever its name, and the help assistant by its name.
std::int16_t StateFromSystem(MainWindowState& state, LocalAccounts& accounts,
                             const AccountQuery& query) {
    const std::optional<std::wstring> name =
        query.rid ? accounts.NameOf(query.rid) : std::optional<std::wstring>(query.account);
    bool disabled = false;
    if (!name || accounts.ReadDisabled(*name, disabled) != 0) {
        return kAccountUnknown;
    }
    state.accountsReadFromSystem[query.box] = *name;
    return disabled ? 1 : 0;
}

}  // namespace

std::wstring FindValueInFile(System& system, const std::wstring& path, const std::wstring& key,
                             bool allOccurrences, const std::wstring& separator,
                             const std::wstring& endCharacter1, const std::wstring& endCharacter2,
                             WriterState writer) {
    const wchar_t end1 = endCharacter1.empty() ? L'\n' : endCharacter1[0];
    const wchar_t end2 = endCharacter2.empty() ? L'\r' : endCharacter2[0];
    if (key.empty()) {
        return {};
    }
    // The file of a writer that has ended will not change: one look is all it takes.
    const int mostLooks = writer == WriterState::Ended ? 1 : kMostLooks;
    int emptySightings = 0;
    for (int look = 1;; ++look) {
        if (FileExists(system, path)) {
            if (const auto bytes = system.ReadFileBytes(path, kMostBytes)) {
                if (!bytes->empty()) {
                    return FindValueInText(*bytes, key, allOccurrences, separator, end1, end2);
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

std::int16_t ReadAccountState(System& system, const std::wstring& path, WriterState writer) {
    return AccountStateOf(
        FindValueInFile(system, path, kActiveKey, false, L" ", L"\n", L"", writer));
}

void ProbeAccounts(MainWindowState& state, Machine& machine) {
    BusyScope busy(state, machine.host);
    machine.host.ShowPleaseWait(true);
    System& system = machine.system;

    // A report left by an earlier run must not stand in for a query that fails to start.
    for (const AccountQuery& query : kQueries) {
        system.RemoveFile(WindowsDir + query.file);
    }
    std::vector<std::wstring> commandLines;
    for (const AccountQuery& query : kQueries) {
        // Quoted, or a blank in the Windows folder would pass the rest of the path to net user.
        commandLines.push_back(std::wstring(L"cmd /C net user ") + query.account + L" > \"" +
                               WindowsDir + query.file + L"\"");
    }
    // Read each file only once its writer has ended, so a report is never read half written.
    const std::vector<CommandEnd> ends =
        RunCommandsToEnd(system, commandLines, WindowStyle::Hidden, kQueryTimeoutMs);

    std::array<std::int16_t, kQueries.size()> states{};
    for (std::size_t i = 0; i < kQueries.size(); ++i) {
        states[i] = ReadAccountState(
            system, WindowsDir + kQueries[i].file,
            ends[i] == CommandEnd::Ended ? WriterState::Ended : WriterState::MayStillWrite);
    }
    for (const AccountQuery& query : kQueries) {
        system.RemoveFile(WindowsDir + query.file);
    }
    state.accountsReadFromSystem.clear();
    for (std::size_t i = 0; i < kQueries.size(); ++i) {
        if (states[i] == kAccountUnknown) {
            states[i] = StateFromSystem(state, machine.accounts, kQueries[i]);
        }
    }
    Controls& controls = state.controls;
    state.unknownAccounts.clear();
    for (std::size_t i = 0; i < kQueries.size(); ++i) {
        const AccountQuery& query = kQueries[i];
        if (states[i] == kAccountUnknown) {
            state.unknownAccounts.insert(query.box);
            controls.SetEnabled(query.box, false);
            state.VerifiedValue(query.box) = BoxValue::Cleared;
        } else {
            // An inactive account: its deactivation is in force.
            const BoxValue value =
                states[i] == kAccountInactive ? BoxValue::Ticked : BoxValue::Cleared;
            state.VerifiedValue(query.box) = value;
            controls.SetValue(query.box, value);
            BoldLabelWhileCleared(state, query.box, query.label);
        }
    }
    machine.host.ShowPleaseWait(false);
}

}  // namespace tolvane
