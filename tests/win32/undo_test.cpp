// Exact undo on the real registry, read back with the registry functions themselves; and the
// guest account found by its identifier.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "registry/SettingEngine.h"
#include "registry/win32/Win32RegistryStore.h"
#include "system/win32/Handles.h"
#include "system/win32/Win32LocalAccounts.h"

namespace tolvane::win32 {
namespace {

constexpr wchar_t kBase[] = L"Software\\TolvaneTest\\Undo";

// A value as the registry holds it: its type and bytes, or nothing; and whether its key exists.
struct Stored {
    bool keyExists;
    std::optional<DWORD> type;
    std::vector<BYTE> bytes;
    bool operator==(const Stored&) const = default;
};

Stored Read(const std::wstring& key, const wchar_t* name) {
    UniqueRegKey opened;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE, opened.put()) !=
        ERROR_SUCCESS) {
        return {false, std::nullopt, {}};
    }
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(opened.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        return {true, std::nullopt, {}};
    }
    std::vector<BYTE> bytes(size);
    RegQueryValueExW(opened.get(), name, nullptr, &type, bytes.data(), &size);
    return {true, type, bytes};
}

void Write(const std::wstring& key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    UniqueRegKey created;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, created.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(created.get(), name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
}

void DeleteTree(const std::wstring& key) {
    for (const wchar_t* sub : {L"\\Deep\\Er", L"\\Deep", L""}) {
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, (key + sub).c_str());
    }
}

TEST(UndoPlatform, TickThenClearLeavesEachValueAsItWasTypesAndBytesIncluded) {
    const std::wstring base = kBase;
    struct Case {
        const char* what;
        std::wstring key;
        UndoRule rule;
        DWORD type;  // REG_NONE: no value at all
        std::vector<BYTE> bytes;
    };
    const Case cases[] = {
        {"number", base, kDeleteOnUndo, REG_DWORD, {20, 0, 0, 0}},
        {"the target as text", base, WriteOnUndo(L"1"), REG_SZ, {'0', 0, 0, 0}},
        {"absent value", base, kDeleteOnUndo, REG_NONE, {}},
        {"absent key and the key above it", base + L"\\Deep\\Er", kDeleteOnUndo, REG_NONE, {}},
        {"start type", base, kRestoreOnUndo, REG_DWORD, {2, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        DeleteTree(base);
        Write(base, L"Other", REG_SZ, L"x", 4);
        if (c.type != REG_NONE) {
            Write(c.key, L"Value", c.type, c.bytes.data(), static_cast<DWORD>(c.bytes.size()));
        }
        const Stored before = Read(c.key, L"Value");
        const Stored deepBefore = Read(base + L"\\Deep", L"Value");
        const std::wstring path = c.key + L"\\Value";
        const Setting row{kHklm, path.c_str(),
                          c.rule.kind == UndoRule::Kind::RestoreBackup ? L"4" : L"0",
                          ValueType::Dword, c.rule};

        Win32RegistryStore store;
        Reg reg(store);
        EXPECT_FALSE(ApplyBox(reg, {&row, 1}, true).failure) << c.what;
        EXPECT_TRUE(InForce(reg, row)) << c.what;
        EXPECT_TRUE(Read(c.key, L"ValueKX").type) << c.what;
        const BoxResult clear = ApplyBox(reg, {&row, 1}, false);
        EXPECT_FALSE(clear.failure) << c.what;
        EXPECT_TRUE(clear.unusable.empty()) << c.what;

        EXPECT_EQ(Read(c.key, L"Value"), before) << c.what;
        EXPECT_EQ(Read(base + L"\\Deep", L"Value"), deepBefore) << c.what;
        EXPECT_FALSE(Read(c.key, L"ValueKX").type) << c.what;
    }
    DeleteTree(base);
}

// Wine's NetUserGetInfo knows only the calling user; the account domain and its names it knows.
TEST(LocalAccountsPlatform, FindsTheGuestByItsIdentifier) {
    Win32LocalAccounts accounts;
    const std::optional<std::wstring> guest = accounts.NameOf(kGuestRid);
    ASSERT_TRUE(guest);
    EXPECT_EQ(*guest, L"Guest");
    EXPECT_NE(accounts.NameOf(500), guest);
}

}  // namespace
}  // namespace tolvane::win32
