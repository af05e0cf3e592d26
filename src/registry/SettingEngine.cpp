#include "registry/SettingEngine.h"

#include <optional>

#include "registry/ValueRecord.h"

namespace tolvane {
namespace {

bool RestoresBackup(const Setting& setting) {
    return setting.undoRule.kind == UndoRule::Kind::RestoreBackup;
}

std::wstring RecordPath(const Setting& setting) {
    return setting.valuePath + std::wstring(kBackupSuffix);
}

// Every record the apply writes serves, whatever the former value's type: only a REG_NONE that is
// neither a mark nor a kept value (left by an earlier version) cannot.
bool Usable(const RawValue& record, const std::wstring& valuePath) {
    return MarksAbsent(record, valuePath) || RecordedValue(record).has_value();
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
    if (WriteResult failure = KeepAll(journal, setting, {setting.valuePath, RecordPath(setting)})) {
        return failure;
    }
    const RecordUndoResult fromRecord = UndoFromRecord(reg, setting);
    const bool recordServed =
        fromRecord.outcome == RecordUndo::Restored || fromRecord.outcome == RecordUndo::Stale;
    if (fromRecord.failure || recordServed || !InForce(reg, setting)) {
        return fromRecord.failure;
    }
    const UndoRule undo = UndoWithoutRecord(setting);
    if (fromRecord.outcome == RecordUndo::Unusable) {
        // Left where it is for a person to look at; the next apply replaces it.
        unusable.push_back(
            {RootPrefix(setting.root) + RecordPath(setting), undo, RestoresBackup(setting)});
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
    return UndoFromRecord(reg, setting.root, setting.valuePath, RecordPath(setting),
                          [&] { return InForce(reg, setting); });
}

RecordUndoResult UndoFromRecord(Reg& reg, RegistryRoot root, const std::wstring& valuePath,
                                const std::wstring& recordPath,
                                const std::function<bool()>& holdsTarget) {
    RawValue kept;
    if (reg.ReadRaw(root, recordPath, kept) != kRegOk) {
        return {RecordUndo::NoRecord, std::nullopt};
    }
    if (!Usable(kept, valuePath)) {
        return {RecordUndo::Unusable, std::nullopt};
    }
    if (!holdsTarget()) {
        // A person's later change is never overwritten.
        return {RecordUndo::Stale, DropRecord(reg, root, valuePath, recordPath)};
    }
    const WriteResult failure = RestoreRecord(reg, root, valuePath, recordPath);
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
