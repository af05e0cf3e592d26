// The setting engine's own cases: what the undo test over every box of the catalogue leaves out.
#include <gtest/gtest.h>

#include "fakes/FakeRegistry.h"
#include "registry/SettingEngine.h"

namespace tolvane::testing {
namespace {

constexpr wchar_t kKey[] = L"SYSTEM\\CurrentControlSet\\Services\\W32Time";
const std::wstring kValue = std::wstring(kKey) + L"\\Start";
const std::wstring kRecord = kValue + L"KX";
constexpr wchar_t kTarget[] = L"4";

RawValue Dword(std::uint32_t n) {
    return FakeRegistry::Dword(n);
}
RawValue Text(const std::wstring& text) {
    return FakeRegistry::Text(text);
}

Setting RowFor(const std::wstring& path, UndoRule rule, const wchar_t* target = kTarget) {
    // The path lives as long as the test's constants.
    return {kHklm, path.c_str(), target, ValueType::Dword, rule};
}

constexpr bool kTicked = true;
constexpr bool kCleared = false;

BoxResult Apply(Reg& reg, const Setting& row, bool ticked) {
    return ApplyBox(reg, {&row, 1}, ticked);
}

// A service that is not there gets no start type; a record no version writes is reported, left
// in place, and the row's own rule applies instead. It blocks nothing: the next tick replaces it
// and the next undo uses it.
TEST(ApplyBox, LeavesAloneWhatItMustNotTouchAndFallsBackOnAnUnusableRecord) {
    FakeRegistry registry;
    Reg reg(registry);
    registry.SetDword(kValue, 4);
    const RawValue foreign{RawNone, {7}};  // more missing keys than the path has
    registry.SetRaw(kRecord, foreign);
    const auto before = registry.keys;
    const std::wstring missing = L"SYSTEM\\CurrentControlSet\\Services\\None\\Start";
    EXPECT_FALSE(Apply(reg, RowFor(missing, kRestoreOnUndo), kTicked).failure);
    EXPECT_EQ(registry.keys, before);

    const Setting row = RowFor(kValue, WriteOnUndo(L"0"));
    const BoxResult clear = Apply(reg, row, kCleared);
    EXPECT_FALSE(clear.failure);
    EXPECT_EQ(registry.Get(kValue), Dword(0));
    EXPECT_EQ(registry.Get(kRecord), foreign);
    ASSERT_EQ(clear.unusable.size(), 1u);
    EXPECT_EQ(clear.unusable[0].fullPath, L"HKLM\\" + kRecord);
    EXPECT_FALSE(clear.unusable[0].startType);
    // The row no longer in force: nothing is given instead, and the record stays.
    EXPECT_TRUE(Apply(reg, row, kCleared).unusable.empty());
    EXPECT_EQ(registry.Get(kRecord), foreign);

    EXPECT_FALSE(Apply(reg, row, kTicked).failure);
    EXPECT_FALSE(Apply(reg, row, kCleared).failure);
    EXPECT_EQ(registry.Get(kValue), Dword(0));
    EXPECT_FALSE(registry.Get(kRecord));
}

// A REG_DWORD row is in force only as a REG_DWORD: Windows reads no other.
TEST(ApplyBox, ComparesTypeAndTextExactly) {
    FakeRegistry registry;
    Reg reg(registry);
    const Setting row = RowFor(kValue, kRestoreOnUndo);
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
    const BoxResult result = Apply(reg, RowFor(kValue, kRestoreOnUndo), kTicked);
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->code, kRegAccessDenied);
    EXPECT_EQ(result.failure->fullPath, L"HKLM\\" + kRecord);
    EXPECT_EQ(registry.Get(kValue), Dword(2));
    EXPECT_FALSE(registry.Get(kRecord));
}

TEST(ApplyBox, AnUndoRuleWritesItsValueWithTheRowsType) {
    FakeRegistry registry;
    Reg reg(registry);
    registry.SetDword(kValue, 4);
    const BoxResult literal = Apply(reg, RowFor(kValue, WriteOnUndo(L"suppr")), kCleared);
    // Not a number: it cannot be written as one.
    ASSERT_TRUE(literal.failure);
    EXPECT_EQ(literal.failure->code, kRegInvalidData);
    EXPECT_EQ(registry.Get(kValue), Dword(4));
    EXPECT_FALSE(Apply(reg, RowFor(kValue, WriteOnUndo(L"7")), kCleared).failure);
    EXPECT_EQ(registry.Get(kValue), Dword(7));
}

// Ticking and applying, then clearing and applying, gives back the former value with its own
// type and bytes, whatever they are and whatever the row's undo rule.
TEST(ApplyBox, TickThenClearGivesBackEveryFormerValueExactly) {
    constexpr std::uint32_t kQword = 11;
    const RawValue formers[] = {
        Dword(2),
        Dword(1),
        Dword(0xFFFFFFFF),
        Text(L"3"),
        Text(L"yes"),
        {RawSz, {}},
        {RawExpandSz, {'%', 0, 'X', 0, '%', 0, 0, 0}},
        MultiStringValue({L"ncacn_ip_tcp", L"ncacn_spx"}),
        {RawBinary, {1, 0, 0, 0}},
        {RawBinary, {}},
        {RawNone, {}},
        {RawNone, {1}},
        {RawNone, {0, 5, 6}},
        {kQword, {3, 0, 0, 0, 0, 0, 0, 0}},
        {RawDword, {4, 0}},
        {RawDword, {4, 0, 0, 0, 0}},
    };
    for (const RawValue& former : formers) {
        for (const UndoRule rule : {kRestoreOnUndo, WriteOnUndo(L"0"), kDeleteOnUndo}) {
            SCOPED_TRACE(::testing::Message()
                         << "type " << former.type << ", " << former.data.size() << " bytes, rule "
                         << static_cast<int>(rule.kind));
            FakeRegistry registry;
            Reg reg(registry);
            registry.SetRaw(kValue, former);
            registry.SetString(std::wstring(kKey) + L"\\DisplayName", L"Windows Time");
            const auto before = registry.keys;
            const Setting row = RowFor(kValue, rule);

            EXPECT_FALSE(Apply(reg, row, kTicked).failure);
            EXPECT_EQ(registry.Get(kValue), Dword(4));
            const BoxResult clear = Apply(reg, row, kCleared);
            EXPECT_FALSE(clear.failure);
            EXPECT_TRUE(clear.unusable.empty());
            EXPECT_EQ(registry.keys, before);
        }
    }
}

// A record whose value no longer holds the target (changed since, or a run cut between the two)
// leaves the value as it is and goes, with the keys the program created for it.
TEST(ApplyBox, AStaleRecordGoesWithItsKeysAndTheValueStays) {
    const std::wstring created = std::wstring(kKey) + L"\\Parameters";
    const std::wstring value = created + L"\\Value";
    for (const std::optional<RawValue>& now : {std::optional<RawValue>(), {Dword(7)}}) {
        FakeRegistry registry;
        Reg reg(registry);
        registry.SetDword(kValue, 3);
        const auto before = registry.keys;
        registry.SetRaw(value + L"KX", {RawNone, {1}});
        if (now) {
            registry.SetRaw(value, *now);
        }
        EXPECT_FALSE(Apply(reg, RowFor(value, kDeleteOnUndo), kCleared).failure);
        if (now) {
            EXPECT_EQ(registry.Get(value), now);
            EXPECT_FALSE(registry.Get(value + L"KX"));
        } else {
            EXPECT_EQ(registry.keys, before);
        }
    }
}

// Undone too: a box is left whole when a later row is refused.
TEST(ApplyBox, ABoxIsUndoneWholeOrNotAtAll) {
    const std::wstring start = L"SYSTEM\\CurrentControlSet\\Services\\Dnscache\\Start";
    const std::wstring sockets =
        L"SYSTEM\\CurrentControlSet\\Services\\Dnscache\\Parameters\\MaxCachedSockets";
    const Setting rows[] = {RowFor(start, kRestoreOnUndo), RowFor(sockets, kDeleteOnUndo, L"0")};
    FakeRegistry registry;
    Reg reg(registry);
    registry.SetDword(start, 4);
    registry.SetDword(start + L"KX", 2);
    registry.SetDword(sockets, 0);
    registry.SetRaw(sockets + L"KX", Dword(20));
    registry.DenyWrites(L"SYSTEM\\CurrentControlSet\\Services\\Dnscache");
    const auto ticked = registry.keys;
    // The second row is undone first, then the first is refused: the second comes back.
    const BoxResult result = ApplyBox(reg, rows, kCleared);
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
    const Setting rows[] = {RowFor(kValue, kDeleteOnUndo), RowFor(other, kDeleteOnUndo)};
    registry.SetDword(kValue, 2);
    registry.SetDword(other, 2);
    // The first row's record and value go through; everything after is refused.
    registry.refuseAfter = 2;
    const BoxResult result = ApplyBox(reg, rows, kTicked);
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->fullPath, L"HKLM\\" + other + L"KX");
    ASSERT_TRUE(result.notTakenBack);
    EXPECT_EQ(result.notTakenBack->fullPath, L"HKLM\\" + kValue);
}

}  // namespace
}  // namespace tolvane::testing
