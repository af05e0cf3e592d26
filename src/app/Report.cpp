#include "app/Report.h"

#include <cstdint>

namespace tolvane {
namespace {

std::wstring YesNo(bool yes) {
    return yes ? L"yes" : L"no";
}

// Quoted where a spreadsheet would split or misread the field.
std::wstring CsvField(const std::wstring& text) {
    if (text.find_first_of(L",\"\r\n") == std::wstring::npos) {
        return text;
    }
    std::wstring quoted = L"\"";
    for (wchar_t c : text) {
        quoted += c == L'"' ? std::wstring(L"\"\"") : std::wstring(1, c);
    }
    return quoted + L"\"";
}

// One line of the text report; line breaks inside a field (a two-line caption) become blanks.
std::wstring Flat(const std::wstring& text) {
    std::wstring flat;
    for (wchar_t c : text) {
        if (c == L'\r') {
            continue;
        }
        flat += c == L'\n' ? L' ' : c;
    }
    return flat;
}

}  // namespace

std::string Utf8(const std::wstring& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = static_cast<std::uint32_t>(text[i]);
        // A UTF-16 pair, where wchar_t is 16 bits wide.
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
            const std::uint32_t low = static_cast<std::uint32_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c < 0x800) {
            bytes += static_cast<char>(0xC0 | (c >> 6));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            bytes += static_cast<char>(0xE0 | (c >> 12));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (c >> 18));
            bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return bytes;
}

bool WantsCsv(const std::wstring& path) {
    if (path.size() < 4) {
        return false;
    }
    std::wstring extension = path.substr(path.size() - 4);
    for (wchar_t& c : extension) {
        c = c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    }
    return extension == L".csv";
}

std::string FormatReport(const Report& report, bool csv) {
    std::wstring text;
    if (csv) {
        text += L"group,setting,in force,done,error\r\n";
        for (const ReportLine& line : report.settings) {
            text += CsvField(line.group) + L"," + CsvField(Flat(line.setting)) + L"," +
                    YesNo(line.inForce) + L"," + CsvField(line.done) + L"," + CsvField(line.error) +
                    L"\r\n";
        }
        for (const std::wstring& note : report.notes) {
            text += L"note,,,," + CsvField(note) + L"\r\n";
        }
        for (const std::wstring& port : report.ports) {
            text += L"port,,,," + CsvField(port) + L"\r\n";
        }
        return Utf8(text);
    }
    text += report.heading + L"\r\n\r\n";
    for (const ReportLine& line : report.settings) {
        text += line.group + L"\t" + Flat(line.setting) + L"\tin force: " + YesNo(line.inForce) +
                L"\t" + line.done;
        if (!line.error.empty()) {
            text += L"\t" + Flat(line.error);
        }
        text += L"\r\n";
    }
    for (const std::wstring& note : report.notes) {
        text += L"\r\n" + note + L"\r\n";
    }
    if (!report.ports.empty()) {
        text += L"\r\nListening ports\r\n";
        for (const std::wstring& port : report.ports) {
            text += port + L"\r\n";
        }
    }
    return Utf8(text);
}

}  // namespace tolvane
