// Where the program named at the front of a command line is taken from.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tolvane {

// A bare program name ("net", "Cmd") is looked up only in the given folders, in order, so that a
// program planted beside Tolvane or in the current folder is never run instead. A command line
// that starts with a full path names its program by that path: the quoted text when quoted,
// otherwise the shortest part ending in ".exe" or ".com" before a blank or the end that names a
// file, so that "C:\My Windows\hh.exe" never runs a planted "C:\My.exe". A relative path names
// nothing: it would be taken from the current folder.
// The program file, or nothing.
std::optional<std::wstring> FindProgram(const std::wstring& commandLine,
                                        const std::vector<std::wstring>& folders,
                                        const std::function<bool(const std::wstring&)>& isFile);

}  // namespace tolvane
