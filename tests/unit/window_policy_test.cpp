#include <gtest/gtest.h>

#include "app/SettingList.h"
#include "app/WindowPolicy.h"
#include "fakes/Harness.h"

namespace tolvane::testing {
namespace {

using C = ControlId;
constexpr wchar_t kPolicy[] = L"C:\\Policies\\reference.txt";

struct Designed : Harness {
    Designed() {
        for (const wchar_t* service : {L"W32Time", L"SSDPSRV", L"upnphost", L"Messenger"}) {
            Install(service, 3);
        }
        main.ReadCommandLine(L"-noaccount");
        EXPECT_TRUE(main.LoadFromMachine());
    }
    std::vector<C> Ticked() const {
        std::vector<C> boxes;
        for (const SettingBox& setting : SettingBoxes()) {
            if (controls.Ticked(setting.box)) {
                boxes.push_back(setting.box);
            }
        }
        return boxes;
    }
};

// What one machine's window saves, another's window opens as the same ticks.
TEST(WindowPolicy, ASavedPolicyOpensAsTheSameTicksAndReadsAsTheSameSet) {
    Designed reference;
    for (C box : {C::AdminSharesBox, C::Port123Box, C::Port1900Box, C::AnonymousAccessBox}) {
        reference.main.Click(box);  // pending ticks count; SSDP ticks UPnP
    }
    const std::string file = PolicyFromWindow(reference.state, reference.machine, kPolicy);
    ASSERT_TRUE(file.starts_with("\xEF\xBB\xBF; Tolvane policy"));
    EXPECT_NE(file.find("services.time ; Time 123\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("Tolvane.exe /apply:@C:\\Policies\\reference.txt\r\n"), std::string::npos);
    EXPECT_EQ(file.find("accounts.guest"), std::string::npos) << "not available: -noaccount";

    // Read as an unattended run reads it: the same set.
    const PolicyReader read = [&](const std::wstring&) { return PolicyRead{file, L""}; };
    const SettingChoice choice = ChooseSettings({{L"/apply:@x", L"@x"}}, Direction::Apply, &read);
    ASSERT_EQ(choice.error, L"");
    const std::span<const SettingBox> settings = SettingBoxes();
    for (std::size_t i = 0; i < settings.size(); ++i) {
        EXPECT_EQ(choice.asked.test(i), reference.controls.Ticked(settings[i].box))
            << static_cast<int>(settings[i].box);
    }

    Designed other;
    other.system.files[kPolicy] = file;
    other.main.Click(C::Port1027Box);  // named nowhere: cleared
    OpenPolicy(other.state, other.machine, kPolicy);
    EXPECT_EQ(other.Ticked(), reference.Ticked());
    EXPECT_TRUE(other.host.messages.empty());
    EXPECT_TRUE(other.registry.changes.empty()) << "opening applies nothing";
}

TEST(WindowPolicy, OpeningNeverTicksPort135AndTellsWhatItCannotTick) {
    Designed h;
    h.system.files[kPolicy] = "services.port135, accounts.guest\nservices.upnp";
    OpenPolicy(h.state, h.machine, kPolicy);
    EXPECT_FALSE(h.controls.Ticked(C::Port135Box));
    EXPECT_TRUE(h.controls.Ticked(C::Port5000Box));
    ASSERT_EQ(h.host.messages.size(), 1u);
    const std::wstring& text = h.host.messages[0].text;
    EXPECT_NE(text.find(L"Port 135 RPC"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"Guest account"), std::wstring::npos) << text;

    h.host.messages.clear();
    h.system.files[kPolicy] = "shares.admin\nservices.bogus";
    h.main.Click(C::AdminSharesBox);
    OpenPolicy(h.state, h.machine, kPolicy);
    ASSERT_EQ(h.host.messages.size(), 1u);
    EXPECT_NE(h.host.messages[0].text.find(L"services.bogus"), std::wstring::npos);
    EXPECT_TRUE(h.controls.Ticked(C::AdminSharesBox)) << "a policy refused changes no box";

    // Read only in part, it is refused as well.
    h.host.messages.clear();
    h.system.files[kPolicy] = "shares\n-shares.admin";
    h.system.readFailsAt[kPolicy] = 7;
    OpenPolicy(h.state, h.machine, kPolicy);
    ASSERT_EQ(h.host.messages.size(), 1u);
    EXPECT_NE(h.host.messages[0].text.find(L"could not be read. system error 64"),
              std::wstring::npos)
        << h.host.messages[0].text;
    EXPECT_FALSE(h.controls.Ticked(C::RemoteAdminBox));
}

}  // namespace
}  // namespace tolvane::testing
