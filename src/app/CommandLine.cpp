#include "app/CommandLine.h"

namespace tolvane {
namespace {

std::wstring TrimBlanks(const std::wstring& text) {
    const auto first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

}  // namespace

void TraiteCommande(const std::wstring& Comm, const std::wstring& Separator,
                    std::vector<std::wstring>& Tabl, std::uint8_t& NbArgs) {
    NbArgs = 0;
    Tabl.assign(1, std::wstring());
    std::wstring s = TrimBlanks(Comm);
    while (!s.empty() && NbArgs < kMostWords) {
        ++NbArgs;
        const auto pos = Separator.empty() ? std::wstring::npos : s.find(Separator);
        Tabl.push_back(s.substr(0, pos));
        s = pos == std::wstring::npos ? std::wstring() : s.substr(pos);
        s.erase(0, s.find_first_not_of(L' ') == std::wstring::npos ? s.size()
                                                                   : s.find_first_not_of(L' '));
        if (!Separator.empty() && s.compare(0, Separator.size(), Separator) == 0) {
            s.erase(0, 1);
        }
    }
}

}  // namespace tolvane
