// The settings a task names: groups and settings by their report keys, read left to right, where
// -NAME takes out what stands before it. The keys are an input contract: they never change.
#pragma once

#include <bitset>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/SettingBoxes.h"
#include "system/System.h"

namespace tolvane {

// One place for each of SettingBoxes().
using SettingSet = std::bitset<kSettingCount>;

// Which way the SSDP/UPnP pair is kept whole: UPnP needs SSDP running, so an apply of SSDP takes
// UPnP with it and a restore of UPnP brings SSDP back.
enum class Direction { Read, Apply, Restore };

// One switch's list as written: "/apply:all,-services.time" holds "all,-services.time".
struct TaskList {
    std::wstring word;
    std::wstring value;
};

struct SettingChoice {
    SettingSet asked;
    // Asked only to keep the SSDP/UPnP pair whole (also in asked).
    SettingSet implied;
    // Named by its own key rather than through a group, and not taken out since.
    SettingSet byKey;
    // Some name of the list is a setting's key: a run tailored to a policy, in which a named
    // setting that cannot be read counts as not in force.
    bool namesSetting = false;
    // Why the lists cannot be carried out; empty when they can.
    std::wstring error;
    // A list names a policy file (@PATH), which was left for a reader.
    bool readsFiles = false;
    // A policy file could not be read at all, or was too large.
    bool unreadable = false;
};

// The largest policy file, its byte-order mark included.
inline constexpr std::size_t kPolicyMostBytes = 65536;

// A policy file's bytes, at most kPolicyMostBytes + 1 of them; nothing when it cannot be read
// whole, and then the system's words for why.
struct PolicyRead {
    std::optional<std::string> bytes;
    std::wstring why;
};
using PolicyReader = std::function<PolicyRead(const std::wstring& path)>;
// The one reader of the policy files, at the path as given.
PolicyRead ReadPolicyFile(System& system, const std::wstring& path);

// Reads the lists left to right; an @PATH stands for the names of the file at PATH, read with
// `read`. Without a reader an @PATH is only noted: the result waits for one.
SettingChoice ChooseSettings(const std::vector<TaskList>& lists, Direction direction,
                             const PolicyReader* read = nullptr);

// A policy file's names and the lines they stand on: UTF-8 with or without a byte-order mark, or
// UTF-16LE with one; names separated by commas, blanks and line ends; ';' or '#' starts a
// comment to the end of its line, never decoded. Nothing when the file is refused: `fault` says
// why and `faultLine` where.
struct PolicyName {
    std::wstring name;
    int line = 0;
};
std::optional<std::vector<PolicyName>> PolicyNames(const std::string& bytes, std::wstring& fault,
                                                   int& faultLine);

}  // namespace tolvane
