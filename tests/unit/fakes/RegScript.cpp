#include "fakes/RegScript.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace tolvane::testing {
namespace {

std::wstring Decode(const std::string& bytes) {
    std::wstring text;
    if (bytes.size() >= 2 && bytes[0] == '\xff' && bytes[1] == '\xfe') {
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                                (static_cast<unsigned char>(bytes[i + 1]) << 8)));
        }
    } else {
        for (char c : bytes) {
            text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
        }
    }
    return text;
}

// Logical lines: a line ending in a backslash goes on, after its blanks, on the next one.
std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::wstring pending;
    std::wistringstream in(text);
    for (std::wstring line; std::getline(in, line);) {
        while (!line.empty() && (line.back() == L'\r' || line.back() == L'\0')) {
            line.pop_back();
        }
        if (!pending.empty()) {
            line.erase(0, line.find_first_not_of(L' '));
        }
        pending += line;
        if (!pending.empty() && pending.back() == L'\\') {
            pending.pop_back();
            continue;
        }
        lines.push_back(std::move(pending));
        pending.clear();
    }
    if (!pending.empty()) {
        lines.push_back(pending);
    }
    return lines;
}

}  // namespace

std::vector<ScriptValue> ParseRegScript(const std::string& bytes) {
    constexpr std::wstring_view kRoot = L"[HKEY_LOCAL_MACHINE\\";
    constexpr std::wstring_view kMultiString = L"=hex(7):";
    std::vector<ScriptValue> values;
    std::wstring key;
    for (const std::wstring& line : Lines(Decode(bytes))) {
        if (line.starts_with(kRoot) && line.back() == L']') {
            key = line.substr(kRoot.size(), line.size() - kRoot.size() - 1);
            continue;
        }
        const auto nameEnd = line.find(L'"', 1);
        if (!line.starts_with(L'"') || nameEnd == std::wstring::npos ||
            line.compare(nameEnd + 1, kMultiString.size(), kMultiString) != 0) {
            continue;
        }
        ScriptValue value{key, line.substr(1, nameEnd - 1), {RawMultiSz, {}}};
        std::wistringstream hex(line.substr(nameEnd + 1 + kMultiString.size()));
        for (std::wstring byte; std::getline(hex, byte, L',');) {
            value.value.data.push_back(static_cast<std::uint8_t>(std::stoul(byte, nullptr, 16)));
        }
        values.push_back(std::move(value));
    }
    return values;
}

std::string ResourceFile(const char* name) {
    std::ifstream file(std::string(TOLVANE_RESOURCES_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace tolvane::testing
