// The files carried as resources, written beside the program: byte for byte over whatever was
// there, held against other writers until released, and the help file left to a viewer that
// holds the same bytes already.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ResourceFiles.h"
#include "resources/ResourceIds.h"
#include "system/SystemInfo.h"
#include "system/win32/Handles.h"
#include "system/win32/Win32System.h"

namespace tolvane::win32 {
namespace {

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

UniqueHandle Open(const std::wstring& path, DWORD access, DWORD share) {
    return UniqueHandle(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

struct RegistryScript {
    const wchar_t* name;
    std::uint16_t number;
};
constexpr RegistryScript kScripts[] = {{L"Bind.reg", IDR_BIND_REG},
                                       {L"DCOM.reg", IDR_CLOSE_DCOM_REG},
                                       {L"DCOM2.reg", IDR_OPEN_DCOM_REG},
                                       {L"Aide.chm", IDR_HELP_CHM}};

TEST(ExtractResource, WritesExactlyTheResourceOrReportsWhatStoodInTheWay) {
    enum class There { Nothing, Longer, Shorter, Same, Other, Folder };
    enum class Held { No, ByReader, Unshared };
    struct Case {
        const char* what;
        There there;
        Held held;
        bool unlessIdentical;  // the help file's way
        bool written;          // false: refused, and what was there stays
    };
    const Case cases[] = {
        {"over a longer file", There::Longer, Held::No, false, true},
        {"over a shorter file", There::Shorter, Held::No, false, true},
        {"over a file held elsewhere", There::Longer, Held::Unshared, false, false},
        {"onto a folder", There::Folder, Held::No, false, false},
        {"help file: nothing there", There::Nothing, Held::No, true, true},
        {"help file: a longer one", There::Longer, Held::No, true, true},
        {"help file: the same, held by a viewer", There::Same, Held::ByReader, true, true},
        {"help file: another, held by a viewer", There::Other, Held::ByReader, true, false},
    };
    Win32System system;
    for (const RegistryScript& script : kScripts) {
        const std::string resource = Bytes(system, SourceOf(script.name));
        const std::string type = script.number == IDR_HELP_CHM ? "CHM" : "REG";
        ASSERT_GT(resource.size(), 1u) << script.name;
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + ", " + std::string(type));
            const std::wstring path = system.ProgramFolder() + L"\\extracted-" + script.name;
            std::string before;
            switch (c.there) {
                case There::Nothing:
                    break;
                case There::Longer:
                    before = resource + std::string(4096, 'x');
                    break;
                case There::Shorter:
                    before = resource.substr(0, resource.size() / 2);
                    break;
                case There::Same:
                    before = resource;
                    break;
                case There::Other:
                    before = resource;
                    before.back() ^= 1;
                    break;
                case There::Folder:
                    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
                    break;
            }
            if (c.there != There::Nothing && c.there != There::Folder) {
                WriteBytes(path, before);
            }
            UniqueHandle holder;
            if (c.held != Held::No) {
                holder =
                    Open(path, GENERIC_READ, c.held == Held::ByReader ? FILE_SHARE_READ : DWORD{0});
                ASSERT_TRUE(holder);
            }
            const std::wstring wideType(type.begin(), type.end());
            unsigned long error = 0;
            if (c.unlessIdentical) {
                error = system.ExtractResourceUnlessIdentical(path, wideType, script.number);
            } else {
                Extraction extraction = system.ExtractResource(path, wideType, script.number);
                error = extraction.error;
                if (extraction.file) {
                    // Held until released: readers that share reading only may come (as a
                    // registry editor does), writers and deleters may not.
                    EXPECT_TRUE(Open(path, GENERIC_READ, FILE_SHARE_READ));
                    EXPECT_FALSE(Open(path, GENERIC_WRITE, 7));
                    EXPECT_FALSE(DeleteFileW(path.c_str()));
                }
            }
            holder.reset();
            EXPECT_EQ(error == 0, c.written) << error;
            if (c.there == There::Folder) {
                EXPECT_TRUE(RemoveDirectoryW(path.c_str()));
                continue;
            }
            EXPECT_EQ(Bytes(system, path), c.written ? resource : before);
            EXPECT_TRUE(system.RemoveFile(path));
        }
    }
    const std::wstring none = system.ProgramFolder() + L"\\none.reg";
    EXPECT_NE(system.ExtractResource(none, L"REG", 999).error, 0u);
    EXPECT_NE(system.ExtractResourceUnlessIdentical(none, L"REG", 999), 0u);
    EXPECT_FALSE(FileExists(system, none));
}

}  // namespace
}  // namespace tolvane::win32
