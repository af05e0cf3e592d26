#include "catalogue/HardeningSetting.h"

#include "catalogue/WindowsDefaults.h"

#include <algorithm>
#include <vector>

#include "model/ControlLayout.h"
#include "model/SettingBoxes.h"

namespace tolvane {
namespace {

// Every former value comes back whatever its type: only a REG_NONE mark that no version writes
// (left by an older one, or by hand) cannot be used.
constexpr wchar_t kUnusableWhy[] =
    L"It holds a REG_NONE mark that Tolvane does not write: it tells neither the former value nor "
    L"that there was none.";

struct StartTypeWords {
    const wchar_t* value;
    const wchar_t* words;
};
constexpr StartTypeWords kStartTypes[] = {
    {L"2", L"start automatically"}, {L"3", L"start on demand"}, {L"4", L"disabled"}};

// What the row was given instead of its backup, in words.
std::wstring Instead(const UnusableRecord& unusable) {
    if (unusable.undoneTo.kind == UndoRule::Kind::DeleteValue) {
        return L"The value was deleted instead";
    }
    const std::wstring_view undo = unusable.undoneTo.value;
    if (unusable.startType) {
        for (const StartTypeWords& type : kStartTypes) {
            if (undo == type.value) {
                return std::wstring(L"The service was set to ") + type.words + L" instead";
            }
        }
    }
    return L"The value was set to " + std::wstring(undo) + L" instead";
}

// The caption of the box's label, as designed.
std::wstring QuotedCaption(ControlId box) {
    return L"\"" + std::wstring(LayoutOf(LabelOf(box)).caption) + L"\"";
}

void ReportUnusable(Machine& machine, const UnusableRecord& unusable) {
    machine.host.ShowMessage(L"Tolvane could not use the backup\r\n" + unusable.fullPath +
                                 L"\r\n\r\n" + kUnusableWhy + L"\r\n\r\n" + Instead(unusable) +
                                 L"; the backup is left as it is.",
                             kAppTitle, MbOk | MbIconExclamation);
}

}  // namespace

bool IsInForce(Machine& machine, const HardeningSetting& row) {
    return InForce(machine.reg, row);
}

std::wstring LeftAsItWasMessage(ControlId box) {
    return QuotedCaption(box) +
           L" was left as it was; the boxes after it in this group were not applied.";
}

WriteResult ApplyBoxSettings(Machine& machine, std::span<const HardeningSetting> rows,
                             BoxValue boxValue) {
    std::vector<Setting> settings(rows.begin(), rows.end());
    const VersionInfo version = machine.system.QueryVersion();
    for (Setting& setting : settings) {
        setting.windowsDefault = WindowsDefault(setting.valuePath, version);
    }
    const BoxResult result = ApplyBox(machine.reg, settings, boxValue == BoxValue::Ticked);
    for (const UnusableRecord& unusable : result.unusable) {
        ReportUnusable(machine, unusable);
    }
    if (!result.failure) {
        return std::nullopt;
    }
    WriteFailure failure = *result.failure;
    const ControlId box = rows.front().box;
    if (const WriteResult& left = result.notTakenBack) {
        failure.outcome = L"Tolvane could not bring every value of " + QuotedCaption(box) +
                          L" back as it was:\r\n" + left->fullPath + L"\r\n\r\n" +
                          machine.system.ErrorText(left->code) +
                          L"\r\n\r\nThe boxes after it in this group were not applied.";
    } else {
        failure.outcome = LeftAsItWasMessage(box);
    }
    return failure;
}

Refusal StoppedAt(MainWindowState& state, ControlId box, WriteFailure failure,
                  std::span<const ControlId> order) {
    Refusal refusal{box, std::move(failure), {}};
    const auto at = std::find(order.begin(), order.end(), box);
    for (auto next = at == order.end() ? at : at + 1; next != order.end(); ++next) {
        if (state.ChangedSinceVerify(*next)) {
            refusal.notTried.push_back(*next);
        }
    }
    return refusal;
}

void BoldLabelWhileCleared(MainWindowState& state, ControlId box) {
    state.controls.SetBold(LabelOf(box), !state.controls.Ticked(box));
}

}  // namespace tolvane
