#include "app/SettingList.h"

#include <array>

#include "system/AsciiCase.h"

namespace tolvane {
namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::wstring Trimmed(const std::wstring& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

constexpr std::array<const wchar_t*, 3> kGroupNames = {L"shares", L"accounts", L"services"};

// The settings a name stands for, and whether it is a setting's own key; none when unknown.
SettingSet Named(const std::wstring& lowered, bool& isKey) {
    const std::span<const SettingBox> settings = SettingBoxes();
    SettingSet named;
    isKey = false;
    for (std::size_t i = 0; i < settings.size(); ++i) {
        const bool key = lowered == settings[i].reportKey;
        isKey = isKey || key;
        const bool group =
            lowered == L"all" || lowered == kGroupNames[static_cast<int>(settings[i].group)];
        named.set(i, key || group);
    }
    return named;
}

class Chooser {
  public:
    // Takes one name of a list; the error's words when it is not one.
    std::wstring Take(const std::wstring& item) {
        const std::wstring name = Trimmed(item);
        const bool out = !name.empty() && name[0] == L'-';
        const std::wstring lowered = AsciiLowered(Trimmed(out ? name.substr(1) : name));
        if (lowered.empty()) {
            return L"an empty item";
        }
        bool isKey = false;
        const SettingSet named = Named(lowered, isKey);
        if (named.none()) {
            return L"the name " + name + L", which is neither a group nor a setting";
        }
        choice.namesSetting = choice.namesSetting || isKey;
        if (out) {
            choice.asked &= ~named;
            choice.byKey &= ~named;
        } else {
            choice.asked |= named;
            if (isKey) {
                choice.byKey |= named;
            }
        }
        return {};
    }

    SettingChoice choice;
};

// Adds the other of the SSDP/UPnP pair where the direction needs it.
void KeepPairWhole(SettingChoice& choice, Direction direction) {
    if (direction == Direction::Read) {
        return;
    }
    const std::size_t ssdp = SettingIndexOf(ControlId::Port1900Box);
    const std::size_t upnp = SettingIndexOf(ControlId::Port5000Box);
    const std::size_t named = direction == Direction::Apply ? ssdp : upnp;
    const std::size_t brought = direction == Direction::Apply ? upnp : ssdp;
    if (choice.asked.test(named) && !choice.asked.test(brought)) {
        choice.asked.set(brought);
        choice.implied.set(brought);
    }
}

}  // namespace

SettingChoice ChooseSettings(const std::vector<TaskList>& lists, Direction direction) {
    Chooser chooser;
    for (const TaskList& list : lists) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t comma = list.value.find(L',', start);
            const std::wstring fault = chooser.Take(list.value.substr(start, comma - start));
            if (!fault.empty()) {
                chooser.choice.error = L"The switch " + list.word + L" holds " + fault + L".";
                return chooser.choice;
            }
            if (comma == std::wstring::npos) {
                break;
            }
            start = comma + 1;
        }
    }
    SettingChoice& choice = chooser.choice;
    if (choice.asked.none() && !lists.empty()) {
        choice.error = L"The switch " + lists.back().word + L" leaves no setting to do.";
    }
    KeepPairWhole(choice, direction);
    return choice;
}

}  // namespace tolvane
