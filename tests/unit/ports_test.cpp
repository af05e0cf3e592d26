#include <gtest/gtest.h>

#include <set>

#include "fakes/Harness.h"
#include "model/ControlLayout.h"
#include "model/MenuTable.h"
#include "model/SettingBoxes.h"
#include "ports/ListeningPorts.h"
#include "ports/PortsController.h"

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
        // Which box holds which port is a property checked over many machines; here, the words.
        {kTcp, 123, L"Time 123"},
        {kTcp, 137, nullptr},
        {kTcp, 139, L"Ports 137, 138 UDP et 139 TCP; Shared folders"},
        {kTcp, 445, L"Port 445 TCP; Shared folders"},
        {kTcp, 2869, L"SSPD 1900; UpNP 5000"},
        {kUdp, 1024, L"DNS client 1024 UDP"},
    };
    for (const Case& c : cases) {
        // Without the services running, by number alone; no setting is marked.
        EXPECT_EQ(PortSettingsText(Port(c.protocol, kAny, c.port), std::nullopt, {}),
                  c.setting ? c.setting : L"")
            << (c.protocol == kTcp ? "TCP " : "UDP ") << c.port;
    }
}

TEST(PortSettings, EveryPortBoxOfTheMainWindowClosesSomePort) {
    std::set<C> boxes;
    for (const PortProtocol protocol : {kTcp, kUdp}) {
        for (std::uint32_t port = 0; port <= 0xFFFF; ++port) {
            for (C box : BoxesOfPort(Port(protocol, kAny, static_cast<std::uint16_t>(port)),
                                     std::nullopt)) {
                boxes.insert(box);
            }
        }
    }
    for (C box : BoxesOf(Group::Services)) {
        EXPECT_EQ(boxes.count(box), 1u) << static_cast<int>(box);
    }
    // And file sharing, over SMB.
    EXPECT_EQ(boxes.count(C::FolderSharingBox), 1u);
    EXPECT_EQ(boxes.size(), 12u);
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

// Each column sorts by what it shows: ports and addresses as numbers, text without regard to case
// with empty cells last; rows the same in the column keep their order.
TEST(SortPortRows, SortsByTheColumnEitherWay) {
    const std::vector<ListeningPort> ports = {
        Port(kTcp, {127, 0, 0, 1}, 10000, 4, L"System"),
        Port(kUdp, {9, 0, 0, 1}, 137),
        Port(kTcp, {10, 0, 0, 2}, 1027, 868, L"svchost.exe"),
        Port(kTcp, kAny, 135, 868, L"svchost.exe"),
        Port(kUdp, {10, 0, 0, 2}, 5000, 1234, L"alg.exe"),
    };
    using Ports = std::vector<std::uint16_t>;  // the rows' ports, in the rows' order
    struct Case {
        PortColumn column;
        Ports up;
        Ports down;
    };
    const Case cases[] = {
        {PortColumn::Protocol, {135, 1027, 10000, 137, 5000}, {137, 5000, 135, 1027, 10000}},
        {PortColumn::LocalAddress, {135, 137, 1027, 5000, 10000}, {10000, 1027, 5000, 137, 135}},
        {PortColumn::Port, {135, 137, 1027, 5000, 10000}, {10000, 5000, 1027, 137, 135}},
        {PortColumn::Process, {5000, 135, 1027, 10000, 137}, {137, 10000, 135, 1027, 5000}},
        {PortColumn::Setting, {1027, 135, 137, 5000, 10000}, {10000, 5000, 137, 135, 1027}},
    };
    for (const Case& c : cases) {
        for (const bool descending : {false, true}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(c.column)) +
                         (descending ? " down" : " up"));
            std::vector<PortRow> rows = PortRows(ports);
            SortPortRows(rows, c.column, descending);
            Ports order;
            for (const PortRow& row : rows) {
                order.push_back(row.port.port);
            }
            EXPECT_EQ(order, descending ? c.down : c.up);
        }
    }
}

