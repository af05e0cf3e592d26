#include "app/MainWindowController.h"

#include <algorithm>

#include "app/Closing.h"
#include "app/CommandLine.h"
#include "app/Commands.h"
#include "app/WindowPolicy.h"
#include "catalogue/AccountProbe.h"
#include "catalogue/Groups.h"
#include "catalogue/Port135.h"
#include "help/ContextHelp.h"
#include "help/HelpFile.h"
#include "help/WebLinks.h"
#include "model/ControlLayout.h"
#include "model/Restart.h"
#include "system/Deadline.h"
#include "system/SystemInfo.h"

namespace tolvane {
namespace {

using C = ControlId;

// A wait for an account answer shorter than this shows nothing: the window only seems to take a
// moment. A longer one says why the window does not answer.
constexpr std::uint32_t kQuietWaitMs = 300;

// Whatever acts on an account waits for its answer.
bool ActsOnAccounts(ControlId id) {
    return id == C::ApplyAccountsButton || id == C::SelectAllAccountsBox;
}

void DisableShareGroup(Controls& controls) {
    for (C box : BoxesOf(Group::Shares)) {
        controls.SetEnabled(box, false);
    }
    controls.SetEnabled(C::SelectAllSharesBox, false);
    controls.SetEnabled(SettingGroupOf(Group::Shares).applyButton, false);
}

}  // namespace

MainWindowController::MainWindowController(RegistryStore& registry, System& system, Host& host,
                                           LocalAccounts& accounts)
    : reg_(registry, RegistryViewOf(system.QueryVersion(), system.UnderWow64())),
      machine_{reg_, system, host, accounts} {
    state_.controls.SetReaction([this](C id) { BoxChanged(state_, machine_, id); });
}

void MainWindowController::ReadCommandLine(const std::wstring& commandLine) {
    state_.skipAccountProbe = ParseCommandLine(commandLine).skipAccountProbe;
}

void MainWindowController::StartAccountProbe() {
    if (!probeDue_ || accountQueries_) {
        return;
    }
    // Started on a thread of their own: each start waits for its process, which this thread
    // spends drawing the window meanwhile.
    accountQueries_ = StartAccountQueries(machine_, true);
    if (!accountQueries_->starting->WhenStarted([this] { WatchAccountQueries(); })) {
        WatchAccountQueries();
    }
}

void MainWindowController::WatchAccountQueries() {
    if (!accountQueries_) {
        StartAccountProbe();
    }
    if (!accountQueries_ || !accountQueries_->starting) {
        return;
    }
    TakeStartedQueries(*accountQueries_);
    const std::uint32_t timeLeft = TimeLeft(accountQueries_->startedAt,
                                            machine_.system.Milliseconds(), kAccountQueryTimeoutMs);
    bool unwatched = false;
    for (std::size_t i = 0; i < kAccountBoxes.size(); ++i) {
        // A query that did not start (or that nobody could name) has its answer now; one whose
        // end nothing would tell is waited for.
        StartedProcess* const query = accountQueries_->processes[i].get();
        if (!query) {
            TakeAccountAnswer(i);
        } else if (!query->WhenEnded(static_cast<std::int32_t>(timeLeft),
                                     [this, i] { AccountAnswerArrived(i); })) {
            unwatched = true;
        }
    }
    if (unwatched) {
        AwaitAccountAnswers();
    }
}

std::vector<StartedProcess*> MainWindowController::DueQueries() const {
    std::vector<StartedProcess*> due;
    for (std::size_t i = 0; i < kAccountBoxes.size(); ++i) {
        if (answerDue_[i]) {
            due.push_back(accountQueries_->processes[i].get());
        }
    }
    return due;
}

void MainWindowController::TakeAccountAnswer(std::size_t account) {
    answerDue_[account] = false;
    ShowAccountAnswer(state_, machine_, *accountQueries_, account);
    // A box nobody could read stays disabled: ticking it would switch an account never read.
    const C box = kAccountBoxes[account].box;
    state_.controls.SetEnabled(box, !state_.unavailableHere.count(box));
    if (state_.controls.Caption(C::HelpTextBox) == kReadingAccountHelp) {
        ShowHelpFor(state_, pointedAt_);
    }
}

void MainWindowController::AccountAnswerArrived(std::size_t account) {
    if (!answerDue_[account]) {
        return;
    }
    // A query whose time is up is read as far as it wrote, which pauses: no command may start
    // meanwhile on an answer half taken.
    std::optional<BusyScope> busy;
    if (!accountQueries_->processes[account]->WaitForExit(0)) {
        busy.emplace(state_, machine_.host);
    }
    TakeAccountAnswer(account);
}

void MainWindowController::AwaitAccountAnswers() {
    WatchAccountQueries();
    std::vector<StartedProcess*> due = DueQueries();
    if (due.empty()) {
        return;
    }
    System& system = machine_.system;
    const auto timeLeft = [&](std::uint32_t most) {
        return static_cast<std::int32_t>(std::min(
            most,
            TimeLeft(accountQueries_->startedAt, system.Milliseconds(), kAccountQueryTimeoutMs)));
    };
    // The window goes on drawing, and the answers that arrive meanwhile are taken at once.
    system.WaitForAll(due, timeLeft(kQuietWaitMs));
    due = DueQueries();
    const bool pleaseWait = std::any_of(
        due.begin(), due.end(), [](StartedProcess* query) { return !query->WaitForExit(0); });
    if (pleaseWait) {
        machine_.host.ShowPleaseWait(true);
        system.WaitForAll(due, timeLeft(kAccountQueryTimeoutMs));
    }
    for (std::size_t i = 0; i < kAccountBoxes.size(); ++i) {
        if (answerDue_[i]) {
            TakeAccountAnswer(i);
        }
    }
    if (pleaseWait) {
        machine_.host.ShowPleaseWait(false);
    }
}

bool MainWindowController::LoadFromMachine(AccountReading reading) {
    System& system = machine_.system;
    const WindowsVersion version = DetectWindowsVersion(system);
    if (version == WindowsVersion::Unsupported) {
        machine_.host.ShowMessage(kUnsupportedMessage, kAppTitle, MbOk | MbIconExclamation);
        return false;
    }
    BusyScope busy(state_, machine_.host);
    Controls& controls = state_.controls;
    const std::wstring fileSystem = SystemDriveFileSystem(system, machine_.systemDrive);
    // Simple file sharing can be turned off only on XP Professional, and there only outside a
    // domain: a member has the classic model always.
    const bool xpProfessional = IsXpProfessional(system, machine_.windowsFolder);
    state_.unavailableHere.clear();
    if (xpProfessional && DetectDomainRole(system) == DomainRole::Member) {
        state_.unavailableHere[C::SimpleFileSharingBox] = kSingleShareDomainHelp;
    }
    if (!CanDisableDcom(system.QueryVersion())) {
        state_.unavailableHere[C::Port135Box] = kPort135NeedsSp3Help;
    }
    if (!xpProfessional || state_.unavailableHere.count(C::SimpleFileSharingBox)) {
        controls.SetEnabled(C::SimpleFileSharingBox, false);
    }
    controls.SetCaption(C::HelpTextBox, L"");
    state_.restartNeeded = false;
    if (fileSystem != kNtfs) {
        DisableShareGroup(controls);
    }
    if (!state_.skipAccountProbe && reading == AccountReading::WhileInUse) {
        probeDue_ = true;
        for (std::size_t i = 0; i < kAccountBoxes.size(); ++i) {
            answerDue_[i] = true;
            ShowAccountBeingRead(state_, i);
        }
    } else if (!state_.skipAccountProbe) {
        ProbeAccounts(state_, machine_);
        // A box nobody could read stays disabled: ticking it would switch an account never read.
        for (const AccountBox& account : kAccountBoxes) {
            controls.SetEnabled(account.box, !state_.unavailableHere.count(account.box));
        }
    }
    if (state_.repairsPort135) {
        RemoveLeftImportFiles(machine_);
    }
    VerifyAllGroups(state_, machine_);
    // The verify only reads: whether to reopen a port 135 whose box it left cleared is start-up's.
    if (state_.repairsPort135 && !controls.Ticked(C::Port135Box)) {
        KeepPort135Open(state_, machine_);
    }
    controls.SetCaption(C::NetBiosPortsLabel, L"Ports 137, 138 UDP\r\net 139 TCP");
    return true;
}

void MainWindowController::Click(ControlId id) {
    Controls& controls = state_.controls;
    // While a command runs the window takes no other, even one sent to it from outside.
    if (!controls.Enabled(id) || state_.busyDepth > 0) {
        return;
    }
    BusyScope busy(state_, machine_.host);
    if (ActsOnAccounts(id)) {
        AwaitAccountAnswers();
    }
    switch (LayoutOf(id).kind) {
        case ControlKind::CheckBox:
            controls.SetValue(id, controls.Ticked(id) ? BoxValue::Cleared : BoxValue::Ticked);
            break;
        case ControlKind::Button:
            for (const SettingGroup& group : SettingGroups()) {
                if (id == group.applyButton) {
                    ApplyGroupCommand(state_, machine_, group.group);
                }
            }
            if (id == C::RestartButton) {
                ConfirmAndRestart(state_, machine_);
            }
            break;
        default:
            break;
    }
}

bool MainWindowController::Menu(MenuId id) {
    if (state_.busyDepth > 0) {
        return false;
    }
    BusyScope busy(state_, machine_.host);
    switch (id) {
        case MenuId::ApplyAll:
            AwaitAccountAnswers();
            ApplyAllCommand(state_, machine_);
            return true;
        case MenuId::VerifyAll:
            AwaitAccountAnswers();
            VerifyAllGroups(state_, machine_);
            return true;
        case MenuId::Options:
            OpenOwned(OwnedWindow::Options);
            return true;
        case MenuId::About:
            OpenOwned(OwnedWindow::About);
            return true;
        case MenuId::SavePolicy:
            SavePolicy();
            return true;
        case MenuId::OpenPolicy:
            if (const auto path = machine_.host.ChoosePolicyFile(false)) {
                AwaitAccountAnswers();
                OpenPolicy(state_, machine_, *path);
            }
            return true;
        case MenuId::ListeningPorts:
            OpenOwned(OwnedWindow::Ports);
            return true;
        case MenuId::HelpContents:
            OpenHelpFile(machine_);
            return true;
        case MenuId::Forum:
            machine_.system.OpenDocument(machine_.host.WindowHandle(), kForumUrl);
            return true;
        default:
            return false;
    }
}

void MainWindowController::SavePolicy() {
    const auto path = machine_.host.ChoosePolicyFile(true);
    if (!path) {
        return;
    }
    AwaitAccountAnswers();
    const std::string file = PolicyFromWindow(state_, machine_, *path);
    if (const unsigned long error = machine_.system.WriteFileReplacing(*path, file)) {
        machine_.host.ShowMessage(L"Tolvane could not save the policy\r\n" + *path + L"\r\n\r\n" +
                                      machine_.system.ErrorText(error),
                                  kAppTitle, MbOk | MbIconExclamation);
    }
}

void MainWindowController::PointerOver(std::optional<ControlId> id) {
    pointedAt_ = id;
    ShowHelpFor(state_, id);
}

void MainWindowController::OpenOwned(OwnedWindow window) {
    // The main window waits until it closes (OwnedWindowClosed).
    state_.ownedWindowOpen = true;
    machine_.host.OpenOwnedWindow(window);
}

void MainWindowController::OwnedWindowClosed() {
    state_.ownedWindowOpen = false;
    UpdateMainWindowEnabled(state_, machine_.host);
}

void MainWindowController::SessionEndCancelled() {
    RestartCancelled(state_, machine_.host);
}

bool MainWindowController::Close(bool sessionEnding) {
    BusyScope busy(state_, machine_.host);
    // Its questions compare the account boxes with what the machine holds; an ending session
    // asks none, and waits for nothing.
    if (!sessionEnding) {
        AwaitAccountAnswers();
    }
    return OfferPendingChangesAndCleanUp(state_, machine_, sessionEnding);
}

}  // namespace tolvane
