#include <gtest/gtest.h>

#include "fakes/FakeRegistry.h"
#include "registry/Reg.h"

namespace tolvane::testing {
namespace {

constexpr wchar_t kLsa[] = L"SYSTEM\\CurrentControlSet\\Control\\Lsa\\";

class RegTest : public ::testing::Test {
  protected:
    FakeRegistry registry;
    Reg reg{registry};
    std::wstring Path(const wchar_t* name) { return std::wstring(kLsa) + name; }
};

TEST_F(RegTest, RootPrefixes) {
    using R = RegistryRoot;
    EXPECT_EQ(RootPrefix(R::ClassesRoot), L"HKCR\\");
    EXPECT_EQ(RootPrefix(R::CurrentUser), L"HKCU\\");
    EXPECT_EQ(RootPrefix(R::LocalMachine), L"HKLM\\");
    EXPECT_EQ(RootPrefix(R::Users), L"HKEY_USERS\\");
    EXPECT_EQ(RootPrefix(R::CurrentConfig), L"HKEY_CURRENT_CONFIG\\");
}

TEST_F(RegTest, ReadsValuesAsText) {
    registry.SetDword(Path(L"forceguest"), 0);
    registry.SetDword(Path(L"big"), 4000000000u);
    registry.SetString(Path(L"text"), L"N");
    registry.SetString(Path(L"empty"), L"");
    registry.SetString(Path(L"erreur"), L"Erreur");
    registry.SetRaw(Path(L"binary"), {RawBinary, {1, 2, 3, 4}});
    registry.SetRaw(Path(L"multi"), {RawMultiSz, {'a', 0, 0, 0, 0, 0}});
    registry.SetRaw(Path(L"short"), {RawDword, {1, 2}});

    EXPECT_EQ(reg.ReadText(kHklm, Path(L"forceguest")), L"0");
    EXPECT_EQ(reg.ReadText(kHklm, Path(L"big")), L"4000000000");
    EXPECT_EQ(reg.ReadText(kHklm, Path(L"text")), L"N");
    EXPECT_EQ(reg.ReadText(kHklm, Path(L"empty")), L"");
    EXPECT_EQ(reg.ReadText(kHklm, Path(L"erreur")), L"Erreur");  // a text like any other
    EXPECT_FALSE(reg.ReadText(kHklm, Path(L"binary")));
    EXPECT_FALSE(reg.ReadText(kHklm, Path(L"multi")));
    EXPECT_FALSE(reg.ReadText(kHklm, Path(L"short")));
    EXPECT_FALSE(reg.ReadText(kHklm, Path(L"missing")));
    EXPECT_FALSE(reg.ReadText(kHklm, L"NO\\SUCH\\KEY\\value"));
    // Keys are found whatever their letter case.
    EXPECT_EQ(reg.ReadText(kHklm, L"system\\currentcontrolset\\control\\lsa\\FORCEGUEST"), L"0");
}

TEST_F(RegTest, ValueExistsIsFalseOnlyWhenNothingIsThere) {
    registry.SetRaw(Path(L"binary"), {RawBinary, {1}});
    registry.SetDword(Path(L"number"), 1);
    EXPECT_TRUE(reg.ValueExists(kHklm, Path(L"binary")));
    EXPECT_TRUE(reg.ValueExists(kHklm, Path(L"number")));
    EXPECT_FALSE(reg.ValueExists(kHklm, Path(L"missing")));
    EXPECT_FALSE(reg.ValueExists(kHklm, L"NO\\SUCH\\KEY\\value"));
}

TEST_F(RegTest, WritesWithTheGivenType) {
    EXPECT_FALSE(reg.WriteValue(kHklm, Path(L"dword"), L"4", ValueType::Dword));
    EXPECT_FALSE(reg.WriteValue(kHklm, Path(L"minus"), L"-1", ValueType::Dword));
    EXPECT_FALSE(reg.WriteValue(kHklm, Path(L"sz"), L"N", ValueType::String));
    EXPECT_FALSE(reg.WriteValue(kHklm, Path(L"expand"), L"%x%", ValueType::ExpandString));
    EXPECT_FALSE(reg.WriteValue(kHklm, Path(L"bin"), L"258", ValueType::Binary));
    EXPECT_EQ(registry.Get(Path(L"dword")), (RawValue{RawDword, {4, 0, 0, 0}}));
    EXPECT_EQ(registry.Get(Path(L"minus")), (RawValue{RawDword, {255, 255, 255, 255}}));
    EXPECT_EQ(registry.Get(Path(L"sz")), (RawValue{RawSz, {'N', 0, 0, 0}}));
    EXPECT_EQ(registry.Get(Path(L"expand"))->type, RawExpandSz);
    EXPECT_EQ(registry.Get(Path(L"bin")), (RawValue{RawBinary, {2, 1, 0, 0}}));
}

TEST_F(RegTest, RefusedWritesAreReported) {
    const auto notNumber = reg.WriteValue(kHklm, Path(L"x"), L"Erreur", ValueType::Dword);
    ASSERT_TRUE(notNumber);
    EXPECT_EQ(notNumber->fullPath, L"HKLM\\" + Path(L"x"));
    EXPECT_EQ(notNumber->code, kRegInvalidData);

    registry.DenyWrites(L"SYSTEM\\CurrentControlSet\\Control\\Lsa");
    const auto denied = reg.WriteValue(kHklm, Path(L"x"), L"1", ValueType::Dword);
    ASSERT_TRUE(denied);
    EXPECT_EQ(denied->code, kRegAccessDenied);
    EXPECT_EQ(registry.writes, 0);
}

TEST_F(RegTest, RemovesValuesOrWholeKeys) {
    registry.SetDword(L"SYSTEM\\Rpc\\Linkage\\Bind", 1);
    registry.SetDword(Path(L"gone"), 1);
    EXPECT_FALSE(reg.Remove(kHklm, Path(L"gone")));
    EXPECT_FALSE(reg.Remove(kHklm, Path(L"gone")));
    EXPECT_FALSE(reg.Remove(kHklm, L"NO\\SUCH\\value"));
    EXPECT_FALSE(registry.Get(Path(L"gone")));

    EXPECT_FALSE(reg.Remove(kHklm, L"SYSTEM\\Rpc\\Linkage\\"));
    EXPECT_FALSE(registry.KeyExists(L"SYSTEM\\Rpc\\Linkage"));
}

}  // namespace
}  // namespace tolvane::testing
