#include "registry/ValueRecord.h"

namespace tolvane {
namespace {

constexpr std::uint8_t kValueMissing = 1;  // an empty mark means only the value was missing
constexpr std::uint8_t kKeptNone = 0;      // prefix of a REG_NONE original

bool Missing(RegError error) {
    return error == kRegFileNotFound || error == kRegPathNotFound;
}

}  // namespace

WriteResult RecordValue(Reg& reg, int root, const std::wstring& valuePath,
                        const std::wstring& recordPath) {
    RawValue value;
    const RegError error = reg.ReadRaw(root, valuePath, value);
    RawValue record{RawNone, {}};
    if (error == kRegOk) {
        record = value;
        if (value.type == RawNone) {
            record.data.insert(record.data.begin(), kKeptNone);
        }
    } else if (!Missing(error)) {
        // Without knowing what is there, no undo could bring it back.
        return WriteFailure{RootPrefix(root) + valuePath, error};
    } else if (!reg.KeyEntries(root, KeyOf(valuePath))) {
        record.data.push_back(kValueMissing);
    }
    return reg.WriteRaw(root, recordPath, record);
}

bool HasRecord(Reg& reg, int root, const std::wstring& recordPath) {
    RawValue record;
    return reg.ReadRaw(root, recordPath, record) == kRegOk;
}

WriteResult RestoreRecord(Reg& reg, int root, const std::wstring& valuePath,
                          const std::wstring& recordPath) {
    RawValue record;
    const RegError error = reg.ReadRaw(root, recordPath, record);
    if (Missing(error)) {
        return std::nullopt;
    }
    if (error != kRegOk) {
        return WriteFailure{RootPrefix(root) + recordPath, error};
    }
    WriteResult failure;
    if (record.type != RawNone) {
        failure = reg.WriteRaw(root, valuePath, record);
    } else if (record.data.empty()) {
        failure = reg.Remove(root, valuePath);
    } else if (record.data.size() == 1 && record.data[0] == kValueMissing) {
        failure = reg.Remove(root, valuePath);
        const std::wstring key = KeyOf(valuePath);
        if (!failure && reg.KeyEntries(root, key) == 0u) {
            failure = reg.Remove(root, key + L"\\");
        }
    } else if (record.data[0] == kKeptNone) {
        failure =
            reg.WriteRaw(root, valuePath, {RawNone, {record.data.begin() + 1, record.data.end()}});
    } else {
        // Not a record this program wrote: leave it for a person to look at.
        return WriteFailure{RootPrefix(root) + recordPath, kRegInvalidData};
    }
    return failure ? failure : reg.Remove(root, recordPath);
}

}  // namespace tolvane
