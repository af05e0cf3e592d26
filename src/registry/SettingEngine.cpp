#include "registry/SettingEngine.h"

namespace tolvane {

SettingResult ApplySetting(Reg& reg, bool apply, std::int16_t boxValue, int root,
                           const std::wstring& valuePath, const std::wstring& restoreRule,
                           const std::wstring& targetValue, int valueType) {
    const std::wstring current = reg.ReadValue(root, valuePath, kUnreadable);
    SettingResult result{current == targetValue, std::nullopt};
    if (!apply) {
        return result;
    }
    const std::wstring backupPath = valuePath + kBackupSuffix;
    if (result.inForce && boxValue == 0) {
        if (restoreRule == kRuleDelete) {
            reg.DeleteValue(root, valuePath);
        } else if (restoreRule == kRuleRestore) {
            const std::wstring backup = reg.ReadValue(root, backupPath, L"Non");
            if (backup == L"Non") {
                result.failure = reg.WriteValue(root, valuePath, kRestoreFallback, valueType);
            } else {
                result.failure = reg.WriteValue(root, valuePath, backup, valueType);
                if (!result.failure) {
                    reg.DeleteValue(root, backupPath);
                }
            }
        } else {
            result.failure = reg.WriteValue(root, valuePath, restoreRule, valueType);
        }
    } else if (!result.inForce && boxValue == 1) {
        if (restoreRule == kRuleRestore) {
            // Nothing to back up: writing the target would create a stray service key.
            if (current == kUnreadable) {
                return result;
            }
            result.failure = reg.WriteValue(root, backupPath, current, valueType);
            if (result.failure) {
                return result;
            }
        }
        result.failure = reg.WriteValue(root, valuePath, targetValue, valueType);
    }
    return result;
}

}  // namespace tolvane
