#include "app/WindowPolicy.h"

#include "app/Report.h"
#include "app/SettingList.h"
#include "catalogue/Services.h"
#include "help/About.h"

namespace tolvane {
namespace {

using C = ControlId;

// As an unattended run reads the box: the window alone takes the port boxes away while port 135
// is ticked.
bool Available(MainWindowState& state, Machine& machine, C box) {
    if (state.unknownAccounts.count(box) || state.unavailableHere.count(box)) {
        return false;
    }
    if (box == C::Port135Box || state.controls.Enabled(box)) {
        return true;
    }
    return state.controls.Ticked(C::Port135Box) && GroupOf(box) == Group::Services &&
           ServiceBoxInstalled(machine.reg, box);
}

}  // namespace

std::string PolicyFromWindow(MainWindowState& state, Machine& machine,
                             const std::wstring& fileName) {
    const auto version = machine.system.ProgramVersion();
    std::wstring text =
        L"; Tolvane policy: the settings to apply, one name a line.\r\n"
        L"; Saved from the window on " +
        machine.system.ComputerName() + L", " + Iso8601(machine.system.UtcNow()) + L", Tolvane " +
        (version ? VersionNumber(*version) : L"") + L".\r\n; Apply it with: Tolvane.exe /apply:@" +
        fileName + L"\r\n";
    for (const SettingBox& setting : SettingBoxes()) {
        if (state.controls.Ticked(setting.box) && Available(state, machine, setting.box)) {
            text += std::wstring(setting.reportKey) + L" ; " +
                    OnOneLine(state.controls.Caption(setting.label)) + L"\r\n";
        }
    }
    return "\xEF\xBB\xBF" + ToUtf8(text);
}

void OpenPolicy(MainWindowState& state, Machine& machine, const std::wstring& path) {
    const PolicyReader read = [&](const std::wstring& file) {
        return ReadPolicyFile(machine.system, file);
    };
    const SettingChoice choice =
        ChooseSettings({{L"@" + path, L"@" + path}}, Direction::Apply, &read);
    if (!choice.error.empty()) {
        machine.host.ShowMessage(L"Tolvane could not read this policy.\r\n\r\n" + choice.error,
                                 kAppTitle, MbOk | MbIconExclamation);
        return;
    }
    std::wstring left;
    const std::span<const SettingBox> settings = SettingBoxes();
    for (std::size_t i = 0; i < settings.size(); ++i) {
        const C box = settings[i].box;
        const bool named = choice.asked.test(i);
        if (box == C::Port135Box || !Available(state, machine, box) ||
            !state.controls.Enabled(box)) {
            if (named) {
                left += L"\r\n" + OnOneLine(state.controls.Caption(settings[i].label));
            }
            continue;
        }
        state.controls.SetValue(box, named ? BoxValue::Ticked : BoxValue::Cleared);
    }
    if (!left.empty()) {
        machine.host.ShowMessage(
            L"The policy names settings that Tolvane cannot tick here:" + left +
                L"\r\n\r\nPort 135 is closed only from its own box, which asks first.",
            kAppTitle, MbOk | MbIconInformation);
    }
}

}  // namespace tolvane
