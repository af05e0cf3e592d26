#include "registry/SettingEngine.h"

#include <optional>
#include <string_view>

#include "registry/ValueRecord.h"

namespace tolvane {
namespace {

using Fault = UnusableRecord::Fault;

bool RestoresBackup(const Setting& setting) {
    return setting.undoRule.kind == UndoRule::Kind::RestoreBackup;
}

std::wstring RecordPath(const Setting& setting) {
    return setting.valuePath + std::wstring(kBackupSuffix);
}

// Why the record cannot serve the row's undo; nothing when it can.
std::optional<Fault> FaultOf(const RawValue& record, const Setting& setting) {
    const std::optional<RawValue> value = RecordedValue(record);
    const std::optional<std::wstring> text = value ? ValueText(*value) : std::nullopt;
    if (RestoresBackup(setting)) {
        // Automatic, on demand or disabled: the others are for drivers, or no start type at all.
        const bool startType =
            value && value->type == RawDword && (text == L"2" || text == L"3" || text == L"4");
        return startType ? std::nullopt : std::optional(Fault::NotAStartType);
    }
    if (MarksAbsent(record, setting.valuePath) || (text && TypedValue(*text, setting.valueType))) {
        return std::nullopt;
    }
    return Fault::NotForThisValue;
}

// Keeps the values about to change, so that the box can be taken back whole.
WriteResult KeepAll(ValueJournal& journal, const Setting& setting,
                    std::initializer_list<std::wstring> paths) {
    for (const std::wstring& path : paths) {
        if (WriteResult failure = journal.Keep(setting.root, path)) {
            return failure;
        }
    }
    return std::nullopt;
}

WriteResult ApplyRow(Reg& reg, ValueJournal& journal, const Setting& setting) {
    const std::wstring record = RecordPath(setting);
    if (InForce(reg, setting)) {
        // An older record holds what was there before the program first applied it.
        if (HasRecord(reg, setting.root, record)) {
            return std::nullopt;
        }
        if (WriteResult failure = KeepAll(journal, setting, {record})) {
            return failure;
        }
        return RecordValue(reg, setting.root, setting.valuePath, record);
    }
    // A service that is not there has no start type to keep, and writing one would create a
    // stray service key.
    if (RestoresBackup(setting) && !reg.ValueExists(setting.root, setting.valuePath)) {
        return std::nullopt;
    }
    if (WriteResult failure = KeepAll(journal, setting, {record, setting.valuePath})) {
        return failure;
    }
    if (WriteResult failure = RecordValue(reg, setting.root, setting.valuePath, record)) {
        return failure;
    }
    return reg.WriteValue(setting.root, setting.valuePath, setting.target, setting.valueType);
}

// The undo of a row that has no usable record: Windows' own value where it is known, never
// weaker than a rule's literal; a value, or its deletion.
UndoRule UndoWithoutRecord(const Setting& setting) {
    if (setting.windowsDefault) {
        return *setting.windowsDefault;
    }
    return RestoresBackup(setting) ? WriteOnUndo(kStartOnDemand) : setting.undoRule;
}

WriteResult UndoRow(Reg& reg, ValueJournal& journal, const Setting& setting,
                    std::vector<UnusableRecord>& unusable) {
    if (!InForce(reg, setting)) {
        return std::nullopt;
    }
    const std::wstring record = RecordPath(setting);
    const UndoRule undo = UndoWithoutRecord(setting);
    RawValue kept;
    if (reg.ReadRaw(setting.root, record, kept) == kRegOk) {
        if (const std::optional<Fault> fault = FaultOf(kept, setting)) {
            // Left where it is for a person to look at; the next apply replaces it.
            unusable.push_back({RootPrefix(setting.root) + record, *fault, undo});
        } else {
            if (WriteResult failure = KeepAll(journal, setting, {setting.valuePath, record})) {
                return failure;
            }
            return RestoreRecord(reg, setting.root, setting.valuePath, record);
        }
    }
    if (WriteResult failure = KeepAll(journal, setting, {setting.valuePath})) {
        return failure;
    }
    if (undo.kind == UndoRule::Kind::DeleteValue) {
        return reg.Remove(setting.root, setting.valuePath);
    }
    return reg.WriteValue(setting.root, setting.valuePath, undo.value, setting.valueType);
}

}  // namespace

bool InForce(Reg& reg, const Setting& setting) {
    const std::optional<RawValue> target = TypedValue(setting.target, setting.valueType);
    RawValue value;
    return target && reg.ReadRaw(setting.root, setting.valuePath, value) == kRegOk &&
           value.type == target->type && ValueText(value) == std::wstring(setting.target);
}

RecordUndoResult UndoFromRecord(Reg& reg, const Setting& setting) {
    const std::wstring record = RecordPath(setting);
    RawValue kept;
    if (reg.ReadRaw(setting.root, record, kept) != kRegOk) {
        return {RecordUndo::NoRecord, std::nullopt};
    }
    if (!InForce(reg, setting)) {
        return {RecordUndo::Stale, reg.Remove(setting.root, record)};
    }
    if (FaultOf(kept, setting)) {
        return {RecordUndo::Unusable, std::nullopt};
    }
    const WriteResult failure = RestoreRecord(reg, setting.root, setting.valuePath, record);
    return {failure ? RecordUndo::NoRecord : RecordUndo::Restored, failure};
}

BoxResult ApplyBox(Reg& reg, std::span<const Setting> rows, bool ticked) {
    BoxResult result;
    ValueJournal journal(reg);
    WriteResult failure;
    if (ticked) {
        for (auto row = rows.begin(); row != rows.end() && !failure; ++row) {
            failure = ApplyRow(reg, journal, *row);
        }
    } else {
        // Last applied, first undone.
        for (auto row = rows.rbegin(); row != rows.rend() && !failure; ++row) {
            failure = UndoRow(reg, journal, *row, result.unusable);
        }
    }
    if (failure) {
        result.failure = failure;
        result.notTakenBack = journal.RollBack();
        // What they led to was taken back with the rest: they will be told at the next undo.
        result.unusable.clear();
    }
    return result;
}

}  // namespace tolvane
