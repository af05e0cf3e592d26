#include "model/FailureMessages.h"

#include <iterator>

namespace tolvane {
namespace {

// What the system refused, in words, by Refused.
constexpr const wchar_t* kRefusedWhat[] = {L"write the registry value",
                                           L"delete the registry value", L"read the registry value",
                                           L"switch the account"};
static_assert(std::size(kRefusedWhat) == static_cast<std::size_t>(Refused::AccountSwitch) + 1);

}  // namespace

std::wstring WriteFailureMessage(const WriteFailure& failure, const std::wstring& reason) {
    std::wstring text = std::wstring(L"Tolvane could not ") +
                        kRefusedWhat[static_cast<int>(failure.refused)] + L"\r\n" +
                        failure.fullPath + L"\r\n\r\n" + reason;
    if (failure.code == kRegAccessDenied) {
        text += L"\r\n\r\nTolvane must be run as an administrator to change this setting.";
    }
    if (!failure.outcome.empty()) {
        text += L"\r\n\r\n" + failure.outcome;
    }
    return text;
}

std::wstring FileFailureMessage(const std::wstring& path, const std::wstring& reason) {
    return L"Tolvane could not write the file\r\n" + path + L"\r\n\r\n" + reason;
}

void ReportRefusal(Machine& machine, const WriteFailure& failure) {
    machine.host.ShowMessage(WriteFailureMessage(failure, machine.system.ErrorText(failure.code)),
                             kAppTitle, MbOk | MbIconExclamation);
}

}  // namespace tolvane
