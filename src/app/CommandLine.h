// Splitting the command line into words.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolvane {

inline constexpr int kMostWords = 255;

// Words land at Tabl[1..NbArgs]; Tabl[0] stays empty. Runs of blanks count as one blank
// separator. Words beyond the 255th are ignored.
void TraiteCommande(const std::wstring& Comm, const std::wstring& Separator,
                    std::vector<std::wstring>& Tabl, std::uint8_t& NbArgs);

}  // namespace tolvane
