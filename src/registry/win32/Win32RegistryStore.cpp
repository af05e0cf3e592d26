#include "registry/win32/Win32RegistryStore.h"

#include <windows.h>

#include "system/win32/Handles.h"
#include "system/win32/OnDemand.h"

namespace tolvane::win32 {
namespace {

HKEY RootKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RegistryRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case RegistryRoot::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case RegistryRoot::Users:
            return HKEY_USERS;
        case RegistryRoot::CurrentConfig:
            return HKEY_CURRENT_CONFIG;
    }
    return nullptr;
}

// The flag that picks the view; none for the default view, so that Windows 2000, which refuses
// the flag, never sees it.
REGSAM ViewFlag(RegistryView view) {
    return view == RegistryView::Wide64 ? KEY_WOW64_64KEY : 0;
}

RegError Open(RegistryView view, RegistryRoot root, const std::wstring& key, REGSAM access,
              UniqueRegKey& opened) {
    const HKEY rootKey = RootKey(root);
    if (!rootKey) {
        return ERROR_BAD_PATHNAME;
    }
    return RegOpenKeyExW(rootKey, key.c_str(), 0, access | ViewFlag(view), opened.put());
}

// The names of one kind of the key's entries, as `enumerate(key, index, buffer, &length)` gives
// them one by one.
template <typename Enumerate>
RegError EntryNames(RegistryView view, RegistryRoot root, const std::wstring& key,
                    std::size_t longest, std::vector<std::wstring>& names, Enumerate enumerate) {
    UniqueRegKey opened;
    if (const RegError error =
            Open(view, root, key, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, opened)) {
        return error;
    }
    std::vector<wchar_t> name(longest);
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG error = enumerate(opened.get(), index, name.data(), &length);
        if (error == ERROR_NO_MORE_ITEMS) {
            return kRegOk;
        }
        if (error != ERROR_SUCCESS) {
            return static_cast<RegError>(error);
        }
        names.emplace_back(name.data(), length);
    }
}

}  // namespace

RegError Win32RegistryStore::Read(RegistryView view, RegistryRoot root, const std::wstring& key,
                                  const std::wstring& name, RawValue& value) {
    UniqueRegKey opened;
    if (const RegError error = Open(view, root, key, KEY_QUERY_VALUE, opened)) {
        return error;
    }
    DWORD type = 0;
    DWORD size = 0;
    LONG error = RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type, nullptr, &size);
    // The value can grow between the two calls: ask again until it fits.
    while (error == ERROR_SUCCESS || error == ERROR_MORE_DATA) {
        value.data.resize(size);
        error = RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type,
                                 value.data.empty() ? nullptr : value.data.data(), &size);
        if (error == ERROR_SUCCESS) {
            value.data.resize(size);
            value.type = type;
            return kRegOk;
        }
    }
    return static_cast<RegError>(error);
}

RegError Win32RegistryStore::Write(RegistryView view, RegistryRoot root, const std::wstring& key,
                                   const std::wstring& name, const RawValue& value) {
    const HKEY rootKey = RootKey(root);
    if (!rootKey) {
        return ERROR_BAD_PATHNAME;
    }
    UniqueRegKey opened;
    if (const LONG error =
            RegCreateKeyExW(rootKey, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | ViewFlag(view),
                            nullptr, opened.put(), nullptr)) {
        return static_cast<RegError>(error);
    }
    return static_cast<RegError>(RegSetValueExW(opened.get(), name.c_str(), 0, value.type,
                                                value.data.data(),
                                                static_cast<DWORD>(value.data.size())));
}

RegError Win32RegistryStore::DeleteValue(RegistryView view, RegistryRoot root,
                                         const std::wstring& key, const std::wstring& name) {
    UniqueRegKey opened;
    if (const RegError error = Open(view, root, key, KEY_SET_VALUE, opened)) {
        return error;
    }
    return static_cast<RegError>(RegDeleteValueW(opened.get(), name.c_str()));
}

RegError Win32RegistryStore::DeleteKey(RegistryView view, RegistryRoot root,
                                       const std::wstring& key) {
    const HKEY rootKey = RootKey(root);
    if (!rootKey) {
        return ERROR_BAD_PATHNAME;
    }
    // RegDeleteKeyW deletes in the default view only.
    if (view == RegistryView::Wide64) {
        if (const auto deleteKeyEx = ondemand::RegDeleteKeyEx()) {
            return static_cast<RegError>(deleteKeyEx(rootKey, key.c_str(), ViewFlag(view), 0));
        }
    }
    return static_cast<RegError>(RegDeleteKeyW(rootKey, key.c_str()));
}

RegError Win32RegistryStore::KeyEntries(RegistryView view, RegistryRoot root,
                                        const std::wstring& key, std::uint32_t& entries) {
    UniqueRegKey opened;
    if (const RegError error = Open(view, root, key, KEY_QUERY_VALUE, opened)) {
        return error;
    }
    DWORD subkeys = 0;
    DWORD values = 0;
    if (const LONG error =
            RegQueryInfoKeyW(opened.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                             &values, nullptr, nullptr, nullptr, nullptr)) {
        return static_cast<RegError>(error);
    }
    entries = subkeys + values;
    return kRegOk;
}

RegError Win32RegistryStore::ValueNames(RegistryView view, RegistryRoot root,
                                        const std::wstring& key, std::vector<std::wstring>& names) {
    // Value names are at most 16383 characters.
    return EntryNames(
        view, root, key, 16384, names, [](HKEY opened, DWORD index, wchar_t* name, DWORD* length) {
            return RegEnumValueW(opened, index, name, length, nullptr, nullptr, nullptr, nullptr);
        });
}

RegError Win32RegistryStore::SubkeyNames(RegistryView view, RegistryRoot root,
                                         const std::wstring& key,
                                         std::vector<std::wstring>& names) {
    // Key names are at most 255 characters.
    return EntryNames(
        view, root, key, 256, names, [](HKEY opened, DWORD index, wchar_t* name, DWORD* length) {
            return RegEnumKeyExW(opened, index, name, length, nullptr, nullptr, nullptr, nullptr);
        });
}

}  // namespace tolvane::win32
