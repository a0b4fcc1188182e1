#pragma once

#include "drill_view.h"
#include "random_source.h"

#include <cstdint>
#include <string>

namespace quarnel {

// The drill's program-wide variables; all zero at load and never saved.
struct DrillState
{
    std::int32_t limit = 0;        // inclusive upper bound of every drawn number
    std::int32_t whole = 0;        // shown in 标签_20以内的和
    std::int32_t part1 = 0;        // shown in 标签_20以内数1
    std::int32_t swapHold = 0;     // holding slot of the exchange; equals part1 after a draw
    std::int32_t problemCount = 0; // problems shown since start-up or the last Stop
};

// "%d" and "%.13g": the texts the labels show.
[[nodiscard]] std::string integerText(std::int32_t value);
[[nodiscard]] std::string realText(double value);

// The drill's handlers. Start, Stop and the timer tick of the main window call them;
// they reach the window only through DrillView.
class Drill final
{
public:
    Drill(DrillView &view, NumberSource &numbers)
        : m_view(view)
        , m_numbers(numbers)
    {}

    // Puts one problem with 0 <= part1 <= whole <= limit on the labels and counts it.
    void drawProblem();
    void startDrill();
    void stopDrill();
    void onDrillTick();

    [[nodiscard]] const DrillState &state() const noexcept { return m_state; }

private:
    DrillView &m_view;
    NumberSource &m_numbers;
    DrillState m_state;
};

} // namespace quarnel
