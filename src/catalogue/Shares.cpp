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
    {MakeSetting(C::FolderSharingBox,
                 L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network\\NoFileSharing",
                 L"1", kDeleteOnUndo),
     false},
    {MakeSetting(C::PrinterSharingBox,
                 L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network\\NoPrintSharing",
                 L"1", kDeleteOnUndo),
     false},
    {MakeSetting(C::SimpleFileSharingBox, L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\forceguest",
                 L"0", WriteOnUndo(L"1")),
     true},
    {MakeSetting(C::AdminSharesBox,
                 L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters\\AutoshareWks",
                 L"0", kDeleteOnUndo),
     true},
    {MakeSetting(C::RemoteAdminBox,
                 L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters\\AutoShareServer",
                 L"0", kDeleteOnUndo),
     true},
}};

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
    const std::vector<C> boxes = BoxesOf(Group::Shares);
    for (C box : boxes) {
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
        BoldLabelWhileCleared(state, setting.box);
        if (row.resizesLabel) {
            const C label = LabelOf(setting.box);
            controls.SetCentipoints(
                label, controls.Bold(label) ? kNotInForceCentipoints : kInForceCentipoints);
        }
    }
    for (C box : boxes) {
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
