// The listening-ports window: the test's own sockets in its list, Refresh, and closing it.
#include "LoopbackSocket.h"
// After winsock2.h, which must come before windows.h.
#include "Tolvane.h"
#include "ports/PortsForm.h"

namespace tolvane::e2e {
namespace {

using P = PortsControlId;
using tolvane::testing::LoopbackSocket;

class Ports : public TolvaneTest {
  protected:
    HWND Open() { return OpenOwned(MenuId::ListeningPorts, kPortsWindowClass); }
    static HWND Item(HWND ports, P id) { return GetDlgItem(ports, PortsDialogId(id)); }
    static std::vector<std::wstring> Lines(HWND ports) {
        const std::wstring text = Text(Item(ports, P::PortList));
        std::vector<std::wstring> lines;
        for (std::size_t start = 0, end; (end = text.find(L"\r\n", start)) != text.npos;
             start = end + 2) {
            lines.push_back(text.substr(start, end - start));
        }
        return lines;
    }
    // The list's line of the port on 127.0.0.1; empty when it has none.
    static std::wstring LineOf(HWND ports, const wchar_t* protocol, std::uint16_t port) {
        const std::wstring address = L"  127.0.0.1:" + std::to_wstring(port);
        for (const std::wstring& line : Lines(ports)) {
            const std::size_t at = line.find(address);
            if (line.starts_with(protocol) && at != line.npos &&
                (at + address.size() == line.size() || line[at + address.size()] == L' ')) {
                return line;
            }
        }
        return {};
    }
};

TEST_F(Ports, ListOurListenerAndMarkAPortOfTolvanesThenRefreshAndClose) {
    LoopbackSocket listener(SOCK_STREAM);
    ASSERT_TRUE(listener.Listen());
    // The port of SSDP, shared in case a program of the machine has it too.
    LoopbackSocket ssdp(SOCK_DGRAM, 1900, true);
    ASSERT_EQ(ssdp.Port(), 1900);
    ASSERT_TRUE(Launch());
    HWND ports = Open();
    ASSERT_NE(ports, nullptr);
    EXPECT_EQ(Title(ports), L"Listening ports");
    ASSERT_FALSE(Lines(ports).empty());
    EXPECT_EQ(Lines(ports)[0].substr(0, 10), L"Protocol  ");
    const std::wstring ours = LineOf(ports, L"TCP", listener.Port());
    EXPECT_TRUE(ours.starts_with(L"TCP  ")) << "no line for TCP " << listener.Port();
    EXPECT_TRUE(LineOf(ports, L"UDP", listener.Port()).empty());
    EXPECT_TRUE(LineOf(ports, L"UDP", 1900).ends_with(L"  SSPD 1900"));
    EXPECT_TRUE(SaveScreenshot(ports, L"ports"));

    LoopbackSocket later(SOCK_STREAM);
    ASSERT_TRUE(later.Listen());
    EXPECT_TRUE(LineOf(ports, L"TCP", later.Port()).empty());
    ASSERT_TRUE(PostMessageW(Item(ports, P::Refresh), BM_CLICK, 0, 0));
    EXPECT_TRUE(WaitUntil(5000, [&] { return !LineOf(ports, L"TCP", later.Port()).empty(); }));

    ASSERT_TRUE(PostMessageW(Item(ports, P::CmdClose), BM_CLICK, 0, 0));
    EXPECT_TRUE(OwnedGone(ports));
    ports = Open();
    ASSERT_TRUE(PostMessageW(ports, WM_SYSCOMMAND, SC_CLOSE, 0));
    EXPECT_TRUE(OwnedGone(ports));
    EXPECT_TRUE(IsWindowEnabled(main_));
}

}  // namespace
}  // namespace tolvane::e2e
