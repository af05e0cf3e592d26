#include "catalogue/AccountOutput.h"

#include <array>

namespace tolvane {
namespace {

// Code page 1252 differs from Latin-1 only in 0x80..0x9F.
constexpr std::array<wchar_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::wstring DecodeCp1252(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        text.push_back(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : static_cast<wchar_t>(b));
    }
    return text;
}

}  // namespace

std::wstring FindValueInText(std::string_view bytes, const std::wstring& key, bool allOccurrences,
                             const std::wstring& separator, wchar_t lineEnd, wchar_t otherLineEnd) {
    const std::wstring text = DecodeCp1252(bytes);
    std::size_t pos = 0;
    std::wstring window;
    std::wstring result;
    // Reads on until the last characters read spell the target.
    auto slideTo = [&](const std::wstring& target) {
        while (window != target) {
            if (pos >= text.size()) {
                return false;
            }
            window.push_back(text[pos++]);
            if (window.size() > target.size()) {
                window.erase(0, window.size() - target.size());
            }
        }
        return true;
    };
    while (pos < text.size()) {
        if (!slideTo(key)) {
            break;
        }
        window.clear();
        if (!separator.empty()) {
            if (!slideTo(separator)) {
                break;
            }
            window.clear();
        }
        bool lineEnded = false;
        while (pos < text.size()) {
            const wchar_t c = text[pos++];
            if (c == lineEnd || c == otherLineEnd) {
                lineEnded = true;
                break;
            }
            window.push_back(c);
        }
        // A value cut by the end of the file may be half written: drop it.
        if (!lineEnded) {
            break;
        }
        if (!result.empty()) {
            result += L"\r\n";
        }
        result += window;
        if (!allOccurrences) {
            break;
        }
    }
    return result;
}

AccountState AccountStateOf(const std::wstring& value) {
    const auto start = value.find_first_not_of(L' ');
    const std::wstring trimmed = start == std::wstring::npos ? L"" : value.substr(start);
    if (trimmed == L"Oui") {
        return AccountState::Active;
    }
    if (trimmed == L"Non") {
        return AccountState::Inactive;
    }
    return AccountState::Unknown;
}

}  // namespace tolvane
