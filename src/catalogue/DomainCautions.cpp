#include "catalogue/DomainCautions.h"

#include <algorithm>
#include <vector>

#include "model/ControlLayout.h"

namespace tolvane {
namespace {

using C = ControlId;

constexpr wchar_t kSmbLost[] =
    L"; with both port boxes applied the machine loses SMB, and with it Group Policy, SYSVOL and "
    L"the start-up scripts on shares.";

struct Caution {
    C box;
    bool controllerNeedsIt;
    const wchar_t* consequence;
};
// The help file's pages give the same consequences, with the sources that were read for them.
const Caution kCautions[] = {
    {C::Port123Box, true,
     L"without the time service the clock drifts; past Kerberos' tolerance of 5 minutes, logons "
     L"to the domain fail."},
    {C::AnonymousAccessBox, true,
     L"restrictanonymous 2 is not for domain controllers, nor for domains that trust Windows NT "
     L"4.0 domains: the anonymous look-ups they need are refused."},
    {C::Port500Box, false,
     L"IPsec policies, those the domain assigns included, L2TP VPN connections and IPsec port "
     L"filters stop."},
    {C::Port1023Box, false, L"COM+ transactions and the other distributed transactions stop."},
    {C::Port135Box, false,
     L"with DCOM off, remote WMI, COM+ administration and the autoenrollment of certificates "
     L"stop (KB 825750)."},
    {C::RemoteRegistryBox, false,
     L"remote administration and backup tools that read the registry over the network stop."},
    {C::AdminSharesBox, false,
     L"without C$ and ADMIN$, remote administration, software deployment and backup tools that "
     L"use them stop."},
    {C::RemoteAdminBox, false,
     L"without the administrative shares of a server, remote administration, software "
     L"deployment and backup tools that use them stop."},
    {C::NetBiosPortsBox, true,
     L"NetBIOS names, browsing and WINS stop, and file sharing goes on over port 445 alone"},
    {C::Port445Box, true, L"file sharing goes on over port 139 alone"},
};

const Caution* CautionOf(C box) {
    for (const Caution& caution : kCautions) {
        if (caution.box == box) {
            return &caution;
        }
    }
    return nullptr;
}

// The consequence in full: the two SMB boxes tell what both together do.
std::wstring ConsequenceOf(const Caution& caution) {
    const bool smb = caution.box == C::NetBiosPortsBox || caution.box == C::Port445Box;
    return caution.consequence + std::wstring(smb ? kSmbLost : L"");
}

}  // namespace

bool HasDomainConsequence(C box) {
    return CautionOf(box) != nullptr;
}

std::wstring DomainCaution(C box) {
    const Caution* caution = CautionOf(box);
    if (!caution) {
        return {};
    }
    // The captions as designed: a label may be shown on two lines.
    return L"\"" + std::wstring(LayoutOf(LabelOf(box)).caption) + L"\": " + ConsequenceOf(*caution);
}

std::wstring DomainCautionNote(C box) {
    const Caution* caution = CautionOf(box);
    if (!caution) {
        return {};
    }
    // A note is a phrase, as the others beside it.
    std::wstring note = L"caution in a domain: " + ConsequenceOf(*caution);
    if (note.back() == L'.') {
        note.pop_back();
    }
    return note;
}

bool ControllerNeedsIt(C box) {
    const Caution* caution = CautionOf(box);
    return caution && caution->controllerNeedsIt;
}

void ConfirmDomainConsequences(MainWindowState& state, Machine& machine,
                               std::span<const Group> groups) {
    std::vector<C> cautioned;
    for (const Caution& caution : kCautions) {
        const bool inGroup =
            std::find(groups.begin(), groups.end(), GroupOf(caution.box)) != groups.end();
        if (inGroup && state.controls.Ticked(caution.box) &&
            state.ChangedSinceVerify(caution.box)) {
            cautioned.push_back(caution.box);
        }
    }
    if (cautioned.empty()) {
        return;
    }
    const DomainRole role = DetectDomainRole(machine.system);
    if (role == DomainRole::Workgroup) {
        return;
    }
    std::wstring text = role == DomainRole::Controller ? L"This computer is a domain controller."
                        : role == DomainRole::Member
                            ? L"This computer is a member of a domain."
                            : L"Tolvane cannot tell whether this computer is a member of a domain.";
    text += L" Applying these settings has consequences in the domain:";
    for (C box : cautioned) {
        text += L"\r\n\r\n" + DomainCaution(box);
    }
    text +=
        L"\r\n\r\nApply them all the same? No leaves these boxes as they were and applies the "
        L"others.";
    if (machine.host.ShowMessage(text, kAppTitle, MbYesNo | MbIconExclamation | MbDefButton2) ==
        IdYes) {
        return;
    }
    for (C box : cautioned) {
        state.controls.SetValue(box, state.VerifiedValue(box));
    }
}

}  // namespace tolvane
