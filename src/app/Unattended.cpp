#include "app/Unattended.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "app/MainWindowController.h"
#include "app/Report.h"
#include "catalogue/Accounts.h"
#include "catalogue/DomainCautions.h"
#include "catalogue/Groups.h"
#include "catalogue/Port135.h"
#include "catalogue/Services.h"
#include "help/About.h"
#include "ports/PortBoxes.h"
#include "system/AsciiCase.h"
#include "system/Decimal.h"

namespace tolvane {
namespace {

using C = ControlId;

// Shows nothing and answers every question No: what it is told goes into the report.
class QuietHost : public Host {
  public:
    int ShowMessageBox(const std::wstring& text, const std::wstring&, unsigned style) override {
        told.push_back(text);
        return (style & MbYesNo) ? IdNo : IdOk;
    }

    std::vector<std::wstring> told;
};

// A setting as the machine holds it.
enum class Found { Unavailable, Unknown, NotInForce, InForce };
// One a setting, in the order of SettingBoxes.
using Reading = std::vector<Found>;

InForceState InForceOf(Found found) {
    switch (found) {
        case Found::InForce:
            return InForceState::Yes;
        case Found::Unknown:
            return InForceState::Unknown;
        default:
            return InForceState::No;
    }
}

// An apply may change it: available, readable, and not a port 135 that only a person may close.
bool Counts(const SettingBox& setting, Found found) {
    return setting.box != C::Port135Box && (found == Found::NotInForce || found == Found::InForce);
}

class UnattendedRun {
  public:
    UnattendedRun(const UnattendedRequest& request, RegistryStore& registry, System& system,
                  LocalAccounts& accounts)
        : request_(request), registry_(registry), system_(system), accounts_(accounts) {}

    // False when this Windows is refused.
    bool Start();
    void Audit();
    void Apply();
    void Restore();

    // Notes the lines of settings in force whose ports still listen.
    void NoteStillListening(const std::vector<ListeningPort>& ports,
                            const RunningServices& services);

    RunOutcome outcome;
    Report report;
    std::vector<std::wstring> Told() const { return host_.told; }

  private:
    std::unique_ptr<MainWindowController> Load();
    Reading Read(MainWindowController& main);
    bool Asked(const SettingBox& setting) const {
        return request_.choice.asked.test(SettingIndexOf(setting.box));
    }
    bool AskedIn(Group group) const {
        const std::span<const SettingBox> settings = SettingBoxes();
        return std::any_of(settings.begin(), settings.end(), [&](const SettingBox& setting) {
            return setting.group == group && Asked(setting);
        });
    }
    void AddLine(const SettingBox& setting, Found found, std::wstring done,
                 std::wstring reason = {}) {
        const std::size_t i = SettingIndexOf(setting.box);
        report.settings.push_back({setting.reportKey,
                                   SettingGroupOf(setting.group).name,
                                   main_->controls().Caption(setting.label),
                                   InForceOf(found),
                                   std::move(done),
                                   std::move(reason),
                                   {},
                                   request_.choice.implied.test(i) ? L"implied"
                                   : Asked(setting)                ? L"yes"
                                                                   : L"no"});
        lineBoxes_.push_back(setting.box);
    }
    // Counts against the exit code. A list that names a setting is a compliance run, which never
    // passes without reading: there a named setting that cannot be read counts.
    bool NotInForce(Found found) const {
        return found == Found::NotInForce ||
               (found == Found::Unknown && request_.choice.namesSetting);
    }
    void NotAsked(const SettingBox& setting, Found found) { AddLine(setting, found, L"not asked"); }
    std::wstring Reason(const WriteFailure& failure) {
        return system_.ErrorText(failure.code) + L" (" + failure.fullPath + L")";
    }
    void Refused(const WriteFailure& failure) {
        outcome.accessDenied = outcome.accessDenied || failure.code == kRegAccessDenied;
    }

