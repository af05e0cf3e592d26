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

void Controls::Changed(ControlId id) {
    if (view_) {
        view_->ControlChanged(id);
    }
}

void Controls::SetValue(ControlId id, BoxValue value) {
    if (at(id).value == value) {
        return;
    }
    at(id).value = value;
    Changed(id);
    if (reaction_) {
        reaction_(id);
    }
}

void Controls::SetEnabled(ControlId id, bool enabled) {
    if (at(id).enabled != enabled) {
        at(id).enabled = enabled;
        Changed(id);
    }
}

void Controls::SetCaption(ControlId id, const std::wstring& caption) {
    if (at(id).caption != caption) {
        at(id).caption = caption;
        Changed(id);
    }
}

void Controls::SetBold(ControlId id, bool bold) {
    if (at(id).bold != bold) {
        at(id).bold = bold;
        Changed(id);
    }
}

void Controls::SetCentipoints(ControlId id, int centipoints) {
    if (at(id).centipoints != centipoints) {
        at(id).centipoints = centipoints;
        Changed(id);
    }
}

}  // namespace tolvane
