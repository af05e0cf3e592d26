#include "system/win32/ServiceTable.h"

#include <windows.h>

#include "system/win32/Handles.h"

namespace tolvane::win32 {
namespace {

using UniqueServiceHandle = UniqueResource<SC_HANDLE, NullTraits<SC_HANDLE, CloseServiceHandle>>;

}  // namespace

std::optional<std::vector<RunningService>> ReadRunningServices() {
    UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE));
    if (!manager) {
        return std::nullopt;
    }
    std::vector<RunningService> services;
    // The list comes in pieces as large as the buffer; the resume handle says where the next
    // one starts. The records hold pointers (to their names, further on in the buffer): the
    // buffer is an array of them, so that each is aligned as a 64-bit program needs.
    using Entry = ENUM_SERVICE_STATUS_PROCESSW;
    std::vector<Entry> buffer(64 * 1024 / sizeof(Entry));
    DWORD resume = 0;
    for (;;) {
        DWORD needed = 0;
        DWORD returned = 0;
        const BOOL ok =
            EnumServicesStatusExW(manager.get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32,
                                  SERVICE_ACTIVE, reinterpret_cast<BYTE*>(buffer.data()),
                                  static_cast<DWORD>(buffer.size() * sizeof(Entry)), &needed,
                                  &returned, &resume, nullptr);
        const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
        if (!ok && error != ERROR_MORE_DATA) {
            return std::nullopt;
        }
        for (DWORD i = 0; i < returned; ++i) {
            services.push_back(
                {buffer[i].lpServiceName, buffer[i].ServiceStatusProcess.dwProcessId});
        }
        if (ok) {
            return services;
        }
        if (returned == 0) {
            // Not even one entry fitted: make room for the next, or give up where that cannot
            // help.
            const std::size_t entries = needed / sizeof(Entry) + 1;
            if (entries <= buffer.size()) {
                return std::nullopt;
            }
            buffer.resize(entries);
        }
    }
}

}  // namespace tolvane::win32
