#include "help/ContextHelp.h"

#include <array>

#include "catalogue/Groups.h"

namespace tolvane {
namespace {

using C = ControlId;
constexpr int kHelpCentipoints = 1000;     // hundredths of a point
constexpr int kLongHelpCentipoints = 900;  // the long port 135 text needs the smaller type

// One row per control. The row of a setting box serves its label as well, under the label's
// caption as it is at the moment; so does a select-all box's row. Other rows have a fixed heading.
struct HelpRow {
    std::optional<C> control;  // none: the window's background
    std::optional<C> label;    // a select-all box's label
    const wchar_t* fixedHeading;
    const wchar_t* text;
    int centipoints;
    bool settingBox;
};

constexpr HelpRow BoxRow(C box, const wchar_t* text, int centipoints = kHelpCentipoints) {
    return {box, std::nullopt, nullptr, text, centipoints, true};
}
constexpr HelpRow SelectAllRow(C box, C label) {
    return {box, label, nullptr, L"Ticks off all the boxes", kHelpCentipoints, false};
}
constexpr HelpRow Button(C button, const wchar_t* heading, const wchar_t* text) {
    return {button, std::nullopt, heading, text, kHelpCentipoints, false};
}
constexpr HelpRow Empty(std::optional<C> control) {
    return {control, std::nullopt, L"", L"", kHelpCentipoints, false};
}

constexpr auto kRows = std::to_array<HelpRow>({
    SelectAllRow(C::SelectAllSharesBox, C::SelectAllSharesLabel),
    SelectAllRow(C::SelectAllAccountsBox, C::SelectAllAccountsLabel),
    SelectAllRow(C::SelectAllServicesBox, C::SelectAllServicesLabel),
    Empty(C::SharesFrame),
    Empty(C::AccountsFrame),
    Empty(C::ServicesFrame),
    Empty(std::nullopt),  // the window's background
    Button(C::ApplySharesButton, L"Apply Shares", L"Applies share modifications"),
    Button(C::ApplyAccountsButton, L"Apply Accounts", L"Applies accounts modifications"),
    Button(C::ApplyServicesButton, L"Apply Services", L"Applies services modifications"),
    Button(C::RestartButton, L"Restart", L"Restarts your PC"),
    BoxRow(C::SimpleFileSharingBox,
           L"This options releases the Security tab in the files/folders properties.\r\n\r\nWhen "
           L"you set this option, network users have to authenticate like users (login/password)"),
    BoxRow(C::AdminSharesBox,
           L"Closes default administrative shares (C$ and ADMIN$) which allow network "
           L"administrators to be connected to your PC."),
    BoxRow(C::RemoteAdminBox,
           L"Helps an administrator from remotely connecting to your PC and get a full control out "
           L"of it.\r\n\r\nCloses the 'Remote Help' service."),
    BoxRow(C::FolderSharingBox,
           L"This options avoids sharing any user's files and folders found under My Documents. "),
    BoxRow(C::PrinterSharingBox,
           L"Closes the printer and folder sharing, in fact it hides away your hard drive shares."),
    BoxRow(C::GuestAccountBox,
           L"Impedes any user to get a connection to the PC, using the guest account."),
    BoxRow(C::HelpAssistantBox,
           L"Avoids using the Microsoft help assistant account to connect on internet"),
    BoxRow(C::AnonymousAccessBox,
           L"Forces any user to authenticate on your PC, if they are not registered, they couldn't "
           L"access any shares."),
    BoxRow(
        C::EveryoneRightsBox,
        L"Impedes the system to grant anonymous users with the \"Everybody\" rights, they have to "
        L"authenticate."),
    BoxRow(C::RemoteRegistryBox,
           L"Forbids any remote connection to the registry in order to avoid any user to control "
           L"your PC."),
    BoxRow(
        C::Port135Box,
        L"This service allows Remote Procedure Calls to be carried out. Any remote administrative "
        L"call uses the RPC service. This port is allegedly a port mapper. When a device tries to "
        L"reach a service on a remote PC (running under Windows), it first connects to this port "
        L"(135) so that to locate the real port we want to reach. Then it will directly talk with "
        L"the wished port. Windows suffered from several flaws, and a couple of worms like Blaster "
        L"used this port so we highly recomend to close it. This option will forbid any access to "
        L"port 135 so that to make it unreachable from the remote network (Internet), we could "
        L"only use it locally in the local loop (127.0.0.1). ",
        kLongHelpCentipoints),
    BoxRow(C::Port123Box,
           L"Closes this port and helps the time synchronisation from connecting to Internet "
           L"servers."),
    BoxRow(C::NetBiosPortsBox,
           L"Closes TCP or UDP NetBios ports which allows PC's to be discovered on a local network "
           L"through the network neighborhood."),
    BoxRow(C::Port445Box,
           L"Performs SMB protocol (sharing folders and printers), closing this port helps from "
           L"sharing printers and folders on the remote connection."),
    BoxRow(C::Port500Box,
           L"Stops the secured authentication by key sharing which saves user's security data."),
    BoxRow(C::Port1023Box, L"Closes the port used to share databases distributed transactions."),
    BoxRow(C::Port1024TcpBox, L"Closes the port used with planned task manager."),
    BoxRow(C::Port1024UdpBox, L"Closes any access to DNS client service."),
    BoxRow(
        C::Port1027Box,
        L"Closes and deactivates the message service, which normally allows messages to be sent "
        L"from one PC to another on a local network, it has though been exploited so that to send "
        L"ads messages through Internet."),
    BoxRow(
        C::Port1900Box,
        L"Stops the SSDP discovery service, which listens on UDP port 1900 so that devices of the "
        L"local network can announce themselves to your PC and find it. Universal Plug and Play "
        L"relies on it, so port 5000 is closed with it."),
    BoxRow(
        C::Port5000Box,
        L"Closes the service which allows your PC to be set in server mode by default, so that to "
        L"automatically discover new devices installed on your local network, it works directly "
        L"with port 1900."),
});

// The label that shows the row's help too.
std::optional<C> LabelOfRow(const HelpRow& row) {
    return row.settingBox ? LabelOf(*row.control) : row.label;
}

const HelpRow* RowOf(std::optional<C> id) {
    for (const HelpRow& row : kRows) {
        const std::optional<C> label = LabelOfRow(row);
        if (row.control == id || (label && label == id)) {
            return &row;
        }
    }
    return nullptr;
}

}  // namespace

void ShowHelpFor(MainWindowState& state, std::optional<ControlId> id) {
    const HelpRow* row = RowOf(id);
    if (!row) {
        return;
    }
    Controls& controls = state.controls;
    const std::optional<C> label = LabelOfRow(*row);
    controls.SetCentipoints(C::HelpTextBox, row->centipoints);
    controls.SetCaption(C::HelpTextBox, row->text);
    controls.SetCaption(C::HelpHeadingLabel, label ? controls.Caption(*label) : row->fixedHeading);
    if (row->settingBox) {
        if (const auto why = state.unavailableHere.find(*row->control);
            why != state.unavailableHere.end()) {
            controls.SetCentipoints(C::HelpTextBox, kHelpCentipoints);
            controls.SetCaption(C::HelpTextBox, why->second);
            return;
        }
    }
    // Only the share labels fall back: pointing at a share box keeps its own text.
    if (row->settingBox && id == label && GroupOf(*row->control) == Group::Shares &&
        !SharesAvailable(state)) {
        controls.SetCaption(C::HelpTextBox, kSharesUnavailableHelp);
    }
}

}  // namespace tolvane
