#include "drill.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

namespace quarnel {

std::string integerText(std::int32_t value)
{
    std::array<char, 16> buffer{};
    const int length = std::snprintf(buffer.data(), buffer.size(), "%d", static_cast<int>(value));
    return {buffer.data(), static_cast<std::size_t>(length)};
}

std::string realText(double value)
{
    std::array<char, 32> buffer{};
    const int length = std::snprintf(buffer.data(), buffer.size(), "%.13g", value);
    return {buffer.data(), static_cast<std::size_t>(length)};
}

void Drill::drawProblem()
{
    // Redraw until the pair is ordered. Rejection keeps every accepted pair equally likely,
    // and only the accepted problem ever reaches the labels or the counter: showing and
    // counting the rejected passes made the counter run ahead of what the pupil saw.
    do {
        m_state.whole = m_numbers.randomInRange(0, m_state.limit);
        m_state.part1 = m_numbers.randomInRange(0, m_state.limit);
        m_state.swapHold = m_state.whole;
        m_state.whole = m_state.part1;
        m_state.part1 = m_state.swapHold;
    } while (m_state.whole < m_state.part1);

    m_view.setCaption(Label::Whole, integerText(m_state.whole));
    m_view.setCaption(Label::Part1, integerText(m_state.part1));
    m_view.setCaption(Label::Part2, realText(static_cast<double>(m_state.whole) -
                                             static_cast<double>(m_state.part1)));
    // Wraps instead of overflowing; at one problem every two seconds that is a century away.
    m_state.problemCount =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(m_state.problemCount) + 1U);
    m_view.setCaption(Label::Counter, integerText(m_state.problemCount));
}

void Drill::onDrillTick()
{
    drawProblem();
    m_view.playTick();
}

namespace {

std::int32_t periodFromPace(int itemValue)
{
    // Item value × 100.0, truncated toward zero; clamped so a stray value cannot overflow.
    const double period = std::trunc(static_cast<double>(itemValue) * 100.0);
    constexpr auto lowest = static_cast<double>(std::numeric_limits<std::int32_t>::min());
    constexpr auto highest = static_cast<double>(std::numeric_limits<std::int32_t>::max());
    if (period <= lowest)
        return std::numeric_limits<std::int32_t>::min();
    if (period >= highest)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(period);
}

} // namespace

void Drill::startDrill()
{
    m_state.limit = m_view.itemValue(Selector::Range, m_view.selectedIndex(Selector::Range));
    onDrillTick();
    m_view.setTimerPeriod(
        periodFromPace(m_view.itemValue(Selector::Pace, m_view.selectedIndex(Selector::Pace))));
    m_view.setSelectorEnabled(Selector::Range, false);
    m_view.setSelectorEnabled(Selector::Pace, false);
}

void Drill::stopDrill()
{
    m_view.setTimerPeriod(0);
    m_state.problemCount = 0;
    m_view.setCaption(Label::Counter, "");
    m_view.setSelectorEnabled(Selector::Range, true);
    m_view.setSelectorEnabled(Selector::Pace, true);
}

} // namespace quarnel
