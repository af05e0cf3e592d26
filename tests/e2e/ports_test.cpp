// The listening-ports window: the test's own sockets in its list, sorting, copying, Refresh, and
// closing it.
#include "LoopbackSocket.h"
// After winsock2.h, which must come before windows.h.
#include <commctrl.h>

#include "Tolvane.h"
#include "ports/PortsController.h"

namespace tolvane::e2e {
namespace {

using P = PortsControlId;
using tolvane::testing::LoopbackSocket;
using Row = std::vector<std::wstring>;

class Ports : public TolvaneTest {
  protected:
    HWND Open() { return OpenOwned(MenuId::ListeningPorts, kPortsDesign.windowClass); }
    static HWND Item(HWND ports, P id) { return GetDlgItem(ports, ChildIdOf(kPortsDesign, id)); }
    static HWND List(HWND ports) { return Item(ports, P::PortList); }
    // The place in the list of the port on 127.0.0.1; -1 when it has none.
    static int RowOf(HWND ports, const wchar_t* protocol, std::uint16_t port) {
        const auto rows = ListViewRows(List(ports));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].size() == 5 && rows[i][0] == protocol && rows[i][1] == L"127.0.0.1" &&
                rows[i][2] == std::to_wstring(port)) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    static std::vector<int> PortNumbers(HWND ports) {
        std::vector<int> numbers;
        for (const Row& row : ListViewRows(List(ports))) {
            numbers.push_back(std::stoi(row.at(2)));
        }
        return numbers;
    }
};

TEST_F(Ports, ListOurListenersWithTheirSettingSortCopyRefreshAndClose) {
    LoopbackSocket listener(SOCK_STREAM);
    ASSERT_TRUE(listener.Listen());
    // The port of SSDP, shared in case a program of the machine has it too.
    LoopbackSocket ssdp(SOCK_DGRAM, 1900, true);
    ASSERT_EQ(ssdp.Port(), 1900);
    // SSDP disabled in the registry while the port is open: the window says so.
    ASSERT_TRUE(SetDword(std::wstring(kServicesKey) + L"SSDPSRV", L"Start", 4));
    ASSERT_TRUE(Launch());
    HWND ports = Open();
    ASSERT_NE(ports, nullptr);
    EXPECT_EQ(Title(ports), L"Listening ports");
    const HWND list = List(ports);
    EXPECT_EQ(ListViewHeadings(list),
              (Row{L"Protocol", L"Local address", L"Port", L"Process", L"Tolvane setting"}));
    EXPECT_TRUE(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);
    const int ours = RowOf(ports, L"TCP", listener.Port());
    ASSERT_GE(ours, 0) << "no row for TCP " << listener.Port();
    EXPECT_EQ(ListViewRows(list)[ours][4], L"");
    EXPECT_EQ(RowOf(ports, L"UDP", listener.Port()), -1);
    const int ssdpRow = RowOf(ports, L"UDP", 1900);
    ASSERT_GE(ssdpRow, 0);
    // Where the table names the port's process, it is this test, which no service of SSDP's
    // runs in; where it cannot, the port's number is SSDP's.
    const bool owned = !ListViewRows(list)[ssdpRow][3].empty();
    EXPECT_EQ(ListViewRows(list)[ssdpRow][4],
              owned ? L"" : L"SSPD 1900 (in force, but port 1900 still listens)")
        << "process " << ListViewRows(list)[ssdpRow][3].size();
    EXPECT_TRUE(SaveScreenshot(ports, L"ports"));

    // The Port heading sorts by number, a second click the other way round.
    ASSERT_TRUE(ClickListViewHeading(list, 2));
    std::vector<int> numbers = PortNumbers(ports);
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
    ASSERT_TRUE(ClickListViewHeading(list, 2));
    numbers = PortNumbers(ports);
    EXPECT_TRUE(std::is_sorted(numbers.rbegin(), numbers.rend()));

    // Ctrl+C copies the selected rows, cells between tabs and rows between line ends.
    const int first = RowOf(ports, L"UDP", 1900);
    const int second = RowOf(ports, L"TCP", listener.Port());
    ASSERT_TRUE(SelectListViewRows(list, {first, second}));
    ASSERT_TRUE(FocusControl(list));
    ASSERT_TRUE(PressKeys(list, {VK_CONTROL, 'C'}));
    const auto joined = [](const Row& row) {
        std::wstring text = row.at(0);
        for (std::size_t cell = 1; cell < row.size(); ++cell) {
            text += L"\t" + row[cell];
        }
        return text;
    };
    const auto rows = ListViewRows(list);
    const std::size_t low = static_cast<std::size_t>(std::min(first, second));
    const std::size_t high = static_cast<std::size_t>(std::max(first, second));
    const std::wstring copied = joined(rows[low]) + L"\r\n" + joined(rows[high]);
    EXPECT_TRUE(WaitUntil(5000, [&] { return ClipboardText() == copied; }))
        << "clipboard: " << ClipboardText().size() << " characters";

    // Refresh reads the ports again and keeps the order chosen.
    LoopbackSocket later(SOCK_STREAM);
    ASSERT_TRUE(later.Listen());
    EXPECT_EQ(RowOf(ports, L"TCP", later.Port()), -1);
    ASSERT_TRUE(PostMessageW(Item(ports, P::RefreshButton), BM_CLICK, 0, 0));
    EXPECT_TRUE(WaitUntil(5000, [&] { return RowOf(ports, L"TCP", later.Port()) >= 0; }));
    numbers = PortNumbers(ports);
    EXPECT_TRUE(std::is_sorted(numbers.rbegin(), numbers.rend()));

    ASSERT_TRUE(PostMessageW(Item(ports, P::CloseButton), BM_CLICK, 0, 0));
    EXPECT_TRUE(OwnedGone(ports));
    ports = Open();
    ASSERT_TRUE(PostMessageW(ports, WM_SYSCOMMAND, SC_CLOSE, 0));
    EXPECT_TRUE(OwnedGone(ports));
    EXPECT_TRUE(IsWindowEnabled(main_));
}

}  // namespace
}  // namespace tolvane::e2e
