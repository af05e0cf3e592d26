// A carried file that a reader may still hold from an earlier use: one that already holds the
// resource's bytes is left to that reader, any other is replaced or reported. The help file.
#include <windows.h>

#include <gtest/gtest.h>

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
    ASSERT_EQ(written, bytes.size());
}

// As a help viewer holds its file: reading, and letting others only read.
UniqueHandle OpenAsReader(const std::wstring& path) {
    return UniqueHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

class ResourceFile : public ::testing::Test {
  protected:
    void TearDown() override { DeleteFileW(path_.c_str()); }

    unsigned long Extract() {
        return system_.ExtractResourceUnlessIdentical(path_, L"REG", IDR_DCOM2_REG);
    }

    Win32System system_;
    const std::string resource_ = Bytes(system_, SourceOf(L"DCOM2.reg"));
    const std::wstring path_ = system_.ProgramFolder() + L"\\unless-identical.reg";
};

TEST_F(ResourceFile, AnIdenticalFileHeldByAReaderIsLeftToIt) {
    WriteBytes(path_, resource_);
    const UniqueHandle reader = OpenAsReader(path_);
    ASSERT_TRUE(reader);
    FILETIME before{};
    ASSERT_TRUE(GetFileTime(reader.get(), nullptr, nullptr, &before));

    EXPECT_EQ(Extract(), 0u);

    FILETIME after{};
    ASSERT_TRUE(GetFileTime(reader.get(), nullptr, nullptr, &after));
    EXPECT_EQ(CompareFileTime(&before, &after), 0);
    EXPECT_EQ(Bytes(system_, path_), resource_);
}

TEST_F(ResourceFile, ADifferentFileHeldByAReaderFailsAndStays) {
    ASSERT_GT(resource_.size(), 1u);
    std::string other = resource_;
    other.back() ^= 1;
    WriteBytes(path_, other);
    {
        const UniqueHandle reader = OpenAsReader(path_);
        ASSERT_TRUE(reader);
        EXPECT_EQ(Extract(), static_cast<unsigned long>(ERROR_SHARING_VIOLATION));
    }
    EXPECT_EQ(Bytes(system_, path_), other);
}

TEST_F(ResourceFile, AShorterOrLongerFileIsReplacedAndNotHeld) {
    for (const std::string& other :
         {resource_.substr(0, resource_.size() - 1), resource_ + "x", std::string()}) {
        WriteBytes(path_, other);
        EXPECT_EQ(Extract(), 0u) << other.size();
        EXPECT_EQ(Bytes(system_, path_), resource_) << other.size();
    }
    // Nothing stays held: the reader that opens the file next may do as it likes with it.
    const UniqueHandle writer(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(writer);
}

TEST_F(ResourceFile, AMissingFileIsWrittenAndAMissingResourceReported) {
    ASSERT_FALSE(FileExists(system_, path_));
    EXPECT_EQ(Extract(), 0u);
    EXPECT_EQ(Bytes(system_, path_), resource_);

    const std::wstring none = system_.ProgramFolder() + L"\\none.chm";
    EXPECT_NE(system_.ExtractResourceUnlessIdentical(none, L"CHM", 999), 0u);
    EXPECT_FALSE(FileExists(system_, none));
}

// The help file as the help command writes it: the resource in US English, byte for byte, also
// over the copy a help viewer still holds from an earlier use.
TEST(HelpFileResource, ComesOutExactlyAsMadeAndStaysWhileAViewerHoldsIt) {
    Win32System system;
    const std::string made = Bytes(system, SourceOf(L"Aide.chm"));
    ASSERT_EQ(made.substr(0, 4), "ITSF");
    const std::wstring path = system.ProgramFolder() + L"\\Aide.chm";
    DeleteFileW(path.c_str());
    EXPECT_EQ(system.ExtractResourceUnlessIdentical(path, L"CHM", IDR_HELP_CHM), 0u);
    EXPECT_EQ(Bytes(system, path), made);
    {
        const UniqueHandle viewer = OpenAsReader(path);
        ASSERT_TRUE(viewer);
        EXPECT_EQ(system.ExtractResourceUnlessIdentical(path, L"CHM", IDR_HELP_CHM), 0u);
    }
    EXPECT_EQ(Bytes(system, path), made);
    EXPECT_TRUE(system.RemoveFile(path));
}

}  // namespace
}  // namespace tolvane::win32
