#include "ui/MenuTable.h"

#include <array>

namespace tolvane {
namespace {

constexpr MenuEntry kSeparator{MenuId::Sauvegarder, nullptr, false};

constexpr std::array<MenuEntry, 6> kTools = {{
    {MenuId::Sauvegarder, L"&Apply the changes", true},
    {MenuId::VerifyAll, L"&Check all", true},
    kSeparator,
    {MenuId::MnuToolsOptions, L"&NTFS options...", true},
    kSeparator,
    {MenuId::QuitMnu, L"Q&uit", true},
}};

constexpr std::array<MenuEntry, 4> kHelp = {{
    {MenuId::MnuHelpContents, L"Help &sections", false},
    {MenuId::Forum, L"&Tolvane forum", false},
    kSeparator,
    {MenuId::MnuHelpAbout, L"A&bout ...", false},
}};

constexpr std::array<MenuDefinition, 2> kMenus = {{{L"&Tools", kTools}, {L"&?", kHelp}}};

}  // namespace

std::span<const MenuDefinition> MainMenus() {
    return kMenus;
}

}  // namespace tolvane
