#include "model/Controls.h"

#include "model/ControlLayout.h"

namespace tolvane {

Controls::Controls() {
    for (const ControlLayout& layout : MainWindowLayout()) {
        State& state = at(layout.id);
        state.caption = layout.caption;
        state.bold = layout.bold;
        state.centipoints = layout.centipoints;
    }
    // The account boxes wait for the account probe.
    at(ControlId::GuestAccountBox).enabled = false;
    at(ControlId::HelpAssistantBox).enabled = false;
}

template <typename T>
bool Controls::Update(ControlId id, T State::*field, const T& value) {
    if (at(id).*field == value) {
        return false;
    }
    at(id).*field = value;
    if (view_) {
        view_->ControlChanged(id);
    }
    return true;
}

void Controls::SetValue(ControlId id, BoxValue value) {
    if (Update(id, &State::value, value) && reaction_ && reading_ == 0) {
        reaction_(id);
    }
}

void Controls::SetEnabled(ControlId id, bool enabled) {
    Update(id, &State::enabled, enabled);
}

void Controls::SetCaption(ControlId id, const std::wstring& caption) {
    Update(id, &State::caption, caption);
}

void Controls::SetBold(ControlId id, bool bold) {
    Update(id, &State::bold, bold);
}

void Controls::SetCentipoints(ControlId id, int centipoints) {
    Update(id, &State::centipoints, centipoints);
}

}  // namespace tolvane
