#include "app/SettingList.h"

#include <array>
#include <cstdint>

#include "system/AsciiCase.h"
#include "system/Decimal.h"
#include "system/SystemInfo.h"

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
    explicit Chooser(const PolicyReader* read) : read_(read) {}

    // Takes one item of a switch's list, which may be a policy file; the error when it fails.
    std::wstring TakeItem(const std::wstring& word, const std::wstring& item) {
        const std::wstring trimmed = Trimmed(item);
        if (trimmed.empty() || trimmed[0] != L'@') {
            const std::wstring fault = Take(item);
            return fault.empty() ? fault : L"The switch " + word + L" holds " + fault + L".";
        }
        choice.readsFiles = true;
        if (!read_) {
            return {};
        }
        const std::wstring path = Trimmed(trimmed.substr(1));
        const PolicyRead file = (*read_)(path);
        if (!file.bytes || file.bytes->size() > kPolicyMostBytes) {
            choice.unreadable = true;
            return L"The policy file " + path +
                   (file.bytes
                        ? L" is larger than " +
                              Decimal(static_cast<std::uint32_t>(kPolicyMostBytes)) + L" bytes."
                        : L" could not be read. " + file.why);
        }
        std::wstring fault;
        int line = 0;
        const auto names = PolicyNames(*file.bytes, fault, line);
        for (std::size_t i = 0; names && i < names->size() && fault.empty(); ++i) {
            fault = Take((*names)[i].name);
            line = (*names)[i].line;
        }
        return fault.empty()
                   ? fault
                   : L"The policy file " + path + L", line " +
                         Decimal(static_cast<std::uint32_t>(line)) + L", holds " + fault + L".";
    }

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

  private:
    const PolicyReader* read_;
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

SettingChoice ChooseSettings(const std::vector<TaskList>& lists, Direction direction,
                             const PolicyReader* read) {
    Chooser chooser(read);
    for (const TaskList& list : lists) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t comma = list.value.find(L',', start);
            const std::wstring fault =
                chooser.TakeItem(list.word, list.value.substr(start, comma - start));
            if (!fault.empty()) {
                chooser.choice.error = fault;
                return chooser.choice;
            }
            if (comma == std::wstring::npos) {
                break;
            }
            start = comma + 1;
        }
    }
    SettingChoice& choice = chooser.choice;
    // What the files hold is known only once they are read.
    if (choice.asked.none() && !lists.empty() && (read || !choice.readsFiles)) {
        choice.error = L"The switch " + lists.back().word + L" leaves no setting to do.";
    }
    KeepPairWhole(choice, direction);
    return choice;
}

PolicyRead ReadPolicyFile(System& system, const std::wstring& path) {
    FileBytes file = ReadFileBytes(system, path, kPolicyMostBytes + 1);
    return {std::move(file.bytes), file.bytes ? L"" : system.ErrorText(file.error)};
}

std::optional<std::vector<PolicyName>> PolicyNames(const std::string& bytes, std::wstring& fault,
                                                   int& faultLine) {
    // Code units: bytes of UTF-8, or UTF-16LE units after the mark. Comments stay undecoded.
    std::vector<std::uint32_t> units;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) {
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            units.push_back(byte(i) | (byte(i + 1) << 8));
        }
    } else {
        const std::size_t mark = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
        for (std::size_t i = mark; i < bytes.size(); ++i) {
            // A zero byte is how UTF-16 without its mark shows, whose names would read as garbage.
            if (byte(i) == 0 || (i == 0 && byte(0) == 0xFE)) {
                fault = L"UTF-16 without a byte-order mark, which Tolvane does not read";
                faultLine = 1;
                return std::nullopt;
            }
            units.push_back(byte(i));
        }
    }
    std::vector<PolicyName> names;
    std::wstring name;
    bool ascii = true;
    bool comment = false;
    bool afterComma = true;  // an item is due: at the start, or after a comma
    int commaLine = 1;
    int line = 1;
    const auto end = [&]() {
        if (name.empty()) {
            return true;
        }
        if (!ascii || name.find(L'@') != std::wstring::npos) {
            fault = ascii ? L"an @, which a policy file cannot name" : L"a name that is not ASCII";
            faultLine = line;
            return false;
        }
        names.push_back({name, line});
        name.clear();
        ascii = true;
        afterComma = false;
        return true;
    };
    for (std::size_t i = 0; i < units.size(); ++i) {
        const std::uint32_t c = units[i];
        const bool lineEnd = c == '\r' || c == '\n';
        const bool separator = lineEnd || c == ' ' || c == '\t' || c == ',';
        if ((separator || (!comment && (c == ';' || c == '#'))) && !end()) {
            return std::nullopt;
        }
        if (lineEnd) {
            comment = false;
            i += c == '\r' && i + 1 < units.size() && units[i + 1] == '\n';
            ++line;
        } else if (comment) {
            continue;
        } else if (c == ';' || c == '#') {
            comment = true;
        } else if (c == ',') {
            if (afterComma) {
                fault = L"an empty item";
                faultLine = line;
                return std::nullopt;
            }
            afterComma = true;
            commaLine = line;
        } else if (!separator) {
            ascii = ascii && c < 0x80;
            name += static_cast<wchar_t>(c < 0x80 ? c : '?');
        }
    }
    if (!end()) {
        return std::nullopt;
    }
    if (afterComma && !names.empty()) {
        fault = L"an empty item";
        faultLine = commaLine;
        return std::nullopt;
    }
    return names;
}

}  // namespace tolvane
