// Any bytes may sit in a `net user` report file: the parser must neither crash, hang nor read
// past them.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "catalogue/AccountOutput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::wstring value =
        tolvane::FindValueInText(bytes, L"Compte\u00ff: actif", false, L" ", L'\n', L'\r');
    tolvane::AccountStateOf(value);
    if (value.size() > size) {
        __builtin_trap();
    }
    // The other mode and separators exercise the remaining paths.
    const std::wstring all = tolvane::FindValueInText(bytes, L"ab", true, L",,", L'x', L'\n');
    if (all.size() > 2 * size + 2) {
        __builtin_trap();
    }
    return 0;
}
