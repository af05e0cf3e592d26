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

  private:
    int dpi_;
    std::map<std::tuple<int, bool, std::wstring>, UniqueFont> fonts_;
};

}  // namespace tolvane::win32
