// The main window's state as plain data: each box's value and enabled state, each label's
// caption, weight and size. The Win32 window only shows it; a change of a box's value runs the
// box's reaction whether the user or the program made it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "model/ControlId.h"

namespace tolvane {

// A check box's value. The window's boxes have two states; Windows' third, grey, is never shown.
enum class BoxValue : std::uint8_t { Cleared, Ticked };

class ControlView {
  public:
    virtual ~ControlView() = default;
    virtual void ControlChanged(ControlId id) = 0;
};

class Controls {
  public:
    Controls();

    BoxValue Value(ControlId id) const { return at(id).value; }
    bool Ticked(ControlId id) const { return Value(id) == BoxValue::Ticked; }
    // Runs the reaction when the value changes.
    void SetValue(ControlId id, BoxValue value);

    bool Enabled(ControlId id) const { return at(id).enabled; }
    void SetEnabled(ControlId id, bool enabled);

    const std::wstring& Caption(ControlId id) const { return at(id).caption; }
    void SetCaption(ControlId id, const std::wstring& caption);

    bool Bold(ControlId id) const { return at(id).bold; }
    void SetBold(ControlId id, bool bold);

    int Centipoints(ControlId id) const { return at(id).centipoints; }
    void SetCentipoints(ControlId id, int centipoints);

    void SetView(ControlView* view) { view_ = view; }
    void SetReaction(std::function<void(ControlId)> reaction) { reaction_ = std::move(reaction); }

    // While one lives, values change without their reactions: reading a box from the machine is
    // not a click, and one box read must not tick another.
    class ReadingScope {
      public:
        explicit ReadingScope(Controls& controls) : controls_(controls) { ++controls_.reading_; }
        ~ReadingScope() { --controls_.reading_; }
        ReadingScope(const ReadingScope&) = delete;
        ReadingScope& operator=(const ReadingScope&) = delete;

      private:
        Controls& controls_;
    };

  private:
    struct State {
        BoxValue value = BoxValue::Cleared;
        bool enabled = true;
        bool bold = false;
        int centipoints = 0;
        std::wstring caption;
    };
    const State& at(ControlId id) const { return states_[static_cast<int>(id)]; }
    State& at(ControlId id) { return states_[static_cast<int>(id)]; }
    // Sets the field and tells the view; false when it held the value already.
    template <typename T>
    bool Update(ControlId id, T State::*field, const T& value);

    std::array<State, kControlCount> states_;
    ControlView* view_ = nullptr;
    std::function<void(ControlId)> reaction_;
    int reading_ = 0;
};

}  // namespace tolvane
