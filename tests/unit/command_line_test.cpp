#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "fakes/Harness.h"

namespace tolvane::testing {
namespace {

struct SplitCase {
    const wchar_t* text;
    const wchar_t* separator;
    std::vector<std::wstring> words;
};

class SplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, SplitsIntoWords) {
    std::vector<std::wstring> tabl{L"stale", L"words"};
    std::uint8_t count = 9;
    TraiteCommande(GetParam().text, GetParam().separator, tabl, count);
    ASSERT_EQ(count, GetParam().words.size());
    ASSERT_EQ(tabl.size(), GetParam().words.size() + 1);
    EXPECT_EQ(tabl[0], L"");
    for (std::size_t i = 0; i < GetParam().words.size(); ++i) {
        EXPECT_EQ(tabl[i + 1], GetParam().words[i]) << "word " << i + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, SplitTest,
    ::testing::Values(SplitCase{L"", L" ", {}}, SplitCase{L"    ", L" ", {}},
                      SplitCase{L"  -noaccount   second", L" ", {L"-noaccount", L"second"}},
                      SplitCase{L"a\tb c", L" ", {L"a\tb", L"c"}},
                      SplitCase{L"a,b", L",", {L"a", L"b"}},
                      SplitCase{L"a, b", L",", {L"a", L" b"}},
                      SplitCase{L"a,,b", L",", {L"a", L"", L"b"}}, SplitCase{L"a,", L",", {L"a"}},
                      SplitCase{L"one", L",", {L"one"}}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(CommandLine, IgnoresWordsBeyondThe255th) {
    std::wstring text;
    for (int i = 0; i < 300; ++i) {
        text += L"w" + std::to_wstring(i) + L" ";
    }
    std::vector<std::wstring> tabl;
    std::uint8_t count = 0;
    TraiteCommande(text, L" ", tabl, count);
    EXPECT_EQ(count, 255);
    EXPECT_EQ(tabl.size(), 256u);
    EXPECT_EQ(tabl[255], L"w254");
}

struct SwitchCase {
    const wchar_t* commandLine;
    bool noAccount;
};

class SwitchTest : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(SwitchTest, RecognisesOnlyTheExactSwitch) {
    Harness h;
    h.main.Form_Initialize(GetParam().commandLine);
    EXPECT_EQ(h.form.NoAccount, GetParam().noAccount) << GetParam().commandLine;
}

INSTANTIATE_TEST_SUITE_P(CommandLine, SwitchTest,
                         ::testing::Values(SwitchCase{L"", false}, SwitchCase{L"-noaccount", true},
                                           SwitchCase{L"x  -noaccount  y", true},
                                           SwitchCase{L"-NOACCOUNT", false},
                                           SwitchCase{L"/noaccount", false},
                                           SwitchCase{L"\"-noaccount\"", false},
                                           SwitchCase{L"-noaccounts", false}),
                         [](const auto& info) { return std::to_string(info.index); });

}  // namespace
}  // namespace tolvane::testing
