// The options window's logic: the file system of the system drive with its conversion to NTFS,
// and the security-tab pack of Windows XP Home.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "model/ControlLayout.h"
#include "model/Machine.h"
#include "model/MainWindowState.h"

namespace tolvane {

enum class OptionsControlId : std::uint8_t {
    NtfsFrame,
    FileSystemLabel,
    SecurityNoticeLabel,
    ConvertAdviceLabel,
    RestartLabel,
    ConvertButton,
    RestartButton,
    XpHomeFrame,
    SecurityTabLabel,
    InstallSecurityTabButton,
    CloseButton,
    Count
};
inline constexpr int kOptionsControlCount = static_cast<int>(OptionsControlId::Count);

extern const SmallWindowDesign kOptionsDesign;

class OptionsController {
  public:
    struct Control {
        std::wstring caption;
        bool enabled;
    };

    // The designed captions and states; Load adapts them to the machine.
    OptionsController(MainWindowState& mainWindow, Machine& machine);
    void Load();
    // A press on one of its buttons; false when the window is to close.
    bool Click(OptionsControlId id);
    // True while the conversion it started still runs; once it has ended, the restart is
    // offered.
    bool WatchConversion();

    const Control& At(OptionsControlId id) const { return controls_[static_cast<int>(id)]; }
    void SetView(std::function<void(OptionsControlId)> view) { view_ = std::move(view); }

  private:
    void SetEnabled(OptionsControlId id, bool enabled);
    void SetCaption(OptionsControlId id, std::wstring caption);
    void ConvertToNtfs();
    void InstallSecurityPack();

    MainWindowState& mainWindow_;
    Machine& machine_;
    std::array<Control, kOptionsControlCount> controls_;
    std::unique_ptr<StartedProcess> conversion_;
    std::function<void(OptionsControlId)> view_;
};

}  // namespace tolvane
