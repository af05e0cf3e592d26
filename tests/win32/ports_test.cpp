// The port tables against sockets the test opens: Wine reports the host's sockets, ours among
// them.
#include "LoopbackSocket.h"
// After winsock2.h, which must come before windows.h.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <string>
#include <vector>

#include "system/win32/PortTable.h"
#include "system/win32/Win32System.h"

namespace tolvane::win32 {
namespace {

using testing::LoopbackSocket;
constexpr std::array<std::uint8_t, 4> kLoopback{127, 0, 0, 1};

std::vector<ListeningPort> On(const std::vector<ListeningPort>& ports, PortProtocol protocol,
                              std::uint16_t port) {
    std::vector<ListeningPort> found;
    std::copy_if(ports.begin(), ports.end(), std::back_inserter(found),
                 [&](const ListeningPort& p) { return p.protocol == protocol && p.port == port; });
    return found;
}

bool Exported(const char* name) {
    return GetProcAddress(GetModuleHandleW(L"iphlpapi.dll"), name) != nullptr;
}

std::wstring OwnFileName() {
    wchar_t path[MAX_PATH];
    const std::wstring own(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    return own.substr(own.find_last_of(L'\\') + 1);
}

TEST(PortTable, EachTableThisWindowsHasShowsOurListenerAndUdpSocketButNoConnection) {
    LoopbackSocket listener(SOCK_STREAM);
    ASSERT_TRUE(listener.Listen());
    LoopbackSocket client(SOCK_STREAM);
    ASSERT_TRUE(client.Connect(listener.Port()));
    LoopbackSocket udp(SOCK_DGRAM);
    ASSERT_NE(udp.Port(), 0);

    struct Case {
        PortProtocol protocol;
        PortTableKind kind;
        const char* function;  // null: Windows 2000 has it, so it is always there
        std::uint16_t port;
    };
    const Case cases[] = {
        {PortProtocol::Tcp, PortTableKind::Extended, "GetExtendedTcpTable", listener.Port()},
        {PortProtocol::Tcp, PortTableKind::Stack, "AllocateAndGetTcpExTableFromStack",
         listener.Port()},
        {PortProtocol::Tcp, PortTableKind::Basic, nullptr, listener.Port()},
        {PortProtocol::Udp, PortTableKind::Extended, "GetExtendedUdpTable", udp.Port()},
        {PortProtocol::Udp, PortTableKind::Stack, "AllocateAndGetUdpExTableFromStack", udp.Port()},
        {PortProtocol::Udp, PortTableKind::Basic, nullptr, udp.Port()},
    };
    for (const Case& c : cases) {
        const std::string what = c.function ? c.function : "basic table";
        const auto ports = ReadPortTable(c.protocol, c.kind);
        ASSERT_EQ(ports.has_value(), !c.function || Exported(c.function)) << what;
        if (!ports) {
            continue;
        }
        // The connection's two ends, one on the listener's port, are not listening.
        const auto ours = On(*ports, c.protocol, c.port);
        ASSERT_EQ(ours.size(), 1u) << what;
        EXPECT_EQ(ours[0].address, kLoopback) << what;
        EXPECT_TRUE(ours[0].processName.empty()) << what;
        // Wine 8 keeps its sockets in its server, so its richer tables name no owner either;
        // Windows names ours.
        if (c.kind == PortTableKind::Basic || ours[0].processId) {
            EXPECT_EQ(ours[0].processId, c.kind == PortTableKind::Basic
                                             ? std::nullopt
                                             : std::optional<std::uint32_t>(GetCurrentProcessId()))
                << what;
        }
        if (c.protocol == PortProtocol::Tcp) {
            EXPECT_TRUE(On(*ports, c.protocol, client.Port()).empty()) << what;
        }
    }
}

TEST(PortTable, AClosedListenerIsGone) {
    std::uint16_t port = 0;
    {
        LoopbackSocket listener(SOCK_STREAM);
        ASSERT_TRUE(listener.Listen());
        port = listener.Port();
        EXPECT_EQ(
            On(*ReadPortTable(PortProtocol::Tcp, PortTableKind::Basic), PortProtocol::Tcp, port)
                .size(),
            1u);
    }
    EXPECT_TRUE(On(*ReadPortTable(PortProtocol::Tcp, PortTableKind::Basic), PortProtocol::Tcp, port)
                    .empty());
}

TEST(ListeningPorts, ReadsBothProtocols) {
    LoopbackSocket listener(SOCK_STREAM);
    ASSERT_TRUE(listener.Listen());
    LoopbackSocket udp(SOCK_DGRAM);
    const auto ports = Win32System().ListeningPorts();
    EXPECT_EQ(On(ports, PortProtocol::Tcp, listener.Port()).size(), 1u);
    EXPECT_EQ(On(ports, PortProtocol::Udp, udp.Port()).size(), 1u);
    EXPECT_TRUE(On(ports, PortProtocol::Udp, listener.Port()).empty());
}

TEST(ListeningPorts, NamesTheProcessesThatRun) {
    constexpr std::uint32_t kNoSuchProcess = 0xFFFFFFF0;
    std::vector<ListeningPort> ports(3);
    ports[0].processId = GetCurrentProcessId();
    ports[2].processId = kNoSuchProcess;
    NameProcesses(ports);
    EXPECT_EQ(lstrcmpiW(ports[0].processName.c_str(), OwnFileName().c_str()), 0)
        << std::string(ports[0].processName.begin(), ports[0].processName.end());
    EXPECT_EQ(ports[1].processName, L"");
    EXPECT_EQ(ports[2].processName, L"");
}

}  // namespace
}  // namespace tolvane::win32
