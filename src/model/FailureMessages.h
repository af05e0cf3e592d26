// What the user reads when the system refuses a change.
#pragma once

#include <string>

#include "model/Machine.h"

namespace tolvane {

// The message shown when the registry refuses a write.
std::wstring WriteFailureMessage(const WriteFailure& failure, const std::wstring& reason);
// Shows that message, with the system's words for the refusal.
void ReportRefusal(Machine& machine, const WriteFailure& failure);
// The message shown when a file cannot be written.
std::wstring FileFailureMessage(const std::wstring& path, const std::wstring& reason);

}  // namespace tolvane
