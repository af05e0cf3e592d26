// The main window's logic: start-up, and what each click and menu entry does.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "catalogue/AccountProbe.h"
#include "model/ControlId.h"
#include "model/Machine.h"
#include "model/MainWindowState.h"

namespace tolvane {

inline constexpr wchar_t kUnsupportedMessage[] =
    L"This software only works with the following operating systems : 2000 - XP Home - XP Pro - "
    L"2000 server and 2003 server.";

class MainWindowController {
  public:
    MainWindowController(RegistryStore& registry, System& system, Host& host,
                         LocalAccounts& accounts);

    // Reads the command line (the words after the program's name).
    void ReadCommandLine(const std::wstring& commandLine);
    // How the account boxes take their state: read and waited for before LoadFromMachine
    // returns, or by queries that StartAccountProbe starts once the window shows.
    enum class AccountReading { Waited, WhileInUse };
    // Adapts the window to the machine and shows every setting's state; false when this
    // Windows version is refused and the program must end. Nothing asks for the accounts with
    // -noaccount; WhileInUse shows their boxes as being read.
    bool LoadFromMachine(AccountReading reading = AccountReading::Waited);
    // Once the window shows (after LoadFromMachine(WhileInUse)): starts the account queries, so
    // that they do not slow the window's making. The window does not wait for them: each account
    // box takes its state when its own answer arrives (AccountAnswerArrived), and whatever would
    // act on an account waits for an answer still due.
    void StartAccountProbe();
    // The account's query has ended, or its time is up: its box takes its state.
    void AccountAnswerArrived(std::size_t account);

    // A click on a box or a button of the window.
    void Click(ControlId id);
    // A menu entry; false for entries this window does not handle.
    bool Menu(MenuId id);
    // The pointer moved over a control (none: the window's background).
    void PointerOver(std::optional<ControlId> id);
    // A window this one opened (options, about) has closed.
    void OwnedWindowClosed();
    // A close request must wait while a command runs or a window of ours is open.
    bool CloseMustWait() const { return state_.busyDepth > 0 || state_.ownedWindowOpen; }
    // Windows announced the end of the session, then cancelled it.
    void SessionEndCancelled();
    // The closing prompts and clean-up; see Closing.h. False when the window must stay.
    bool Close(bool sessionEnding);

    Machine& machine() { return machine_; }

    MainWindowState& state() { return state_; }
    Controls& controls() { return state_.controls; }

  private:
    void OpenOwned(OwnedWindow window);
    // Has the queries started aside, and asks each to tell of its end.
    void WatchAccountQueries();
    // The queries whose answers are still due.
    std::vector<StartedProcess*> DueQueries() const;
    // Waits for every answer still due, the window drawn meanwhile but taking no other command,
    // and shows them.
    void AwaitAccountAnswers();
    void TakeAccountAnswer(std::size_t account);
    // Writes the boxes ticked to a policy file the person chooses.
    void SavePolicy();

    Reg reg_;
    Machine machine_;
    MainWindowState state_;
    std::optional<AccountQueries> accountQueries_;
    // LoadFromMachine left the accounts to queries that StartAccountProbe starts.
    bool probeDue_ = false;
    std::array<bool, kAccountBoxes.size()> answerDue_{};
    // What the pointer was last over, for the help area to follow an answer that arrives.
    std::optional<ControlId> pointedAt_;
};

}  // namespace tolvane
