#include "registry/ValueRecord.h"

#include <algorithm>

namespace tolvane {
namespace {

constexpr std::uint8_t kKeptNone = 0;  // prefix of a REG_NONE original

// How many keys the path has above its value name.
std::size_t Depth(const std::wstring& valuePath) {
    return static_cast<std::size_t>(std::count(valuePath.begin(), valuePath.end(), L'\\'));
}

// How many keys a mark says were missing: 0 for a value alone, nothing for a record that is no
// mark this program writes for the path.
std::optional<std::size_t> MissingKeysOf(const RawValue& record, const std::wstring& valuePath) {
    if (record.type != RawNone || record.data.size() > 1) {
        return std::nullopt;
    }
    const std::size_t levels = record.data.empty() ? 0 : record.data[0];
    if (levels == kKeptNone && !record.data.empty()) {
        return std::nullopt;
    }
    return levels <= Depth(valuePath) ? std::optional(levels) : std::nullopt;
}

// The keys above a missing value that are missing too, its own key first; a key the program
// created for another value counts as missing as long as that value's mark says so.
std::uint8_t MissingKeys(Reg& reg, RegistryRoot root, const std::wstring& valuePath) {
    std::uint8_t levels = 0;
    std::wstring key = KeyOf(valuePath);
    for (; !key.empty() && !reg.KeyEntries(root, key); key = KeyOf(key)) {
        ++levels;
    }
    if (levels > 0 || key.empty()) {
        return levels;
    }
    for (const std::wstring& name : reg.ValueNames(root, key)) {
        RawValue sibling;
        if (reg.ReadRaw(root, key + L"\\" + name, sibling) == kRegOk) {
            levels = std::max(
                levels, static_cast<std::uint8_t>(MissingKeysOf(sibling, valuePath).value_or(0)));
        }
    }
    return levels;
}

WriteResult Capture(Reg& reg, RegistryRoot root, const std::wstring& valuePath, RawValue& state) {
    const RegError error = reg.ReadRaw(root, valuePath, state);
    if (error == kRegOk) {
        if (state.type == RawNone) {
            state.data.insert(state.data.begin(), kKeptNone);
        }
        return std::nullopt;
    }
    if (!NotFound(error)) {
        // Without knowing what is there, no undo could bring it back.
        return WriteFailure{RootPrefix(root) + valuePath, error, Refused::Read};
    }
    state = {RawNone, {}};
    if (const std::uint8_t levels = MissingKeys(reg, root, valuePath)) {
        state.data.push_back(levels);
    }
    return std::nullopt;
}

// The value as the state says; the keys are left to RemoveMissingKeys.
WriteResult PutValue(Reg& reg, RegistryRoot root, const std::wstring& valuePath,
                     const RawValue& state) {
    if (const std::optional<RawValue> value = RecordedValue(state)) {
        return reg.WriteRaw(root, valuePath, *value);
    }
    return reg.Remove(root, valuePath);
}

// Removes the keys the state marks as missing that hold nothing now, its own key first. A key
// that holds nothing but the record goes with it in one step, so that a refusal leaves the record.
WriteResult RemoveMissingKeys(Reg& reg, RegistryRoot root, const std::wstring& valuePath,
                              const RawValue& state, const std::wstring& recordPath = {}) {
    const std::wstring recordKey = recordPath.empty() ? std::wstring() : KeyOf(recordPath);
    std::wstring key = KeyOf(valuePath);
    for (std::size_t level = MissingKeysOf(state, valuePath).value_or(0); level > 0;
         --level, key = KeyOf(key)) {
        const std::optional<std::uint32_t> entries = reg.KeyEntries(root, key);
        if (entries && *entries > (key == recordKey ? 1u : 0u)) {
            break;  // something else lives there now
        }
        if (WriteResult failure = entries ? reg.Remove(root, key + L"\\") : std::nullopt) {
            return failure;
        }
    }
    return std::nullopt;
}

// A record, or nothing: none is there (no failure), or it cannot be read (the failure).
struct RecordRead {
    std::optional<RawValue> record;
    WriteResult failure;
};
RecordRead ReadRecord(Reg& reg, RegistryRoot root, const std::wstring& recordPath) {
    RawValue record;
    const RegError error = reg.ReadRaw(root, recordPath, record);
    if (error == kRegOk) {
        return {std::move(record), std::nullopt};
    }
    if (NotFound(error)) {
        return {};
    }
    return {std::nullopt, WriteFailure{RootPrefix(root) + recordPath, error, Refused::Read}};
}

}  // namespace

bool MarksAbsent(const RawValue& record, const std::wstring& valuePath) {
    return MissingKeysOf(record, valuePath).has_value();
}

std::optional<RawValue> RecordedValue(const RawValue& record) {
    if (record.type != RawNone) {
        return record;
    }
    if (record.data.empty() || record.data[0] != kKeptNone) {
        return std::nullopt;
    }
    return RawValue{RawNone, {record.data.begin() + 1, record.data.end()}};
}

WriteResult RecordValue(Reg& reg, RegistryRoot root, const std::wstring& valuePath,
                        const std::wstring& recordPath) {
    RawValue state;
    if (WriteResult failure = Capture(reg, root, valuePath, state)) {
        return failure;
    }
    return reg.WriteRaw(root, recordPath, state);
}

bool HasRecord(Reg& reg, RegistryRoot root, const std::wstring& recordPath) {
    RawValue record;
    return reg.ReadRaw(root, recordPath, record) == kRegOk;
}

WriteResult PutRecordedValue(Reg& reg, RegistryRoot root, const std::wstring& valuePath,
                             const std::wstring& recordPath) {
    const RecordRead read = ReadRecord(reg, root, recordPath);
    if (!read.record) {
        return read.failure;
    }
    if (!MarksAbsent(*read.record, valuePath) && !RecordedValue(*read.record)) {
        // Not a record this program wrote: leave it for a person to look at.
        return WriteFailure{RootPrefix(root) + recordPath, kRegInvalidData, Refused::Read};
    }
    return PutValue(reg, root, valuePath, *read.record);
}

WriteResult DropRecord(Reg& reg, RegistryRoot root, const std::wstring& valuePath,
                       const std::wstring& recordPath) {
    const RecordRead read = ReadRecord(reg, root, recordPath);
    if (!read.record) {
        return read.failure;
    }
    if (WriteResult failure = RemoveMissingKeys(reg, root, valuePath, *read.record, recordPath)) {
        return failure;
    }
    // Unless it went with its key.
    return reg.Remove(root, recordPath);
}

WriteResult RestoreRecord(Reg& reg, RegistryRoot root, const std::wstring& valuePath,
                          const std::wstring& recordPath) {
    if (WriteResult failure = PutRecordedValue(reg, root, valuePath, recordPath)) {
        return failure;
    }
    return DropRecord(reg, root, valuePath, recordPath);
}

WriteResult ValueJournal::Keep(RegistryRoot root, const std::wstring& valuePath) {
    const bool kept = std::any_of(kept_.begin(), kept_.end(), [&](const KeptValue& entry) {
        return entry.root == root && entry.valuePath == valuePath;
    });
    if (kept) {
        return std::nullopt;
    }
    RawValue state;
    if (WriteResult failure = Capture(reg_, root, valuePath, state)) {
        return failure;
    }
    kept_.push_back({root, valuePath, std::move(state)});
    return std::nullopt;
}

WriteResult ValueJournal::RollBack() {
    WriteResult first;
    for (auto it = kept_.rbegin(); it != kept_.rend(); ++it) {
        // What never changed is left alone: writing it again could only fail.
        RawValue now;
        if (!Capture(reg_, it->root, it->valuePath, now) && now == it->state) {
            continue;
        }
        WriteResult failure = PutValue(reg_, it->root, it->valuePath, it->state);
        if (!failure) {
            failure = RemoveMissingKeys(reg_, it->root, it->valuePath, it->state);
        }
        first = first ? first : failure;
    }
    kept_.clear();
    return first;
}

}  // namespace tolvane
