// The setting engine over every combination of rule, box value, current value and record: the
// expected end state is derived from the rules in words, case by case.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "fakes/FakeRegistry.h"
#include "registry/SettingEngine.h"

namespace tolvane::testing {
namespace {

constexpr wchar_t kKey[] = L"SYSTEM\\CurrentControlSet\\Services\\W32Time";
const std::wstring kValue = std::wstring(kKey) + L"\\Start";
const std::wstring kRecord = kValue + L"KX";
constexpr wchar_t kTarget[] = L"4";

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
const RawValue kAbsent{RawNone, {}};
const RawValue kKeyAbsent{RawNone, {1}};

Setting Row(const std::wstring& path, const wchar_t* rule, const wchar_t* target = kTarget) {
    // The path lives as long as the test's constants.
    return {Hklm, path.c_str(), target, RegDword, rule};
}

BoxResult Apply(Reg& reg, const Setting& row, std::int16_t box) {
    return ApplyBox(reg, {&row, 1}, box);
}

enum class Current { Missing, KeyMissing, Target, OtherNumber, NumberText, Text, Binary };
const Current kCurrents[] = {Current::Missing,     Current::KeyMissing, Current::Target,
                             Current::OtherNumber, Current::NumberText, Current::Text,
                             Current::Binary};
enum class Kept { None, OldBackup, AbsentMark, Binary };
const Kept kKepts[] = {Kept::None, Kept::OldBackup, Kept::AbsentMark, Kept::Binary};
const wchar_t* const kRules[] = {L"Suppr", L"Sauve", L"0"};

std::optional<RawValue> Initial(Current current) {
    switch (current) {
        case Current::Missing:
        case Current::KeyMissing:
            return std::nullopt;
        case Current::Target:
            return Dword(4);
        case Current::OtherNumber:
            return Dword(2);
        case Current::NumberText:
            return Text(L"4");
        case Current::Text:
            return Text(L"on");
        case Current::Binary:
            return RawValue{RawBinary, {4, 0, 0, 0}};
    }
    return std::nullopt;
}

std::optional<RawValue> Record(Kept kept) {
    switch (kept) {
        case Kept::None:
            return std::nullopt;
        case Kept::OldBackup:
            return Dword(3);  // what earlier versions kept for "Sauve"
        case Kept::AbsentMark:
            return kAbsent;
        case Kept::Binary:
            return RawValue{RawBinary, {3}};
    }
    return std::nullopt;
}

struct Expected {
    std::optional<RawValue> value;
    std::optional<RawValue> record;
    bool keyExists;
    std::size_t unusable;
};

// The rules, stated per case.
Expected Expect(const std::wstring& rule, std::int16_t box, Current current, Kept kept) {
    Expected e{Initial(current), Record(kept), current != Current::KeyMissing, 0};
    const bool sauve = rule == L"Sauve";
    const bool inForce = current == Current::Target;
    if (box == 1 && inForce) {
        // The state it holds is kept for the undo, unless an older record already holds one.
        if (kept == Kept::None) {
            e.record = Dword(4);
        }
    } else if (box == 1) {
        const bool missing = current == Current::Missing || current == Current::KeyMissing;
        if (sauve && missing) {
            return e;  // no service to disable: nothing is written
        }
        e.record =
            missing ? (current == Current::KeyMissing ? kKeyAbsent : kAbsent) : *Initial(current);
        e.value = Dword(4);
        e.keyExists = true;
    } else if (box == 0 && inForce) {
        const bool usable =
            sauve ? kept == Kept::OldBackup : kept == Kept::OldBackup || kept == Kept::AbsentMark;
        if (usable) {
            e.value = kept == Kept::AbsentMark ? std::nullopt : Record(kept);
            e.record.reset();
        } else {
            e.unusable = kept == Kept::None ? 0 : 1;
            e.value =
                rule == L"Suppr" ? std::nullopt : std::optional(Dword(sauve ? 3 : 0));  // never 1
        }
    }
    return e;
}

TEST(ApplyBox, EveryCombinationOfRuleBoxCurrentValueAndRecord) {
    int cases = 0;
    for (const wchar_t* rule : kRules) {
        for (std::int16_t box : {0, 1, 2}) {
            for (Current current : kCurrents) {
                for (Kept kept : kKepts) {
                    if (current == Current::KeyMissing && kept != Kept::None) {
                        continue;  // a record lives in the value's key
                    }
                    FakeRegistry registry;
                    Reg reg(registry);
                    registry.SetDword(L"SYSTEM\\CurrentControlSet\\Services\\Other\\Start", 3);
                    if (current != Current::KeyMissing) {
                        registry.keys[{Hklm, FakeRegistry::Fold(kKey)}];
                    }
                    if (auto initial = Initial(current)) {
                        registry.SetRaw(kValue, *initial);
                    }
                    if (auto record = Record(kept)) {
                        registry.SetRaw(kRecord, *record);
                    }
                    const Setting row = Row(kValue, rule);
                    const bool inForce = InForce(reg, row);
                    const BoxResult result = Apply(reg, row, box);

                    std::wostringstream name;
                    name << L"rule " << rule << L", box " << box << L", current "
                         << static_cast<int>(current) << L", record " << static_cast<int>(kept);
                    SCOPED_TRACE(name.str());
                    const Expected e = Expect(rule, box, current, kept);
                    EXPECT_EQ(inForce, current == Current::Target);
                    EXPECT_FALSE(result.failure);
                    EXPECT_EQ(registry.Get(kValue), e.value);
                    EXPECT_EQ(registry.Get(kRecord), e.record);
                    EXPECT_EQ(registry.KeyExists(kKey), e.keyExists);
                    EXPECT_EQ(result.unusable.size(), e.unusable);
                    ++cases;
                }
            }
        }
    }
    EXPECT_EQ(cases, 3 * 3 * (6 * 4 + 1));
}

// A REG_DWORD row is in force only as a REG_DWORD: Windows reads no other.
TEST(ApplyBox, ComparesTypeAndTextExactly) {
    FakeRegistry registry;
    Reg reg(registry);
    const Setting row = Row(kValue, L"Sauve");
    for (const RawValue& value : {Text(L"04"), Text(L"4"), RawValue{RawBinary, {4, 0, 0, 0}}}) {
        registry.SetRaw(kValue, value);
        EXPECT_FALSE(InForce(reg, row));
    }
    registry.SetDword(kValue, 4);
    EXPECT_TRUE(InForce(reg, row));
}

TEST(ApplyBox, ARefusedBackupWriteChangesNothing) {
    FakeRegistry registry;
    Reg reg(registry);
    registry.SetDword(kValue, 2);
    registry.DenyWrites(kKey);
    const BoxResult result = Apply(reg, Row(kValue, L"Sauve"), 1);
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->code, kRegAccessDenied);
    EXPECT_EQ(result.failure->fullPath, L"HKLM\\" + kRecord);
    EXPECT_EQ(registry.Get(kValue), Dword(2));
    EXPECT_FALSE(registry.Get(kRecord));
}

TEST(ApplyBox, RulesAreRecognisedOnlyInTheirExactSpelling) {
    FakeRegistry registry;
    Reg reg(registry);
    registry.SetDword(kValue, 4);
    const BoxResult literal = Apply(reg, Row(kValue, L"suppr"), 0);
    // "suppr" is a literal value: it cannot be written as a number.
    ASSERT_TRUE(literal.failure);
    EXPECT_EQ(literal.failure->code, kRegInvalidData);
    EXPECT_EQ(registry.Get(kValue), Dword(4));
    EXPECT_FALSE(Apply(reg, Row(kValue, L"7"), 0).failure);
    EXPECT_EQ(registry.Get(kValue), Dword(7));
}

// Ticking and applying, then clearing and applying, gives a service back its start type when
// Windows accepts it for a service; anything else becomes "on demand", and is told.
TEST(ApplyBox, TickThenClearGivesBackAStartTypeWindowsAccepts) {
    struct Case {
        RawValue start;
        bool exact;
    };
    const Case cases[] = {{Dword(2), true},  {Dword(3), true},           {Dword(0), false},
                          {Dword(1), false}, {Dword(0xFFFFFFFF), false}, {Text(L"3"), false}};
    for (const Case& c : cases) {
        FakeRegistry registry;
        Reg reg(registry);
        registry.SetRaw(kValue, c.start);
        registry.SetString(std::wstring(kKey) + L"\\DisplayName", L"Windows Time");
        const auto before = registry.keys;
        const Setting row = Row(kValue, L"Sauve");

        EXPECT_FALSE(Apply(reg, row, 1).failure);
        EXPECT_EQ(registry.Get(kValue), Dword(4));
        const BoxResult clear = Apply(reg, row, 0);
        EXPECT_FALSE(clear.failure);
        if (c.exact) {
            EXPECT_EQ(registry.keys, before);
            EXPECT_TRUE(clear.unusable.empty());
        } else {
            EXPECT_EQ(registry.Get(kValue), Dword(3));
            EXPECT_EQ(registry.Get(kRecord), c.start);  // left for a person to look at
            ASSERT_EQ(clear.unusable.size(), 1u);
            EXPECT_EQ(clear.unusable[0].fullPath, L"HKLM\\" + kRecord);
            EXPECT_EQ(clear.unusable[0].fault, UnusableRecord::Fault::NotAStartType);
            // It blocks nothing: the next tick replaces it and the next undo uses it.
            EXPECT_FALSE(Apply(reg, row, 1).failure);
            EXPECT_FALSE(Apply(reg, row, 0).failure);
            EXPECT_EQ(registry.Get(kValue), Dword(3));
            EXPECT_FALSE(registry.Get(kRecord));
        }
    }
}

// Undone too: a box is left whole when a later row is refused.
TEST(ApplyBox, ABoxIsUndoneWholeOrNotAtAll) {
    const std::wstring start = L"SYSTEM\\CurrentControlSet\\Services\\Dnscache\\Start";
    const std::wstring sockets =
        L"SYSTEM\\CurrentControlSet\\Services\\Dnscache\\Parameters\\MaxCachedSockets";
    const Setting rows[] = {Row(start, L"Sauve"), Row(sockets, L"Suppr", L"0")};
    FakeRegistry registry;
    Reg reg(registry);
    registry.SetDword(start, 4);
    registry.SetDword(start + L"KX", 2);
    registry.SetDword(sockets, 0);
    registry.SetRaw(sockets + L"KX", Dword(20));
    registry.DenyWrites(L"SYSTEM\\CurrentControlSet\\Services\\Dnscache");
    const auto ticked = registry.keys;
    // The second row is undone first, then the first is refused: the second comes back.
    const BoxResult result = ApplyBox(reg, rows, 0);
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->fullPath, L"HKLM\\" + start);
    EXPECT_FALSE(result.notTakenBack);
    EXPECT_EQ(registry.keys, ticked);
    // Only what changed is written back: the value and its record.
    EXPECT_EQ(registry.changes.size(), 4u);
}

TEST(ApplyBox, TellsAChangeThatCouldNotBeTakenBack) {
    FakeRegistry registry;
    Reg reg(registry);
    const std::wstring other = std::wstring(kKey) + L"\\Other";
    const Setting rows[] = {Row(kValue, L"Suppr"), Row(other, L"Suppr")};
    registry.SetDword(kValue, 2);
    registry.SetDword(other, 2);
    // The first row's record and value go through; everything after is refused.
    registry.refuseAfter = 2;
    const BoxResult result = ApplyBox(reg, rows, 1);
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->fullPath, L"HKLM\\" + other + L"KX");
    ASSERT_TRUE(result.notTakenBack);
    EXPECT_EQ(result.notTakenBack->fullPath, L"HKLM\\" + kValue);
}

}  // namespace
}  // namespace tolvane::testing
