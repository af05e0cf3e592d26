#include "registry/Reg.h"

#include <array>
#include <cstdint>

#include "system/Decimal.h"

namespace tolvane {
namespace {

// In the order of RegistryRoot.
constexpr std::array<const wchar_t*, 5> kPrefixes = {L"HKCR\\", L"HKCU\\", L"HKLM\\",
                                                     L"HKEY_USERS\\", L"HKEY_CURRENT_CONFIG\\"};

struct SplitPath {
    std::wstring key;
    std::wstring name;
    bool namesKey;
};

SplitPath Split(const std::wstring& valuePath) {
    const auto slash = valuePath.rfind(L'\\');
    if (slash == std::wstring::npos) {
        return {L"", valuePath, false};
    }
    return {valuePath.substr(0, slash), valuePath.substr(slash + 1), slash + 1 == valuePath.size()};
}

std::optional<std::uint32_t> ParseDword(const std::wstring& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) {
        negative = text[i] == L'-';
        ++i;
    }
    if (i == text.size()) {
        return std::nullopt;
    }
    std::uint64_t number = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') {
            return std::nullopt;
        }
        number = number * 10 + static_cast<std::uint64_t>(text[i] - L'0');
        if (number > 0xFFFFFFFFull) {
            return std::nullopt;
        }
    }
    if (negative) {
        if (number > 0x80000000ull) {
            return std::nullopt;
        }
        number = (0x100000000ull - number) & 0xFFFFFFFFull;
    }
    return static_cast<std::uint32_t>(number);
}

void AppendText(std::vector<std::uint8_t>& data, const std::wstring& text) {
    for (wchar_t c : text) {
        data.push_back(static_cast<std::uint8_t>(c & 0xFF));
        data.push_back(static_cast<std::uint8_t>((c >> 8) & 0xFF));
    }
    data.insert(data.end(), {0, 0});
}

RawValue TextValue(std::uint32_t type, const std::wstring& text) {
    RawValue value{type, {}};
    AppendText(value.data, text);
    return value;
}

RawValue NumberValue(std::uint32_t type, std::uint32_t number) {
    return {type,
            {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
             static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)}};
}

}  // namespace

std::wstring RootPrefix(RegistryRoot root) {
    return kPrefixes[static_cast<std::size_t>(root)];
}

std::optional<std::wstring> ValueText(const RawValue& value) {
    switch (value.type) {
        case RawSz:
        case RawExpandSz: {
            std::wstring text;
            for (std::size_t i = 0; i + 1 < value.data.size(); i += 2) {
                const wchar_t c = static_cast<wchar_t>(value.data[i] | (value.data[i + 1] << 8));
                if (c == L'\0') {
                    break;
                }
                text.push_back(c);
            }
            return text;
        }
        case RawDword: {
            if (value.data.size() != 4) {
                return std::nullopt;
            }
            const std::uint32_t number = value.data[0] | (value.data[1] << 8) |
                                         (value.data[2] << 16) |
                                         (static_cast<std::uint32_t>(value.data[3]) << 24);
            return Decimal(number);
        }
        default:
            return std::nullopt;
    }
}

RawValue MultiStringValue(const std::vector<std::wstring>& strings) {
    RawValue value{RawMultiSz, {}};
    for (const std::wstring& text : strings) {
        AppendText(value.data, text);
    }
    value.data.insert(value.data.end(), {0, 0});
    return value;
}

std::optional<std::vector<std::wstring>> MultiStrings(const RawValue& value) {
    if (value.type != RawMultiSz) {
        return std::nullopt;
    }
    std::vector<std::wstring> strings;
    std::wstring current;
    for (std::size_t i = 0; i + 1 < value.data.size(); i += 2) {
        const wchar_t c = static_cast<wchar_t>(value.data[i] | (value.data[i + 1] << 8));
        if (c != L'\0') {
            current.push_back(c);
        } else if (current.empty()) {
            break;  // the empty string that ends the list
        } else {
            strings.push_back(std::move(current));
            current.clear();
        }
    }
    // A list stored without its final terminator still ends with its last string.
    if (!current.empty()) {
        strings.push_back(std::move(current));
    }
    return strings;
}

