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
    {Row(C::ShareFolders, C::PartageLabel4,
         L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network\\NoFileSharing", L"1",
         kRuleDelete),
     false},
    {Row(C::SharePrinters, C::PartageLabel5,
         L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network\\NoPrintSharing", L"1",
         kRuleDelete),
     false},
    {Row(C::SimpleShare, C::PartageLabel1, L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\forceguest",
         L"0", L"1"),
     true},
    {Row(C::AdminShare, C::PartageLabel2,
         L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters\\AutoshareWks", L"0",
         kRuleDelete),
     true},
    {Row(C::RemoteAdmin, C::PartageLabel3,
         L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters\\AutoShareServer", L"0",
         kRuleDelete),
     true},
}};

constexpr std::array<C, 5> kShareBoxes = {C::SimpleShare, C::AdminShare, C::RemoteAdmin,
                                          C::ShareFolders, C::SharePrinters};
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

void VerifyShares(Form& form, Machine& machine) {
    Controls& controls = form.controls;
    for (C box : kShareBoxes) {
        controls.SetValue(box, 0);
    }
    for (const ShareRow& row : kShareRows) {
        const HardeningSetting& setting = row.setting;
        if (!controls.Enabled(setting.box)) {
            continue;
        }
        if (CheckSetting(machine, setting)) {
            controls.SetValue(setting.box, 1);
        }
        ShowState(form, setting.box, setting.label);
        if (row.resizesLabel) {
            controls.SetCentipoints(setting.label, controls.Bold(setting.label)
                                                       ? kNotInForceCentipoints
                                                       : kInForceCentipoints);
        }
    }
    for (C box : kShareBoxes) {
        form.VerifiedState(box) = controls.Value(box);
    }
}

GroupResult ApplyShares(Form& form, Machine& machine) {
    form.RestartNeeded = true;
    for (const ShareRow& row : kShareRows) {
        const C box = row.setting.box;
        if (!form.Changed(box)) {
            continue;
        }
        if (WriteResult failure = ApplyRows(machine, {&row.setting, 1}, form.controls.Value(box))) {
            std::vector<C> order;
            for (const ShareRow& next : kShareRows) {
                order.push_back(next.setting.box);
            }
            return StoppedAt(form, box, std::move(*failure), order);
        }
        if (box == C::SimpleShare) {
            form.RestartNeeded = false;
        }
    }
    form.controls.SetValue(C::SelectAll1, 0);
    return std::nullopt;
}

}  // namespace tolvane
