#include <gtest/gtest.h>

#include <functional>

#include "app/Closing.h"
#include "app/Commands.h"
#include "fakes/Harness.h"
#include "model/MachineChanges.h"
#include "model/Restart.h"
#include "options/OptionsController.h"
#include "system/SystemInfo.h"

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
        main.ReadCommandLine(L"-noaccount");
        EXPECT_TRUE(main.LoadFromMachine());
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

TEST(Closing, AsksOnlyForGroupsWithChangesAndThenForTheRestart) {
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
             h.Set(C::AdminSharesBox, 1);
             h.Set(C::AdminSharesBox, 0);
         },
         {},
         {},
         {},
         nullptr},
        {"port 135 alone", [](Closing& h) { h.Set(C::Port135Box, 1); }, {}, {}, {}, nullptr},
        {"select all alone",
         [](Closing& h) { h.state.VerifiedValue(C::SelectAllSharesBox) = BoxValue::Ticked; },
         {},
         {},
         {},
         nullptr},
        {"share Yes, restart No",
         [](Closing& h) { h.Set(C::AdminSharesBox, 1); },
         {IdYes, IdNo},
         {kShareQuestion, kRestartQuestion},
         {},
         [](Closing& h) { EXPECT_EQ(h.Read(kAutoShareWks), L"0"); }},
        {"share No: nothing applied, nothing to restart",
         [](Closing& h) { h.Set(C::AdminSharesBox, 1); },
         {IdNo},
         {kShareQuestion},
         {},
         [](Closing& h) { EXPECT_EQ(h.Read(kAutoShareWks), L"(missing)"); }},
        {"restart Yes, confirmation No",
         [](Closing& h) { h.state.restartNeeded = true; },
         {IdYes, IdNo},
         {kRestartQuestion, kConfirmation},
         {},
         [](Closing& h) { EXPECT_FALSE(h.state.restartNeeded); }},
        {"restart confirmed",
         [](Closing& h) { h.state.restartNeeded = true; },
         {IdYes, IdYes},
         {kRestartQuestion, kConfirmation},
         {2},
         nullptr},
        {"accounts No, services Yes",
         [](Closing& h) {
             h.Set(C::EveryoneRightsBox, 1);
             h.Set(C::Port500Box, 1);
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
        h.main.Close(false);
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

TEST(Closing, ARefusedWriteIsReportedAndTheNextGroupStillAsked) {
    Closing h;
    h.Set(C::AdminSharesBox, 1);
    h.Set(C::Port500Box, 1);
    h.registry.DenyWrites(L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters");
    h.host.answers = {IdYes, IdOk, IdYes, IdNo};
    h.main.Close(false);
    const auto texts = h.Texts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0], kShareQuestion);
    EXPECT_TRUE(texts[1].starts_with(L"Tolvane could not write the registry value"));
    EXPECT_EQ(texts[2], kServiceQuestion);
    EXPECT_EQ(texts[3], kRestartQuestion);
}

TEST(Closing, TheEndOfTheSessionAsksNothingButStillRemovesTheHelpFile) {
    Closing h;
    h.Set(C::AdminSharesBox, 1);
    h.state.restartNeeded = true;
    h.main.Close(true);
    EXPECT_TRUE(h.host.messages.empty());
    EXPECT_EQ(h.system.files.count(kHelpFile), 0u);
    EXPECT_EQ(h.Read(kAutoShareWks), L"(missing)");
}

// Every restart goes without the force flag, so that other programs can ask to save: from the
// main window's button and the options window alike (the closing prompt's is above). The window is
// given back when Windows refuses the request, or cancels the restart after taking it.
TEST(RestartSystem, NeverForcesAndGivesTheWindowBackWhenRefusedOrCancelled) {
    enum class Outcome { Taken, Refused, CancelledLater };
    enum class From { MainWindow, Options };
    struct Case {
        const char* what;
        From from;
        Outcome outcome;
    };
    const Case cases[] = {
        {"main window, taken", From::MainWindow, Outcome::Taken},
        {"main window, refused", From::MainWindow, Outcome::Refused},
        {"main window, cancelled", From::MainWindow, Outcome::CancelledLater},
        {"options, taken", From::Options, Outcome::Taken},
        {"options, cancelled", From::Options, Outcome::CancelledLater},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Harness h;
        h.system.exitError = c.outcome == Outcome::Refused ? 1314 : 0;
        switch (c.from) {
            case From::MainWindow:
                h.host.answers = {IdYes};
                h.main.Click(C::RestartButton);
                break;
            case From::Options: {
                OptionsController options(h.state, h.machine);
                h.system.drives = {{L'C', L"FAT32"}};
                options.Load();
                ASSERT_TRUE(options.Click(OptionsControlId::ConvertButton));
                ASSERT_FALSE(options.WatchConversion());
                EXPECT_FALSE(options.Click(OptionsControlId::RestartButton));
                break;
            }
        }
        EXPECT_EQ(h.system.exitRequests, std::vector<unsigned>{2});
        // A cancellation that never reaches the window is waited for only so long.
        EXPECT_EQ(h.host.sessionEndsAwaited, c.outcome == Outcome::Refused ? 0 : 1);
        if (c.outcome == Outcome::CancelledLater) {
            EXPECT_FALSE(h.state.TakesInput());
            h.main.SessionEndCancelled();
        }
        // No input from the request on, until Windows refuses it or cancels the restart.
        const bool givenBack = c.outcome != Outcome::Taken;
        EXPECT_EQ(h.state.TakesInput(), givenBack);
        ASSERT_FALSE(h.host.enableCalls.empty());
        EXPECT_EQ(h.host.enableCalls.back(), givenBack);
        if (c.outcome == Outcome::Refused) {
            ASSERT_FALSE(h.host.messages.empty());
            EXPECT_EQ(h.host.messages.back().text,
                      L"Windows refused to restart.\r\n\r\nsystem error 1314");
        }
    }
    // A session end that others cancelled, with no restart of ours asked for, changes nothing.
    Harness h;
    h.main.SessionEndCancelled();
    EXPECT_TRUE(h.host.enableCalls.empty());
    EXPECT_TRUE(h.state.TakesInput());
}

TEST(ConfirmAndRestart, RestartsOnlyOnYes) {
    Harness h;
    h.host.answers = {IdNo};
    h.main.Click(C::RestartButton);
    ASSERT_EQ(h.host.messages.size(), 1u);
    EXPECT_EQ(h.host.messages[0].title, L"System being restarted......");
    EXPECT_TRUE(h.system.exitRequests.empty());
    EXPECT_TRUE(h.state.TakesInput());
}

TEST(MachineLock, AWindowsApplyWhileAnotherRunChangesTheMachineAppliesNothingAndSaysSoOnce) {
    struct Case {
        const char* what;
        std::function<void(Closing&)> apply;
    };
    const Case cases[] = {
        {"a group's button", [](Closing& h) { h.main.Click(C::ApplyServicesButton); }},
        {"the menu", [](Closing& h) { h.main.Menu(MenuId::ApplyAll); }},
    };
    for (const Case& c : cases) {
        Closing h;
        h.system.lockWaits.clear();
        h.system.heldElsewhere = true;
        h.Set(C::Port500Box, 1);
        h.Set(C::AdminSharesBox, 1);
        const auto before = h.registry.keys;
        c.apply(h);
        EXPECT_EQ(h.registry.keys, before) << c.what;
        ASSERT_EQ(h.host.messages.size(), 1u) << c.what;
        EXPECT_EQ(h.host.messages[0].text, kMachineHeldMessage) << c.what;
        EXPECT_EQ(h.system.lockWaits, std::vector<std::uint32_t>{0}) << c.what;
        // Still to apply once the other run has finished.
        EXPECT_TRUE(h.state.ChangedSinceVerify(C::Port500Box)) << c.what;
        EXPECT_EQ(h.Value(C::Port500Box), 1) << c.what;

        h.system.heldElsewhere = false;
        c.apply(h);
        EXPECT_EQ(h.Verified(C::Port500Box), 1) << c.what;
        EXPECT_EQ(h.system.locksHeld, 0) << c.what;
    }
}

// The window of a user who is not an administrator applies nothing and says why, without the
// lock; an administrator's whose lock cannot be let go says so once its changes are made.
TEST(MachineLock, AWindowTellsWhatKeepsItFromChangingTheMachineOrFromLettingGo) {
    Closing h;
    h.system.lockWaits.clear();
    h.system.administrator = false;
    h.Set(C::AdminSharesBox, 1);
    const auto before = h.registry.keys;
    h.main.Click(C::ApplySharesButton);
    EXPECT_EQ(h.registry.keys, before);
    ASSERT_EQ(h.host.messages.size(), 1u);
    EXPECT_EQ(h.host.messages[0].text, kNotAdministratorMessage);
    EXPECT_TRUE(h.system.lockWaits.empty());
    EXPECT_TRUE(h.state.ChangedSinceVerify(C::AdminSharesBox));

    h.host.messages.clear();
    h.system.administrator = true;
    h.system.releaseError = 6;
    h.main.Click(C::ApplySharesButton);
    EXPECT_EQ(h.Verified(C::AdminSharesBox), 1);
    ASSERT_EQ(h.host.messages.size(), 1u);
    EXPECT_TRUE(h.host.messages[0].text.starts_with(L"Tolvane could not let go of the lock"));
    EXPECT_NE(h.host.messages[0].text.find(L"system error 6"), std::wstring::npos);
    EXPECT_EQ(h.host.messages[0].locksHeld, 1) << "still held: told so";
    // The same thread takes it again, and lets go.
    h.Set(C::AdminSharesBox, 0);
    h.main.Click(C::ApplySharesButton);
    EXPECT_EQ(h.system.locksHeld, 1);
    EXPECT_EQ(h.system.lockOwner, 1);
}

// While another run changes the machine, a closing whose applies would change it stays, with its
// help file; at the end of the session it asks nothing, applies nothing and goes. Once the other
// run has finished, the same closing applies and goes.
TEST(MachineLock, AClosingWhoseApplyFindsTheMachineHeldStaysUnlessTheSessionEnds) {
    for (const bool sessionEnding : {false, true}) {
        Closing h;
        h.system.lockWaits.clear();
        h.Set(C::Port500Box, 1);
        h.system.heldElsewhere = true;
        h.host.answers = {IdYes};
        const auto before = h.registry.keys;
        EXPECT_EQ(h.main.Close(sessionEnding), sessionEnding);
        EXPECT_EQ(h.registry.keys, before);
        EXPECT_EQ(h.host.messages.size(), sessionEnding ? 0u : 2u);
        if (sessionEnding) {
            EXPECT_TRUE(h.system.lockWaits.empty());
            continue;
        }
        EXPECT_EQ(h.host.messages[1].text, kMachineHeldMessage);
        EXPECT_TRUE(h.system.files.count(kHelpFile)) << "the window stays, with its help file";
        EXPECT_TRUE(h.state.ChangedSinceVerify(C::Port500Box));
        EXPECT_TRUE(h.state.TakesInput());

        h.system.heldElsewhere = false;
        h.host.answers = {IdYes};
        EXPECT_TRUE(h.main.Close(false));
        EXPECT_EQ(h.Read(std::wstring(kServices) + L"PolicyAgent\\Start"), L"4");
        EXPECT_FALSE(h.system.files.count(kHelpFile));
    }
}

}  // namespace
}  // namespace tolvane::testing
