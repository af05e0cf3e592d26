#include "catalogue/Shares.h"

#include <array>

namespace tolvane {
namespace {

using C = ControlId;

struct ShareRow {
    HardeningSetting setting;
    bool resizesLabel;  // smaller type while the setting is not in force
};

constexpr std::array<ShareRow, 5> kShareRows = {{
    {MakeSetting(C::FolderSharingBox, C::FolderSharingLabel,
                 L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network\\NoFileSharing",
                 L"1", kDeleteOnUndo),
     false},
    {MakeSetting(C::PrinterSharingBox, C::PrinterSharingLabel,
                 L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network\\NoPrintSharing",
                 L"1", kDeleteOnUndo),
     false},
    {MakeSetting(C::SimpleFileSharingBox, C::SimpleFileSharingLabel,
                 L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\forceguest", L"0", WriteOnUndo(L"1")),
     true},
    {MakeSetting(C::AdminSharesBox, C::AdminSharesLabel,
                 L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters\\AutoshareWks",
                 L"0", kDeleteOnUndo),
     true},
    {MakeSetting(C::RemoteAdminBox, C::RemoteAdminLabel,
                 L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters\\AutoShareServer",
                 L"0", kDeleteOnUndo),
     true},
}};

constexpr std::array<C, 5> kShareBoxes = {C::SimpleFileSharingBox, C::AdminSharesBox,
                                          C::RemoteAdminBox, C::FolderSharingBox,
                                          C::PrinterSharingBox};
constexpr int kNotInForceCentipoints = 700;
constexpr int kInForceCentipoints = 800;

}  // namespace

std::vector<HardeningSetting> ShareSettings() {
    std::vector<HardeningSetting> rows;
    for (const ShareRow& row : kShareRows) {
        rows.push_back(row.setting);
    }
    return rows;
}

void VerifyShares(MainWindowState& state, Machine& machine) {
    Controls& controls = state.controls;
    for (C box : kShareBoxes) {
        controls.SetValue(box, BoxValue::Cleared);
    }
    for (const ShareRow& row : kShareRows) {
        const HardeningSetting& setting = row.setting;
        if (!controls.Enabled(setting.box)) {
            continue;
        }
        if (IsInForce(machine, setting)) {
            controls.SetValue(setting.box, BoxValue::Ticked);
        }
        BoldLabelWhileCleared(state, setting.box, setting.label);
        if (row.resizesLabel) {
            controls.SetCentipoints(setting.label, controls.Bold(setting.label)
                                                       ? kNotInForceCentipoints
                                                       : kInForceCentipoints);
        }
    }
    for (C box : kShareBoxes) {
        state.VerifiedValue(box) = controls.Value(box);
    }
}

GroupResult ApplyShares(MainWindowState& state, Machine& machine) {
    state.restartNeeded = true;
    for (const ShareRow& row : kShareRows) {
        const C box = row.setting.box;
        if (!state.ChangedSinceVerify(box)) {
            continue;
        }
        if (WriteResult failure =
                ApplyBoxSettings(machine, {&row.setting, 1}, state.controls.Value(box))) {
            std::vector<C> order;
            for (const ShareRow& next : kShareRows) {
                order.push_back(next.setting.box);
            }
            return StoppedAt(state, box, std::move(*failure), order);
        }
        if (box == C::SimpleFileSharingBox) {
            state.restartNeeded = false;
        }
    }
    state.controls.SetValue(C::SelectAllSharesBox, BoxValue::Cleared);
    return std::nullopt;
}

}  // namespace tolvane
