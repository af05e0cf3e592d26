// The settings a task names: groups and settings by their report keys, read left to right, where
// -NAME takes out what stands before it. The keys are an input contract: they never change.
#pragma once

#include <bitset>
#include <string>
#include <vector>

#include "model/SettingBoxes.h"

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
};

SettingChoice ChooseSettings(const std::vector<TaskList>& lists, Direction direction);

}  // namespace tolvane
