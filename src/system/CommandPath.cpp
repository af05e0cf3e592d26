#include "system/CommandPath.h"

#include "system/AsciiCase.h"

namespace tolvane {
namespace {

using IsFile = std::function<bool(const std::wstring&)>;

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool HasPath(const std::wstring& name) {
    return name.find_first_of(L"\\/:") != std::wstring::npos;
}

// A drive letter, colon and separator, or a network path.
bool IsFullPath(const std::wstring& text) {
    if (text.size() >= 2 && IsSeparator(text[0]) && IsSeparator(text[1])) {
        return true;
    }
    return text.size() >= 3 && AsciiLower(text[0]) >= L'a' && AsciiLower(text[0]) <= L'z' &&
           text[1] == L':' && IsSeparator(text[2]);
}

bool EndsInProgramExtension(const std::wstring& text, std::size_t end) {
    if (end < 4) {
        return false;
    }
    const std::wstring extension = AsciiLowered(text.substr(end - 4, 4));
    return extension == L".exe" || extension == L".com";
}

std::optional<std::wstring> FoundIfFile(std::wstring path, const IsFile& isFile) {
    if (!isFile(path)) {
        return std::nullopt;
    }
    return path;
}

// Shortest first, as the system reads an unquoted path, but never a name the caller did not write.
std::optional<std::wstring> FindUnquotedPath(const std::wstring& commandLine,
                                             const IsFile& isFile) {
    for (std::size_t end = 1; end <= commandLine.size(); ++end) {
        if ((end == commandLine.size() || IsBlank(commandLine[end])) &&
            EndsInProgramExtension(commandLine, end)) {
            std::wstring candidate = commandLine.substr(0, end);
            if (isFile(candidate)) {
                return candidate;
            }
        }
    }
    return std::nullopt;
}

// A name written as one word: a full path is taken as it is; a bare name only from the folders.
std::optional<std::wstring> FindNamed(const std::wstring& name,
                                      const std::vector<std::wstring>& folders,
                                      const IsFile& isFile) {
    if (IsFullPath(name)) {
        return FoundIfFile(name, isFile);
    }
    if (name.empty() || HasPath(name)) {
        return std::nullopt;
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
            if (auto found = FoundIfFile(folder + L"\\" + fileName, isFile)) {
                return found;
            }
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::wstring> FindProgram(const std::wstring& commandLine,
                                        const std::vector<std::wstring>& folders,
                                        const IsFile& isFile) {
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const auto end = commandLine.find(L'"', 1);
        // An unclosed quote leaves unsure where the program ends.
        if (end == std::wstring::npos) {
            return std::nullopt;
        }
        return FindNamed(commandLine.substr(1, end - 1), folders, isFile);
    }
    if (IsFullPath(commandLine)) {
        return FindUnquotedPath(commandLine, isFile);
    }
    return FindNamed(commandLine.substr(0, commandLine.find_first_of(L" \t")), folders, isFile);
}

}  // namespace tolvane
