#include "fakes/FakeRegistry.h"

#include <cwctype>

namespace tolvane::testing {
namespace {

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

RegError FakeRegistry::Read(RegistryView view, RegistryRoot root, const std::wstring& key,
                            const std::wstring& name, RawValue& value) {
    views.push_back({"Read", view});
    if (beforeRead) {
        beforeRead(L"read " + key + L"\\" + name);
    }
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

bool FakeRegistry::Refuses(const std::wstring& key, const std::wstring& change) {
    if (!refusals.empty() && Fold(change) == Fold(refusals.front())) {
        refusals.pop_front();
        return true;
    }
    if (denied_.count(Fold(key)) || refuseAfter == 0) {
        return true;
    }
    if (refuseAfter > 0) {
        --refuseAfter;
    }
    return false;
}

RegError FakeRegistry::Write(RegistryView view, RegistryRoot root, const std::wstring& key,
                             const std::wstring& name, const RawValue& value) {
    views.push_back({"Write", view});
    if (beforeWrite) {
        beforeWrite(L"write " + key + L"\\" + name);
    }
    if (Refuses(key, L"write " + key + L"\\" + name)) {
        return kRegAccessDenied;
    }
    ++writes;
    changes.push_back(L"write " + key + L"\\" + name);
    keys[{root, Fold(key)}][Fold(name)] = {name, value};
    return kRegOk;
}

RegError FakeRegistry::DeleteValue(RegistryView view, RegistryRoot root, const std::wstring& key,
                                   const std::wstring& name) {
    views.push_back({"DeleteValue", view});
    const auto found = keys.find({root, Fold(key)});
    if (found == keys.end()) {
        return kRegFileNotFound;
    }
    if (found->second.count(Fold(name)) == 0) {
        return kRegFileNotFound;
    }
    if (Refuses(key, L"delete " + key + L"\\" + name)) {
        return kRegAccessDenied;
    }
    found->second.erase(Fold(name));
    ++deletions;
    changes.push_back(L"delete " + key + L"\\" + name);
    return kRegOk;
}

RegError FakeRegistry::DeleteKey(RegistryView view, RegistryRoot root, const std::wstring& key) {
    views.push_back({"DeleteKey", view});
    const auto found = keys.find({root, Fold(key)});
    if (found == keys.end()) {
        return kRegFileNotFound;
    }
    if (Descendants(root, Fold(key)) > 0 || Refuses(key, L"delete " + key + L"\\")) {
        return kRegAccessDenied;
    }
    keys.erase(found);
    ++deletions;
    changes.push_back(L"delete " + key + L"\\");
    return kRegOk;
}

std::size_t FakeRegistry::Descendants(RegistryRoot root, const std::wstring& foldedKey) const {
    const std::wstring prefix = foldedKey + L"\\";
    std::size_t count = 0;
    for (auto it = keys.lower_bound({root, prefix});
         it != keys.end() && it->first.first == root && it->first.second.starts_with(prefix);
         ++it) {
        ++count;
    }
    return count;
}

RegError FakeRegistry::KeyEntries(RegistryView view, RegistryRoot root, const std::wstring& key,
                                  std::uint32_t& entries) {
    views.push_back({"KeyEntries", view});
    const auto found = keys.find({root, Fold(key)});
    const std::size_t below = Descendants(root, Fold(key));
    if (found == keys.end() && below == 0) {
        return kRegFileNotFound;
    }
    entries = static_cast<std::uint32_t>((found == keys.end() ? 0 : found->second.size()) + below);
    return kRegOk;
}

RegError FakeRegistry::ValueNames(RegistryView view, RegistryRoot root, const std::wstring& key,
                                  std::vector<std::wstring>& names) {
    views.push_back({"ValueNames", view});
    const auto found = keys.find({root, Fold(key)});
    if (found == keys.end()) {
        return Descendants(root, Fold(key)) > 0 ? kRegOk : kRegFileNotFound;
    }
    for (const auto& [folded, entry] : found->second) {
        names.push_back(entry.name);
    }
    return kRegOk;
}

RegError FakeRegistry::SubkeyNames(RegistryView view, RegistryRoot root, const std::wstring& key,
                                   std::vector<std::wstring>& names) {
    views.push_back({"SubkeyNames", view});
    const std::wstring folded = Fold(key);
    if (keys.count({root, folded}) == 0 && Descendants(root, folded) == 0) {
        return kRegFileNotFound;
    }
    const std::wstring prefix = folded + L"\\";
    std::set<std::wstring> children;
    for (auto it = keys.lower_bound({root, prefix});
         it != keys.end() && it->first.first == root && it->first.second.starts_with(prefix);
         ++it) {
        const std::wstring below = it->first.second.substr(prefix.size());
        children.insert(below.substr(0, below.find(L'\\')));
    }
    names.insert(names.end(), children.begin(), children.end());
    return kRegOk;
}

void FakeRegistry::SetRaw(const std::wstring& valuePath, const RawValue& value) {
    const auto [key, name] = SplitPath(valuePath);
    keys[{kHklm, Fold(key)}][Fold(name)] = {name, value};
}

RawValue FakeRegistry::Dword(std::uint32_t n) {
    return {RawDword,
            {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
             static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)}};
}

RawValue FakeRegistry::Text(const std::wstring& text) {
    RawValue value{RawSz, {}};
    for (wchar_t c : text) {
        value.data.push_back(static_cast<std::uint8_t>(c));
        value.data.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    value.data.insert(value.data.end(), {0, 0});
    return value;
}

void FakeRegistry::SetDword(const std::wstring& valuePath, std::uint32_t n) {
    SetRaw(valuePath, Dword(n));
}

void FakeRegistry::SetString(const std::wstring& valuePath, const std::wstring& text) {
    SetRaw(valuePath, Text(text));
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
