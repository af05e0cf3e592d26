// The main window's own state beyond its controls: what the last check found, and what keeps the
// window from taking input.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "model/Controls.h"
#include "model/Host.h"

namespace tolvane {

struct MainWindowState {
    Controls controls;
    // Each box's value as the last verify or probe left it.
    std::array<BoxValue, kControlCount> verifiedValues{};
    // An applied change needs a restart: closing offers it.
    bool restartNeeded = false;
    // Asked by -noaccount: the account boxes stay disabled.
    bool skipAccountProbe = false;
    int busyDepth = 0;
    // A window of its own (options, about) is open: the main window waits for it.
    bool ownedWindowOpen = false;
    // Windows took a restart request: nothing more may start while it shuts down.
    bool restartRequested = false;
    // The answer to the warning before closing port 135, asked before an apply takes the
    // machine-wide lock; nothing when nobody asked it yet.
    std::optional<bool> port135CloseAnswer;
    // How many scopes of this window hold the machine-wide lock.
    int machineLockDepth = 0;
    // Start-up brings a port 135 this program closed back to open while its box is not ticked,
    // and deletes the scripts a cut close left; an unattended run changes only what it was asked
    // to.
    bool repairsPort135 = true;
    // The account boxes whose state the system gave, net user's report being unreadable: the
    // account each stands for, switched through the system as well.
    std::map<ControlId, std::wstring> accountsReadFromSystem;
    // The account boxes whose state neither net user nor the system could tell at the last probe.
    std::set<ControlId> unknownAccounts;
    // The boxes that can mean nothing on this machine, with the help text that says why: they stay
    // disabled, and nothing is done for them.
    std::map<ControlId, const wchar_t*> unavailableHere;

    BoxValue& VerifiedValue(ControlId id) { return verifiedValues[static_cast<int>(id)]; }
    bool ChangedSinceVerify(ControlId id) { return controls.Value(id) != VerifiedValue(id); }
    bool TakesInput() const { return busyDepth == 0 && !ownedWindowOpen && !restartRequested; }
};

// Shows whether the main window takes input, after any of the reasons above changed.
inline void UpdateMainWindowEnabled(MainWindowState& state, Host& host) {
    host.EnableMainWindow(state.TakesInput());
}

// While a command runs, including any wait inside it, the main window takes no other command.
class BusyScope {
  public:
    BusyScope(MainWindowState& state, Host& host) : state_(state), host_(host) {
        if (state_.busyDepth++ == 0) {
            UpdateMainWindowEnabled(state_, host_);
        }
    }
    ~BusyScope() {
        if (--state_.busyDepth == 0) {
            UpdateMainWindowEnabled(state_, host_);
        }
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    MainWindowState& state_;
    Host& host_;
};

}  // namespace tolvane
