// The report of an unattended run: a heading, one line per setting, the run's messages and the
// ports still listening. Text for people, CSV for a fleet's table.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "system/System.h"

namespace tolvane {

enum class InForceState { No, Yes, Unknown };

// The note of a line whose change takes effect only once Windows restarts.
inline constexpr wchar_t kRestartNote[] = L"takes effect after a restart";

struct ReportLine {
    std::wstring key;  // stable, in English, whatever the caption: "shares.admin"
    std::wstring group;
    std::wstring caption;
    InForceState inForce = InForceState::No;
    std::wstring done;
    std::wstring reason;  // the system's words when something was refused
    std::wstring note;
    // Whether the run asked for it: "yes", "implied" (kept with its pair) or "no".
    std::wstring asked;
};

struct Report {
    std::wstring computer;
    std::wstring time;  // ISO 8601, UTC
    std::wstring version;
    std::wstring windows;  // the system's name: "Windows Server 2003 x64 Service Pack 2"
    std::wstring task;
    int exitCode = 0;
    // A change this run made takes effect only once Windows restarts.
    bool restartNeeded = false;
    std::vector<ReportLine> settings;
    // What the run would have shown a person.
    std::vector<std::wstring> messages;
    std::vector<ListeningPort> ports;
    // The services running, which tie ports to settings by their processes.
    std::optional<std::vector<RunningService>> services;
};

std::wstring Iso8601(const UtcTime& time);
// On one line: a two-line caption or a system message with line breaks becomes one.
std::wstring OnOneLine(const std::wstring& text);
// The text as UTF-8, the form of every file the program writes for people and scripts.
std::string ToUtf8(const std::wstring& text);

// UTF-8 text with CR LF line ends.
std::string FormatTextReport(const Report& report);
// UTF-8 with a byte-order mark, CR LF, a header row, then one row per setting, message and port,
// each carrying the computer, time, task and exit code, so that a fleet's reports stack into one
// table; no field holds a line break. Columns only ever join at the end: "asked" is the last.
std::string FormatCsvReport(const Report& report);
// Whether a report path asks for CSV: by its extension, in any case.
bool WantsCsv(const std::wstring& path);

}  // namespace tolvane
