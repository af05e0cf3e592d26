#include "app/Unattended.h"

#include <array>
#include <optional>
#include <vector>

#include "app/CommandLine.h"
#include "app/MainForm.h"
#include "app/Report.h"
#include "catalogue/Accounts.h"
#include "catalogue/HardeningSetting.h"
#include "catalogue/Port135.h"
#include "catalogue/Services.h"
#include "catalogue/Shares.h"
#include "help/About.h"
#include "ports/ListeningPorts.h"
#include "ui/Commands.h"

namespace tolvane {
namespace {

using C = ControlId;

// Tolvane's settings as the report lists them: group by group, in the window's order.
struct ReportedBox {
    unsigned group;
    C box;
    C label;
};
constexpr std::array<ReportedBox, 21> kBoxes = {{
    {kShareGroup, C::SimpleShare, C::PartageLabel1},
    {kShareGroup, C::AdminShare, C::PartageLabel2},
    {kShareGroup, C::RemoteAdmin, C::PartageLabel3},
    {kShareGroup, C::ShareFolders, C::PartageLabel4},
    {kShareGroup, C::SharePrinters, C::PartageLabel5},
    {kAccountGroup, C::Invit, C::DisableLabel1},
    {kAccountGroup, C::HelpAssistant, C::DisableLabel2},
    {kAccountGroup, C::Anonyme, C::DisableLabel3},
    {kAccountGroup, C::EveryOne, C::DisableLabel4},
    {kAccountGroup, C::BDR, C::DisableLabel5},
    {kServiceGroup, C::Port135, C::PortsLabel1},
    {kServiceGroup, C::Port123, C::PortsLabel2},
    {kServiceGroup, C::Port137138139, C::PortsLabel3},
    {kServiceGroup, C::Port445, C::PortsLabel4},
    {kServiceGroup, C::Port500, C::PortsLabel5},
    {kServiceGroup, C::Port1023, C::PortsLabel6},
    {kServiceGroup, C::Port1024TCP, C::PortsLabel7},
    {kServiceGroup, C::Port1024UDP, C::PortsLabel8},
    {kServiceGroup, C::Port1027, C::PortsLabel9},
    {kServiceGroup, C::Port1900, C::PortsLabel10},
    {kServiceGroup, C::Port5000, C::PortsLabel11},
}};

// The groups in the order of the Apply buttons.
struct GroupRoutines {
    unsigned group;
    const wchar_t* name;
    WriteResult (*apply)(Form&, Machine&);
    void (*verify)(Form&, Machine&);
};
constexpr std::array<GroupRoutines, 3> kGroups = {{
    {kShareGroup, L"Shares", ApplyShares, VerifyShares},
    {kAccountGroup, L"Accounts", ApplyAccounts, VerifyAccounts},
    {kServiceGroup, L"Services", ApplyServices, VerifyServices},
}};

const wchar_t* GroupName(unsigned group) {
    for (const GroupRoutines& routines : kGroups) {
        if (routines.group == group) {
            return routines.name;
        }
    }
    return L"";
}

// Shows nothing and answers every question No: what it is told goes into the report.
class QuietHost : public Host {
  public:
    int ShowMessage(const std::wstring& text, const std::wstring&, unsigned style) override {
        told.push_back(text);
        return (style & MbYesNo) ? IdNo : IdOk;
    }
    void EnableMainWindow(bool) override {}
    void ShowMainWindow(bool) override {}
    void ShowPatient(bool) override {}
    void OpenOwnedWindow(OwnedWindow) override {}
    std::uintptr_t WindowHandle() override { return 0; }

    std::vector<std::wstring> told;
};

bool ParseGroups(const std::wstring& text, unsigned& groups) {
    std::size_t start = 0;
    do {
        const std::size_t comma = text.find(L',', start);
        const std::wstring name = text.substr(start, comma - start);
        if (name == L"shares") {
            groups |= kShareGroup;
        } else if (name == L"accounts") {
            groups |= kAccountGroup;
        } else if (name == L"services") {
            groups |= kServiceGroup;
        } else if (name == L"all") {
            groups |= kAllGroups;
        } else {
            return false;
        }
        start = comma == std::wstring::npos ? comma : comma + 1;
    } while (start != std::wstring::npos);
    return true;
}

int Capped(int count) {
    return count > kMostCounted ? kMostCounted : count;
}

class Run {
  public:
    Run(MainForm& main, const UnattendedRequest& request)
        : main_(main), form_(main.form()), machine_(main.machine()), request_(request) {}

