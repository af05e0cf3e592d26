// The main window's setting boxes, one row each, in the window's order group by group (the order
// of a report): the label beside each box, its group, and how a report names it.
#pragma once

#include <bitset>
#include <cstdint>
#include <span>
#include <vector>

#include "model/ControlId.h"

namespace tolvane {

enum class Group : std::uint8_t { Shares, Accounts, Services };
inline constexpr int kGroupCount = 3;

// Groups as a set: the groups a command line names.
using GroupSet = std::bitset<kGroupCount>;
inline constexpr GroupSet kAllGroups{(1u << kGroupCount) - 1};
inline bool Contains(const GroupSet& groups, Group group) {
    return groups.test(static_cast<std::size_t>(group));
}

struct SettingBox {
    ControlId box;
    ControlId label;
    Group group;
    // The key of the report's line, which never changes with the caption: "shares.admin".
    const wchar_t* reportKey;
    // A change of it takes effect only once Windows restarts (a service its apply stops at once
    // needs none).
    bool needsRestart;
};

// How many there are: a command line's set of settings has a place for each.
inline constexpr int kSettingCount = 21;

std::span<const SettingBox> SettingBoxes();
const SettingBox& SettingBoxOf(ControlId box);
// The box's place in SettingBoxes().
std::size_t SettingIndexOf(ControlId box);
// The group's boxes in the window's order.
std::vector<ControlId> BoxesOf(Group group);
inline ControlId LabelOf(ControlId box) {
    return SettingBoxOf(box).label;
}
inline Group GroupOf(ControlId box) {
    return SettingBoxOf(box).group;
}

}  // namespace tolvane
