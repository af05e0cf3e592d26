#include "model/MenuTable.h"

#include <array>

namespace tolvane {
namespace {

constexpr MenuEntry kSeparator{MenuId::ApplyAll, nullptr};

constexpr std::array<MenuEntry, 10> kTools = {{
    {MenuId::ApplyAll, L"&Apply the changes"},
    {MenuId::VerifyAll, L"&Check all"},
    {MenuId::ListeningPorts, L"&Listening ports..."},
    kSeparator,
    {MenuId::SavePolicy, L"&Save as policy..."},
    {MenuId::OpenPolicy, L"&Open policy..."},
    kSeparator,
    {MenuId::Options, L"&NTFS options..."},
    kSeparator,
    {MenuId::Quit, L"Q&uit"},
}};

constexpr std::array<MenuEntry, 4> kHelp = {{
    {MenuId::HelpContents, L"Help &sections"},
    {MenuId::Forum, L"&Tolvane forum"},
    kSeparator,
    {MenuId::About, L"A&bout ..."},
}};

constexpr std::array<MenuDefinition, 2> kMenus = {{{L"&Tools", kTools}, {L"&?", kHelp}}};

}  // namespace

std::span<const MenuDefinition> MainMenus() {
    return kMenus;
}

}  // namespace tolvane
