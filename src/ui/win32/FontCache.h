// The fonts the windows use, each made once and freed with the window.
#pragma once

#include <map>
#include <string>
#include <tuple>

#include "system/win32/Handles.h"

namespace tolvane::win32 {

class FontCache {
  public:
    explicit FontCache(int dpi) : dpi_(dpi) {}
    HFONT Get(int centipoints, bool bold, const wchar_t* face = nullptr);
    // A font whose letters are all as wide, for text in columns: Courier New, or the nearest such
    // font where the system lacks it (Wine).
    HFONT FixedPitch(int centipoints);

  private:
    HFONT Make(int centipoints, bool bold, const wchar_t* face, BYTE pitchAndFamily);

    int dpi_;
    std::map<std::tuple<int, bool, std::wstring, BYTE>, UniqueFont> fonts_;
};

}  // namespace tolvane::win32
