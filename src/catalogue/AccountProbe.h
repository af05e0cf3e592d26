// Whether the guest and help-assistant accounts are active, read from `net user`'s output.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "catalogue/AccountOutput.h"
#include "model/Machine.h"
#include "model/MainWindowState.h"
#include "system/SystemInfo.h"

namespace tolvane {

// The two accounts the window deactivates: the name net user knows each by (the French guest's),
// the file its report goes to, and how the system finds it where the report cannot tell.
struct AccountBox {
    ControlId box;
    const wchar_t* name;
    const wchar_t* reportFile;
    std::uint32_t rid;  // the account's relative identifier; 0: by the name
};
inline constexpr std::array<AccountBox, 2> kAccountBoxes = {{
    {ControlId::GuestAccountBox, L"Invit\u00e9", L"\\Inv.cmp", kGuestRid},
    {ControlId::HelpAssistantBox, L"HelpAssistant", L"\\Hlp.cmp", 0},
}};

// Why an account box stays disabled, in its help text.
inline constexpr wchar_t kUnreadableAccountHelp[] =
    L"Neither net user nor Windows could tell whether this account is active, so Tolvane leaves "
    L"it as it is: the box stays disabled.";
inline constexpr wchar_t kMissingAccountHelp[] =
    L"This account does not exist on this computer: there is nothing to deactivate.";

// The net user queries of both accounts, running.
struct AccountQueries {
    StartedProcesses processes;
};
// Starts both queries without waiting, so that other work can go on while they run.
AccountQueries StartAccountQueries(Machine& machine);
// Queries both accounts (or takes the queries already started) and shows the result in the guest
// and help-assistant boxes.
void ProbeAccounts(MainWindowState& state, Machine& machine);
void ProbeAccounts(MainWindowState& state, Machine& machine, AccountQueries queries);

// Whether the program writing a file may still be at it. Once it has ended, a file that is
// missing or empty stays so, and waiting for it would only slow every start-up.
enum class WriterState { MayStillWrite, Ended };

AccountState ReadAccountState(System& system, const std::wstring& path,
                              WriterState writer = WriterState::MayStillWrite);

// FindValueInText over a file's bytes. Waits for the file to appear unless its writer has ended.
std::wstring FindValueInFile(System& system, const std::wstring& path, const std::wstring& key,
                             bool allOccurrences, const std::wstring& separator, wchar_t lineEnd,
                             wchar_t otherLineEnd, WriterState writer = WriterState::MayStillWrite);

}  // namespace tolvane
