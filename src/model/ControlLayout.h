// The main window's design: every control once, as data, in creation (keyboard) order.
#pragma once

#include <optional>
#include <span>

#include "model/ControlId.h"

namespace tolvane {

enum class ControlKind : std::uint8_t {
    Picture,
    Label,
    TextBox,
    Button,
    Frame,
    CheckBox,
    ListView
};

enum class Backdrop : std::uint8_t { Window, White, HelpText };

// The frame of a control placed on the window itself.
inline constexpr std::nullopt_t kOnWindow = std::nullopt;

// Positions and sizes are in twips. A label inside a frame is placed relative to its frame.
struct ControlLayout {
    ControlId id;
    ControlKind kind;
    const wchar_t* caption;
    std::optional<ControlId> frame;
    int left, top, width, height;
    int centipoints;  // font size in hundredths of a point
    bool bold;
    bool centred;
    Backdrop backdrop;
};

std::span<const ControlLayout> MainWindowLayout();
const ControlLayout& LayoutOf(ControlId id);

// Position in window coordinates (twips), frame offset applied.
struct TwipRect {
    int left, top, width, height;
};
TwipRect WindowRectTwips(const ControlLayout& control);
// The control at a point of the window (twips), a frame only where none of the controls on it
// is; none for the window's own background.
std::optional<ControlId> ControlAt(int left, int top);

inline constexpr int kClientWidthTwips = 9300;
inline constexpr int kClientHeightTwips = 6510;
inline constexpr int kPleaseWaitWidthTwips = 3585;
inline constexpr int kPleaseWaitHeightTwips = 810;
inline constexpr wchar_t kFontFace[] = L"Tahoma";
inline constexpr int kDefaultCentipoints = 825;

// A control of one of the small windows the main window opens (options, about, listening
// ports), in twips. The identifier is its window's own number for it, from 0; a control inside a
// frame is placed relative to the frame.
struct SmallControl {
    int id;
    ControlKind kind;
    const wchar_t* caption;
    int left, top, width, height;
    std::optional<int> frame = kOnWindow;
    bool enabled = true;
    int centipoints = kDefaultCentipoints;
    bool bold = false;
    const wchar_t* face = nullptr;  // null: the windows' Tahoma
};
// A small window's control identifier as the number its tables and child windows use.
template <typename Id>
constexpr int Index(Id id) {
    return static_cast<int>(id);
}

// A small window as designed: its class, by which the tests find it too, caption and client size,
// and its controls, in the order of their identifiers, as child windows numbered from
// firstChildId on.
struct SmallWindowDesign {
    const wchar_t* windowClass;
    const wchar_t* caption;
    int widthTwips, heightTwips;
    int firstChildId;
    std::span<const SmallControl> controls;
};
// The child-window identifier of a control of the window: GetDlgItem(window, ChildIdOf(...)).
template <typename Id>
constexpr int ChildIdOf(const SmallWindowDesign& design, Id id) {
    return design.firstChildId + Index(id);
}
// Position in its window, frame offset applied.
TwipRect PlaceOf(std::span<const SmallControl> window, const SmallControl& control);

// Twips to pixels at the given DPI (15 twips per pixel at 96 DPI).
constexpr int TwipsToPixels(int twips, int dpi) {
    return (twips * dpi + 720) / 1440;
}

struct Rgb {
    unsigned char r, g, b;
};
inline constexpr Rgb kWindowColour{209, 220, 235};
inline constexpr Rgb kHelpTextColour{221, 231, 244};
inline constexpr Rgb kWhite{255, 255, 255};
// The background of the options and about windows.
inline constexpr Rgb kNavy{0, 0, 128};

}  // namespace tolvane
