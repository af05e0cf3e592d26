#include "app/CommandLine.h"

#include <algorithm>
#include <array>

#include "system/AsciiCase.h"
#include "system/Decimal.h"

namespace tolvane {
namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

struct Task {
    const wchar_t* name;
    UnattendedMode mode;
};
constexpr std::array<Task, 3> kTasks = {{
    {L"audit", UnattendedMode::Audit},
    {L"apply", UnattendedMode::Apply},
    {L"restore", UnattendedMode::Restore},
}};

Direction DirectionOf(UnattendedMode mode) {
    return mode == UnattendedMode::Apply     ? Direction::Apply
           : mode == UnattendedMode::Restore ? Direction::Restore
                                             : Direction::Read;
}

// "/?" or "-?".
bool IsUsageSwitch(const std::wstring& word) {
    return word == L"/?" || word == L"-?";
}

// A task or the report written without its slash, bare or with its value: "apply", "apply:all",
// "Report:x.txt". Only a word of its own: "applyall" names nothing.
bool NamesTask(const std::wstring& word) {
    const std::wstring name = AsciiLowered(word.substr(0, word.find(L':')));
    return name == L"report" || std::any_of(kTasks.begin(), kTasks.end(),
                                            [&](const Task& task) { return name == task.name; });
}

// The switch a word without its slash stands for: a bare word with the value its switch needs.
std::wstring SwitchForm(const std::wstring& word) {
    if (word.find(L':') != std::wstring::npos) {
        return L"/" + word;
    }
    const std::wstring lowered = AsciiLowered(word);
    return L"/" + word + (lowered == L"report" ? L":PATH" : lowered == L"audit" ? L"" : L":NAMES");
}

// Reads one switch (the word without its "/" or "-") into the request; the error when it is not
// one Tolvane takes.
std::wstring TakeSwitch(const std::wstring& word, UnattendedRequest& request) {
    const std::wstring body = word.substr(1);
    const std::size_t colon = body.find(L':');
    const std::wstring name = AsciiLowered(body.substr(0, colon));
    const bool hasValue = colon != std::wstring::npos;
    const std::wstring value = hasValue ? body.substr(colon + 1) : L"";
    if (name == L"report") {
        if (value.empty()) {
            return L"The switch " + word + L" needs a path: /report:PATH.";
        }
        if (!request.reportPath.empty() &&
            AsciiLowered(request.reportPath) != AsciiLowered(value)) {
            return L"Two different reports were asked for.";
        }
        request.reportPath = value;
        return {};
    }
    for (const Task& task : kTasks) {
        if (name != task.name) {
            continue;
        }
        // A plain /audit reads everything; every other task needs its list.
        if (value.empty() && (hasValue || task.mode != UnattendedMode::Audit)) {
            return L"The switch " + word + L" needs its list: /" + task.name + L":NAMES.";
        }
        if (request.mode != UnattendedMode::Window && request.mode != task.mode) {
            return L"Only one task can be done at a time: /audit, /apply: or /restore:.";
        }
        request.mode = task.mode;
        request.listed = request.listed || hasValue;
        request.lists.push_back({word, hasValue ? value : L"all"});
        return {};
    }
    return L"Tolvane does not know the switch " + word + L".";
}

}  // namespace

std::vector<std::wstring> SplitArguments(const std::wstring& commandLine) {
    std::vector<std::wstring> words = SplitAllArguments(commandLine);
    words.resize(std::min(words.size(), static_cast<std::size_t>(kMostWords)));
    return words;
}

