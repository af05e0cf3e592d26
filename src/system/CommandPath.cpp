#include "system/CommandPath.h"

namespace tolvane {
namespace {

std::wstring FirstWord(const std::wstring& commandLine) {
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const auto end = commandLine.find(L'"', 1);
        return commandLine.substr(1, end == std::wstring::npos ? std::wstring::npos : end - 1);
    }
    return commandLine.substr(0, commandLine.find_first_of(L" \t"));
}

}  // namespace

ProgramLookup FindProgram(const std::wstring& commandLine, const std::vector<std::wstring>& folders,
                          const std::function<bool(const std::wstring&)>& isFile) {
    const std::wstring name = FirstWord(commandLine);
    if (name.find_first_of(L"\\/:") != std::wstring::npos) {
        return {ProgramLookup::Kind::AsGiven, {}};
    }
    if (name.empty()) {
        return {ProgramLookup::Kind::NotFound, {}};
    }
    std::vector<std::wstring> fileNames;
    if (name.find(L'.') != std::wstring::npos) {
        fileNames = {name};
    } else {
        fileNames = {name + L".exe", name + L".com"};
    }
    for (const std::wstring& folder : folders) {
        if (folder.empty()) {
            continue;
        }
        for (const std::wstring& fileName : fileNames) {
            std::wstring candidate = folder + L"\\" + fileName;
            if (isFile(candidate)) {
                return {ProgramLookup::Kind::Found, std::move(candidate)};
            }
        }
    }
    return {ProgramLookup::Kind::NotFound, {}};
}

}  // namespace tolvane
