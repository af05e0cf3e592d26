// The report of an unattended run: one line per setting, then notes and the listening ports.
#pragma once

#include <string>
#include <vector>

namespace tolvane {

struct ReportLine {
    std::wstring group;
    std::wstring setting;
    bool inForce;
    std::wstring done;
    std::wstring error;  // the system's words when something was refused
};

struct Report {
    std::wstring heading;
    std::vector<ReportLine> settings;
    std::vector<std::wstring> notes;
    std::vector<std::wstring> ports;
};

// UTF-8 text, or CSV for spreadsheets (fields quoted, the notes and ports as rows of their own).
std::string FormatReport(const Report& report, bool csv);
// Whether a report path asks for CSV: by its extension, in any case.
bool WantsCsv(const std::wstring& path);
std::string Utf8(const std::wstring& text);

}  // namespace tolvane
