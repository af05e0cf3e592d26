// The main window's logic: start-up, and what each click and menu entry does.
#pragma once

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
    // Starts the account queries, so that they run while the window is being made; nothing with
    // -noaccount or on a Windows version the program refuses. LoadFromMachine reads them.
    void StartAccountProbe();
    // Adapts the window to the machine and shows every setting's state; false when this
    // Windows version is refused and the program must end.
    bool LoadFromMachine();

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
    // Writes the boxes ticked to a policy file the person chooses.
    void SavePolicy();

    Reg reg_;
    Machine machine_;
    MainWindowState state_;
    std::optional<AccountQueries> accountQueries_;
};

}  // namespace tolvane
