#include <gtest/gtest.h>

#include "help/About.h"
#include "options/OptionsController.h"
#include "ports/PortsController.h"

namespace tolvane::testing {
namespace {

// Each table is read by identifier, and a control lies inside its window, apart from the others
// but for the frames it stands in.
TEST(SmallWindows, EveryControlLiesInsideItsWindowApartFromTheOthers) {
    for (const SmallWindowDesign* window : {&kOptionsDesign, &kAboutDesign, &kPortsDesign}) {
        const auto layout = window->controls;
        for (std::size_t i = 0; i < layout.size(); ++i) {
            SCOPED_TRACE(std::to_string(window->firstChildId + static_cast<int>(i)));
            EXPECT_EQ(static_cast<std::size_t>(layout[i].id), i);
            const TwipRect a = PlaceOf(layout, layout[i]);
            EXPECT_GE(a.left, 0);
            EXPECT_GE(a.top, 0);
            EXPECT_LE(a.left + a.width, window->widthTwips);
            EXPECT_LE(a.top + a.height, window->heightTwips);
            for (std::size_t j = i + 1; j < layout.size(); ++j) {
                if (layout[i].kind == ControlKind::Frame || layout[j].kind == ControlKind::Frame) {
                    continue;
                }
                // The design lets neighbouring labels share one pixel (15 twips).
                const TwipRect b = PlaceOf(layout, layout[j]);
                const int touch = 15;
                const bool apart =
                    a.left + a.width <= b.left + touch || b.left + b.width <= a.left + touch ||
                    a.top + a.height <= b.top + touch || b.top + b.height <= a.top + touch;
                EXPECT_TRUE(apart) << "and " << j;
            }
        }
    }
}

}  // namespace
}  // namespace tolvane::testing
