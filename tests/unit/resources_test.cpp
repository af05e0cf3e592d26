#include <gtest/gtest.h>

#include "fakes/RegScript.h"
#include "registry/Reg.h"

namespace tolvane::testing {
namespace {

using namespace std::string_literals;

TEST(RegistryScripts, HoldExactlyWhatTheEditorMustGet) {
    struct Case {
        const char* file;
        std::size_t size;
        std::string start;
        std::string end;
        const wchar_t* key;
        const wchar_t* name;
        std::vector<std::wstring> strings;
    };
    const Case cases[] = {
        // The blank at the end of the first line is part of the script.
        {"Bind.reg",
         204,
         "Windows Registry Editor Version 5.00 \r\n\r\n[",
         "00,00,00,00\r\n",
         L"SYSTEM\\CurrentControlSet\\Services\\Rpc\\Linkage",
         L"Bind",
         {L"1"}},
        {"DCOM.reg",
         680,
         "\xff\xfeW\0i\0n\0"s,
         "0\0"
         "0\0"s,
         L"SOFTWARE\\Microsoft\\Rpc",
         L"DCOM Protocols",
         {L"ncacn_spx", L"ncacn_nb_nb", L"ncacn_nb_ipx"}},
        {"DCOM2.reg",
         848,
         "\xff\xfeW\0i\0n\0"s,
         "0\0"
         "0\0"
         "\0\0"s,
         L"SOFTWARE\\Microsoft\\Rpc",
         L"DCOM Protocols",
         {L"ncacn_ip_tcp", L"ncacn_spx", L"ncacn_nb_nb", L"ncacn_nb_ipx"}},
    };
    for (const Case& c : cases) {
        const std::string bytes = ResourceFile(c.file);
        EXPECT_EQ(bytes.size(), c.size) << c.file;
        EXPECT_TRUE(bytes.starts_with(c.start)) << c.file;
        EXPECT_TRUE(bytes.ends_with(c.end)) << c.file;
        const std::vector<ScriptValue> values = ParseRegScript(bytes);
        ASSERT_EQ(values.size(), 1u) << c.file;
        EXPECT_EQ(values[0].key, c.key) << c.file;
        EXPECT_EQ(values[0].name, c.name) << c.file;
        EXPECT_EQ(MultiStrings(values[0].value), c.strings) << c.file;
        // Every terminator too, byte for byte.
        EXPECT_EQ(values[0].value, MultiStringValue(c.strings)) << c.file;
    }
    EXPECT_EQ(ResourceFile("Bind.reg").find('\0'), std::string::npos);
}

}  // namespace
}  // namespace tolvane::testing
