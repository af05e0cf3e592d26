// The state of a registry value kept under another name before the program changes it, so that
// an undo brings back exactly what was there.
//
// A record holds the value's own type and data. A value that was absent is marked by a REG_NONE
// record: empty when only the value was missing, the single byte N when its key was missing too,
// with N - 1 of the keys above it (a write creates them all). A REG_NONE original is kept with a
// 0 byte in front of its data, so that no original can ever read as a mark. Records written by
// earlier versions (the single byte 1) read the same.
//
// A key that holds a mark of its own absence was created by the program: a value recorded in it
// later counts its key as missing as well, so that whichever undo comes last removes the key.
#pragma once

#include <string>
#include <vector>

#include "registry/Reg.h"

namespace tolvane {

// Replaces an older record.
[[nodiscard]] WriteResult RecordValue(Reg& reg, RegistryRoot root, const std::wstring& valuePath,
                                      const std::wstring& recordPath);
bool HasRecord(Reg& reg, RegistryRoot root, const std::wstring& recordPath);
// Brings the value back to its recorded state, deletes the record, then removes the keys that
// were missing and are empty again. Without a record nothing is done; a record this program
// cannot have written is reported and left alone.
[[nodiscard]] WriteResult RestoreRecord(Reg& reg, RegistryRoot root, const std::wstring& valuePath,
                                        const std::wstring& recordPath);
// RestoreRecord in its two halves, for a series of values that must all be back before any of
// their records goes: the value as its record says (the record stays), then the record with the
// missing keys that are empty again. The keys go before the record (one that holds it, with it),
// so that a refusal leaves the record for the next try.
[[nodiscard]] WriteResult PutRecordedValue(Reg& reg, RegistryRoot root,
                                           const std::wstring& valuePath,
                                           const std::wstring& recordPath);
[[nodiscard]] WriteResult DropRecord(Reg& reg, RegistryRoot root, const std::wstring& valuePath,
                                     const std::wstring& recordPath);

// What a record of the value holds: a mark of its absence that this program writes, or else the
// value it keeps.
bool MarksAbsent(const RawValue& record, const std::wstring& valuePath);
std::optional<RawValue> RecordedValue(const RawValue& record);

// The states of values before a series of changes, kept in memory, so that the series can be
// taken back whole when one of its changes is refused.
class ValueJournal {
  public:
    explicit ValueJournal(Reg& reg) : reg_(reg) {}
    // Keeps the state of the value before its first change; fails when it cannot be read.
    [[nodiscard]] WriteResult Keep(RegistryRoot root, const std::wstring& valuePath);
    // Brings back every kept value, the last kept first. Goes on past a failure so as to bring
    // back as much as it can, and gives the first.
    [[nodiscard]] WriteResult RollBack();

  private:
    struct KeptValue {
        RegistryRoot root;
        std::wstring valuePath;
        RawValue state;
    };
    Reg& reg_;
    std::vector<KeptValue> kept_;
};

}  // namespace tolvane
