#include <gtest/gtest.h>

#include "catalogue/AccountOutput.h"

namespace tolvane::testing {
namespace {

constexpr wchar_t kKey[] = L"Compte\u00ff: actif";

AccountState StateOf(const std::string& bytes) {
    return AccountStateOf(FindValueInText(bytes, kKey, false, L" ", L'\n', L'\r'));
}

TEST(AccountOutput, ReadsTheAccountActiveLine) {
    const std::string report =
        "Nom d'utilisateur                      Invit\x82\r\n"
        "Commentaire                            Compte d'utilisateur invit\x82\r\n";
    struct Case {
        std::string line;
        AccountState state;
    };
    const Case cases[] = {
        {"Compte\xff: actif                  Non\r\n", AccountState::Inactive},
        {"Compte\xff: actif                  Oui\r\n", AccountState::Active},
        {"Compte\xff: actif Oui\n", AccountState::Active},
        {"Compte : actif                  Non\r\n", AccountState::Unknown},  // ordinary space
        {"Compte\xff: actif                  oui\r\n", AccountState::Unknown},
        {"Compte\xff: actif                  Oui", AccountState::Unknown},  // cut by end of file
        {"Compte\xff: actif                  Oui \r\n", AccountState::Unknown},
        {"Compte\xff: actif", AccountState::Unknown},
        {"", AccountState::Unknown},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StateOf(report + c.line + "Fin\r\n"), c.state) << c.line;
    }
    EXPECT_EQ(StateOf("Compte\xff: actif Oui"), AccountState::Unknown);
}

TEST(AccountOutput, FindsEveryOccurrenceWhenAsked) {
    const std::string text = "k=a;x\nk=b;\nk=c";
    EXPECT_EQ(FindValueInText(text, L"k", true, L"=", L';', L'\n'), L"a\r\nb");
    EXPECT_EQ(FindValueInText(text, L"k", false, L"=", L';', L'\n'), L"a");
    EXPECT_EQ(FindValueInText(text, L"k", false, L"", L';', L'\n'), L"=a");
    EXPECT_EQ(FindValueInText(text, L"zz", true, L"=", L';', L'\n'), L"");
}

TEST(AccountOutput, DecodesBytesWithTheAnsiCodePage) {
    // 0x80 is the euro sign in code page 1252, 0xE9 an e with an acute accent.
    EXPECT_EQ(FindValueInText("k \x80\xe9\r", L"k", false, L" ", L'\n', L'\r'), L"\u20ac\u00e9");
}

TEST(AccountOutput, StateWords) {
    EXPECT_EQ(AccountStateOf(L"   Oui"), AccountState::Active);
    EXPECT_EQ(AccountStateOf(L"Non"), AccountState::Inactive);
    EXPECT_EQ(AccountStateOf(L"\tNon"), AccountState::Unknown);
    EXPECT_EQ(AccountStateOf(L""), AccountState::Unknown);
    EXPECT_EQ(AccountStateOf(L"NON"), AccountState::Unknown);
}

}  // namespace
}  // namespace tolvane::testing
