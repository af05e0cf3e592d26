// What the program's logic asks of its windows beyond the controls' state.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tolvane {

// Message box styles and answers, with the values Windows gives them.
enum MessageStyle : unsigned {
    MbOk = 0x0,
    MbYesNo = 0x4,
    MbIconQuestion = 0x20,
    MbIconExclamation = 0x30,
    MbIconInformation = 0x40,
    MbDefButton2 = 0x100,
};
enum MessageAnswer : int { IdOk = 1, IdYes = 6, IdNo = 7 };

inline constexpr wchar_t kAppTitle[] = L"Tolvane";

enum class OwnedWindow { Options, About, Ports };

// The calls about windows do nothing by default, as for a run without a window.
class Host {
  public:
    virtual ~Host() = default;
    // Shows a message box and gives the answer. While messages are held back, one that only
    // tells (OK alone) waits for the end of the holding and counts as answered OK.
    int ShowMessage(const std::wstring& text, const std::wstring& title, unsigned style) {
        if (holding_ > 0 && (style & MbYesNo) == 0) {
            held_.push_back({text, title, style});
            return IdOk;
        }
        return ShowMessageBox(text, title, style);
    }
    // While the machine is locked for changes, nobody may be kept waiting by a box that a person
    // has to close: what the changes tell is shown once they are done.
    void HoldMessages() { ++holding_; }
    // Ends one HoldMessages; the last shows what was held, in order.
    void ShowHeldMessages() {
        if (holding_ > 0 && --holding_ == 0) {
            std::vector<HeldMessage> held;
            held.swap(held_);
            for (const HeldMessage& message : held) {
                ShowMessageBox(message.text, message.title, message.style);
            }
        }
    }
    // Called at every change of what keeps the main window from taking input; the same value
    // may come again.
    virtual void EnableMainWindow(bool) {}
    virtual void ShowMainWindow(bool) {}
    // The please-wait window, shown without blocking.
    virtual void ShowPleaseWait(bool) {}
    // Opens a window of its own without blocking; it says when it closes.
    virtual void OpenOwnedWindow(OwnedWindow) {}
    // The main window's handle as a number, the owner of what the shell opens for it.
    virtual std::uintptr_t WindowHandle() { return 0; }
    // The file a person chose in the standard dialog to save a policy to, or to open one from;
    // nothing when they cancelled.
    virtual std::optional<std::wstring> ChoosePolicyFile(bool /*save*/) { return std::nullopt; }
    // Windows took a request to end the session. A program that refuses it before Windows asks
    // this one cancels it without a word to us: a window waits only so long for it.
    virtual void AwaitSessionEnd() {}

  protected:
    // The message box itself.
    virtual int ShowMessageBox(const std::wstring& text, const std::wstring& title,
                               unsigned style) = 0;

  private:
    struct HeldMessage {
        std::wstring text;
        std::wstring title;
        unsigned style;
    };
    int holding_ = 0;
    std::vector<HeldMessage> held_;
};

}  // namespace tolvane
