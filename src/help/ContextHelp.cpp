#include "help/ContextHelp.h"

#include <array>

namespace tolvane {
namespace {

using C = ControlId;
constexpr C kNone = C::Count;
constexpr int kText = 1000;     // hundredths of a point
constexpr int kLongText = 900;  // the long port 135 text needs the smaller type

// One row per control, or per label with its box. The heading is the caption of `heading` as it
// is at the moment, else the fixed text.
struct HelpRow {
    C control;
    C box;  // kNone for a control without a box
    C heading;
    const wchar_t* fixedHeading;
    const wchar_t* text;
    int centipoints;
    bool shareFallback;  // a share label on a machine where shares cannot be set
};

constexpr HelpRow Pair(C label, C box, const wchar_t* text, bool share = false,
                       int centipoints = kText) {
    return {label, box, label, nullptr, text, centipoints, share};
}
constexpr HelpRow Button(C button, const wchar_t* heading, const wchar_t* text) {
    return {button, kNone, kNone, heading, text, kText, false};
}
constexpr HelpRow Empty(C control) {
    return {control, kNone, kNone, L"", L"", kText, false};
}

constexpr wchar_t kSelectAll[] = L"Ticks off all the boxes";

constexpr auto kRows = std::to_array<HelpRow>({
    Pair(C::SelectAllLabel1, C::SelectAll1, kSelectAll),
    Pair(C::SelectAllLabel2, C::SelectAll2, kSelectAll),
    Pair(C::SelectAllLabel3, C::SelectAll3, kSelectAll),
    Empty(C::Partages),
    Empty(C::Disable),
    Empty(C::Clavet),
    Empty(kNone),  // the window's background
    Button(C::PartagesAppliquer, L"Apply Shares", L"Applies share modifications"),
    Button(C::DesactiverAppliquer, L"Apply Accounts", L"Applies accounts modifications"),
    Button(C::PortsAppliquer, L"Apply Services", L"Applies services modifications"),
    Button(C::RebootButton, L"Restart", L"Restarts your PC"),
    Pair(C::PartageLabel1, C::SimpleShare,
         L"This options releases the Security tab in the files/folders properties.\r\n\r\nWhen "
         L"you set this option, network users have to authenticate like users (login/password)",
         true),
    Pair(C::PartageLabel2, C::AdminShare,
         L"Closes default administrative shares (C$ and ADMIN$) which allow network "
         L"administrators to be connected to your PC.",
         true),
    Pair(C::PartageLabel3, C::RemoteAdmin,
         L"Helps an administrator from remotely connecting to your PC and get a full control out "
         L"of it.\r\n\r\nCloses the 'Remote Help' service.",
         true),
    Pair(C::PartageLabel4, C::ShareFolders,
         L"This options avoids sharing any user's files and folders found under My Documents. ",
         true),
    Pair(C::PartageLabel5, C::SharePrinters,
         L"Closes the printer and folder sharing, in fact it hides away your hard drive shares.",
         true),
    Pair(C::DisableLabel1, C::Invit,
         L"Impedes any user to get a connection to the PC, using the guest account."),
    Pair(C::DisableLabel2, C::HelpAssistant,
         L"Avoids using the Microsoft help assistant account to connect on internet"),
    Pair(C::DisableLabel3, C::Anonyme,
         L"Forces any user to authenticate on your PC, if they are not registered, they couldn't "
         L"access any shares."),
    Pair(C::DisableLabel4, C::EveryOne,
         L"Impedes the system to grant anonymous users with the \"Everybody\" rights, they have to "
         L"authenticate."),
    Pair(C::DisableLabel5, C::BDR,
         L"Forbids any remote connection to the registry in order to avoid any user to control "
         L"your PC."),
    Pair(
        C::PortsLabel1, C::Port135,
        L"This service allows Remote Procedure Calls to be carried out. Any remote administrative "
        L"call uses the RPC service. This port is allegedly a port mapper. When a device tries to "
        L"reach a service on a remote PC (running under Windows), it first connects to this port "
        L"(135) so that to locate the real port we want to reach. Then it will directly talk with "
        L"the wished port. Windows suffered from several flaws, and a couple of worms like Blaster "
        L"used this port so we highly recomend to close it. This option will forbid any access to "
        L"port 135 so that to make it unreachable from the remote network (Internet), we could "
        L"only use it locally in the local loop (127.0.0.1). ",
        false, kLongText),
    Pair(C::PortsLabel2, C::Port123,
         L"Closes this port and helps the time synchronisation from connecting to Internet "
         L"servers."),
    Pair(C::PortsLabel3, C::Port137138139,
         L"Closes TCP or UDP NetBios ports which allows PC's to be discovered on a local network "
         L"through the network neighborhood."),
    Pair(C::PortsLabel4, C::Port445,
         L"Performs SMB protocol (sharing folders and printers), closing this port helps from "
         L"sharing printers and folders on the remote connection."),
    Pair(C::PortsLabel5, C::Port500,
         L"Stops the secured authentication by key sharing which saves user's security data."),
    Pair(C::PortsLabel6, C::Port1023,
         L"Closes the port used to share databases distributed transactions."),
    Pair(C::PortsLabel7, C::Port1024TCP, L"Closes the port used with planned task manager."),
    Pair(C::PortsLabel8, C::Port1024UDP, L"Closes any access to DNS client service."),
    Pair(C::PortsLabel9, C::Port1027,
         L"Closes and deactivates the message service, which normally allows messages to be sent "
         L"from one PC to another on a local network, it has though been exploited so that to send "
         L"ads messages through Internet."),
    Pair(C::PortsLabel10, C::Port1900,
         L"Stops the SSDP discovery service, which listens on UDP port 1900 so that devices of the "
         L"local network can announce themselves to your PC and find it. Universal Plug and Play "
         L"relies on it, so port 5000 is closed with it."),
    Pair(C::PortsLabel11, C::Port5000,
         L"Closes the service which allows your PC to be set in server mode by default, so that to "
         L"automatically discover new devices installed on your local network, it works directly "
         L"with port 1900."),
});

const HelpRow* RowOf(C id) {
    for (const HelpRow& row : kRows) {
        if (row.control == id || (row.box != kNone && row.box == id)) {
            return &row;
        }
    }
    return nullptr;
}

}  // namespace

void ShowHelp(Form& form, ControlId id) {
    const HelpRow* row = RowOf(id);
    if (!row) {
        return;
    }
    Controls& controls = form.controls;
    controls.SetCentipoints(C::TextAstuce, row->centipoints);
    controls.SetCaption(C::TextAstuce, row->text);
    controls.SetCaption(C::LabelAide,
                        row->heading != kNone ? controls.Caption(row->heading) : row->fixedHeading);
    // Only the labels fall back: pointing at a share box keeps its own text.
    if (row->shareFallback && id == row->control && !controls.Enabled(C::PartagesAppliquer)) {
        controls.SetCaption(C::TextAstuce, kShareFallback);
    }
}

}  // namespace tolvane
