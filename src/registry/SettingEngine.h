// The one routine through which every registry setting is verified, applied and undone.
#pragma once

#include <cstdint>
#include <string>

#include "registry/Reg.h"

namespace tolvane {

inline constexpr wchar_t kRuleDelete[] = L"Suppr";
inline constexpr wchar_t kRuleRestore[] = L"Sauve";
inline constexpr wchar_t kUnreadable[] = L"Erreur";
inline constexpr wchar_t kBackupSuffix[] = L"KX";
// Undo under "Sauve" without a backup: start on demand, a type every service can hold.
inline constexpr wchar_t kRestoreFallback[] = L"3";

struct SettingResult {
    bool inForce;         // the value equalled the target when the call began
    WriteResult failure;  // set when the registry refused a write; the call stopped there
};

// Check mode (apply false) only reads. Apply mode brings the value in line with the box:
// 1 applies the target (backing up the former value under "Sauve"), 0 undoes it, 2 does nothing.
SettingResult ApplySetting(Reg& reg, bool apply, std::int16_t boxValue, int root,
                           const std::wstring& valuePath, const std::wstring& restoreRule,
                           const std::wstring& targetValue, int valueType);

}  // namespace tolvane
