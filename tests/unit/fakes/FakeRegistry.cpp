#include "fakes/FakeRegistry.h"

#include <cwctype>

namespace tolvane::testing {
namespace {

constexpr int kHklm = 2;

std::pair<std::wstring, std::wstring> SplitPath(const std::wstring& valuePath) {
    const auto slash = valuePath.rfind(L'\\');
    return {valuePath.substr(0, slash), valuePath.substr(slash + 1)};
}

}  // namespace

std::wstring FakeRegistry::Fold(const std::wstring& text) {
    std::wstring folded = text;
    for (wchar_t& c : folded) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return folded;
}

RegError FakeRegistry::Read(int root, const std::wstring& key, const std::wstring& name,
                            RawValue& value) {
    const auto found = keys.find({root, Fold(key)});
    if (found == keys.end()) {
        return kRegFileNotFound;
    }
    const auto entry = found->second.find(Fold(name));
    if (entry == found->second.end()) {
        return kRegFileNotFound;
    }
    value = entry->second.value;
    return kRegOk;
}

RegError FakeRegistry::Write(int root, const std::wstring& key, const std::wstring& name,
                             const RawValue& value) {
    if (denied_.count(Fold(key))) {
        return kRegAccessDenied;
    }
    ++writes;
    keys[{root, Fold(key)}][Fold(name)] = {name, value};
    return kRegOk;
}

RegError FakeRegistry::DeleteValue(int root, const std::wstring& key, const std::wstring& name) {
    const auto found = keys.find({root, Fold(key)});
    if (found == keys.end() || found->second.erase(Fold(name)) == 0) {
        return kRegFileNotFound;
    }
    ++deletions;
    return kRegOk;
}

RegError FakeRegistry::DeleteKey(int root, const std::wstring& key) {
    if (keys.erase({root, Fold(key)}) == 0) {
        return kRegFileNotFound;
    }
    ++deletions;
    return kRegOk;
}

void FakeRegistry::SetRaw(const std::wstring& valuePath, const RawValue& value) {
    const auto [key, name] = SplitPath(valuePath);
    keys[{kHklm, Fold(key)}][Fold(name)] = {name, value};
}

void FakeRegistry::SetDword(const std::wstring& valuePath, std::uint32_t n) {
    SetRaw(valuePath, {RawDword,
                       {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                        static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)}});
}

void FakeRegistry::SetString(const std::wstring& valuePath, const std::wstring& text) {
    RawValue value{RawSz, {}};
    for (wchar_t c : text) {
        value.data.push_back(static_cast<std::uint8_t>(c));
        value.data.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    value.data.insert(value.data.end(), {0, 0});
    SetRaw(valuePath, value);
}

std::optional<RawValue> FakeRegistry::Get(const std::wstring& valuePath) const {
    const auto [key, name] = SplitPath(valuePath);
    const auto found = keys.find({kHklm, Fold(key)});
    if (found == keys.end()) {
        return std::nullopt;
    }
    const auto entry = found->second.find(Fold(name));
    if (entry == found->second.end()) {
        return std::nullopt;
    }
    return entry->second.value;
}

bool FakeRegistry::KeyExists(const std::wstring& keyPath) const {
    return keys.count({kHklm, Fold(keyPath)}) != 0;
}

}  // namespace tolvane::testing