    int Audit();
    int Apply();
    int Restore();

    Report report;

  private:
    bool Asked(const ReportedBox& box) const { return (request_.groups & box.group) != 0; }
    void Line(const ReportedBox& box, std::wstring done, std::wstring error = {}) {
        report.settings.push_back({GroupName(box.group), form_.controls.Caption(box.label),
                                   form_.controls.Value(box.box) == 1, std::move(done),
                                   std::move(error)});
    }
    std::wstring Reason(const WriteFailure& failure) {
        return machine_.system.ErrorText(failure.code) + L" (" + failure.fullPath + L")";
    }

    MainForm& main_;
    Form& form_;
    Machine& machine_;
    const UnattendedRequest& request_;
};

int Run::Audit() {
    int notInForce = 0;
    for (const ReportedBox& box : kBoxes) {
        const bool available = form_.controls.Enabled(box.box);
        // Closing port 135 always asks a person: listed, never counted.
        if (available && form_.controls.Value(box.box) == 0 && box.box != C::Port135) {
            ++notInForce;
        }
        Line(box, available ? L"read" : L"unavailable");
    }
    return Capped(notInForce);
}

int Run::Apply() {
    Controls& controls = form_.controls;
    const auto before = form_.verifiedState;
    std::array<bool, kControlCount> asked{};
    for (const ReportedBox& box : kBoxes) {
        if (Asked(box) && box.box != C::Port135 && controls.Enabled(box.box)) {
            asked[static_cast<int>(box.box)] = true;
            controls.SetValue(box.box, 1);
        }
    }
    // By group bit: what stopped each group's apply.
    std::array<WriteResult, kAllGroups + 1> failures;
    for (const GroupRoutines& group : kGroups) {
        const bool sharesAvailable = controls.Enabled(C::PartagesAppliquer);
        if ((request_.groups & group.group) && (group.group != kShareGroup || sharesAvailable)) {
            failures[group.group] = group.apply(form_, machine_);
            group.verify(form_, machine_);
        }
    }
    int notInForce = 0;
    bool deniedAccess = false;
    for (const ReportedBox& box : kBoxes) {
        if (!Asked(box)) {
            continue;
        }
        const int index = static_cast<int>(box.box);
        const WriteResult& failure = failures[box.group];
        if (box.box == C::Port135) {
            Line(box, L"left alone: closing port 135 always asks a person");
        } else if (!asked[index]) {
            Line(box, L"unavailable");
        } else if (before[index] == 1 && controls.Value(box.box) == 1) {
            Line(box, L"already in force");
        } else if (controls.Value(box.box) == 1) {
            Line(box, L"applied");
        } else {
            ++notInForce;
            deniedAccess = deniedAccess || (failure && failure->code == kRegAccessDenied);
            Line(box, failure ? L"refused" : L"not applied", failure ? Reason(*failure) : L"");
        }
    }
    return deniedAccess ? kExitNotAdministrator : Capped(notInForce);
}

int Run::Restore() {
    int notRestored = 0;
    bool deniedAccess = false;
    struct Outcome {
        const ReportedBox& box;
        std::wstring done;
        std::wstring error;
    };
    std::vector<Outcome> outcomes;
    for (const ReportedBox& box : kBoxes) {
        if (!Asked(box) || box.box == C::Port135) {
            continue;
        }
        int restored = 0;
        int unusable = 0;
        WriteResult failure;
        for (const HardeningSetting& row : RowsOfBox(box.box)) {
            const RecordUndoResult result = UndoFromRecord(machine_.reg, row);
            restored += result.outcome == RecordUndo::Restored;
            unusable += result.outcome == RecordUndo::Unusable;
            failure = failure ? failure : result.failure;
        }
        notRestored += unusable + (failure ? 1 : 0);
        deniedAccess = deniedAccess || (failure && failure->code == kRegAccessDenied);
        std::wstring done = restored ? L"restored" : L"nothing recorded";
        if (unusable) {
            done = L"a record it cannot use was left in place";
        }
        outcomes.push_back({box, failure ? L"refused" : done, failure ? Reason(*failure) : L""});
    }
    // Port 135 comes back only where this program closed it.
    if ((request_.groups & kServiceGroup) && Port135ReopeningDue(machine_.reg) &&
        !OpenPort135(form_, machine_)) {
        ++notRestored;
    }
    // The report shows what the machine holds now.
    VerifyAll_Click(form_, machine_);
    for (const Outcome& outcome : outcomes) {
        Line(outcome.box, outcome.done, outcome.error);
    }
    return deniedAccess ? kExitNotAdministrator : Capped(notRestored);
}

const wchar_t* TaskName(UnattendedMode mode) {
    switch (mode) {
        case UnattendedMode::Audit:
            return L"audit";
        case UnattendedMode::Apply:
            return L"apply";
        case UnattendedMode::Restore:
            return L"restore";
        default:
            return L"usage";
    }
}

}  // namespace

UnattendedRequest ParseUnattended(const std::wstring& commandLine) {
    std::vector<std::wstring> words;
    std::uint8_t count = 0;
    TraiteCommande(commandLine, L" ", words, count);
    UnattendedRequest request;
    bool usage = false;
    int tasks = 0;
    const auto task = [&](UnattendedMode mode, const std::wstring& groups) {
        ++tasks;
        request.mode = mode;
        request.badValue = request.badValue || !ParseGroups(groups, request.groups);
    };
    for (int i = 1; i <= count; ++i) {
        const std::wstring& word = words[i];
        if (word == L"/?") {
            usage = true;
        } else if (word == L"/audit") {
            ++tasks;
            request.mode = UnattendedMode::Audit;
            request.groups = kAllGroups;
        } else if (word.starts_with(L"/apply:")) {
            task(UnattendedMode::Apply, word.substr(7));
        } else if (word.starts_with(L"/restore:")) {
            task(UnattendedMode::Restore, word.substr(9));
        } else if (word.starts_with(L"/report:")) {
            request.reportPath = word.substr(8);
            request.badValue = request.badValue || request.reportPath.empty();
        }
    }
    request.badValue = request.badValue || tasks > 1;
    if (usage) {
        // A person asked: the usage goes to them, nothing is done.
        request = {UnattendedMode::Usage, 0, {}, false};
    }
    return request;
}

std::wstring UsageText() {
    return L"Tolvane [/audit | /apply:GROUPS | /restore:GROUPS] [/report:PATH] [-noaccount]\r\n"
           L"\r\n"
           L"/audit\treads every setting and reports it; the exit code counts the available "
           L"settings not in force\r\n"
           L"/apply:GROUPS\tapplies every available setting of the groups and reports; port 135 "
           L"is never closed this way\r\n"
           L"/restore:GROUPS\tundoes what Tolvane recorded for the groups, and only that\r\n"
           L"GROUPS\tshares, accounts, services or all, separated by commas\r\n"
           L"/report:PATH\twhere the report goes (a path ending in .csv gives CSV); by default "
           L"Tolvane-report.txt beside the program\r\n"
           L"-noaccount\tdoes not query the guest and help-assistant accounts\r\n"
           L"\r\n"
           L"Exit codes: 0 to 99 the settings not in force (or records not restored), 100 "
           L"unsupported Windows, 101 not run as an administrator, 102 a switch with a bad value.";
}

int RunUnattended(const UnattendedRequest& request, const std::wstring& commandLine,
                  RegistryStore& registry, System& system, LocalAccounts& accounts) {
    QuietHost host;
    MainForm main(registry, system, host, accounts);
    Run run(main, request);
    const auto version = system.ProgramVersion();
    run.report.heading = std::wstring(L"Tolvane ") +
                         (version ? VersionText(*version) + L" " : L"") + L"report (" +
                         TaskName(request.mode) + L")";
    int code = kExitBadValue;
    if (request.badValue) {
        host.told.push_back(
            L"A switch has a value it does not take, or more than one task was "
            L"asked.\r\n\r\n" +
            UsageText());
    } else {
        main.Form_Initialize(commandLine);
        // An audit only reads: not even a half-closed port 135 is repaired on the way.
        main.form().readOnly = request.mode == UnattendedMode::Audit;
        if (!main.Form_Load()) {
            code = kExitUnsupported;
        } else if (request.mode == UnattendedMode::Audit) {
            code = run.Audit();
        } else if (request.mode == UnattendedMode::Apply) {
            code = run.Apply();
        } else {
            code = run.Restore();
        }
    }
    run.report.notes = host.told;
    // The proof on the wire: what still listens after the run.
    run.report.ports = ListeningPortLines(system.ListeningPorts());
    const std::wstring path =
        request.reportPath.empty() ? system.ProgramFolder() + kDefaultReport : request.reportPath;
    system.WriteNewFile(path, FormatReport(run.report, WantsCsv(path)));
    return code;
}

}  // namespace tolvane
