#include "app/Report.h"

#include <algorithm>
#include <cstdint>
#include <tuple>

#include "ports/ListeningPorts.h"
#include "system/AsciiCase.h"
#include "system/Decimal.h"

namespace tolvane {
namespace {

const wchar_t* InForceText(InForceState inForce) {
    switch (inForce) {
        case InForceState::Yes:
            return L"yes";
        case InForceState::Unknown:
            return L"unknown";
        default:
            return L"no";
    }
}

// Quoted where a spreadsheet would split or misread the field.
std::wstring CsvField(const std::wstring& text) {
    const std::wstring field = OnOneLine(text);
    if (field.find_first_of(L",\"") == std::wstring::npos) {
        return field;
    }
    std::wstring quoted = L"\"";
    for (wchar_t c : field) {
        quoted += c == L'"' ? std::wstring(L"\"\"") : std::wstring(1, c);
    }
    return quoted + L"\"";
}

std::wstring TwoDigits(int number) {
    return (number < 10 ? L"0" : L"") + Decimal(static_cast<std::uint32_t>(number));
}

std::wstring PortKey(const ListeningPort& port) {
    return std::wstring(port.protocol == PortProtocol::Tcp ? L"port.tcp." : L"port.udp.") +
           Decimal(port.port);
}

std::vector<ListeningPort> Sorted(std::vector<ListeningPort> ports) {
    std::sort(ports.begin(), ports.end(), [](const ListeningPort& a, const ListeningPort& b) {
        return std::tie(a.protocol, a.port, a.address, a.processId) <
               std::tie(b.protocol, b.port, b.address, b.processId);
    });
    return ports;
}

}  // namespace

// On one line: a two-line caption or a system message with line breaks becomes one.
std::wstring OnOneLine(const std::wstring& text) {
    std::wstring line;
    bool broken = false;
    for (wchar_t c : text) {
        if (c == L'\r' || c == L'\n') {
            line.erase(line.find_last_not_of(L' ') + 1);
            broken = true;
        } else if (!broken || c != L' ') {
            line += broken && !line.empty() ? std::wstring(L" ") + c : std::wstring(1, c);
            broken = false;
        }
    }
    return line;
}

std::string ToUtf8(const std::wstring& text) {
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

std::wstring Iso8601(const UtcTime& time) {
    return Decimal(static_cast<std::uint32_t>(time.year)) + L"-" + TwoDigits(time.month) + L"-" +
           TwoDigits(time.day) + L"T" + TwoDigits(time.hour) + L":" + TwoDigits(time.minute) +
           L":" + TwoDigits(time.second) + L"Z";
}

bool WantsCsv(const std::wstring& path) {
    if (path.size() < 4) {
        return false;
    }
    return AsciiLowered(path.substr(path.size() - 4)) == L".csv";
}

std::string FormatTextReport(const Report& report) {
    std::wstring text =
        L"Tolvane report\r\nComputer: " + report.computer + L"\r\nTime: " + report.time +
        L"\r\nVersion: " + report.version + L"\r\nWindows: " + report.windows + L"\r\nTask: " +
        report.task + L"\r\nExit code: " + Decimal(static_cast<std::uint32_t>(report.exitCode)) +
        L"\r\nRestart needed: " + (report.restartNeeded ? L"yes" : L"no") + L"\r\n\r\n";
    for (const ReportLine& line : report.settings) {
        text += line.group + L"\t" + OnOneLine(line.caption) + L"\tin force: " +
                InForceText(line.inForce) + (line.asked.empty() ? L"" : L"\tasked: " + line.asked) +
                L"\t" + line.done;
        if (!line.reason.empty()) {
            text += L"\t" + OnOneLine(line.reason);
        }
        if (!line.note.empty()) {
            text += L"\tnote: " + OnOneLine(line.note);
        }
        text += L"\r\n";
    }
    for (const std::wstring& message : report.messages) {
        text += L"\r\n" + message + L"\r\n";
    }
    if (!report.ports.empty()) {
        text += L"\r\nListening ports\r\n";
        for (const std::wstring& port : ListeningPortLines(report.ports, report.services)) {
            text += port + L"\r\n";
        }
    }
    return ToUtf8(text);
}

std::string FormatCsvReport(const Report& report) {
    const std::wstring run = CsvField(report.computer) + L"," + CsvField(report.time) + L"," +
                             CsvField(report.task) + L",";
    const std::wstring exitCode = Decimal(static_cast<std::uint32_t>(report.exitCode));
    std::wstring text =
        L"computer,time,task,key,caption,in force,done,reason,note,exit code,asked\r\n";
    const auto row = [&](const std::wstring& key, const std::wstring& caption,
                         const std::wstring& inForce, const std::wstring& done,
                         const std::wstring& reason, const std::wstring& note,
                         const std::wstring& asked) {
        text += run + CsvField(key) + L"," + CsvField(caption) + L"," + inForce + L"," +
                CsvField(done) + L"," + CsvField(reason) + L"," + CsvField(note) + L"," + exitCode +
                L"," + asked + L"\r\n";
    };
    for (const ReportLine& line : report.settings) {
        row(line.key, line.caption, InForceText(line.inForce), line.done, line.reason, line.note,
            line.asked);
    }
    for (const std::wstring& message : report.messages) {
        row(L"message", L"", L"", L"", message, L"", L"");
    }
    for (const ListeningPort& port : Sorted(report.ports)) {
        row(PortKey(port), ListeningPortLines({port}, report.services).front(), L"", L"listening",
            L"", L"", L"");
    }
    return "\xEF\xBB\xBF" + ToUtf8(text);
}

}  // namespace tolvane
