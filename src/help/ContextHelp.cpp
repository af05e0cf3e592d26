#include "help/ContextHelp.h"

#include <array>

namespace tolvane {
namespace {

using C = ControlId;
constexpr int kHelpCentipoints = 1000;     // hundredths of a point
constexpr int kLongHelpCentipoints = 900;  // the long port 135 text needs the smaller type

// One row per control, or per label with its box. The heading is the caption of `heading` as it
// is at the moment, else the fixed text.
struct HelpRow {
    std::optional<C> control;  // none: the window's background
    std::optional<C> box;
    std::optional<C> heading;
    const wchar_t* fixedHeading;
    const wchar_t* text;
    int centipoints;
    bool sharesUnavailableHelp;  // a share label on a machine where shares cannot be set
};

constexpr HelpRow LabelRow(C label, C box, const wchar_t* text, bool share = false,
                           int centipoints = kHelpCentipoints) {
    return {label, box, label, nullptr, text, centipoints, share};
}
constexpr HelpRow Button(C button, const wchar_t* heading, const wchar_t* text) {
    return {button, std::nullopt, std::nullopt, heading, text, kHelpCentipoints, false};
}
constexpr HelpRow Empty(std::optional<C> control) {
    return {control, std::nullopt, std::nullopt, L"", L"", kHelpCentipoints, false};
}

constexpr wchar_t kSelectAll[] = L"Ticks off all the boxes";

constexpr auto kRows = std::to_array<HelpRow>({
    LabelRow(C::SelectAllSharesLabel, C::SelectAllSharesBox, kSelectAll),
    LabelRow(C::SelectAllAccountsLabel, C::SelectAllAccountsBox, kSelectAll),
    LabelRow(C::SelectAllServicesLabel, C::SelectAllServicesBox, kSelectAll),
    Empty(C::SharesFrame),
    Empty(C::AccountsFrame),
    Empty(C::ServicesFrame),
    Empty(std::nullopt),  // the window's background
    Button(C::ApplySharesButton, L"Apply Shares", L"Applies share modifications"),
    Button(C::ApplyAccountsButton, L"Apply Accounts", L"Applies accounts modifications"),
    Button(C::ApplyServicesButton, L"Apply Services", L"Applies services modifications"),
    Button(C::RestartButton, L"Restart", L"Restarts your PC"),
    LabelRow(C::SimpleFileSharingLabel, C::SimpleFileSharingBox,
             L"This options releases the Security tab in the files/folders properties.\r\n\r\nWhen "
             L"you set this option, network users have to authenticate like users (login/password)",
             true),
    LabelRow(C::AdminSharesLabel, C::AdminSharesBox,
             L"Closes default administrative shares (C$ and ADMIN$) which allow network "
             L"administrators to be connected to your PC.",
             true),
    LabelRow(
        C::RemoteAdminLabel, C::RemoteAdminBox,
        L"Helps an administrator from remotely connecting to your PC and get a full control out "
        L"of it.\r\n\r\nCloses the 'Remote Help' service.",
        true),
    LabelRow(C::FolderSharingLabel, C::FolderSharingBox,
             L"This options avoids sharing any user's files and folders found under My Documents. ",
             true),
    LabelRow(
        C::PrinterSharingLabel, C::PrinterSharingBox,
        L"Closes the printer and folder sharing, in fact it hides away your hard drive shares.",
        true),
    LabelRow(C::GuestAccountLabel, C::GuestAccountBox,
             L"Impedes any user to get a connection to the PC, using the guest account."),
    LabelRow(C::HelpAssistantLabel, C::HelpAssistantBox,
             L"Avoids using the Microsoft help assistant account to connect on internet"),
    LabelRow(
        C::AnonymousAccessLabel, C::AnonymousAccessBox,
        L"Forces any user to authenticate on your PC, if they are not registered, they couldn't "
        L"access any shares."),
    LabelRow(
        C::EveryoneRightsLabel, C::EveryoneRightsBox,
        L"Impedes the system to grant anonymous users with the \"Everybody\" rights, they have to "
        L"authenticate."),
    LabelRow(C::RemoteRegistryLabel, C::RemoteRegistryBox,
             L"Forbids any remote connection to the registry in order to avoid any user to control "
             L"your PC."),
    LabelRow(
        C::Port135Label, C::Port135Box,
        L"This service allows Remote Procedure Calls to be carried out. Any remote administrative "
        L"call uses the RPC service. This port is allegedly a port mapper. When a device tries to "
        L"reach a service on a remote PC (running under Windows), it first connects to this port "
        L"(135) so that to locate the real port we want to reach. Then it will directly talk with "
        L"the wished port. Windows suffered from several flaws, and a couple of worms like Blaster "
        L"used this port so we highly recomend to close it. This option will forbid any access to "
        L"port 135 so that to make it unreachable from the remote network (Internet), we could "
        L"only use it locally in the local loop (127.0.0.1). ",
        false, kLongHelpCentipoints),
    LabelRow(C::Port123Label, C::Port123Box,
             L"Closes this port and helps the time synchronisation from connecting to Internet "
             L"servers."),
    LabelRow(
        C::NetBiosPortsLabel, C::NetBiosPortsBox,
        L"Closes TCP or UDP NetBios ports which allows PC's to be discovered on a local network "
        L"through the network neighborhood."),
    LabelRow(C::Port445Label, C::Port445Box,
             L"Performs SMB protocol (sharing folders and printers), closing this port helps from "
             L"sharing printers and folders on the remote connection."),
    LabelRow(C::Port500Label, C::Port500Box,
             L"Stops the secured authentication by key sharing which saves user's security data."),
    LabelRow(C::Port1023Label, C::Port1023Box,
             L"Closes the port used to share databases distributed transactions."),
    LabelRow(C::Port1024TcpLabel, C::Port1024TcpBox,
             L"Closes the port used with planned task manager."),
    LabelRow(C::Port1024UdpLabel, C::Port1024UdpBox, L"Closes any access to DNS client service."),
    LabelRow(
        C::Port1027Label, C::Port1027Box,
        L"Closes and deactivates the message service, which normally allows messages to be sent "
        L"from one PC to another on a local network, it has though been exploited so that to send "
        L"ads messages through Internet."),
    LabelRow(
        C::Port1900Label, C::Port1900Box,
        L"Stops the SSDP discovery service, which listens on UDP port 1900 so that devices of the "
        L"local network can announce themselves to your PC and find it. Universal Plug and Play "
        L"relies on it, so port 5000 is closed with it."),
    LabelRow(
        C::Port5000Label, C::Port5000Box,
        L"Closes the service which allows your PC to be set in server mode by default, so that to "
        L"automatically discover new devices installed on your local network, it works directly "
        L"with port 1900."),
});

const HelpRow* RowOf(std::optional<C> id) {
    for (const HelpRow& row : kRows) {
        if (row.control == id || (row.box && row.box == id)) {
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
    controls.SetCentipoints(C::HelpTextBox, row->centipoints);
    controls.SetCaption(C::HelpTextBox, row->text);
    controls.SetCaption(C::HelpHeadingLabel,
                        row->heading ? controls.Caption(*row->heading) : row->fixedHeading);
    // Only the labels fall back: pointing at a share box keeps its own text.
    if (row->sharesUnavailableHelp && id == row->control &&
        !controls.Enabled(C::ApplySharesButton)) {
        controls.SetCaption(C::HelpTextBox, kSharesUnavailableHelp);
    }
}

}  // namespace tolvane
