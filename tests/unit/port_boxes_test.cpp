// Which box each listening port belongs to, and the settings in force that the wire belies.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "ports/PortBoxes.h"

namespace tolvane::testing {
namespace {

using C = ControlId;
constexpr PortProtocol kTcp = PortProtocol::Tcp;
constexpr PortProtocol kUdp = PortProtocol::Udp;

// On XP: the System process, a shared service host, and a process of each service alone.
const std::vector<RunningService> kServices = {
    {L"Schedule", 800}, {L"Messenger", 800}, {L"W32Time", 800}, {L"MSDTC", 900},
    {L"RpcSs", 700},    {L"upnphost", 950},  {L"lmhosts", 960}, {L"Dnscache", 961},
};
constexpr std::uint32_t kSystem = 4;
constexpr std::uint32_t kSharedHost = 800;
constexpr std::uint32_t kPlainProgram = 3000;  // runs no service

ListeningPort On(PortProtocol protocol, std::uint16_t number,
                 std::optional<std::uint32_t> process = std::nullopt) {
    return {protocol, {0, 0, 0, 0}, number, process, process == kSystem ? L"System" : L""};
}

TEST(StillListensNote, NamesEveryPort) {
    const std::uint16_t one[] = {139};
    const std::uint16_t two[] = {137, 139};
    const std::uint16_t three[] = {137, 138, 139};
    EXPECT_EQ(StillListensNote(one), L"in force, but port 139 still listens");
    EXPECT_EQ(StillListensNote(two), L"in force, but ports 137 and 139 still listen");
    EXPECT_EQ(StillListensNote(three), L"in force, but ports 137, 138 and 139 still listen");
}

// What a port is, written out apart from the code: the number of each box's ports, and the
// service whose process alone ties any port to the box, whatever its number (DTC takes its
// ports as they come). A shared host or the System process (SMB, http.sys on 2869) goes by
// number; a program that runs no service has ports of none.
struct Expected {
    C box;
    const wchar_t* service;
    std::vector<std::pair<PortProtocol, std::uint16_t>> numbers;
};
const std::vector<Expected> kExpected = {
    {C::Port135Box, L"RpcSs", {{kTcp, 135}, {kUdp, 135}}},
    {C::Port123Box, L"W32Time", {{kTcp, 123}, {kUdp, 123}}},
    {C::NetBiosPortsBox, L"lmhosts", {{kUdp, 137}, {kUdp, 138}, {kTcp, 139}}},
    {C::Port445Box, nullptr, {{kTcp, 445}}},
    {C::Port1023Box, L"MSDTC", {{kTcp, 1023}, {kUdp, 1023}}},
    {C::Port1024TcpBox, L"Schedule", {{kTcp, 1024}}},
    {C::Port1024UdpBox, L"Dnscache", {{kUdp, 1024}}},
    {C::Port1027Box, L"Messenger", {{kTcp, 1027}, {kUdp, 1027}}},
    {C::Port1900Box, nullptr, {{kTcp, 1900}, {kUdp, 1900}, {kTcp, 2869}}},
    {C::Port5000Box, L"upnphost", {{kTcp, 2869}, {kTcp, 5000}, {kUdp, 5000}}},
    {C::FolderSharingBox, nullptr, {{kTcp, 139}, {kTcp, 445}}},
};

bool Belongs(const Expected& box, const ListeningPort& port, const RunningServices& services) {
    std::vector<RunningService> running;
    for (const RunningService& service : services.value_or(std::vector<RunningService>{})) {
        if (port.processId && service.processId == *port.processId) {
            running.push_back(service);
        }
    }
    if (port.processId && services && running.size() == 1) {
        return box.service && running.front().name == box.service;
    }
    const bool byNumber =
        !port.processId || !services || running.size() > 1 || *port.processId == kSystem;
    return byNumber && std::count(box.numbers.begin(), box.numbers.end(),
                                  std::pair{port.protocol, port.port}) > 0;
}

// Property over machines made up from a fixed seed: a box in force with one of its ports
// listening is named, with that port, both in the notes and in that port's line.
TEST(InForceButListening, ASettingInForceWhosePortStillListensIsAlwaysNamed) {
    const std::uint16_t numbers[] = {123,  135,  137,  138,  139,  445,  500, 1023,
                                     1024, 1027, 1033, 1900, 2869, 5000, 6000};
    const std::optional<std::uint32_t> owners[] = {
        std::nullopt, kSystem, kSharedHost, 900, 700, 950, 960, 961, kPlainProgram};
    std::uint32_t seed = 12345;
    const auto next = [&seed](std::uint32_t below) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % below;
    };
    int named = 0;
    for (int machine = 0; machine < 400; ++machine) {
        std::vector<ListeningPort> ports;
        for (std::uint32_t n = next(8); n > 0; --n) {
            ports.push_back(On(next(2) ? kTcp : kUdp, numbers[next(std::size(numbers))],
                               owners[next(std::size(owners))]));
        }
        const RunningServices services = next(4) ? RunningServices(kServices) : std::nullopt;
        std::set<C> inForceBoxes;
        for (const Expected& box : kExpected) {
            if (next(2)) {
                inForceBoxes.insert(box.box);
            }
        }
        const auto inForce = [&](C box) { return inForceBoxes.count(box) > 0; };
        const std::vector<StillListening> notes = InForceButListening(ports, services, inForce);
        std::map<C, std::set<std::uint16_t>> expected;
        for (const ListeningPort& port : ports) {
            for (const Expected& box : kExpected) {
                if (inForce(box.box) && Belongs(box, port, services)) {
                    expected[box.box].insert(port.port);
                    const std::wstring line = PortSettingsText(port, services, inForce);
                    EXPECT_NE(line.find(L"still listens"), std::wstring::npos) << line;
                    ++named;
                }
            }
        }
        std::map<C, std::set<std::uint16_t>> found;
        for (const StillListening& note : notes) {
            EXPECT_TRUE(std::is_sorted(note.ports.begin(), note.ports.end()));
            found[note.box].insert(note.ports.begin(), note.ports.end());
            EXPECT_EQ(found[note.box].size(), note.ports.size()) << "each port once";
        }
        EXPECT_EQ(found, expected) << "machine " << machine;
    }
    EXPECT_GT(named, 200);
}

}  // namespace
}  // namespace tolvane::testing
