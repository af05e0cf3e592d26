#include "model/SettingBoxes.h"

#include <algorithm>
#include <array>

namespace tolvane {
namespace {

using C = ControlId;
using G = Group;

constexpr std::array<SettingBox, kSettingCount> kSettingBoxes = {{
    {C::SimpleFileSharingBox, C::SimpleFileSharingLabel, G::Shares, L"shares.simple", true},
    {C::AdminSharesBox, C::AdminSharesLabel, G::Shares, L"shares.admin", true},
    {C::RemoteAdminBox, C::RemoteAdminLabel, G::Shares, L"shares.remoteadmin", true},
    {C::FolderSharingBox, C::FolderSharingLabel, G::Shares, L"shares.folders", true},
    {C::PrinterSharingBox, C::PrinterSharingLabel, G::Shares, L"shares.printers", true},
    {C::GuestAccountBox, C::GuestAccountLabel, G::Accounts, L"accounts.guest", false},
    {C::HelpAssistantBox, C::HelpAssistantLabel, G::Accounts, L"accounts.helpassistant", false},
    {C::AnonymousAccessBox, C::AnonymousAccessLabel, G::Accounts, L"accounts.anonymous", true},
    {C::EveryoneRightsBox, C::EveryoneRightsLabel, G::Accounts, L"accounts.everyone", true},
    {C::RemoteRegistryBox, C::RemoteRegistryLabel, G::Accounts, L"accounts.remoteregistry", false},
    {C::Port135Box, C::Port135Label, G::Services, L"services.port135", true},
    {C::Port123Box, C::Port123Label, G::Services, L"services.time", false},
    // The NetBIOS ports belong to a driver that lets them go only at the next start.
    {C::NetBiosPortsBox, C::NetBiosPortsLabel, G::Services, L"services.netbios", true},
    {C::Port445Box, C::Port445Label, G::Services, L"services.smb", true},
    {C::Port500Box, C::Port500Label, G::Services, L"services.ipsec", false},
    {C::Port1023Box, C::Port1023Label, G::Services, L"services.dtc", false},
    {C::Port1024TcpBox, C::Port1024TcpLabel, G::Services, L"services.scheduler", false},
    {C::Port1024UdpBox, C::Port1024UdpLabel, G::Services, L"services.dnsclient", false},
    {C::Port1027Box, C::Port1027Label, G::Services, L"services.messenger", false},
    // The only service its apply does not stop.
    {C::Port1900Box, C::Port1900Label, G::Services, L"services.ssdp", true},
    {C::Port5000Box, C::Port5000Label, G::Services, L"services.upnp", false},
}};

}  // namespace

std::span<const SettingBox> SettingBoxes() {
    return kSettingBoxes;
}

std::vector<ControlId> BoxesOf(Group group) {
    std::vector<ControlId> boxes;
    for (const SettingBox& row : kSettingBoxes) {
        if (row.group == group) {
            boxes.push_back(row.box);
        }
    }
    return boxes;
}

const SettingBox& SettingBoxOf(ControlId box) {
    return *std::find_if(kSettingBoxes.begin(), kSettingBoxes.end(),
                         [box](const SettingBox& row) { return row.box == box; });
}

std::size_t SettingIndexOf(ControlId box) {
    return static_cast<std::size_t>(&SettingBoxOf(box) - kSettingBoxes.data());
}

}  // namespace tolvane
