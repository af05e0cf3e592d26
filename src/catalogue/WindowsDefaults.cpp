#include "catalogue/WindowsDefaults.h"

#include "registry/SettingEngine.h"
#include "system/AsciiCase.h"
#include "system/SystemInfo.h"

namespace tolvane {
namespace {

constexpr unsigned Bit(WindowsVersion version) {
    return 1u << static_cast<unsigned>(version);
}

// Windows versions and product types as bits, so that a line can name several.
enum Systems : unsigned {
    W2000 = Bit(WindowsVersion::Windows2000),
    Xp = Bit(WindowsVersion::WindowsXp),
    W2003 = Bit(WindowsVersion::Server2003),
    AllSystems = W2000 | Xp | W2003,
};
enum Products : unsigned {
    Workstation = 1u << ProductWorkstation,
    Server = (1u << ProductServer) | (1u << ProductDomainController),
    AllProducts = Workstation | Server,
};

struct DefaultLine {
    const wchar_t* valuePath;
    unsigned systems;
    unsigned products;
    unsigned fromServicePack;  // this service pack and the later ones
    const wchar_t* value;      // null: Windows has no such value
};

constexpr unsigned kAnyPack = 0;

// Sources, each for what it was read to say: Microsoft, "Threats and Countermeasures: Security
// Settings in Windows Server 2003 and Windows XP", chapter 7 "System Services", on the services
// XP and Server 2003 install and their default settings; the Security Options reference "Network
// access: Do not allow anonymous enumeration of SAM accounts", enabled by default on XP and
// Server 2003 clients, servers and domain controllers (restrictanonymoussam 1); KB 278259, on XP
// and Server 2003 the Everyone group leaves anonymous users out (everyoneincludesanonymous 0).
// Messenger disabled from XP SP2 on, the start types of Windows 2000, restrictanonymous 0, and
// neither of the two other Lsa values on Windows 2000 are given without a source read. The first
// line that fits the system wins. A start type is never absent: a service that Windows does not
// ship on a version (SSDP and UPnP on Windows 2000) has no line there, and keeps the engine's
// fallback.
constexpr DefaultLine kDefaults[] = {
    {L"SYSTEM\\CurrentControlSet\\Services\\W32Time\\Start", AllSystems, AllProducts, kAnyPack,
     L"2"},
    {L"SYSTEM\\CurrentControlSet\\Services\\Dnscache\\Start", AllSystems, AllProducts, kAnyPack,
     L"2"},
    {L"SYSTEM\\CurrentControlSet\\Services\\Schedule\\Start", AllSystems, AllProducts, kAnyPack,
     L"2"},
    {L"SYSTEM\\CurrentControlSet\\Services\\PolicyAgent\\Start", AllSystems, AllProducts, kAnyPack,
     L"2"},
    {L"SYSTEM\\CurrentControlSet\\Services\\LmHosts\\Start", AllSystems, AllProducts, kAnyPack,
     L"2"},
    {L"SYSTEM\\CurrentControlSet\\Services\\RemoteRegistry\\Start", AllSystems, AllProducts,
     kAnyPack, L"2"},
    {L"SYSTEM\\CurrentControlSet\\Services\\Messenger\\Start", Xp, AllProducts, 2, L"4"},
    {L"SYSTEM\\CurrentControlSet\\Services\\Messenger\\Start", W2000 | Xp, AllProducts, kAnyPack,
     L"2"},
    {L"SYSTEM\\CurrentControlSet\\Services\\Messenger\\Start", W2003, AllProducts, kAnyPack, L"4"},
    {L"SYSTEM\\CurrentControlSet\\Services\\MSDTC\\Start", AllSystems, Workstation, kAnyPack, L"3"},
    {L"SYSTEM\\CurrentControlSet\\Services\\MSDTC\\Start", AllSystems, Server, kAnyPack, L"2"},
    {L"SYSTEM\\CurrentControlSet\\Services\\SSDPSRV\\Start", Xp, AllProducts, kAnyPack, L"3"},
    {L"SYSTEM\\CurrentControlSet\\Services\\SSDPSRV\\Start", W2003, AllProducts, kAnyPack, L"4"},
    {L"SYSTEM\\CurrentControlSet\\Services\\upnphost\\Start", Xp, AllProducts, kAnyPack, L"3"},
    {L"SYSTEM\\CurrentControlSet\\Services\\upnphost\\Start", W2003, AllProducts, kAnyPack, L"4"},
    {L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\restrictanonymous", AllSystems, AllProducts,
     kAnyPack, L"0"},
    {L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\restrictanonymoussam", Xp | W2003, AllProducts,
     kAnyPack, L"1"},
    {L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\restrictanonymoussam", W2000, AllProducts, kAnyPack,
     nullptr},
    {L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\everyoneincludesanonymous", Xp | W2003, AllProducts,
     kAnyPack, L"0"},
    {L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\everyoneincludesanonymous", W2000, AllProducts,
     kAnyPack, nullptr},
    // Values of the anonymous-access box that no Windows has.
    {L"SYSTEM\\CurrentControlSet\\Control\\Services\\RemoteRegistry", AllSystems, AllProducts,
     kAnyPack, nullptr},
    {L"SYSTEM\\CurrentControlSet\\Control\\Services\\LanManServer", AllSystems, AllProducts,
     kAnyPack, nullptr},
};

}  // namespace

std::optional<UndoRule> WindowsDefault(const std::wstring& valuePath, const VersionInfo& version) {
    const unsigned system = Bit(WindowsVersionOf(version));
    const unsigned product = version.productType <= ProductServer ? 1u << version.productType : 0u;
    for (const DefaultLine& line : kDefaults) {
        if ((line.systems & system) && (line.products & product) &&
            DefaultsServicePack(version) >= line.fromServicePack &&
            SameIgnoringCase(valuePath, line.valuePath)) {
            return line.value ? WriteOnUndo(line.value) : kDeleteOnUndo;
        }
    }
    return std::nullopt;
}

}  // namespace tolvane
