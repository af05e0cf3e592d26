#include "model/ControlLayout.h"

#include <array>

namespace tolvane {
namespace {

using K = ControlKind;
using C = ControlId;
constexpr int kBox = 255;  // check boxes are square and have no caption

constexpr ControlLayout Lbl(C id, const wchar_t* caption, C frame, int left, int top, int width,
                            int height = 255, Backdrop backdrop = Backdrop::Window) {
    return {id,    K::Label, caption, frame, left, top, width, height, kDefaultCentipoints,
            false, false,    backdrop};
}
constexpr ControlLayout Box(C id, int left, int top) {
    return {
        id,    K::CheckBox,     L"", kOnWindow, left, top, kBox, kBox, kDefaultCentipoints, false,
        false, Backdrop::Window};
}
constexpr ControlLayout Btn(C id, const wchar_t* caption, int left, int top, int width,
                            int height) {
    return {id,    K::Button,       caption, kOnWindow,           left,
            top,   width,           height,  kDefaultCentipoints, false,
            false, Backdrop::Window};
}
constexpr ControlLayout Frm(C id, const wchar_t* caption, int left, int top, int width,
                            int height) {
    return {id,    K::Frame,        caption, kOnWindow,           left,
            top,   width,           height,  kDefaultCentipoints, true,
            false, Backdrop::Window};
}

constexpr Backdrop kWhiteBg = Backdrop::White;

constexpr auto kLayout = std::to_array<ControlLayout>({
    {C::LogoPicture, K::Picture, L"", kOnWindow, 120, 120, 1935, 495, kDefaultCentipoints, false,
     false, Backdrop::Window},
    {C::HelpHeadingLabel, K::Label, L"", kOnWindow, 120, 630, 1815, 375, kDefaultCentipoints, true,
     true, Backdrop::Window},
    {C::RestartNoticeLabel, K::Label, L"In order to apply the changes, please restart your PC.",
     kOnWindow, 240, 4680, 1695, 1095, 900, false, false, Backdrop::Window},

    Frm(C::SharesFrame, L"Share deletion", 2160, 120, 6975, 1575),
    Lbl(C::SimpleFileSharingLabel, L"Single share (Xp Pro)", C::SharesFrame, 120, 375, 2055, 255,
        kWhiteBg),
    Lbl(C::AdminSharesLabel, L"Administrative", C::SharesFrame, 120, 735, 2055, 255, kWhiteBg),
    Lbl(C::RemoteAdminLabel, L"Remote administration", C::SharesFrame, 120, 1095, 2055, 255,
        kWhiteBg),
    Lbl(C::FolderSharingLabel, L"Shared folders", C::SharesFrame, 2760, 375, 1935, 255, kWhiteBg),
    Lbl(C::PrinterSharingLabel, L"Printers", C::SharesFrame, 2760, 735, 1935, 255, kWhiteBg),
    Lbl(C::SelectAllSharesLabel, L"Select all", C::SharesFrame, 5160, 375, 1335),

    Frm(C::AccountsFrame, L"Account deactivation", 2160, 1920, 6975, 1575),
    Lbl(C::GuestAccountLabel, L"Guest account", C::AccountsFrame, 2760, 360, 1935),
    // Room for a second line: in bold, while the account is active, the caption may wrap.
    Lbl(C::HelpAssistantLabel, L"Help Assistant account", C::AccountsFrame, 2760, 720, 1935, 390),
    Lbl(C::AnonymousAccessLabel, L"Anonymous access", C::AccountsFrame, 120, 360, 1935),
    Lbl(C::EveryoneRightsLabel, L"Everybody rights", C::AccountsFrame, 120, 720, 1935),
    Lbl(C::RemoteRegistryLabel, L"Remote registry access", C::AccountsFrame, 120, 1080, 1935, 390),
    Lbl(C::SelectAllAccountsLabel, L"Select all", C::AccountsFrame, 5160, 360, 1335),

    Frm(C::ServicesFrame, L"Closing critical ports", 2160, 3720, 6975, 2655),
    Lbl(C::Port135Label, L"Port 135 RPC", C::ServicesFrame, 120, 360, 2055),
    Lbl(C::Port123Label, L"Time 123", C::ServicesFrame, 120, 720, 2055),
    Lbl(C::NetBiosPortsLabel, L"Ports 137, 138 UDP et 139 TCP", C::ServicesFrame, 120, 1200, 2055,
        390),
    Lbl(C::Port445Label, L"Port 445 TCP", C::ServicesFrame, 120, 1800, 2055),
    Lbl(C::Port500Label, L"IPSEC 500 UDP", C::ServicesFrame, 120, 2160, 2055),
    Lbl(C::Port1023Label, L"DTC 1023", C::ServicesFrame, 2760, 360, 1935),
    Lbl(C::Port1024TcpLabel, L"Schedule 1024 TCP", C::ServicesFrame, 2760, 720, 1935),
    Lbl(C::Port1024UdpLabel, L"DNS client 1024 UDP", C::ServicesFrame, 2760, 1080, 1935),
    Lbl(C::Port1027Label, L"Messenger 1027", C::ServicesFrame, 2760, 1440, 1935),
    Lbl(C::Port1900Label, L"SSPD 1900", C::ServicesFrame, 2760, 1800, 1935),
    Lbl(C::Port5000Label, L"UpNP 5000", C::ServicesFrame, 2760, 2160, 1935),
    Lbl(C::SelectAllServicesLabel, L"Select all", C::ServicesFrame, 5160, 360, 1335),

    // From here on, the keyboard order.
    Btn(C::RestartButton, L"Restart", 240, 5880, 1695, 375),
    Btn(C::ApplyServicesButton, L"Apply", 7560, 5865, 1335, 390),
    Btn(C::ApplyAccountsButton, L"Apply", 7560, 3000, 1335, 390),
    Btn(C::ApplySharesButton, L"Apply", 7560, 1200, 1335, 390),
    Box(C::SelectAllSharesBox, 8640, 480),
    Box(C::SelectAllAccountsBox, 8640, 2280),
    Box(C::SelectAllServicesBox, 8640, 4080),
    Box(C::EveryoneRightsBox, 4320, 2640),
    Box(C::SimpleFileSharingBox, 4320, 480),
    Box(C::AdminSharesBox, 4320, 840),
    Box(C::RemoteAdminBox, 4320, 1200),
    Box(C::FolderSharingBox, 6840, 480),
    Box(C::PrinterSharingBox, 6840, 840),
    Box(C::GuestAccountBox, 6840, 2280),
    Box(C::HelpAssistantBox, 6840, 2640),
    Box(C::AnonymousAccessBox, 4320, 2280),
    Box(C::RemoteRegistryBox, 4320, 3000),
    {C::HelpTextBox, K::TextBox, L"", kOnWindow, 120, 1080, 1905, 3495, 975, false, false,
     Backdrop::HelpText},
    Box(C::Port123Box, 4320, 4440),
    Box(C::Port500Box, 4320, 5880),
    Box(C::Port1023Box, 6840, 4080),
    Box(C::Port5000Box, 6840, 5880),
    Box(C::Port135Box, 4320, 4080),
    Box(C::NetBiosPortsBox, 4320, 4920),
    Box(C::Port445Box, 4320, 5520),
    Box(C::Port1024TcpBox, 6840, 4440),
    Box(C::Port1024UdpBox, 6840, 4800),
    Box(C::Port1027Box, 6840, 5160),
    Box(C::Port1900Box, 6840, 5520),
});

static_assert(kLayout.size() == kControlCount, "every control has one row");

constexpr auto MakeIndex() {
    std::array<int, kControlCount> index{};
    for (int i = 0; i < kControlCount; ++i) {
        index[static_cast<int>(kLayout[i].id)] = i;
    }
    return index;
}
constexpr auto kIndex = MakeIndex();

}  // namespace

std::span<const ControlLayout> MainWindowLayout() {
    return kLayout;
}

const ControlLayout& LayoutOf(ControlId id) {
    return kLayout[kIndex[static_cast<int>(id)]];
}

std::optional<ControlId> ControlAt(int left, int top) {
    std::optional<ControlId> found;
    for (const ControlLayout& control : kLayout) {
        const TwipRect place = WindowRectTwips(control);
        const bool inside = left >= place.left && left < place.left + place.width &&
                            top >= place.top && top < place.top + place.height;
        if (inside && (!found || LayoutOf(*found).kind == ControlKind::Frame)) {
            found = control.id;
        }
    }
    return found;
}

TwipRect PlaceOf(std::span<const SmallControl> window, const SmallControl& control) {
    TwipRect rect{control.left, control.top, control.width, control.height};
    if (control.frame) {
        rect.left += window[*control.frame].left;
        rect.top += window[*control.frame].top;
    }
    return rect;
}

TwipRect WindowRectTwips(const ControlLayout& control) {
    TwipRect rect{control.left, control.top, control.width, control.height};
    if (control.frame) {
        const ControlLayout& frame = LayoutOf(*control.frame);
        rect.left += frame.left;
        rect.top += frame.top;
    }
    return rect;
}

}  // namespace tolvane