std::optional<RawValue> TypedValue(const std::wstring& text, ValueType valueType) {
    switch (valueType) {
        case ValueType::String:
            return TextValue(RawSz, text);
        case ValueType::ExpandString:
            return TextValue(RawExpandSz, text);
        case ValueType::Dword:
        case ValueType::Binary:
            break;
    }
    const auto number = ParseDword(text);
    if (!number) {
        return std::nullopt;
    }
    return NumberValue(valueType == ValueType::Dword ? RawDword : RawBinary, *number);
}

RegistryView RegistryViewOf(const VersionInfo& version, bool underWow64) {
    const bool windows2000 = version.major == 5 && version.minor == 0;
    return underWow64 && version.ok && version.major >= 5 && !windows2000 ? RegistryView::Wide64
                                                                          : RegistryView::Default;
}

std::wstring KeyOf(const std::wstring& valuePath) {
    return Split(valuePath).key;
}

RegError Reg::Read(RegistryRoot root, const std::wstring& valuePath, std::wstring& text) {
    const SplitPath path = Split(valuePath);
    RawValue value;
    if (const RegError error = store_.Read(view_, root, path.key, path.name, value)) {
        return error;
    }
    const auto converted = ValueText(value);
    if (!converted) {
        return kRegInvalidData;
    }
    text = *converted;
    return kRegOk;
}

std::optional<std::wstring> Reg::ReadText(RegistryRoot root, const std::wstring& valuePath) {
    std::wstring text;
    if (Read(root, valuePath, text) != kRegOk) {
        return std::nullopt;
    }
    return text;
}

bool Reg::ValueExists(RegistryRoot root, const std::wstring& valuePath) {
    std::wstring text;
    return !NotFound(Read(root, valuePath, text));
}

WriteResult Reg::WriteValue(RegistryRoot root, const std::wstring& valuePath,
                            const std::wstring& value, ValueType valueType) {
    const std::wstring fullPath = RootPrefix(root) + valuePath;
    const std::optional<RawValue> raw = TypedValue(value, valueType);
    if (!raw) {
        return WriteFailure{fullPath, kRegInvalidData};
    }
    return WriteRaw(root, valuePath, *raw);
}

RegError Reg::ReadRaw(RegistryRoot root, const std::wstring& valuePath, RawValue& value) {
    const SplitPath path = Split(valuePath);
    return store_.Read(view_, root, path.key, path.name, value);
}

WriteResult Reg::WriteRaw(RegistryRoot root, const std::wstring& valuePath, const RawValue& value) {
    const SplitPath path = Split(valuePath);
    if (const RegError error = store_.Write(view_, root, path.key, path.name, value)) {
        return WriteFailure{RootPrefix(root) + valuePath, error};
    }
    return std::nullopt;
}

WriteResult Reg::Remove(RegistryRoot root, const std::wstring& valuePath) {
    const SplitPath path = Split(valuePath);
    const RegError error = path.namesKey ? store_.DeleteKey(view_, root, path.key)
                                         : store_.DeleteValue(view_, root, path.key, path.name);
    if (error == kRegOk || NotFound(error)) {
        return std::nullopt;
    }
    return WriteFailure{RootPrefix(root) + valuePath, error, Refused::Delete};
}

std::optional<std::uint32_t> Reg::KeyEntries(RegistryRoot root, const std::wstring& keyPath) {
    std::uint32_t entries = 0;
    if (store_.KeyEntries(view_, root, keyPath, entries) != kRegOk) {
        return std::nullopt;
    }
    return entries;
}

std::vector<std::wstring> Reg::ValueNames(RegistryRoot root, const std::wstring& keyPath) {
    std::vector<std::wstring> names;
    if (store_.ValueNames(view_, root, keyPath, names) != kRegOk) {
        names.clear();
    }
    return names;
}

std::vector<std::wstring> Reg::SubkeyNames(RegistryRoot root, const std::wstring& keyPath) {
    std::vector<std::wstring> names;
    if (store_.SubkeyNames(view_, root, keyPath, names) != kRegOk) {
        names.clear();
    }
    return names;
}

}  // namespace tolvane
