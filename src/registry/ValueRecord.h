// The state of a registry value kept under another name before the program changes it, so that
// an undo brings back exactly what was there.
//
// A record holds the value's own type and data. A value that was absent is marked by a REG_NONE
// record: empty when only the value was missing, the single byte 1 when its key was missing too.
// A REG_NONE original is kept with a 0 byte in front of its data, so that no original can ever
// read as one of the two marks.
#pragma once

#include <string>

#include "registry/Reg.h"

namespace tolvane {

// Replaces an older record.
[[nodiscard]] WriteResult RecordValue(Reg& reg, int root, const std::wstring& valuePath,
                                      const std::wstring& recordPath);
bool HasRecord(Reg& reg, int root, const std::wstring& recordPath);
// Brings the value back to its recorded state, removing a key that was missing and is empty
// again, then deletes the record. Without a record nothing is done.
[[nodiscard]] WriteResult RestoreRecord(Reg& reg, int root, const std::wstring& valuePath,
                                        const std::wstring& recordPath);

}  // namespace tolvane
