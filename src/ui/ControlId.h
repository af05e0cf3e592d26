// Identifiers of the main window's controls and menu entries, shared by the program and its tests.
#pragma once

#include <cstdint>

namespace tolvane {

// Order matters only for readability; the layout table gives the creation (keyboard) order.
enum class ControlId : std::uint8_t {
    QuillLogo,
    LabelAide,
    TextAstuce,
    Label14,
    RebootButton,

    Partages,
    PartageLabel1,
    PartageLabel2,
    PartageLabel3,
    PartageLabel4,
    PartageLabel5,
    SelectAllLabel1,
    SimpleShare,
    AdminShare,
    RemoteAdmin,
    ShareFolders,
    SharePrinters,
    SelectAll1,
    PartagesAppliquer,

    Disable,
    DisableLabel1,
    DisableLabel2,
    DisableLabel3,
    DisableLabel4,
    DisableLabel5,
    SelectAllLabel2,
    Invit,
    HelpAssistant,
    Anonyme,
    EveryOne,
    BDR,
    SelectAll2,
    DesactiverAppliquer,

    Clavet,
    PortsLabel1,
    PortsLabel2,
    PortsLabel3,
    PortsLabel4,
    PortsLabel5,
    PortsLabel6,
    PortsLabel7,
    PortsLabel8,
    PortsLabel9,
    PortsLabel10,
    PortsLabel11,
    SelectAllLabel3,
    Port135,
    Port123,
    Port137138139,
    Port445,
    Port500,
    Port1023,
    Port1024TCP,
    Port1024UDP,
    Port1027,
    Port1900,
    Port5000,
    SelectAll3,
    PortsAppliquer,

    Count
};

constexpr int kControlCount = static_cast<int>(ControlId::Count);

// Win32 child-window identifier of a control: GetDlgItem(main, DialogId(id)).
constexpr int DialogId(ControlId id) {
    return 1000 + static_cast<int>(id);
}

enum class MenuId : std::uint16_t {
    Sauvegarder = 2001,
    VerifyAll,
    MnuToolsOptions,
    QuitMnu,
    MnuHelpContents,
    Forum,
    MnuHelpAbout,
    ListeningPorts,
};

// Window classes, so that tests find the windows by class and process.
inline constexpr wchar_t kMainWindowClass[] = L"TolvaneMain";
inline constexpr wchar_t kPatientWindowClass[] = L"TolvanePatient";
// Identifier of the please-wait window's only label.
inline constexpr int kPatientLabelId = 1;

// A font handle means nothing to another process, so each label also carries the weight and size
// of its font as window properties (values 400 or 700, and hundredths of a point).
inline constexpr wchar_t kFontWeightProperty[] = L"TolvaneFontWeight";
inline constexpr wchar_t kFontCentipointsProperty[] = L"TolvaneFontCentipoints";

}  // namespace tolvane
