// The setting engine over every combination of rule, box value, current value and backup:
// the expected end state is derived from the rules in words, case by case.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "fakes/FakeRegistry.h"
#include "registry/SettingEngine.h"

namespace tolvane::testing {
namespace {

constexpr wchar_t kKey[] = L"SYSTEM\\CurrentControlSet\\Services\\W32Time";
const std::wstring kValue = std::wstring(kKey) + L"\\Start";
const std::wstring kBackup = kValue + L"KX";
constexpr wchar_t kTarget[] = L"4";

enum class Current { Missing, Target, OtherNumber, Text, Binary };
const Current kCurrents[] = {Current::Missing, Current::Target, Current::OtherNumber, Current::Text,
                             Current::Binary};
const wchar_t* const kRules[] = {L"Suppr", L"Sauve", L"0"};

RawValue Dword(std::uint32_t n) {
    return {RawDword,
            {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
             static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)}};
}
RawValue Text(const std::wstring& text) {
    RawValue value{RawSz, {}};
    for (wchar_t c : text) {
        value.data.insert(value.data.end(), {static_cast<std::uint8_t>(c), 0});
    }
    value.data.insert(value.data.end(), {0, 0});
    return value;
}

std::optional<RawValue> Initial(Current current) {
    switch (current) {
        case Current::Missing:
            return std::nullopt;
        case Current::Target:
            return Dword(4);
        case Current::OtherNumber:
            return Dword(2);
        case Current::Text:
            return Text(L"on");
        case Current::Binary:
            return RawValue{RawBinary, {4, 0, 0, 0}};
    }
    return std::nullopt;
}

struct Expected {
    bool inForce;
    std::optional<RawValue> value;
    std::optional<RawValue> backup;
    bool fails;
};

// The rules, stated per case.
Expected Expect(const std::wstring& rule, std::int16_t box, Current current,
                const std::optional<RawValue>& backup) {
    Expected e{current == Current::Target, Initial(current), backup, false};
    const bool sauve = rule == L"Sauve";
    if (box == 0 && e.inForce) {
        if (rule == L"Suppr") {
            e.value.reset();
        } else if (sauve && backup) {
            e.value = backup;
            e.backup.reset();
        } else if (sauve) {
            e.value = Dword(3);  // start on demand, never the boot-driver type 1
        } else {
            e.value = Dword(0);
        }
    } else if (box == 1 && !e.inForce) {
        const bool unreadable = current == Current::Missing || current == Current::Binary;
        if (sauve && unreadable) {
            return e;  // nothing to back up, so nothing is written
        }
        if (sauve && current == Current::Text) {
            e.fails = true;  // a text cannot be kept in a number backup
            return e;
        }
        if (sauve) {
            e.backup = Initial(current);
        }
        e.value = Dword(4);
    }
    return e;
}

TEST(ApplySetting, EveryCombinationOfRuleBoxCurrentValueAndBackup) {
    int cases = 0;
    for (const wchar_t* rule : kRules) {
        for (std::int16_t box : {0, 1, 2}) {
            for (Current current : kCurrents) {
                for (bool hasBackup : {false, true}) {
                    for (bool apply : {false, true}) {
                        FakeRegistry registry;
                        Reg reg(registry);
                        if (auto initial = Initial(current)) {
                            registry.SetRaw(kValue, *initial);
                        }
                        std::optional<RawValue> backup;
                        if (hasBackup) {
                            backup = Dword(3);
                            registry.SetRaw(kBackup, *backup);
                        }
                        const auto before = registry.keys;
                        const SettingResult result =
                            ApplySetting(reg, apply, box, Hklm, kValue, rule, kTarget, RegDword);

                        std::wostringstream name;
                        name << L"rule " << rule << L", box " << box << L", current "
                             << static_cast<int>(current) << L", backup " << hasBackup
                             << L", apply " << apply;
                        SCOPED_TRACE(name.str());
                        const Expected e = apply ? Expect(rule, box, current, backup)
                                                 : Expected{current == Current::Target,
                                                            Initial(current), backup, false};
                        EXPECT_EQ(result.inForce, e.inForce);
                        EXPECT_EQ(result.failure.has_value(), e.fails);
                        if (!apply || e.fails) {
                            EXPECT_EQ(registry.keys, before);
                        }
                        EXPECT_EQ(registry.Get(kValue), e.value);
                        EXPECT_EQ(registry.Get(kBackup), e.backup);
                        ++cases;
                    }
                }
            }
        }
    }
    EXPECT_EQ(cases, 3 * 3 * 5 * 2 * 2);
}

TEST(ApplySetting, RulesAreRecognisedOnlyInTheirExactSpelling) {
    FakeRegistry registry;
    Reg reg(registry);
    registry.SetDword(kValue, 4);
    ApplySetting(reg, true, 0, Hklm, kValue, L"suppr", kTarget, RegDword);
    // "suppr" is a literal value: it cannot be written as a number.
    EXPECT_EQ(registry.Get(kValue), Dword(4));
    ApplySetting(reg, true, 0, Hklm, kValue, L"7", kTarget, RegDword);
    EXPECT_EQ(registry.Get(kValue), Dword(7));
}

TEST(ApplySetting, ComparesTextExactly) {
    FakeRegistry registry;
    Reg reg(registry);
    registry.SetString(kValue, L"04");
    EXPECT_FALSE(ApplySetting(reg, false, 0, Hklm, kValue, L"Sauve", L"4", RegDword).inForce);
    registry.SetString(kValue, L"4");
    EXPECT_TRUE(ApplySetting(reg, false, 0, Hklm, kValue, L"Sauve", L"4", RegDword).inForce);
}

TEST(ApplySetting, ARefusedBackupWriteChangesNothing) {
    FakeRegistry registry;
    Reg reg(registry);
    registry.SetDword(kValue, 2);
    registry.DenyWrites(kKey);
    const SettingResult result =
        ApplySetting(reg, true, 1, Hklm, kValue, L"Sauve", kTarget, RegDword);
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->code, kRegAccessDenied);
    EXPECT_EQ(result.failure->fullPath, L"HKLM\\" + kBackup);
    EXPECT_EQ(registry.Get(kValue), Dword(2));
    EXPECT_FALSE(registry.Get(kBackup));
}

// Ticking and applying, then clearing and applying, leaves a "Sauve" value exactly as it was.
TEST(ApplySetting, TickThenClearRestoresAnyNumberOtherThanTheTarget) {
    for (std::uint32_t start : {0u, 1u, 2u, 3u, 5u, 17u, 65535u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        FakeRegistry registry;
        Reg reg(registry);
        registry.SetRaw(kValue, Dword(start));
        registry.SetString(std::wstring(kKey) + L"\\DisplayName", L"Windows Time");
        const auto before = registry.keys;

        const SettingResult tick =
            ApplySetting(reg, true, 1, Hklm, kValue, L"Sauve", kTarget, RegDword);
        EXPECT_FALSE(tick.inForce);
        EXPECT_EQ(registry.Get(kValue), Dword(4));
        const SettingResult clear =
            ApplySetting(reg, true, 0, Hklm, kValue, L"Sauve", kTarget, RegDword);
        EXPECT_TRUE(clear.inForce);
        EXPECT_EQ(registry.keys, before) << "start type " << start;
    }
}

}  // namespace
}  // namespace tolvane::testing
