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
            registry.keys[{Hklm, FakeRegistry::Fold(kKey)}];
        }
        if (c.original) {
            registry.SetRaw(kValue, *c.original);
        }
        ASSERT_FALSE(RecordValue(reg, Hklm, kValue, kRecord)) << c.what;
        ASSERT_FALSE(reg.WriteValue(Hklm, kValue, L"N", RegSz)) << c.what;
        EXPECT_TRUE(HasRecord(reg, Hklm, kRecord)) << c.what;
        EXPECT_FALSE(RestoreRecord(reg, Hklm, kValue, kRecord)) << c.what;
        EXPECT_EQ(registry.Get(kValue), c.original) << c.what;
        EXPECT_EQ(registry.KeyExists(kKey), c.keyExists) << c.what;
        EXPECT_FALSE(HasRecord(reg, Hklm, kRecord)) << c.what;
    }
}

TEST(ValueRecord, ALaterRecordReplacesAnOlderOne) {
    FakeRegistry registry;
    Reg reg(registry);
    registry.SetString(kValue, L"Y");
    ASSERT_FALSE(RecordValue(reg, Hklm, kValue, kRecord));
    registry.SetString(kValue, L"N");
    ASSERT_FALSE(RecordValue(reg, Hklm, kValue, kRecord));
    EXPECT_EQ(registry.Get(kRecord), registry.Get(kValue));
}

TEST(ValueRecord, AKeyThatWasMissingStaysWhileItHoldsSomethingElse) {
    FakeRegistry registry;
    Reg reg(registry);
    ASSERT_FALSE(RecordValue(reg, Hklm, kValue, kRecord));
    ASSERT_FALSE(reg.WriteValue(Hklm, kValue, L"N", RegSz));
    registry.SetString(std::wstring(kKey) + L"\\Added", L"by someone else");
    EXPECT_FALSE(RestoreRecord(reg, Hklm, kValue, kRecord));
    EXPECT_FALSE(registry.Get(kValue));
    EXPECT_TRUE(registry.Get(std::wstring(kKey) + L"\\Added"));
}

TEST(ValueRecord, AnUnusableOrRefusedRestoreIsReportedAndTheRecordKept) {
    FakeRegistry registry;
    Reg reg(registry);
    registry.SetString(kValue, L"N");
    registry.SetRaw(kRecord, {RawNone, {7}});  // not a mark this program writes
    auto failure = RestoreRecord(reg, Hklm, kValue, kRecord);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->code, kRegInvalidData);
    EXPECT_TRUE(HasRecord(reg, Hklm, kRecord));

    registry.SetString(kRecord, L"Y");
    registry.DenyWrites(kKey);
    failure = RestoreRecord(reg, Hklm, kValue, kRecord);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->fullPath, std::wstring(L"HKLM\\") + kValue);
    EXPECT_TRUE(HasRecord(reg, Hklm, kRecord));
    // Without a record there is nothing to do.
    EXPECT_FALSE(RestoreRecord(reg, Hklm, kValue, L"SOFTWARE\\Microsoft\\None"));
}

}  // namespace
}  // namespace tolvane::testing
