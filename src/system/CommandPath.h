// Where the program named at the front of a command line is taken from.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tolvane {

struct ProgramLookup {
    enum class Kind { AsGiven, Found, NotFound };
    Kind kind;
    std::wstring path;  // the program file when Found
};

// A bare program name ("net", "Cmd") is looked up only in the given folders, in order, so that a
// program planted beside Tolvane or in the current folder is never run instead. A command line
// that starts with a path is run as given.
ProgramLookup FindProgram(const std::wstring& commandLine, const std::vector<std::wstring>& folders,
                          const std::function<bool(const std::wstring&)>& isFile);

}  // namespace tolvane
