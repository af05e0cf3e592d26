// The one routine through which every registry setting is verified, applied and undone.
//
// Applying a box ticked records, for each of its rows, the value as it was under the row's value
// path followed by "KX" (registry/ValueRecord.h): the data with its own type, or a REG_NONE mark
// for an absent value (empty) or an absent value and key (one byte, the number of keys missing).
// A former REG_NONE is kept behind a 0 byte, so a mark cannot be taken for a former value; the
// backups of start types that earlier versions wrote are plain values and read as records too.
// Clearing the box brings each row back to its record, whatever the former value's type, or
// applies the row's undo rule where there is none.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "registry/Reg.h"

namespace tolvane {

inline constexpr wchar_t kBackupSuffix[] = L"KX";

// What the undo of a row does where no usable record of the former value is left.
struct UndoRule {
    enum class Kind : std::uint8_t {
        DeleteValue,
        // A service's start type, which only a backup can bring back; a service that is not
        // installed gets none.
        RestoreBackup,
        WriteValue,
    };
    Kind kind;
    const wchar_t* value = nullptr;  // what WriteValue writes
};
inline constexpr UndoRule kDeleteOnUndo{UndoRule::Kind::DeleteValue};
inline constexpr UndoRule kRestoreOnUndo{UndoRule::Kind::RestoreBackup};
constexpr UndoRule WriteOnUndo(const wchar_t* value) {
    return {UndoRule::Kind::WriteValue, value};
}
// A start type without a usable backup where Windows' own is not known: start on demand, a type
// every service can hold.
inline constexpr wchar_t kStartOnDemand[] = L"3";

// One registry value that is in force when it holds its target.
struct Setting {
    RegistryRoot root;
    const wchar_t* valuePath;
    const wchar_t* target;
    ValueType valueType;
    UndoRule undoRule;
    // What Windows itself ships there, for an undo without a usable record: its value, or its
    // deletion where Windows has no such value; none where it is not known (the rule serves).
    std::optional<UndoRule> windowsDefault = std::nullopt;
};

// A record the undo could not use (a REG_NONE that is neither a mark nor a kept value, left by an
// earlier version): left in place, and the row given its rule instead.
struct UnusableRecord {
    std::wstring fullPath;
    // What the row was given instead: a value, or its deletion.
    UndoRule undoneTo;
    bool startType;  // the row is a service's start type
};

struct BoxResult {
    std::vector<UnusableRecord> unusable;
    // The change the system refused; the changes made before it were taken back.
    WriteResult failure;
    // A change that could not be taken back then.
    WriteResult notTakenBack;
};

// The value holds the target with the row's own type.
bool InForce(Reg& reg, const Setting& setting);

// Undoing one row from its record alone: the one undo of a record, for the window's undo and for
// a restore that must never write a rule's literal value over a machine hardened by other means.
// Whatever the value holds, the record goes with every key it says the program created that is
// empty again.
enum class RecordUndo {
    NoRecord,  // left alone
    Restored,  // the value held the target: the recorded state is back and the record gone
    // The value did not hold the target (changed since, or never written by a run cut short):
    // left as it is, and the record gone.
    Stale,
    Unusable,  // the record cannot serve this row: both left as they are
};
struct RecordUndoResult {
    RecordUndo outcome;
    WriteResult failure;
};
RecordUndoResult UndoFromRecord(Reg& reg, const Setting& setting);
// The same for any value the program changes and keeps a record of, wherever the record lies:
// `holdsTarget` tells whether the value still holds what the program wrote there.
RecordUndoResult UndoFromRecord(Reg& reg, RegistryRoot root, const std::wstring& valuePath,
                                const std::wstring& recordPath,
                                const std::function<bool()>& holdsTarget);

// Brings the rows of one box in line with its value, whole or not at all: ticked applies the
// targets, cleared undoes them (the rows in reverse order).
BoxResult ApplyBox(Reg& reg, std::span<const Setting> rows, bool ticked);

}  // namespace tolvane