TEST(PortRowsText, CopiesTheChosenRowsWithTabsBetweenCellsAndLineEndsBetweenRows) {
    const std::vector<PortRow> rows = PortRows({
        Port(kTcp, kAny, 135, 868, L"svchost.exe"),
        Port(kTcp, {127, 0, 0, 1}, 1025),
        Port(kUdp, {192, 168, 1, 10}, 1024, 4),
    });
    const std::size_t chosen[] = {0, 2};
    EXPECT_EQ(PortRowsText(rows, chosen),
              L"TCP\t0.0.0.0\t135\tsvchost.exe (868)\tPort 135 RPC\r\n"
              L"UDP\t192.168.1.10\t1024\tpid 4\tDNS client 1024 UDP");
    const std::size_t unnamed[] = {1};
    EXPECT_EQ(PortRowsText(rows, unnamed), L"TCP\t127.0.0.1\t1025\t\t");
    EXPECT_EQ(PortRowsText(rows, {}), L"");
}

TEST(PortsWindow, ReadsThePortsAgainOnRefreshOnlyAndKeepsTheSort) {
    FakeSystem system;
    system.ports = {Port(kTcp, kAny, 135), Port(kUdp, kAny, 500)};
    PortsController controller(system);
    controller.Refresh();
    const auto ports = [&] {
        std::vector<std::uint16_t> numbers;
        for (const PortRow& row : controller.Rows()) {
            numbers.push_back(row.port.port);
        }
        return numbers;
    };
    EXPECT_EQ(ports(), (std::vector<std::uint16_t>{135, 500}));
    controller.SortBy(PortColumn::Port);
    controller.SortBy(PortColumn::Port);  // the second click turns it round
    EXPECT_TRUE(controller.Descending());
    EXPECT_EQ(ports(), (std::vector<std::uint16_t>{500, 135}));
    system.ports.push_back(Port(kTcp, kAny, 445));
    EXPECT_TRUE(controller.Click(PortsControlId::IntroLabel));
    EXPECT_EQ(system.portReads, 1);
    EXPECT_TRUE(controller.Click(PortsControlId::RefreshButton));
    EXPECT_EQ(system.portReads, 2);
    EXPECT_EQ(ports(), (std::vector<std::uint16_t>{500, 445, 135}));
    EXPECT_EQ(controller.SortColumn(), PortColumn::Port);
    controller.SortBy(PortColumn::Protocol);  // another column starts going up
    EXPECT_FALSE(controller.Descending());
    EXPECT_EQ(ports(), (std::vector<std::uint16_t>{445, 135, 500}));
    EXPECT_FALSE(controller.Click(PortsControlId::CloseButton));
    EXPECT_EQ(system.portReads, 2);
}

// The proof on the wire: a setting the last check found in force is marked on its port's row,
// and a port is tied to a setting by the one service its process runs.
TEST(PortsWindow, MarksASettingInForceWhosePortStillListensAndTiesPortsByTheirProcess) {
    FakeSystem system;
    system.ports = {Port(kTcp, kAny, 445, 4, L"System"), Port(kTcp, kAny, 1033, 900, L"msdtc.exe"),
                    Port(kTcp, kAny, 1024, 3000, L"other.exe")};
    system.services = std::vector<RunningService>{{L"MSDTC", 900}, {L"Other", 3000}};
    PortsController controller(system,
                               [](C box) { return box == C::Port445Box || box == C::Port1023Box; });
    controller.Refresh();
    std::vector<std::wstring> settings;
    for (const PortRow& row : controller.Rows()) {
        settings.push_back(row.setting);
    }
    EXPECT_EQ(settings, (std::vector<std::wstring>{
                            L"Port 445 TCP (in force, but port 445 still listens); Shared folders",
                            L"",
                            L"DTC 1023 (in force, but port 1033 still listens)",
                        }));
    // The report's lines tie them the same way, without the marks.
    EXPECT_EQ(ListeningPortLines(system.ports, system.services)[2],
              L"TCP  0.0.0.0:1033  msdtc.exe (900)   DTC 1023");
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
