#include <gtest/gtest.h>

#include <functional>

#include "app/Closing.h"
#include "fakes/Harness.h"
#include "system/Restart.h"
#include "ui/Commands.h"

namespace tolvane::testing {
namespace {

using C = ControlId;

constexpr wchar_t kShareQuestion[] =
    L"At least one Share modification wasn't applied.\r\n\r\nDo you want to proceed now?";
constexpr wchar_t kAccountQuestion[] =
    L"At least one Account modification wasn't applied.\r\n\r\nDo you want to proceed now?";
constexpr wchar_t kServiceQuestion[] =
    L"At least one Service modification wasn't applied.\r\n\r\nDo you want to proceed now?";
constexpr wchar_t kRestartQuestion[] =
    L"At least one modification you did require the system to be restarted.\r\n\r\nDo you want "
    L"to proceed now?";
constexpr wchar_t kConfirmation[] = L"Are you ok to proceed with the restart?";
constexpr wchar_t kAutoShareWks[] =
    L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters\\AutoshareWks";
constexpr wchar_t kEveryone[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\everyoneincludesanonymous";
constexpr wchar_t kHelpFile[] = L"C:\\Tools\\Aide.chm";

// A started window on an NTFS XP machine with the IPsec policy service installed, without the
// probe.
struct Closing : Harness {
    Closing() {
        Install(L"PolicyAgent", 3);
        main.Form_Initialize(L"-noaccount");
        EXPECT_TRUE(main.Form_Load());
        system.files[kHelpFile] = "help";
    }
    std::vector<std::wstring> Texts() const {
        std::vector<std::wstring> texts;
        for (const auto& message : host.messages) {
            texts.push_back(message.text);
        }
        return texts;
    }
};

TEST(FormUnload, AsksOnlyForGroupsWithChangesAndThenForTheRestart) {
    struct Case {
        const char* what;
        std::function<void(Closing&)> change;
        std::deque<int> answers;
        std::vector<std::wstring> asked;
        std::vector<unsigned> restarts;
        std::function<void(Closing&)> check;
    };
    const Case cases[] = {
        {"nothing changed", [](Closing&) {}, {}, {}, {}, nullptr},
        {"ticked and cleared again",
         [](Closing& h) {
             h.Set(C::AdminShare, 1);
             h.Set(C::AdminShare, 0);
         },
         {},
         {},
         {},
         nullptr},
        {"port 135 alone", [](Closing& h) { h.Set(C::Port135, 1); }, {}, {}, {}, nullptr},
        {"select all alone",
         [](Closing& h) { h.form.VerifiedState(C::SelectAll1) = 1; },
         {},
         {},
         {},
         nullptr},
        {"share Yes, restart No",
         [](Closing& h) { h.Set(C::AdminShare, 1); },
         {IdYes, IdNo},
         {kShareQuestion, kRestartQuestion},
         {},
         [](Closing& h) { EXPECT_EQ(h.Read(kAutoShareWks), L"0"); }},
        {"share No: nothing applied, nothing to restart",
         [](Closing& h) { h.Set(C::AdminShare, 1); },
         {IdNo},
         {kShareQuestion},
         {},
         [](Closing& h) { EXPECT_EQ(h.Read(kAutoShareWks), L"(missing)"); }},
        {"restart Yes, confirmation No",
         [](Closing& h) { h.form.RestartNeeded = true; },
         {IdYes, IdNo},
         {kRestartQuestion, kConfirmation},
         {},
         [](Closing& h) { EXPECT_FALSE(h.form.RestartNeeded); }},
        {"restart confirmed",
         [](Closing& h) { h.form.RestartNeeded = true; },
         {IdYes, IdYes},
         {kRestartQuestion, kConfirmation},
         {6},
         nullptr},
        {"accounts No, services Yes",
         [](Closing& h) {
             h.Set(C::EveryOne, 1);
             h.Set(C::Port500, 1);
         },
         {IdNo, IdYes, IdNo},
         {kAccountQuestion, kServiceQuestion, kRestartQuestion},
         {},
         [](Closing& h) {
             EXPECT_EQ(h.Read(kEveryone), L"(missing)");
             EXPECT_EQ(h.Read(std::wstring(kServices) + L"PolicyAgent\\Start"), L"4");
             EXPECT_EQ(h.system.commandLines().back(), L"net stop policyagent");
         }},
    };
    for (const Case& c : cases) {
        Closing h;
        c.change(h);
        h.host.answers = c.answers;
        h.main.Form_Unload(false);
        EXPECT_EQ(h.Texts(), c.asked) << c.what;
        for (const auto& message : h.host.messages) {
            const bool confirmation = message.text == kConfirmation;
            EXPECT_EQ(message.title, confirmation ? L"System being restarted......" : L"Tolvane")
                << c.what;
            EXPECT_EQ(message.style,
                      MbYesNo | MbIconQuestion | (confirmation ? unsigned{MbDefButton2} : 0u))
                << c.what;
        }
        EXPECT_EQ(h.system.exitRequests, c.restarts) << c.what;
        // The help file goes in every case, a restart requested or not.
        EXPECT_EQ(h.system.files.count(kHelpFile), 0u) << c.what;
        if (c.check) {
            c.check(h);
        }
    }
}

TEST(FormUnload, ARefusedWriteIsReportedAndTheNextGroupStillAsked) {
    Closing h;
    h.Set(C::AdminShare, 1);
    h.Set(C::Port500, 1);
    h.registry.DenyWrites(L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters");
    h.host.answers = {IdYes, IdOk, IdYes, IdNo};
    h.main.Form_Unload(false);
    const auto texts = h.Texts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0], kShareQuestion);
    EXPECT_TRUE(texts[1].starts_with(L"Tolvane could not write the registry value"));
    EXPECT_EQ(texts[2], kServiceQuestion);
    EXPECT_EQ(texts[3], kRestartQuestion);
}

TEST(FormUnload, TheEndOfTheSessionAsksNothingButStillRemovesTheHelpFile) {
    Closing h;
    h.Set(C::AdminShare, 1);
    h.form.RestartNeeded = true;
    h.main.Form_Unload(true);
    EXPECT_TRUE(h.host.messages.empty());
    EXPECT_EQ(h.system.files.count(kHelpFile), 0u);
    EXPECT_EQ(h.Read(kAutoShareWks), L"(missing)");
}

TEST(RestartSystem, AsksWithTheForceFlagAndGivesTheWindowBackOnlyWhenRefused) {
    struct Case {
        bool force;
        unsigned long error;
        unsigned flags;
    };
    for (const Case& c : {Case{true, 0, 6}, Case{false, 0, 2}, Case{true, 1314, 6}}) {
        Harness h;
        h.system.exitError = c.error;
        const bool taken = RestartSystem(h.form, h.machine, c.force);
        EXPECT_EQ(taken, c.error == 0);
        EXPECT_EQ(h.system.exitRequests, std::vector<unsigned>{c.flags});
        // The window takes no input from before the request until Windows refuses it.
        ASSERT_FALSE(h.host.enableCalls.empty());
        EXPECT_FALSE(h.host.enableCalls.front());
        EXPECT_EQ(h.host.enableCalls.back(), c.error != 0);
        EXPECT_EQ(h.form.TakesInput(), c.error != 0);
        if (c.error) {
            ASSERT_EQ(h.host.messages.size(), 1u);
            EXPECT_EQ(h.host.messages[0].text,
                      L"Windows refused to restart.\r\n\r\nsystem error 1314");
        } else {
            EXPECT_TRUE(h.host.messages.empty());
        }
    }
}

TEST(RebootButton, RestartsWithForceOnlyOnYes) {
    for (const int answer : {IdNo, IdYes}) {
        Harness h;
        h.host.answers = {answer};
        h.main.Click(C::RebootButton);
        ASSERT_EQ(h.host.messages.size(), 1u);
        EXPECT_EQ(h.host.messages[0].title, L"System being restarted......");
        EXPECT_EQ(h.system.exitRequests,
                  answer == IdYes ? std::vector<unsigned>{6} : std::vector<unsigned>{});
        // After a restart request nothing more may start from the window.
        EXPECT_EQ(h.form.TakesInput(), answer == IdNo);
    }
}

}  // namespace
}  // namespace tolvane::testing
