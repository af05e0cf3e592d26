// The one routine through which every registry setting is verified, applied and undone.
//
// Applying a box ticked records, for each of its rows, the value as it was under the row's value
// path followed by "KX" (registry/ValueRecord.h): the data with its own type, or a REG_NONE mark
// for an absent value (empty) or an absent value and key (one byte, the number of keys missing).
// No data a row can hold is ever REG_NONE, so a mark cannot be taken for a former value; the
// backups of "Sauve" rows that earlier versions wrote are plain values and read as records too.
// Clearing the box brings each row back to its record, or applies the row's rule where there is
// none.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "registry/Reg.h"

namespace tolvane {

inline constexpr wchar_t kRuleDelete[] = L"Suppr";
inline constexpr wchar_t kRuleRestore[] = L"Sauve";
inline constexpr wchar_t kUnreadable[] = L"Erreur";
inline constexpr wchar_t kBackupSuffix[] = L"KX";
// Undo under "Sauve" without a usable backup where Windows' own start type is not known: start
// on demand, a type every service can hold.
inline constexpr wchar_t kRestoreFallback[] = L"3";

// One registry value that is in force when it holds its target.
struct Setting {
    RegistryRoot root;
    const wchar_t* valuePath;
    const wchar_t* target;
    ValueType valueType;
    const wchar_t* restoreRule;
    // What Windows itself ships there, for an undo without a usable record: the value's text, or
    // "Suppr" where Windows has no such value; none where it is not known (the rule serves).
    const wchar_t* windowsDefault = nullptr;
};

// A record the undo could not use: left in place, and the row given its rule instead.
struct UnusableRecord {
    enum class Fault {
        NotForThisValue,  // a type or size the row cannot hold, or text that is not its number
        NotAStartType,    // a service start type Windows does not accept
    };
    std::wstring fullPath;
    Fault fault;
    // What the row was given instead: a value's text, or "Suppr" for a deletion.
    const wchar_t* undoneTo = nullptr;
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

// Undoing one row from its record alone, for a restore that must never write a rule's literal
// value over a machine hardened by other means.
enum class RecordUndo {
    NoRecord,  // left alone
    Restored,  // the recorded state is back and the record gone
    Stale,     // the row was no longer in force: nothing to undo, the record is gone
    Unusable,  // the record cannot serve this row: both left as they are
};
struct RecordUndoResult {
    RecordUndo outcome;
    WriteResult failure;
};
RecordUndoResult UndoFromRecord(Reg& reg, const Setting& setting);

// Brings the rows of one box in line with its value, whole or not at all: 1 applies the targets,
// 0 undoes them (the rows in reverse order), 2 does nothing.
BoxResult ApplyBox(Reg& reg, std::span<const Setting> rows, std::int16_t boxValue);

}  // namespace tolvane
