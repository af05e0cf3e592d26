#include <gtest/gtest.h>

#include <set>

#include "fakes/Harness.h"
#include "ports/ListeningPorts.h"
#include "ports/PortsForm.h"
#include "ui/ControlLayout.h"
#include "ui/MenuTable.h"

namespace tolvane::testing {
namespace {

using C = ControlId;
constexpr PortProtocol kTcp = PortProtocol::Tcp;
constexpr PortProtocol kUdp = PortProtocol::Udp;
constexpr std::array<std::uint8_t, 4> kAny{0, 0, 0, 0};

ListeningPort Port(PortProtocol protocol, std::array<std::uint8_t, 4> address, std::uint16_t port,
                   std::optional<std::uint32_t> processId = std::nullopt,
                   std::wstring processName = L"") {
    return {protocol, address, port, processId, std::move(processName)};
}

TEST(PortSettings, NameTheBoxThatClosesEachPortWithTheProtocolWhereItsLabelSaysOne) {
    struct Case {
        PortProtocol protocol;
        std::uint16_t port;
        const wchar_t* setting;  // null: none of Tolvane's ports
    };
    const Case cases[] = {
        // A caption that names no protocol closes the port for both.
        {kTcp, 123, L"Time 123"},
        {kUdp, 123, L"Time 123"},
        {kUdp, 137, L"Ports 137, 138 UDP et 139 TCP"},
        {kTcp, 137, nullptr},
        {kTcp, 139, L"Ports 137, 138 UDP et 139 TCP; Shared folders"},
        {kTcp, 445, L"Port 445 TCP; Shared folders"},
        {kTcp, 2869, L"SSPD 1900; UpNP 5000"},
        {kUdp, 139, nullptr},
        {kUdp, 445, nullptr},
        {kTcp, 500, nullptr},
        {kTcp, 1024, L"Schedule 1024 TCP"},
        {kUdp, 1024, L"DNS client 1024 UDP"},
        {kUdp, 1900, L"SSPD 1900"},
        {kTcp, 1025, nullptr},
    };
    for (const Case& c : cases) {
        const auto setting = SettingThatCloses(c.protocol, c.port);
        EXPECT_EQ(setting.value_or(L"(none)"), c.setting ? c.setting : L"(none)")
            << (c.protocol == kTcp ? "TCP " : "UDP ") << c.port;
    }
}

TEST(PortSettings, EveryPortBoxOfTheMainWindowClosesSomePort) {
    std::set<C> labels;
    for (const PortSetting& setting : PortSettings()) {
        labels.insert(setting.label);
    }
    for (const ControlLayout& control : MainWindowLayout()) {
        if (control.frame == C::Clavet && control.kind == ControlKind::Label &&
            control.id != C::SelectAllLabel3) {
            EXPECT_EQ(labels.count(control.id), 1u) << static_cast<int>(control.id);
        }
    }
    // And file sharing, over SMB.
    EXPECT_EQ(labels.count(C::PartageLabel4), 1u);
    EXPECT_EQ(labels.size(), 12u);
}

TEST(ListeningPortLines, SortByProtocolThenPortNumberThenAddress) {
    const auto lines = ListeningPortLines({
        Port(kUdp, kAny, 137),
        Port(kTcp, kAny, 10000),
        Port(kTcp, {127, 0, 0, 1}, 5000),
        Port(kTcp, {10, 0, 0, 2}, 5000),
        Port(kTcp, kAny, 135),
        Port(kUdp, kAny, 9),
    });
    EXPECT_EQ(lines, (std::vector<std::wstring>{
                         L"TCP  0.0.0.0:135     Port 135 RPC",
                         L"TCP  10.0.0.2:5000   UpNP 5000",
                         L"TCP  127.0.0.1:5000  UpNP 5000",
                         L"TCP  0.0.0.0:10000",
                         L"UDP  0.0.0.0:9",
                         L"UDP  0.0.0.0:137     Ports 137, 138 UDP et 139 TCP",
                     }));
}

TEST(ListeningPortLines, ShowTheProcessWhereTheSystemNamesItInAColumnOfItsOwn) {
    const auto lines = ListeningPortLines({
        Port(kTcp, kAny, 135, 868, L"svchost.exe"),
        Port(kTcp, {127, 0, 0, 1}, 1025),
        Port(kUdp, {192, 168, 1, 10}, 1024, 4),
        Port(kUdp, {255, 255, 255, 255}, 65535, 1234, L"a.exe"),
    });
    EXPECT_EQ(lines, (std::vector<std::wstring>{
                         L"TCP  0.0.0.0:135            svchost.exe (868)  Port 135 RPC",
                         L"TCP  127.0.0.1:1025",
                         L"UDP  192.168.1.10:1024      pid 4              DNS client 1024 UDP",
                         L"UDP  255.255.255.255:65535  a.exe (1234)",
                     }));
}

TEST(ListeningPortTable, NamesTheColumnsAboveTheLinesAndAlignsThemToTheHeading) {
    EXPECT_EQ(ListeningPortTable({Port(kTcp, kAny, 445, 4, L"System"), Port(kUdp, kAny, 500)}),
              (std::vector<std::wstring>{
                  L"Protocol  Local address  Process     Tolvane setting",
                  L"TCP       0.0.0.0:445    System (4)  Port 445 TCP; Shared folders",
                  L"UDP       0.0.0.0:500                IPSEC 500 UDP",
              }));
    // Windows 2000 names no process: the column stays, empty.
    EXPECT_EQ(
        ListeningPortTable({Port(kTcp, kAny, 139)}),
        (std::vector<std::wstring>{
            L"Protocol  Local address  Process  Tolvane setting",
            L"TCP       0.0.0.0:139             Ports 137, 138 UDP et 139 TCP; Shared folders",
        }));
    EXPECT_EQ(ListeningPortTable({}),
              std::vector<std::wstring>{L"Protocol  Local address  Process  Tolvane setting"});
    EXPECT_TRUE(ListeningPortLines({}).empty());
}

TEST(PortsWindow, ShowsTheTableAndReadsThePortsAgainOnRefreshOnly) {
    FakeSystem system;
    system.ports = {Port(kTcp, kAny, 135)};
    PortsForm form(system);
    form.Refresh();
    EXPECT_EQ(form.ListText(),
              L"Protocol  Local address  Process  Tolvane setting\r\n"
              L"TCP       0.0.0.0:135             Port 135 RPC\r\n");
    system.ports.push_back(Port(kUdp, kAny, 500));
    EXPECT_TRUE(form.Click(PortsControlId::Intro));
    EXPECT_EQ(system.portReads, 1);
    EXPECT_TRUE(form.Click(PortsControlId::Refresh));
    EXPECT_EQ(system.portReads, 2);
    EXPECT_TRUE(form.ListText().ends_with(L"UDP       0.0.0.0:500             IPSEC 500 UDP\r\n"));
    EXPECT_FALSE(form.Click(PortsControlId::CmdClose));
    EXPECT_EQ(system.portReads, 2);
}

TEST(PortsWindow, IsInTheToolsMenuAfterCheckAll) {
    const auto tools = MainMenus()[0].entries;
    ASSERT_GE(tools.size(), 4u);
    EXPECT_EQ(tools[1].id, MenuId::VerifyAll);
    EXPECT_EQ(tools[2].id, MenuId::ListeningPorts);
    EXPECT_STREQ(tools[2].caption, L"&Listening ports...");
    EXPECT_EQ(tools[3].caption, nullptr);
}

}  // namespace
}  // namespace tolvane::testing