    const UnattendedRequest& request_;
    RegistryStore& registry_;
    System& system_;
    LocalAccounts& accounts_;
    QuietHost host_;
    std::unique_ptr<MainWindowController> main_;
    // The box of each line of the report.
    std::vector<C> lineBoxes_;
};

void AddNote(ReportLine& line, const std::wstring& note) {
    line.note += (line.note.empty() ? L"" : L"; ") + note;
}

// Nobody is there to weigh what a domain controller would lose: that is for the window.
bool ControllerNeedsItHere(bool controller, const SettingBox& setting) {
    return controller && ControllerNeedsIt(setting.box);
}

// The service whose start type the value path holds: "...\Services\W32Time\Start".
std::wstring ServiceOf(const std::wstring& startPath) {
    const std::wstring key = KeyOf(startPath);
    return key.substr(key.rfind(L'\\') + 1);
}

// "Needs a restart" is a fact per direction. What a restore brought back waits for the next start
// where Windows reads it only then (the setting's own fact), and for an automatic start type
// whose service is not running now; a service that starts on demand or stays disabled needs none.
bool RestoreNeedsRestart(Reg& reg, const SettingBox& setting,
                         std::span<const HardeningSetting> restored,
                         const std::optional<std::vector<RunningService>>& running) {
    for (const HardeningSetting& row : restored) {
        if (row.undoRule.kind != UndoRule::Kind::RestoreBackup) {
            if (setting.needsRestart) {
                return true;
            }
            continue;
        }
        const std::wstring service = AsciiLowered(ServiceOf(row.valuePath));
        const bool runs =
            running && std::any_of(running->begin(), running->end(), [&](const RunningService& r) {
                return AsciiLowered(r.name) == service;
            });
        if (!runs && reg.ReadText(kHklm, row.valuePath) == L"2") {
            return true;
        }
    }
    return false;
}

std::unique_ptr<MainWindowController> UnattendedRun::Load() {
    auto main = std::make_unique<MainWindowController>(registry_, system_, host_, accounts_);
    main->state().skipAccountProbe = request_.skipAccountProbe;
    main->state().repairsPort135 = false;
    if (!main->LoadFromMachine()) {
        return nullptr;
    }
    return main;
}

bool UnattendedRun::Start() {
    main_ = Load();
    outcome.unsupported = !main_;
    return main_ != nullptr;
}

// Each setting on its own: while port 135 is closed the window takes the other port boxes away,
// but a report tells what each of them holds.
Reading UnattendedRun::Read(MainWindowController& main) {
    const std::span<const SettingBox> settings = SettingBoxes();
    MainWindowState& state = main.state();
    Controls& controls = state.controls;
    if (controls.Ticked(C::Port135Box)) {
        EnableInstalledServiceBoxes(state, main.machine());
    }
    Reading reading(settings.size());
    for (std::size_t i = 0; i < settings.size(); ++i) {
        const C box = settings[i].box;
        // An account nobody could read is unknown, though its box is as unavailable as the rest.
        if (state.unknownAccounts.count(box)) {
            reading[i] = Found::Unknown;
        } else if (state.unavailableHere.count(box)) {
            reading[i] = Found::Unavailable;
        } else if (box == C::Port135Box) {
            reading[i] = IsPort135Closed(main.machine()) ? Found::InForce : Found::NotInForce;
        } else if (!controls.Enabled(box)) {
            reading[i] = Found::Unavailable;
        } else {
            reading[i] = controls.Ticked(box) ? Found::InForce : Found::NotInForce;
        }
    }
    return reading;
}

void UnattendedRun::Audit() {
    const std::span<const SettingBox> settings = SettingBoxes();
    const Reading reading = Read(*main_);
    // A member's cautions are for what an apply changes: an audit needs no domain asked.
    const bool controller = IsDomainController(system_.QueryVersion());
    for (std::size_t i = 0; i < settings.size(); ++i) {
        const SettingBox& setting = settings[i];
        const Found found = reading[i];
        if (!Asked(setting)) {
            NotAsked(setting, found);
            continue;
        }
        // Counted as an apply counts it: what a domain controller needs is never applied.
        if (ControllerNeedsItHere(controller, setting)) {
            AddLine(setting, found, L"left alone: a domain controller needs it");
            continue;
        }
        // Port 135 only where the list names it: no unattended run may close it.
        const bool port135 = setting.box == C::Port135Box;
        outcome.notDone += NotInForce(found) && (!port135 || request_.choice.byKey.test(i));
        AddLine(setting, found,
                found == Found::Unavailable ? L"unavailable"
                : found == Found::Unknown   ? L"cannot be read"
                                            : L"read");
    }
}

void UnattendedRun::Apply() {
    const std::span<const SettingBox> settings = SettingBoxes();
    MainWindowState& state = main_->state();
    Machine& machine = main_->machine();
    const Reading before = Read(*main_);
    const DomainRole role = DetectDomainRole(system_);
    const auto controllerNeeds = [&](const SettingBox& setting) {
        return ControllerNeedsItHere(role == DomainRole::Controller, setting);
    };
    for (std::size_t i = 0; i < settings.size(); ++i) {
        if (Asked(settings[i]) && Counts(settings[i], before[i]) && !controllerNeeds(settings[i])) {
            state.controls.SetValue(settings[i].box, BoxValue::Ticked);
        }
    }
    std::vector<Refusal> refusals;
    for (const SettingGroup& group : SettingGroups()) {
        const bool available = group.group != Group::Shares || SharesAvailable(state);
        if (AskedIn(group.group) && available) {
            if (GroupResult refusal = group.apply(state, machine)) {
                Refused(refusal->failure);
                refusals.push_back(std::move(*refusal));
            }
        }
    }
    // The report says what the machine holds now, read as an audit reads it.
    const std::unique_ptr<MainWindowController> again = Load();
    const Reading after = Read(*again);
    for (std::size_t i = 0; i < settings.size(); ++i) {
        const SettingBox& setting = settings[i];
        if (!Asked(setting)) {
            NotAsked(setting, after[i]);
            continue;
        }
        const auto refused = std::find_if(refusals.begin(), refusals.end(),
                                          [&](const Refusal& r) { return r.box == setting.box; });
        const bool notTried = std::any_of(refusals.begin(), refusals.end(), [&](const Refusal& r) {
            return std::count(r.notTried.begin(), r.notTried.end(), setting.box) > 0;
        });
        const Found found = after[i];
        if (setting.box == C::Port135Box && before[i] != Found::Unavailable) {
            AddLine(setting, found, L"left alone: closing port 135 always asks a person");
            continue;
        }
        if (controllerNeeds(setting)) {
            AddLine(setting, found,
                    L"left alone: a domain controller needs it; apply it from the window");
            continue;
        }
        if (before[i] == Found::Unavailable || before[i] == Found::Unknown) {
            outcome.notDone += NotInForce(before[i]);
            AddLine(setting, before[i],
                    before[i] == Found::Unavailable ? L"unavailable"
                                                    : L"left alone: its state cannot be read");
            continue;
        }
        outcome.notDone += NotInForce(found);
        if (refused != refusals.end()) {
            AddLine(setting, found, L"refused", Reason(refused->failure));
        } else if (notTried) {
            AddLine(setting, found, L"not tried");
        } else if (found == Found::Unknown) {
            AddLine(setting, found, L"not confirmed: its state cannot be read again");
        } else if (found == Found::InForce) {
            const bool changed = before[i] != Found::InForce;
            outcome.restartNeeded = outcome.restartNeeded || (changed && setting.needsRestart);
            AddLine(setting, found, changed ? L"applied" : L"already in force");
            if (changed && setting.needsRestart) {
                AddNote(report.settings.back(), kRestartNote);
            }
            if (role != DomainRole::Workgroup && HasDomainConsequence(setting.box)) {
                AddNote(report.settings.back(), DomainCautionNote(setting.box));
            }
        } else if (setting.box == C::GuestAccountBox || setting.box == C::HelpAssistantBox) {
            AddLine(setting, found, L"refused", L"The account was left as it was.");
        } else {
            AddLine(setting, found, L"not applied");
        }
    }
}

void UnattendedRun::Restore() {
    const std::span<const SettingBox> settings = SettingBoxes();
    Machine& machine = main_->machine();
    struct Done {
        std::wstring done;
        std::wstring reason;
        bool restart = false;
    };
    std::vector<Done> done(settings.size());
    const std::optional<std::vector<RunningService>> running = system_.RunningServices();
    // The accounts this program switched off have records of their own.
    const std::map<C, RecordedAccountEnd> accounts =
        AskedIn(Group::Accounts)
            ? RestoreRecordedAccounts(main_->state(), machine,
                                      [&](C box) { return Asked(SettingBoxOf(box)); })
            : std::map<C, RecordedAccountEnd>{};
    for (std::size_t i = 0; i < settings.size(); ++i) {
        const SettingBox& setting = settings[i];
        if (!Asked(setting) || setting.box == C::Port135Box) {
            continue;
        }
        if (const auto account = accounts.find(setting.box); account != accounts.end()) {
            const RecordedAccountEnd& end = account->second;
            outcome.notDone += end.failure || end.stillRunning || end.nameUnknown;
            outcome.accessDenied = outcome.accessDenied || end.failure == kRegAccessDenied;
            done[i] = end.nameUnknown
                          ? Done{L"not switched: Windows could not name the guest account",
                                 L"Nothing was switched; the record stays for the next restore."}
                      : end.failure      ? Done{L"refused", system_.ErrorText(end.failure)}
                      : end.stillRunning ? Done{L"not confirmed: net user had not ended", {}}
                                         : Done{L"restored", {}};
            continue;
        }
        std::vector<HardeningSetting> restored;
        int unusable = 0;
        WriteResult failure;
        for (const HardeningSetting& row : SettingsOfBox(machine.reg, setting.box)) {
            const RecordUndoResult result = UndoFromRecord(machine.reg, row);
            if (result.outcome == RecordUndo::Restored) {
                restored.push_back(row);
            }
            unusable += result.outcome == RecordUndo::Unusable;
            failure = failure ? failure : result.failure;
        }
        outcome.notDone += unusable + (failure ? 1 : 0);
        const bool restart = RestoreNeedsRestart(machine.reg, setting, restored, running);
        outcome.restartNeeded = outcome.restartNeeded || restart;
        if (failure) {
            Refused(*failure);
            done[i] = {L"refused", Reason(*failure), restart};
        } else {
            done[i] = {unusable            ? L"a record it cannot use was left in place"
                       : !restored.empty() ? L"restored"
                                           : L"nothing recorded",
                       {},
                       restart};
        }
    }
    // Port 135 comes back only where this program closed it, or did not finish reopening it.
    const auto port135 = std::find_if(settings.begin(), settings.end(),
                                      [](const SettingBox& s) { return s.box == C::Port135Box; });
    Done& reopened = done[static_cast<std::size_t>(port135 - settings.begin())];
    if (Asked(*port135)) {
        reopened = {L"nothing recorded", {}};
        if (Port135ReopeningDue(machine.reg)) {
            if (const auto failure = OpenPort135(machine)) {
                ++outcome.notDone;
                outcome.accessDenied = outcome.accessDenied || failure->code == kRegAccessDenied;
                reopened = failure->notKnown
                               ? Done{L"not known: the registry editor had to be ended",
                                      L"Its records stay for the next restore."}
                               : Done{L"refused", system_.ErrorText(failure->code)};
            } else {
                reopened = {L"reopened", {}, true};
                outcome.restartNeeded = true;
            }
        }
    }
    const std::unique_ptr<MainWindowController> again = Load();
    const Reading after = Read(*again);
    for (std::size_t i = 0; i < settings.size(); ++i) {
        if (!Asked(settings[i])) {
            NotAsked(settings[i], after[i]);
            continue;
        }
        AddLine(settings[i], after[i], done[i].done, done[i].reason);
        if (done[i].restart) {
            AddNote(report.settings.back(), kRestartNote);
        }
    }
}

void UnattendedRun::NoteStillListening(const std::vector<ListeningPort>& ports,
                                       const RunningServices& services) {
    // A note, not a count: many services let their ports go only at the next start.
    const auto inForce = [&](C box) {
        for (std::size_t i = 0; i < lineBoxes_.size(); ++i) {
            if (lineBoxes_[i] == box) {
                return report.settings[i].inForce == InForceState::Yes;
            }
        }
        return false;
    };
    for (const StillListening& still : InForceButListening(ports, services, inForce)) {
        for (std::size_t i = 0; i < lineBoxes_.size(); ++i) {
            if (lineBoxes_[i] == still.box) {
                AddNote(report.settings[i], StillListensNote(still.ports));
            }
        }
    }
}

// How long a run waits for another to finish its changes: a start-up script and an
// administrator's run that meet are seldom longer, and an engine must not wait for ever.
constexpr std::uint32_t kMachineLockWaitMs = 60000;

constexpr wchar_t kNotAdministratorText[] =
    L"Tolvane was not run as an administrator, and only an administrator may change this "
    L"computer. Nothing was changed.";
constexpr wchar_t kAbandonedText[] =
    L"A Tolvane run before this one ended without finishing its changes (it was ended, or the "
    L"computer stopped). What it changed, it recorded: a restore brings that back.";

std::wstring PassedOverText(const std::wstring& owner) {
    return L"The lock's name, Global\\Tolvane.ChangingThisComputer, was taken by " + owner +
           L", neither the local system account nor the administrators. Tolvane passed it over "
           L"and took a lock that only an administrator can take.";
}

std::wstring MachineHeldText(System& system, unsigned long error) {
    if (error == kMachineHeldElsewhere) {
        return L"Another Tolvane run is changing this computer and did not finish within " +
               Decimal(kMachineLockWaitMs / 1000) +
               L" seconds. Nothing was changed; run this again when it has finished.";
    }
    return L"Tolvane could not make sure that no other Tolvane run is changing this computer: " +
           system.ErrorText(error) + L" Nothing was changed.";
}

}  // namespace

std::wstring UsageText() {
    return L"Tolvane [/audit[:NAMES] | /apply:NAMES | /restore:NAMES] [/report:PATH] "
           L"[-noaccount]\r\n"
           L"\r\n"
           L"/audit\treads every setting and reports it; /audit:NAMES counts only those named\r\n"
           L"/apply:NAMES\tapplies the available settings named; port 135 is never closed this "
           L"way\r\n"
           L"/restore:NAMES\tundoes what Tolvane recorded for the settings named, and only that\r\n"
           L"NAMES\tgroups (shares, accounts, services, all) and settings by their report keys "
           L"(services.time), separated by commas and read left to right; -NAME takes out what "
           L"stands before it; @PATH stands for the names in a file (beside the program when "
           L"relative)\r\n"
           L"/report:PATH\twhere the report goes, %VARIABLES% expanded (a path ending in .csv "
           L"gives CSV); by default Tolvane-COMPUTERNAME.txt beside the program\r\n"
           L"-noaccount\tdoes not query the guest and help-assistant accounts\r\n"
           L"/?\tshows these lines\r\n"
           L"Switches take / or - in any letter case.\r\n"
           L"\r\n"
           L"Exit codes:\r\n"
           L"0\teverything asked is in force, or every record was restored\r\n"
           L"1-99\tthat many settings named and not in force, or records not restored\r\n"
           L"100\tunsupported Windows\r\n"
           L"101\tnot run as an administrator (an apply or restore changes nothing then), or "
           L"Windows "
           L"refused a change for lack of rights\r\n"
           L"102\ta bad command line or policy file; the usage is in the report\r\n"
           L"105\tthe policy file could not be read; nothing was done\r\n"
           L"103\tthe report could not be written\r\n"
           L"104\tanother Tolvane run is changing this computer; nothing was changed\r\n"
           L"3010\teverything asked is in force; a change made now needs a restart\r\n";
}

std::wstring PolicyPath(const std::wstring& path, System& system) {
    const std::wstring expanded = ExpandVariables(
        path, [&](const std::wstring& name) { return system.EnvironmentVariable(name); });
    const bool absolute = expanded.starts_with(L"\\") || expanded.starts_with(L"/") ||
                          (expanded.size() >= 2 && expanded[1] == L':');
    return absolute ? expanded : system.ProgramFolder() + L"\\" + expanded;
}

std::wstring ReportPath(const UnattendedRequest& request, System& system) {
    if (request.reportPath.empty()) {
        const std::wstring computer = system.ComputerName();
        return system.ProgramFolder() + L"\\Tolvane-" + (computer.empty() ? L"report" : computer) +
               L".txt";
    }
    return ExpandVariables(request.reportPath, [&](const std::wstring& name) {
        return system.EnvironmentVariable(name);
    });
}

int RunUnattended(const UnattendedRequest& asked, RegistryStore& registry, System& system,
                  LocalAccounts& accounts) {
    UnattendedRequest request = asked;
    bool policyUnreadable = false;
    if (request.error.empty() && request.choice.readsFiles) {
        // Read once, before anything else: a policy that cannot be read changes nothing.
        ReadPolicyFiles(request, [&](const std::wstring& path) {
            return ReadPolicyFile(system, PolicyPath(path, system));
        });
        policyUnreadable = request.choice.unreadable;
    }
    UnattendedRun run(request, registry, system, accounts);
    run.outcome.policyUnreadable = policyUnreadable;
    Report& report = run.report;
    report.computer = system.ComputerName();
    report.time = Iso8601(system.UtcNow());
    if (const auto version = system.ProgramVersion()) {
        report.version = VersionNumber(*version);
    }
    report.windows = WindowsName(system.QueryVersion());
    report.task = TaskText(request);
    // One run at a time changes the machine, from its first reading on: what this run finds not
    // in force must still be so when it records the former value. Only an administrator may
    // change it: anyone else is told so before the lock, and never waits for it.
    std::unique_ptr<MachineLock> lock;
    const bool changes =
        request.mode == UnattendedMode::Apply || request.mode == UnattendedMode::Restore;
    if (request.error.empty() && changes && system.RunsAsAdministrator() == false) {
        run.outcome.accessDenied = true;
        report.messages.push_back(kNotAdministratorText);
    } else if (request.error.empty() && changes) {
        MachineLockResult locked = system.LockMachineForChanges(kMachineLockWaitMs);
        lock = std::move(locked.lock);
        if (!lock) {
            run.outcome.machineHeld = true;
            report.messages.push_back(MachineHeldText(system, locked.error));
        }
        if (!locked.passedOver.empty()) {
            report.messages.push_back(PassedOverText(locked.passedOver));
        }
        if (locked.abandoned) {
            report.messages.push_back(kAbandonedText);
        }
    }
    if (policyUnreadable) {
        report.messages = {request.error};
        system.WriteStandardOutput(request.error + L"\r\n");
    } else if (!request.error.empty()) {
        run.outcome.badCommandLine = true;
        report.messages = {request.error, UsageText()};
        system.WriteStandardOutput(request.error + L"\r\n\r\n" + UsageText());
    } else if (run.outcome.accessDenied) {
        // Not even read: an unsupported Windows still says so first.
        run.outcome.unsupported = DetectWindowsVersion(system) == WindowsVersion::Unsupported;
    } else if (!run.outcome.machineHeld && run.Start()) {
        switch (request.mode) {
            case UnattendedMode::Audit:
                run.Audit();
                break;
            case UnattendedMode::Apply:
                run.Apply();
                break;
            default:
                run.Restore();
                break;
        }
    }
    if (const unsigned long error = lock ? lock->Release() : 0) {
        report.messages.push_back(
            L"Tolvane could not let go of the lock that keeps other Tolvane runs from changing "
            L"this computer at the same time: " +
            system.ErrorText(error) + L" Other runs wait until this one has ended.");
    }
    lock.reset();
    const std::vector<std::wstring> told = run.Told();
    report.messages.insert(report.messages.end(), told.begin(), told.end());
    // The proof on the wire: what still listens after the run.
    report.ports = system.ListeningPorts();
    report.services = system.RunningServices();
    run.NoteStillListening(report.ports, report.services);
    report.exitCode = ExitCodeOf(run.outcome);
    report.restartNeeded = run.outcome.restartNeeded;
    const std::wstring path = ReportPath(request, system);
    const bool csv = WantsCsv(path);
    if (const unsigned long error = system.WriteFileReplacing(
            path, csv ? FormatCsvReport(report) : FormatTextReport(report))) {
        run.outcome.reportNotWritten = true;
        system.WriteStandardOutput(L"Tolvane could not write the report " + path + L"\r\n" +
                                   system.ErrorText(error) + L"\r\n");
    }
    return ExitCodeOf(run.outcome);
}

}  // namespace tolvane
