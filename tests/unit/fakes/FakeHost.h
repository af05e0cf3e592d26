// Records message boxes and the main window's enabled state; answers boxes as told.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "model/Host.h"

namespace tolvane::testing {

class FakeHost : public Host {
  public:
    struct Message {
        std::wstring text;
        std::wstring title;
        unsigned style;
        // How many machine locks were held when the box was shown.
        int locksHeld;
    };

    FakeHost() = default;
    // Notes with each box the locks of this count held then.
    explicit FakeHost(const int& locksHeld) : locksHeld_(&locksHeld) {}

    int ShowMessageBox(const std::wstring& text, const std::wstring& title,
                       unsigned style) override {
        messages.push_back({text, title, style, locksHeld_ ? *locksHeld_ : 0});
        if (answers.empty()) {
            return IdOk;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void EnableMainWindow(bool enabled) override { enableCalls.push_back(enabled); }
    void ShowMainWindow(bool shown) override { showCalls.push_back(shown); }
    void ShowPleaseWait(bool shown) override { pleaseWaitCalls.push_back(shown); }
    void OpenOwnedWindow(OwnedWindow window) override { opened.push_back(window); }
    std::uintptr_t WindowHandle() override { return 0x1234; }
    void AwaitSessionEnd() override { ++sessionEndsAwaited; }

    std::vector<Message> messages;
    std::deque<int> answers;
    std::vector<bool> enableCalls;
    std::vector<bool> pleaseWaitCalls;
    std::vector<bool> showCalls;
    std::vector<OwnedWindow> opened;
    int sessionEndsAwaited = 0;

  private:
    const int* locksHeld_ = nullptr;
};

}  // namespace tolvane::testing
