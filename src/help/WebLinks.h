// The two web addresses Tolvane opens: written down once here.
#pragma once

namespace tolvane {

inline constexpr wchar_t kHomePageUrl[] = L"https://tolvane.example.org/";
inline constexpr wchar_t kForumUrl[] = L"https://tolvane.example.org/forum/";

}  // namespace tolvane