std::vector<std::wstring> SplitAllArguments(const std::wstring& commandLine) {
    std::vector<std::wstring> words;
    std::size_t i = 0;
    const std::size_t end = commandLine.size();
    for (;;) {
        while (i < end && IsBlank(commandLine[i])) {
            ++i;
        }
        if (i == end) {
            break;
        }
        std::wstring word;
        // 1 inside quotes; a third quote in a row gives a quote of its own, as Windows has it.
        int quotes = 0;
        std::size_t backslashes = 0;
        while (i < end && !(quotes == 0 && IsBlank(commandLine[i]))) {
            const wchar_t c = commandLine[i++];
            if (c == L'\\') {
                word += c;
                ++backslashes;
                continue;
            }
            if (c != L'"') {
                word += c;
                backslashes = 0;
                continue;
            }
            // Half the backslashes before a quote stay; an odd one out makes the quote a letter.
            word.erase(word.size() - backslashes / 2 - backslashes % 2);
            if (backslashes % 2) {
                word += L'"';
            } else {
                ++quotes;
            }
            backslashes = 0;
            for (; i < end && commandLine[i] == L'"'; ++i) {
                if (++quotes == 3) {
                    word += L'"';
                    quotes = 0;
                }
            }
            if (quotes == 2) {
                quotes = 0;
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

UnattendedRequest ParseCommandLine(const std::wstring& commandLine) {
    UnattendedRequest request;
    const std::vector<std::wstring> words = SplitAllArguments(commandLine);
    // A person asked, wherever on the line: the usage goes to them, nothing is done.
    if (std::any_of(words.begin(), words.end(), IsUsageSwitch)) {
        request.mode = UnattendedMode::Usage;
        request.skipAccountProbe = std::count(words.begin(), words.end(), kNoAccountSwitch) > 0;
        return request;
    }
    for (std::size_t i = 0; i < words.size() && request.error.empty(); ++i) {
        const std::wstring& word = words[i];
        const bool isSwitch = !word.empty() && (word[0] == L'/' || word[0] == L'-');
        if (i >= static_cast<std::size_t>(kMostWords)) {
            // Windows hands a program no more words than these: a task further on would be
            // lost, and the run would do something else than the script says.
            if (isSwitch || NamesTask(word)) {
                request.error = L"The switch " + word + L" stands after the " +
                                Decimal(kMostWords) + L"th word, where Tolvane reads none.";
            }
        } else if (word == kNoAccountSwitch) {
            request.skipAccountProbe = true;
        } else if (isSwitch) {
            request.error = TakeSwitch(word, request);
        } else if (NamesTask(word)) {
            request.error = L"The word " + word + L" names a task without its slash: " +
                            SwitchForm(word) + L" is what Tolvane takes.";
        }
    }
    if (request.error.empty() && !request.lists.empty()) {
        request.choice = ChooseSettings(request.lists, DirectionOf(request.mode));
        request.error = request.choice.error;
    }
    if (request.error.empty() && request.mode == UnattendedMode::Window &&
        !request.reportPath.empty()) {
        request.error = L"A report needs a task: /audit, /apply:NAMES or /restore:NAMES.";
    }
    return request;
}

void ReadPolicyFiles(UnattendedRequest& request, const PolicyReader& read) {
    request.choice = ChooseSettings(request.lists, DirectionOf(request.mode), &read);
    request.error = request.choice.error;
}

void RefuseWindowNobodySees(UnattendedRequest& request,
                            const std::function<bool()>& someoneCanSee) {
    if (request.mode == UnattendedMode::Window && request.error.empty() && !someoneCanSee()) {
        request.error =
            L"Tolvane was started without a task where nobody can see its window (a service's "
            L"or a start-up script's session, another desktop, or started hidden).";
    }
}

std::wstring ExpandVariables(
    const std::wstring& text,
    const std::function<std::optional<std::wstring>(const std::wstring&)>& lookup) {
    std::wstring expanded;
    std::size_t at = 0;
    for (;;) {
        const std::size_t open = text.find(L'%', at);
        const std::size_t close = open == std::wstring::npos ? open : text.find(L'%', open + 1);
        if (close == std::wstring::npos) {
            return expanded + text.substr(at);
        }
        expanded += text.substr(at, open - at);
        if (const auto value = lookup(text.substr(open + 1, close - open - 1))) {
            expanded += *value;
            at = close + 1;
        } else {
            // The closing sign may open the next name.
            expanded += text.substr(open, close - open);
            at = close;
        }
    }
}

std::wstring TaskText(const UnattendedRequest& request) {
    std::wstring list;
    for (const TaskList& task : request.lists) {
        list += (list.empty() ? L"" : L",") + task.value;
    }
    switch (request.mode) {
        case UnattendedMode::Audit:
            return request.listed ? L"audit:" + list : L"audit";
        case UnattendedMode::Apply:
            return L"apply:" + list;
        case UnattendedMode::Restore:
            return L"restore:" + list;
        default:
            return L"none";
    }
}

}  // namespace tolvane
