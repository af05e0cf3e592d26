// Identifiers of the main window's controls and menu entries, shared by the program and its tests.
#pragma once

#include <cstdint>
#include <optional>

namespace tolvane {

// Never reordered: a control's child-window identifier is its position. The layout table gives
// the creation (keyboard) order.
enum class ControlId : std::uint8_t {
    LogoPicture,
    HelpHeadingLabel,
    HelpTextBox,
    RestartNoticeLabel,
    RestartButton,

    SharesFrame,
    SimpleFileSharingLabel,
    AdminSharesLabel,
    RemoteAdminLabel,
    FolderSharingLabel,
    PrinterSharingLabel,
    SelectAllSharesLabel,
    SimpleFileSharingBox,
    AdminSharesBox,
    RemoteAdminBox,
    FolderSharingBox,
    PrinterSharingBox,
    SelectAllSharesBox,
    ApplySharesButton,

    AccountsFrame,
    GuestAccountLabel,
    HelpAssistantLabel,
    AnonymousAccessLabel,
    EveryoneRightsLabel,
    RemoteRegistryLabel,
    SelectAllAccountsLabel,
    GuestAccountBox,
    HelpAssistantBox,
    AnonymousAccessBox,
    EveryoneRightsBox,
    RemoteRegistryBox,
    SelectAllAccountsBox,
    ApplyAccountsButton,

    ServicesFrame,
    Port135Label,
    Port123Label,
    NetBiosPortsLabel,
    Port445Label,
    Port500Label,
    Port1023Label,
    Port1024TcpLabel,
    Port1024UdpLabel,
    Port1027Label,
    Port1900Label,
    Port5000Label,
    SelectAllServicesLabel,
    Port135Box,
    Port123Box,
    NetBiosPortsBox,
    Port445Box,
    Port500Box,
    Port1023Box,
    Port1024TcpBox,
    Port1024UdpBox,
    Port1027Box,
    Port1900Box,
    Port5000Box,
    SelectAllServicesBox,
    ApplyServicesButton,

    Count
};

constexpr int kControlCount = static_cast<int>(ControlId::Count);

// Win32 child-window identifier of a control: GetDlgItem(main, DialogId(id)).
constexpr int DialogId(ControlId id) {
    return 1000 + static_cast<int>(id);
}
// The control of a child-window identifier; none for another window's.
constexpr std::optional<ControlId> ControlOfDialogId(int dialogId) {
    const int index = dialogId - DialogId(ControlId{});
    return index >= 0 && index < kControlCount ? std::optional(static_cast<ControlId>(index))
                                               : std::nullopt;
}

enum class MenuId : std::uint16_t {
    ApplyAll = 2001,
    VerifyAll,
    Options,
    Quit,
    HelpContents,
    Forum,
    About,
    ListeningPorts,
    SavePolicy,
    OpenPolicy,
};

// Window classes, so that tests find the windows by class and process.
inline constexpr wchar_t kMainWindowClass[] = L"TolvaneMain";
inline constexpr wchar_t kPleaseWaitWindowClass[] = L"TolvanePatient";
// Identifier of the please-wait window's only label.
inline constexpr int kPleaseWaitLabelId = 1;

}  // namespace tolvane
