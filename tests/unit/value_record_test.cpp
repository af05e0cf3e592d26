#include <gtest/gtest.h>

#include "fakes/FakeRegistry.h"
#include "registry/ValueRecord.h"

namespace tolvane::testing {
namespace {

constexpr wchar_t kKey[] = L"SOFTWARE\\Microsoft\\Ole";
constexpr wchar_t kValue[] = L"SOFTWARE\\Microsoft\\Ole\\EnableDCOM";
constexpr wchar_t kRecord[] = L"SOFTWARE\\Microsoft\\EnableDCOMKX135";

TEST(ValueRecord, UndoBringsBackExactlyWhatWasThere) {
    struct Case {
        const char* what;
        std::optional<RawValue> original;  // nothing: the value is absent
        bool keyExists;
    };
    const Case cases[] = {
        {"text", RawValue{RawSz, {'Y', 0, 0, 0}}, true},
        {"number", RawValue{RawDword, {1, 0, 0, 0}}, true},
        {"list", MultiStringValue({L"ncacn_ip_tcp", L"ncacn_spx"}), true},
        {"REG_NONE empty", RawValue{RawNone, {}}, true},
        {"REG_NONE like the key mark", RawValue{RawNone, {1}}, true},
        {"REG_NONE like the kept prefix", RawValue{RawNone, {0, 5}}, true},
        {"absent value", std::nullopt, true},
        {"absent key", std::nullopt, false},
    };
    for (const Case& c : cases) {
        FakeRegistry registry;
        Reg reg(registry);
        registry.SetString(L"SOFTWARE\\Microsoft\\Other", L"x");  // the record's own key
        if (c.keyExists) {
            registry.keys[{kHklm, FakeRegistry::Fold(kKey)}];
        }
        if (c.original) {
            registry.SetRaw(kValue, *c.original);
        }
        ASSERT_FALSE(RecordValue(reg, kHklm, kValue, kRecord)) << c.what;
        ASSERT_FALSE(reg.WriteValue(kHklm, kValue, L"N", ValueType::String)) << c.what;
        EXPECT_TRUE(HasRecord(reg, kHklm, kRecord)) << c.what;
        EXPECT_FALSE(RestoreRecord(reg, kHklm, kValue, kRecord)) << c.what;
        EXPECT_EQ(registry.Get(kValue), c.original) << c.what;
        EXPECT_EQ(registry.KeyExists(kKey), c.keyExists) << c.what;
        EXPECT_FALSE(HasRecord(reg, kHklm, kRecord)) << c.what;
    }
}

TEST(ValueRecord, ALaterRecordReplacesAnOlderOne) {
    FakeRegistry registry;
    Reg reg(registry);
    registry.SetString(kValue, L"Y");
    ASSERT_FALSE(RecordValue(reg, kHklm, kValue, kRecord));
    registry.SetString(kValue, L"N");
    ASSERT_FALSE(RecordValue(reg, kHklm, kValue, kRecord));
    EXPECT_EQ(registry.Get(kRecord), registry.Get(kValue));
}

TEST(ValueRecord, AKeyThatWasMissingStaysWhileItHoldsSomethingElse) {
    FakeRegistry registry;
    Reg reg(registry);
    ASSERT_FALSE(RecordValue(reg, kHklm, kValue, kRecord));
    ASSERT_FALSE(reg.WriteValue(kHklm, kValue, L"N", ValueType::String));
    registry.SetString(std::wstring(kKey) + L"\\Added", L"by someone else");
    EXPECT_FALSE(RestoreRecord(reg, kHklm, kValue, kRecord));
    EXPECT_FALSE(registry.Get(kValue));
    EXPECT_TRUE(registry.Get(std::wstring(kKey) + L"\\Added"));
}

TEST(ValueRecord, AnUnusableOrRefusedRestoreIsReportedAndTheRecordKept) {
    FakeRegistry registry;
    Reg reg(registry);
    registry.SetString(kValue, L"N");
    registry.SetRaw(kRecord, {RawNone, {7}});  // not a mark this program writes
    auto failure = RestoreRecord(reg, kHklm, kValue, kRecord);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->code, kRegInvalidData);
    EXPECT_TRUE(HasRecord(reg, kHklm, kRecord));

    registry.SetString(kRecord, L"Y");
    registry.DenyWrites(kKey);
    failure = RestoreRecord(reg, kHklm, kValue, kRecord);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->fullPath, std::wstring(L"HKLM\\") + kValue);
    EXPECT_TRUE(HasRecord(reg, kHklm, kRecord));
    // Without a record there is nothing to do.
    EXPECT_FALSE(RestoreRecord(reg, kHklm, kValue, L"SOFTWARE\\Microsoft\\None"));
}

// Every key a write created goes with the undo, as far up as none was there, and no further.
TEST(ValueRecord, KeysMissingAboveTheValueGoWithTheUndo) {
    constexpr wchar_t kDeep[] = L"SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters\\Smb";
    constexpr wchar_t kDeepRecord[] = L"SYSTEM\\CurrentControlSet\\Services\\Other\\SmbKX";
    FakeRegistry registry;
    Reg reg(registry);
    registry.SetDword(L"SYSTEM\\CurrentControlSet\\Services\\Other\\Start", 3);
    const auto before = registry.keys;
    ASSERT_FALSE(RecordValue(reg, kHklm, kDeep, kDeepRecord));
    EXPECT_EQ(registry.Get(kDeepRecord), (RawValue{RawNone, {2}}));
    ASSERT_FALSE(reg.WriteValue(kHklm, kDeep, L"0", ValueType::Dword));
    EXPECT_FALSE(RestoreRecord(reg, kHklm, kDeep, kDeepRecord));
    EXPECT_EQ(registry.keys, before);
    // A mark cannot claim more keys than the path has.
    registry.SetRaw(kDeepRecord, {RawNone, {6}});
    ASSERT_FALSE(reg.WriteValue(kHklm, kDeep, L"0", ValueType::Dword));
    EXPECT_TRUE(RestoreRecord(reg, kHklm, kDeep, kDeepRecord));
}

// Two values recorded one after the other in a key the first one's write created: whichever is
// brought back last takes the key with it.
TEST(ValueRecord, AKeyCreatedForOneValueGoesWithTheLastOfItsValues) {
    constexpr wchar_t kNetwork[] =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network";
    const std::wstring files = std::wstring(kNetwork) + L"\\NoFileSharing";
    const std::wstring printers = std::wstring(kNetwork) + L"\\NoPrintSharing";
    for (bool filesFirst : {true, false}) {
        FakeRegistry registry;
        Reg reg(registry);
        registry.SetDword(L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\X", 1);
        const auto before = registry.keys;
        for (const std::wstring& value : {files, printers}) {
            ASSERT_FALSE(RecordValue(reg, kHklm, value, value + L"KX"));
            ASSERT_FALSE(reg.WriteValue(kHklm, value, L"1", ValueType::Dword));
        }
        for (const std::wstring& value :
             filesFirst ? std::vector{files, printers} : std::vector{printers, files}) {
            EXPECT_FALSE(RestoreRecord(reg, kHklm, value, value + L"KX"));
        }
        EXPECT_EQ(registry.keys, before) << filesFirst;
    }
}

}  // namespace
}  // namespace tolvane::testing
