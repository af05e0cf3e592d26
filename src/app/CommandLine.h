// The command line: its words, split as Windows splits a program's arguments, and what they ask.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/SettingList.h"

namespace tolvane {

inline constexpr int kMostWords = 255;
inline constexpr wchar_t kNoAccountSwitch[] = L"-noaccount";

// Blanks and tabs separate words; double quotes group blanks into a word and are dropped;
// backslashes escape a quote as CommandLineToArgvW has it. Words beyond the 255th are ignored.
std::vector<std::wstring> SplitArguments(const std::wstring& commandLine);
// The same, every word.
std::vector<std::wstring> SplitAllArguments(const std::wstring& commandLine);

enum class UnattendedMode { Window, Usage, Audit, Apply, Restore };

struct UnattendedRequest {
    UnattendedMode mode = UnattendedMode::Window;
    // Each task switch's list in order; a plain /audit stands for "all".
    std::vector<TaskList> lists;
    // An /audit: with a list rather than a plain /audit.
    bool listed = false;
    // The settings the lists name.
    SettingChoice choice;
    std::wstring reportPath;  // as written, %VARIABLES% unexpanded; empty: beside the program
    bool skipAccountProbe = false;
    // Why the command line cannot be carried out; empty when it can.
    std::wstring error;

    // Anything but the window: a switch of ours that a script wrote must never wait for a person.
    bool RunsWithoutWindow() const {
        return !error.empty() || mode == UnattendedMode::Audit || mode == UnattendedMode::Apply ||
               mode == UnattendedMode::Restore;
    }
};

// Switches take "/" or "-" and any letter case (/AUDIT, -apply:Shares); "-noaccount" is the
// window's own and stays exact. A task named twice reads its lists one after the other. "/?"
// anywhere asks for the usage alone. A task written without its slash, and a switch beyond the
// 255th word, are errors: a script that wrote them must not get a window. Other words are left
// alone.
UnattendedRequest ParseCommandLine(const std::wstring& commandLine);
// Reads the policy files (@PATH) the lists name and chooses the settings again with them.
void ReadPolicyFiles(UnattendedRequest& request, const PolicyReader& read);
// A start without a task where nobody can see a window is an error too: the window would wait
// for a person for ever. Asked only of a start that would make the window: the question loads
// the window's libraries, which a run without one does without.
void RefuseWindowNobodySees(UnattendedRequest& request, const std::function<bool()>& someoneCanSee);

// Each %NAME% replaced by the variable's value, as Windows would have done: SCCM and scheduled
// tasks pass them unexpanded. A name that is not set stays as written.
std::wstring ExpandVariables(
    const std::wstring& text,
    const std::function<std::optional<std::wstring>(const std::wstring&)>& lookup);

// The task as the command line asked it: "audit", "apply:all,-services.time".
std::wstring TaskText(const UnattendedRequest& request);

}  // namespace tolvane
