#pragma once

#include "drill_view.h"

namespace quarnel {

// The four radio buttons' handlers. Each writes all three visibilities every time, so a
// click on the button already marked simply writes the same row again.
void showAllNumbers(DrillView &view);
void hidePart2(DrillView &view);
void hidePart1(DrillView &view);
void hideWhole(DrillView &view);

} // namespace quarnel
