#include "ui/ControlLayout.h"

#include <array>

namespace tolvane {
namespace {

using K = ControlKind;
using C = ControlId;
constexpr C kNone = C::Count;
constexpr int kStd = kDefaultCentipoints;
constexpr int kBox = 255;  // check boxes are square and have no caption

constexpr ControlLayout Lbl(C id, const wchar_t* name, const wchar_t* caption, C frame, int left,
                            int top, int width, int height = 255,
                            Backdrop backdrop = Backdrop::Window) {
    return {id,    name,   K::Label, caption, frame, left,    top,
            width, height, kStd,     false,   false, backdrop};
}
constexpr ControlLayout Box(C id, const wchar_t* name, int left, int top) {
    return {id,   name, K::CheckBox, L"",   kNone,           left, top, kBox,
            kBox, kStd, false,       false, Backdrop::Window};
}
constexpr ControlLayout Btn(C id, const wchar_t* name, const wchar_t* caption, int left, int top,
                            int width, int height) {
    return {id,     name, K::Button, caption, kNone,           left, top, width,
            height, kStd, false,     false,   Backdrop::Window};
}
constexpr ControlLayout Frm(C id, const wchar_t* name, const wchar_t* caption, int left, int top,
                            int width, int height) {
    return {id,     name, K::Frame, caption, kNone,           left, top, width,
            height, kStd, true,     false,   Backdrop::Window};
}

constexpr Backdrop kWhiteBg = Backdrop::White;

constexpr auto kLayout = std::to_array<ControlLayout>({
    {C::QuillLogo, L"QuillLogo", K::Picture, L"", kNone, 120, 120, 1935, 495, kStd, false, false,
     Backdrop::Window},
    {C::LabelAide, L"LabelAide", K::Label, L"", kNone, 120, 630, 1815, 375, kStd, true, true,
     Backdrop::Window},
    {C::Label14, L"Label14", K::Label, L"In order to apply the changes, please restart your PC.",
     kNone, 240, 4680, 1695, 1095, 900, false, false, Backdrop::Window},

    Frm(C::Partages, L"Partages", L"Share deletion", 2160, 120, 6975, 1575),
    Lbl(C::PartageLabel1, L"PartageLabel1", L"Single share (Xp Pro)", C::Partages, 120, 375, 2055,
        255, kWhiteBg),
    Lbl(C::PartageLabel2, L"PartageLabel2", L"Administrative", C::Partages, 120, 735, 2055, 255,
        kWhiteBg),
    Lbl(C::PartageLabel3, L"PartageLabel3", L"Remote administration", C::Partages, 120, 1095, 2055,
        255, kWhiteBg),
    Lbl(C::PartageLabel4, L"PartageLabel4", L"Shared folders", C::Partages, 2760, 375, 1935, 255,
        kWhiteBg),
    Lbl(C::PartageLabel5, L"PartageLabel5", L"Printers", C::Partages, 2760, 735, 1935, 255,
        kWhiteBg),
    Lbl(C::SelectAllLabel1, L"SelectAllLabel1", L"Select all", C::Partages, 5160, 375, 1335),

    Frm(C::Disable, L"Disable", L"Account deactivation", 2160, 1920, 6975, 1575),
    Lbl(C::DisableLabel1, L"DisableLabel1", L"Guest account", C::Disable, 2760, 360, 1935),
    Lbl(C::DisableLabel2, L"DisableLabel2", L"Help Assistant account", C::Disable, 2760, 720, 1935),
    Lbl(C::DisableLabel3, L"DisableLabel3", L"Anonymous access", C::Disable, 120, 360, 1935),
    Lbl(C::DisableLabel4, L"DisableLabel4", L"Everybody rights", C::Disable, 120, 720, 1935),
    Lbl(C::DisableLabel5, L"DisableLabel5", L"Remote registry access", C::Disable, 120, 1080, 1935),
    Lbl(C::SelectAllLabel2, L"SelectAllLabel2", L"Select all", C::Disable, 5160, 360, 1335),

    Frm(C::Clavet, L"Clavet", L"Closing critical ports", 2160, 3720, 6975, 2655),
    Lbl(C::PortsLabel1, L"PortsLabel1", L"Port 135 RPC", C::Clavet, 120, 360, 2055),
    Lbl(C::PortsLabel2, L"PortsLabel2", L"Time 123", C::Clavet, 120, 720, 2055),
    Lbl(C::PortsLabel3, L"PortsLabel3", L"Ports 137, 138 UDP et 139 TCP", C::Clavet, 120, 1200,
        2055, 375),
    Lbl(C::PortsLabel4, L"PortsLabel4", L"Port 445 TCP", C::Clavet, 120, 1800, 2055),
    Lbl(C::PortsLabel5, L"PortsLabel5", L"IPSEC 500 UDP", C::Clavet, 120, 2160, 2055),
    Lbl(C::PortsLabel6, L"PortsLabel6", L"DTC 1023", C::Clavet, 2760, 360, 1935),
    Lbl(C::PortsLabel7, L"PortsLabel7", L"Schedule 1024 TCP", C::Clavet, 2760, 720, 1935),
    Lbl(C::PortsLabel8, L"PortsLabel8", L"DNS client 1024 UDP", C::Clavet, 2760, 1080, 1935),
    Lbl(C::PortsLabel9, L"PortsLabel9", L"Messenger 1027", C::Clavet, 2760, 1440, 1935),
    Lbl(C::PortsLabel10, L"PortsLabel10", L"SSPD 1900", C::Clavet, 2760, 1800, 1935),
    Lbl(C::PortsLabel11, L"PortsLabel11", L"UpNP 5000", C::Clavet, 2760, 2160, 1935),
    Lbl(C::SelectAllLabel3, L"SelectAllLabel3", L"Select all", C::Clavet, 5160, 360, 1335),

    // From here on, the keyboard order.
    Btn(C::RebootButton, L"RebootButton", L"Restart", 240, 5880, 1695, 375),
    Btn(C::PortsAppliquer, L"PortsAppliquer", L"Apply", 7560, 5865, 1335, 390),
    Btn(C::DesactiverAppliquer, L"DesactiverAppliquer", L"Apply", 7560, 3000, 1335, 390),
    Btn(C::PartagesAppliquer, L"PartagesAppliquer", L"Apply", 7560, 1200, 1335, 390),
    Box(C::SelectAll1, L"SelectAll1", 8640, 480),
    Box(C::SelectAll2, L"SelectAll2", 8640, 2280),
    Box(C::SelectAll3, L"SelectAll3", 8640, 4080),
    Box(C::EveryOne, L"EveryOne", 4320, 2640),
    Box(C::SimpleShare, L"SimpleShare", 4320, 480),
    Box(C::AdminShare, L"AdminShare", 4320, 840),
    Box(C::RemoteAdmin, L"RemoteAdmin", 4320, 1200),
    Box(C::ShareFolders, L"ShareFolders", 6840, 480),
    Box(C::SharePrinters, L"SharePrinters", 6840, 840),
    Box(C::Invit, L"Invit", 6840, 2280),
    Box(C::HelpAssistant, L"HelpAssistant", 6840, 2640),
    Box(C::Anonyme, L"Anonyme", 4320, 2280),
    Box(C::BDR, L"BDR", 4320, 3000),
    {C::TextAstuce, L"TextAstuce", K::TextBox, L"", kNone, 120, 1080, 1905, 3495, 975, false, false,
     Backdrop::HelpText},
    Box(C::Port123, L"Port123", 4320, 4440),
    Box(C::Port500, L"Port500", 4320, 5880),
    Box(C::Port1023, L"Port1023", 6840, 4080),
    Box(C::Port5000, L"Port5000", 6840, 5880),
    Box(C::Port135, L"Port135", 4320, 4080),
    Box(C::Port137138139, L"Port137138139", 4320, 4920),
    Box(C::Port445, L"Port445", 4320, 5520),
    Box(C::Port1024TCP, L"Port1024TCP", 6840, 4440),
    Box(C::Port1024UDP, L"Port1024UDP", 6840, 4800),
    Box(C::Port1027, L"Port1027", 6840, 5160),
    Box(C::Port1900, L"Port1900", 6840, 5520),
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

ControlId ControlAt(int left, int top) {
    ControlId found = ControlId::Count;
    for (const ControlLayout& control : kLayout) {
        const TwipRect place = WindowRectTwips(control);
        const bool inside = left >= place.left && left < place.left + place.width &&
                            top >= place.top && top < place.top + place.height;
        if (inside && (found == ControlId::Count || LayoutOf(found).kind == ControlKind::Frame)) {
            found = control.id;
        }
    }
    return found;
}

TwipRect PlaceOf(std::span<const SmallControl> window, const SmallControl& control) {
    TwipRect rect{control.left, control.top, control.width, control.height};
    if (control.frame != kOnWindow) {
        rect.left += window[control.frame].left;
        rect.top += window[control.frame].top;
    }
    return rect;
}

TwipRect WindowRectTwips(const ControlLayout& control) {
    TwipRect rect{control.left, control.top, control.width, control.height};
    if (control.frame != ControlId::Count) {
        const ControlLayout& frame = LayoutOf(control.frame);
        rect.left += frame.left;
        rect.top += frame.top;
    }
    return rect;
}

}  // namespace tolvane
