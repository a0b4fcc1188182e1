#include "answer_hiding.h"

namespace quarnel {

namespace {

void showNumbers(DrillView &view, bool whole, bool part1, bool part2)
{
    view.setLabelVisible(Label::Whole, whole);
    view.setLabelVisible(Label::Part1, part1);
    view.setLabelVisible(Label::Part2, part2);
}

} // namespace

void showAllNumbers(DrillView &view)
{
    showNumbers(view, true, true, true);
}

void hidePart2(DrillView &view)
{
    showNumbers(view, true, true, false);
}

void hidePart1(DrillView &view)
{
    showNumbers(view, true, false, true);
}

void hideWhole(DrillView &view)
{
    showNumbers(view, false, true, true);
}

} // namespace quarnel
