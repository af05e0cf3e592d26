// Each registry operation on the real registry: every type, missing values and keys, and a key
// named with a trailing backslash.
#include <windows.h>

#include <gtest/gtest.h>

#include "registry/Reg.h"
#include "registry/win32/Win32RegistryStore.h"
#include "system/win32/Handles.h"

namespace tolvane::win32 {
namespace {

constexpr wchar_t kKey[] = L"Software\\TolvaneTest\\Platform";
const std::wstring kBase = std::wstring(kKey) + L"\\";

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, (kBase + L"Sub").c_str());
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, kKey);
        HKEY key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        key_.reset(key);
    }
    void TearDown() override {
        key_.reset();
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, (kBase + L"Sub").c_str());
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, kKey);
    }
    void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExW(key_.get(), name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    DWORD TypeOf(const wchar_t* name) {
        DWORD type = 0;
        return RegQueryValueExW(key_.get(), name, nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS
                   ? type
                   : REG_NONE;
    }

    Win32RegistryStore store_;
    Reg reg_{store_};
    UniqueRegKey key_;
};

TEST_F(RegistryTest, ReadsEachTypeAsText) {
    const DWORD four = 4;
    SetRaw(L"Dword", REG_DWORD, &four, sizeof(four));
    SetRaw(L"Text", REG_SZ, L"abc", 8);
    SetRaw(L"Empty", REG_SZ, L"", 2);
    SetRaw(L"Expand", REG_EXPAND_SZ, L"%x%", 8);
    const BYTE bytes[] = {1, 2};
    SetRaw(L"Binary", REG_BINARY, bytes, sizeof(bytes));
    SetRaw(L"Multi", REG_MULTI_SZ, L"a\0b\0", 10);

    EXPECT_EQ(reg_.ReadText(kHklm, kBase + L"Dword"), L"4");
    EXPECT_EQ(reg_.ReadText(kHklm, kBase + L"Text"), L"abc");
    EXPECT_EQ(reg_.ReadText(kHklm, kBase + L"Empty"), L"");
    EXPECT_EQ(reg_.ReadText(kHklm, kBase + L"Expand"), L"%x%");
    EXPECT_FALSE(reg_.ReadText(kHklm, kBase + L"Binary"));
    EXPECT_FALSE(reg_.ReadText(kHklm, kBase + L"Multi"));
    EXPECT_FALSE(reg_.ReadText(kHklm, kBase + L"Missing"));
    EXPECT_FALSE(reg_.ReadText(kHklm, kBase + L"NoKey\\Value"));

    EXPECT_TRUE(reg_.ValueExists(kHklm, kBase + L"Dword"));
    EXPECT_TRUE(reg_.ValueExists(kHklm, kBase + L"Binary"));
    EXPECT_TRUE(reg_.ValueExists(kHklm, kBase + L"Multi"));
    EXPECT_FALSE(reg_.ValueExists(kHklm, kBase + L"Missing"));
    EXPECT_FALSE(reg_.ValueExists(kHklm, kBase + L"NoKey\\Value"));
}

TEST_F(RegistryTest, WritesEachType) {
    EXPECT_FALSE(reg_.WriteValue(kHklm, kBase + L"Dword", L"4", ValueType::Dword));
    EXPECT_FALSE(reg_.WriteValue(kHklm, kBase + L"Text", L"N", ValueType::String));
    EXPECT_FALSE(reg_.WriteValue(kHklm, kBase + L"Expand", L"%x%", ValueType::ExpandString));
    EXPECT_FALSE(reg_.WriteValue(kHklm, kBase + L"Binary", L"1", ValueType::Binary));
    EXPECT_FALSE(reg_.WriteValue(kHklm, kBase + L"Sub\\Created", L"7", ValueType::Dword));

    EXPECT_EQ(TypeOf(L"Dword"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(TypeOf(L"Text"), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(TypeOf(L"Expand"), static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(TypeOf(L"Binary"), static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(reg_.ReadText(kHklm, kBase + L"Dword"), L"4");
    EXPECT_EQ(reg_.ReadText(kHklm, kBase + L"Text"), L"N");
    EXPECT_EQ(reg_.ReadText(kHklm, kBase + L"Sub\\Created"), L"7");
}

TEST_F(RegistryTest, NamesTheSubkeysAndTheValuesOfAKey) {
    EXPECT_FALSE(reg_.WriteValue(kHklm, kBase + L"Sub\\Bind", L"1", ValueType::Dword));
    EXPECT_FALSE(reg_.WriteValue(kHklm, kBase + L"Value", L"1", ValueType::Dword));
    EXPECT_EQ(reg_.SubkeyNames(kHklm, kKey), std::vector<std::wstring>{L"Sub"});
    EXPECT_EQ(reg_.ValueNames(kHklm, kKey), std::vector<std::wstring>{L"Value"});
    EXPECT_TRUE(reg_.SubkeyNames(kHklm, kBase + L"Missing").empty());
}

TEST_F(RegistryTest, ReportsARefusedWrite) {
    const auto failure =
        reg_.WriteValue(kHklm, kBase + L"Dword", L"not a number", ValueType::Dword);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->fullPath, L"HKLM\\" + kBase + L"Dword");
}

TEST_F(RegistryTest, RemovesValuesAndKeysNamedWithATrailingBackslash) {
    EXPECT_FALSE(reg_.WriteValue(kHklm, kBase + L"Sub\\Bind", L"1", ValueType::String));
    EXPECT_FALSE(reg_.WriteValue(kHklm, kBase + L"Gone", L"1", ValueType::Dword));

    EXPECT_FALSE(reg_.Remove(kHklm, kBase + L"Gone"));
    EXPECT_FALSE(reg_.Remove(kHklm, kBase + L"Gone"));  // missing: ignored
    EXPECT_FALSE(reg_.Remove(kHklm, kBase + L"NoKey\\Gone"));
    EXPECT_FALSE(reg_.ValueExists(kHklm, kBase + L"Gone"));

    EXPECT_TRUE(reg_.ValueExists(kHklm, kBase + L"Sub\\Bind"));
    EXPECT_FALSE(reg_.Remove(kHklm, kBase + L"Sub\\"));
    EXPECT_FALSE(reg_.ValueExists(kHklm, kBase + L"Sub\\Bind"));
    HKEY sub = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kBase + L"Sub").c_str(), 0, KEY_READ, &sub),
              ERROR_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace tolvane::win32
