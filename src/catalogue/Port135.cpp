#include "catalogue/Port135.h"

#include <array>

#include "catalogue/Services.h"
#include "registry/SettingEngine.h"

namespace tolvane {

std::int16_t IsPort135Closed(Machine& machine) {
    Reg& reg = machine.reg;
    // All four are read, in this order, whatever the first ones give.
    const bool dcomOff =
        reg.ReadValue(Hklm, L"SOFTWARE\\Microsoft\\Ole\\EnableDCOM", kUnreadable) == L"N";
    const bool notListening =
        reg.ReadValue(Hklm, L"SYSTEM\\CurrentControlSet\\Services\\RpcSs\\ListenOnInternet",
                      kUnreadable) == L"N";
    const bool closedByUs =
        reg.ReadValue(Hklm, L"SOFTWARE\\Microsoft\\Rpc\\DCOM ProtocolsKX", kUnreadable) == L"1";
    const bool bound =
        reg.ValueExists(Hklm, L"SYSTEM\\CurrentControlSet\\Services\\Rpc\\Linkage\\Bind");
    return dcomOff && notListening && closedByUs && bound ? 1 : 0;
}

void Port135_Click(Form& form, Machine& machine) {
    using C = ControlId;
    if (form.controls.Value(C::Port135) == 1) {
        for (C box : {C::Port137138139, C::Port445, C::Port1024TCP, C::Port123, C::Port500,
                      C::Port1900, C::Port5000, C::Port1023, C::Port1024UDP, C::Port1027}) {
            form.controls.SetEnabled(box, false);
        }
    } else {
        EnableServiceBoxes(form, machine);
    }
}

}  // namespace tolvane
