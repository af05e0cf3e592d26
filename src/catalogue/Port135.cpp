#include "catalogue/Port135.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "model/FailureMessages.h"
#include "model/MachineChanges.h"
#include "registry/SettingEngine.h"
#include "registry/ValueRecord.h"
#include "resources/ResourceIds.h"
#include "system/Decimal.h"
#include "system/SystemInfo.h"

namespace tolvane {
namespace {

using C = ControlId;

constexpr wchar_t kEnableDcom[] = L"SOFTWARE\\Microsoft\\Ole\\EnableDCOM";
constexpr wchar_t kListenOnInternet[] =
    L"SYSTEM\\CurrentControlSet\\Services\\RpcSs\\ListenOnInternet";
constexpr wchar_t kProtocols[] = L"SOFTWARE\\Microsoft\\Rpc\\DCOM Protocols";
constexpr wchar_t kBind[] = L"SYSTEM\\CurrentControlSet\\Services\\Rpc\\Linkage\\Bind";
constexpr wchar_t kLinkageKey[] = L"SYSTEM\\CurrentControlSet\\Services\\Rpc\\Linkage\\";

// A registry script carried in the program, and the list it gives its one value.
struct RegistryScript {
    const wchar_t* fileName;
    std::uint16_t number;
    const wchar_t* valuePath;
    std::span<const wchar_t* const> strings;
};
constexpr const wchar_t* kClosedBind[] = {L"1"};
constexpr const wchar_t* kClosedProtocols[] = {L"ncacn_spx", L"ncacn_nb_nb", L"ncacn_nb_ipx"};
constexpr const wchar_t* kOpenProtocols[] = {L"ncacn_ip_tcp", L"ncacn_spx", L"ncacn_nb_nb",
                                             L"ncacn_nb_ipx"};
constexpr RegistryScript kBindScript{L"\\Bind.reg", IDR_BIND_REG, kBind, kClosedBind};
constexpr RegistryScript kCloseProtocolsScript{L"\\DCOM.reg", IDR_CLOSE_DCOM_REG, kProtocols,
                                               kClosedProtocols};
constexpr RegistryScript kOpenProtocolsScript{L"\\DCOM2.reg", IDR_OPEN_DCOM_REG, kProtocols,
                                              kOpenProtocols};
constexpr std::array<const RegistryScript*, 2> kCloseScripts = {&kBindScript,
                                                                &kCloseProtocolsScript};
constexpr std::array<const RegistryScript*, 1> kOpenScripts = {&kOpenProtocolsScript};

// What closing changes, in the order reopening treats it: where the state before the close is
// kept until the reopening, what the close leaves there, and what reopening removes where nothing
// was kept (a machine closed by an earlier version). Bind's record sits beside the Linkage key,
// which reopening may delete.
struct ValueChangedByClose {
    const wchar_t* value;
    const wchar_t* record;
    const wchar_t* removedToOpen;    // null: the open list is imported instead
    const wchar_t* closedText;       // what the close writes, or null for
    const RegistryScript* closedBy;  // the script whose list it imports
};
constexpr std::array<ValueChangedByClose, 4> kValuesChangedByClose = {{
    {kBind, L"SYSTEM\\CurrentControlSet\\Services\\Rpc\\LinkageBindKX135", kLinkageKey, nullptr,
     &kBindScript},
    {kListenOnInternet, L"SYSTEM\\CurrentControlSet\\Services\\RpcSs\\ListenOnInternetKX135",
     kListenOnInternet, L"N", nullptr},
    {kEnableDcom, L"SOFTWARE\\Microsoft\\Ole\\EnableDCOMKX135", kEnableDcom, L"N", nullptr},
    {kProtocols, L"SOFTWARE\\Microsoft\\Rpc\\DCOM ProtocolsKX135", nullptr, nullptr,
     &kCloseProtocolsScript},
}};

// Why an operation failed: in words for the user, and the system's error code; nothing when it
// succeeded. Not known: a registry editor had to be ended part way, so what it wrote is not
// known, and every record stays for the next reopening.
struct Failure {
    std::wstring text;
    unsigned long code;
    bool notKnown = false;
};
using Reason = std::optional<Failure>;

Failure WriteReason(Machine& machine, const WriteFailure& failure) {
    return {WriteFailureMessage(failure, machine.system.ErrorText(failure.code)), failure.code};
}

Failure FileReason(Machine& machine, const std::wstring& path, unsigned long code) {
    return {FileFailureMessage(path, machine.system.ErrorText(code)), code};
}

void ShowFailure(Machine& machine, const wchar_t* what, const std::wstring& reason) {
    machine.host.ShowMessage(what + (L"\r\n\r\n" + reason), kAppTitle, MbOk | MbIconExclamation);
}

Failure EndedEditorReason(Machine& machine, const std::wstring& path, bool ended) {
    return {
        L"The registry editor had not finished importing\r\n" + path + L"\r\nafter " +
            Decimal(machine.importWaitMs / 1000) +
            (ended ? L" seconds; Tolvane ended it." : L" seconds, and Tolvane could not end it.") +
            L" What it wrote is not known: Tolvane keeps the records of the values from "
            L"before the close, and its next start, or /restore:services, brings them back.",
        0, true};
}

std::vector<std::wstring> StringsOf(const RegistryScript& script) {
    return {script.strings.begin(), script.strings.end()};
}

// What an import does where the program's folder refuses its scripts (a read-only share).
enum class UnwritableFolder { Fails, WritesValuesDirectly };

// Hands the scripts to the registry editor, then makes sure their values hold what the scripts
// say: the editor's exit code tells nothing, and it may be missing, refused or slow.
Reason Import(Machine& machine, std::span<const RegistryScript* const> scripts,
              UnwritableFolder unwritable = UnwritableFolder::Fails) {
    System& system = machine.system;
    const std::wstring folder = system.ProgramFolder();
    // Each file stays held, so that nobody can swap it, until its import has ended.
    std::vector<std::unique_ptr<HeldFile>> held;
    Reason reason;
    bool skipEditor = false;
    for (const RegistryScript* script : scripts) {
        const std::wstring path = folder + script->fileName;
        Extraction extraction = system.ExtractResource(path, L"REG", script->number);
        if (!extraction.file) {
            if (unwritable == UnwritableFolder::Fails) {
                reason = FileReason(machine, path, extraction.error);
            }
            skipEditor = true;
            break;
        }
        held.push_back(std::move(extraction.file));
    }
    if (!skipEditor) {
        std::vector<ProgramStart> imports;
        for (const RegistryScript* script : scripts) {
            // The 64-bit editor on a 64-bit edition: the 32-bit one writes the copies of Ole and
            // Rpc that no service reads.
            imports.push_back({machine.windowsFolder + L"\\regedit.exe",
                               L"/s \"" + folder + script->fileName + L"\"", L"",
                               WindowStyle::Minimized, true});
        }
        // The editor must not write once the operation, and the machine's lock, are over.
        const StartedProcesses editors = StartPrograms(system, imports);
        const std::vector<CommandEnd> ends = WaitToEnd(system, editors, machine.importWaitMs);
        for (std::size_t i = 0; i < editors.size(); ++i) {
            if (ends[i] == CommandEnd::StillRunning && !reason) {
                reason =
                    EndedEditorReason(machine, folder + scripts[i]->fileName, editors[i]->End());
            } else if (ends[i] == CommandEnd::StillRunning) {
                editors[i]->End();
            }
        }
    }
    const std::size_t written = held.size();
    held.clear();
    for (std::size_t i = 0; i < written; ++i) {
        system.RemoveFile(folder + scripts[i]->fileName);
    }
    if (reason) {
        return reason;
    }
    for (const RegistryScript* script : scripts) {
        const std::vector<std::wstring> expected = StringsOf(*script);
        RawValue value;
        if (machine.reg.ReadRaw(kHklm, script->valuePath, value) == kRegOk &&
            MultiStrings(value) == expected) {
            continue;
        }
        if (const WriteResult failure =
                machine.reg.WriteRaw(kHklm, script->valuePath, MultiStringValue(expected))) {
            return WriteReason(machine, *failure);
        }
    }
    return std::nullopt;
}

// The value still holds what the close left there.
bool HoldsClosedState(Reg& reg, const ValueChangedByClose& value) {
    if (value.closedText) {
        return reg.ReadText(kHklm, value.value) == value.closedText;
    }
    RawValue raw;
    return reg.ReadRaw(kHklm, value.value, raw) == kRegOk &&
           MultiStrings(raw) == StringsOf(*value.closedBy);
}

// Where port 135 is marked closed, what an earlier version's close left of the values it kept
// nothing of is removed, or the open list imported; going on past a refusal, so as to do as much
// as it can.
Reason OpenWithoutRecords(Machine& machine, std::span<const ValueChangedByClose> values) {
    Reg& reg = machine.reg;
    if (reg.ReadText(kHklm, kPort135Marker) != L"1") {
        return std::nullopt;
    }
    Reason first;
    for (const ValueChangedByClose& value : values) {
        if (HasRecord(reg, kHklm, value.record)) {
            continue;
        }
        Reason reason;
        if (value.removedToOpen) {
            if (const WriteResult failure = reg.Remove(kHklm, value.removedToOpen)) {
                reason = WriteReason(machine, *failure);
            }
        } else {
            // A folder that refuses the script must not stop a reopening: the rights it needs
            // are the registry's, not the folder's.
            reason = Import(machine, kOpenScripts, UnwritableFolder::WritesValuesDirectly);
        }
        first = first ? first : reason;
    }
    return first;
}

// Brings back what the records of `values` hold through the one undo of a record: a value that
// still holds what the close left comes back, one changed since by someone else is left as it is,
// and either way its record goes. The marker says "0" before the first record goes, so a refusal
// part way leaves the records of what is still to come back, and the next try goes on from there.
Reason Restore(Machine& machine, std::span<const ValueChangedByClose> values) {
    Reg& reg = machine.reg;
    if (Reason reason = OpenWithoutRecords(machine, values)) {
        return reason;
    }
    if (const WriteResult failure =
            reg.WriteValue(kHklm, kPort135Marker, L"0", ValueType::String)) {
        return WriteReason(machine, *failure);
    }
    Reason first;
    for (const ValueChangedByClose& value : values) {
        const RecordUndoResult undone = UndoFromRecord(
            reg, kHklm, value.value, value.record, [&] { return HoldsClosedState(reg, value); });
        // A record this program cannot have written is left for a person to look at.
        const WriteResult failure =
            undone.outcome == RecordUndo::Unusable
                ? WriteFailure{RootPrefix(kHklm) + value.record, kRegInvalidData, Refused::Read}
                : undone.failure;
        if (failure && !first) {
            first = WriteReason(machine, *failure);
        }
    }
    return first;
}

// Records what closing will change before anything changes; `recorded` tells how far it got.
Reason Close(Machine& machine, std::size_t& recorded) {
    Reg& reg = machine.reg;
    for (recorded = 0; recorded < kValuesChangedByClose.size(); ++recorded) {
        const ValueChangedByClose& kept = kValuesChangedByClose[recorded];
        if (const WriteResult failure = RecordValue(reg, kHklm, kept.value, kept.record)) {
            return WriteReason(machine, *failure);
        }
    }
    if (Reason reason = Import(machine, kCloseScripts)) {
        return reason;
    }
    for (const auto& [path, value] :
         {std::pair{kListenOnInternet, L"N"}, {kEnableDcom, L"N"}, {kPort135Marker, L"1"}}) {
        if (const WriteResult failure = reg.WriteValue(kHklm, path, value, ValueType::String)) {
            return WriteReason(machine, *failure);
        }
    }
    return std::nullopt;
}

}  // namespace

bool CanDisableDcom(const VersionInfo& version) {
    return WindowsVersionOf(version) != WindowsVersion::Windows2000 || version.servicePack >= 3;
}

bool IsPort135Closed(Machine& machine) {
    Reg& reg = machine.reg;
    // All four are read, in this order, whatever the first ones give.
    const bool dcomOff = reg.ReadText(kHklm, kEnableDcom) == L"N";
    const bool notListening = reg.ReadText(kHklm, kListenOnInternet) == L"N";
    const bool closedByUs = reg.ReadText(kHklm, kPort135Marker) == L"1";
    const bool bound = reg.ValueExists(kHklm, kBind);
    return dcomOff && notListening && closedByUs && bound;
}

bool Port135ReopeningDue(Reg& reg) {
    return reg.ReadText(kHklm, kPort135Marker) == L"1" ||
           std::any_of(
               kValuesChangedByClose.begin(), kValuesChangedByClose.end(),
               [&](const ValueChangedByClose& kept) { return HasRecord(reg, kHklm, kept.record); });
}

void RemoveLeftImportFiles(Machine& machine) {
    const std::wstring folder = machine.system.ProgramFolder();
    for (const RegistryScript* script :
         {&kBindScript, &kCloseProtocolsScript, &kOpenProtocolsScript}) {
        // A file held open elsewhere cannot go: it stays, and that is no failure.
        machine.system.RemoveFile(folder + script->fileName);
    }
}

bool ConfirmClosingPort135(Machine& machine) {
    // No is the default: Enter alone must not close port 135.
    return machine.host.ShowMessage(kPort135Warning, kPort135WarningTitle,
                                    MbYesNo | MbIconExclamation | MbDefButton2) == IdYes;
}

void ClosePort135(MainWindowState& state, Machine& machine) {
    // Only a port this program closed, or one whose reopening it has not finished, is reopened
    // first: a machine it never closed keeps its DCOM values when the user answers No.
    if (Port135ReopeningDue(machine.reg)) {
        if (OpenPort135(machine)) {
            state.controls.SetValue(C::Port135Box, BoxValue::Cleared);
            return;
        }
    } else if (const WriteResult failure =
                   machine.reg.WriteValue(kHklm, kPort135Marker, L"0", ValueType::String)) {
        ShowFailure(machine, L"Port 135 could not be closed.", WriteReason(machine, *failure).text);
        state.controls.SetValue(C::Port135Box, BoxValue::Cleared);
        return;
    }
    const bool confirmed = state.port135CloseAnswer.value_or(false) ||
                           (!state.port135CloseAnswer && ConfirmClosingPort135(machine));
    if (!confirmed) {
        state.controls.SetValue(C::Port135Box, BoxValue::Cleared);
        return;
    }
    // What a cut run left goes first, a reopening's script as well as the close's own.
    RemoveLeftImportFiles(machine);
    std::size_t recorded = 0;
    if (const Reason reason = Close(machine, recorded)) {
        state.controls.SetValue(C::Port135Box, BoxValue::Cleared);
        // Taken back from what an editor may have half written, the values would be a guess:
        // their records stay for the next reopening.
        if (reason->notKnown) {
            ShowFailure(machine, L"Port 135 may be partly closed.", reason->text);
            return;
        }
        if (const Reason undone =
                Restore(machine, std::span(kValuesChangedByClose).first(recorded))) {
            ShowFailure(
                machine,
                L"Port 135 could not be closed, and Tolvane could not bring back every value "
                L"it had changed.",
                reason->text + L"\r\n\r\n" + undone->text);
        } else {
            ShowFailure(machine, L"Port 135 could not be closed; it is left open.", reason->text);
        }
    }
}

std::optional<ReopeningFailure> OpenPort135(Machine& machine) {
    const Reason reason = Restore(machine, kValuesChangedByClose);
    if (!reason) {
        return std::nullopt;
    }
    ShowFailure(machine, L"Port 135 could not be reopened.", reason->text);
    return ReopeningFailure{reason->code, reason->notKnown};
}

void KeepPort135Open(MainWindowState& state, Machine& machine) {
    if (Port135ReopeningDue(machine.reg)) {
        // Never waited for: while another run changes the machine, the next start repairs it.
        const MachineChangeScope changes(state, machine);
        if (changes.Locked() && Port135ReopeningDue(machine.reg)) {
            OpenPort135(machine);
        }
    }
}

}  // namespace tolvane
