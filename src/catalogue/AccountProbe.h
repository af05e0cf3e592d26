// Whether the guest and help-assistant accounts are active, read from `net user`'s output.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/AccountOutput.h"
#include "model/Machine.h"
#include "model/MainWindowState.h"
#include "system/SystemInfo.h"

namespace tolvane {

// The two accounts the window deactivates: how each is named, and the file its net user report
// goes to.
struct AccountBox {
    ControlId box;
    // The guest is named from its relative identifier: its name changes with the language and
    // may be renamed. The help assistant's name is the same on every language.
    std::uint32_t rid;
    const wchar_t* name;  // where rid is 0
    const wchar_t* reportFile;
};
inline constexpr std::array<AccountBox, 2> kAccountBoxes = {{
    {ControlId::GuestAccountBox, kGuestRid, nullptr, L"\\Inv.cmp"},
    {ControlId::HelpAssistantBox, 0, L"HelpAssistant", L"\\Hlp.cmp"},
}};

// The account's name on this machine; nothing where the system cannot name the guest.
std::optional<std::wstring> AccountName(LocalAccounts& accounts, const AccountBox& account);

// Why an account box stays disabled, in its help text.
inline constexpr wchar_t kUnreadableAccountHelp[] =
    L"Neither net user nor Windows could tell whether this account is active, so Tolvane leaves "
    L"it as it is: the box stays disabled.";
inline constexpr wchar_t kMissingAccountHelp[] =
    L"This account does not exist on this computer: there is nothing to deactivate.";

// Why an account box is disabled while its state is read.
inline constexpr wchar_t kReadingAccountHelp[] =
    L"Tolvane is still reading whether this account is active: the box takes its state as soon "
    L"as Windows answers.";

// How long the queries get, from their start, before a box is left as one nobody could read.
inline constexpr std::uint32_t kAccountQueryTimeoutMs = 10000;

// The net user queries of both accounts, running, and the names they ask for; an account that
// could not be named has neither.
struct AccountQueries {
    StartedProcesses processes;
    std::vector<std::optional<std::wstring>> names;
    std::uint32_t startedAt = 0;  // on the system's millisecond counter
    // Queries still being started on a thread of their own, until TakeStartedQueries.
    std::unique_ptr<ProgramsStarting> starting;
};
// Starts both queries without waiting, so that other work can go on while they run; `aside`,
// on a thread of their own, so that even their start costs the caller nothing (the processes
// are then had from TakeStartedQueries).
AccountQueries StartAccountQueries(Machine& machine, bool aside = false);
// Waits until the queries started aside have started, and puts them in `processes`.
void TakeStartedQueries(AccountQueries& queries);
// The box stays disabled, its help saying that its state is being read, until its answer is in.
void ShowAccountBeingRead(MainWindowState& state, std::size_t account);
// Shows one query's answer in its box, once the query has ended or its time is up: a query still
// running then is read as far as it wrote, as a timeout leaves it.
void ShowAccountAnswer(MainWindowState& state, Machine& machine, const AccountQueries& queries,
                       std::size_t account);
// Queries both accounts, waiting for them, and shows the result in the guest and help-assistant
// boxes.
void ProbeAccounts(MainWindowState& state, Machine& machine);

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
