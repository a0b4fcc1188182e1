#pragma once

#include <cstdint>
#include <string_view>

namespace quarnel {

// The main window's parts that the drill talks to. Keeping this narrow lets the
// engine run in tests without any window, and keeps the window free of logic.
enum class Label {
    Whole,   // 标签_20以内的和
    Part1,   // 标签_20以内数1
    Part2,   // 标签_20以内数2
    Counter, // 标签_出题数量
};

enum class Selector {
    Range, // 组合框_20以内范围: item value is the drill's upper bound
    Pace,  // 组合框_时间: item value is the time per problem in tenths of a second
};

class DrillView
{
public:
    virtual ~DrillView() = default;

    // Texts are UTF-8.
    virtual void setCaption(Label label, std::string_view text) = 0;
    virtual void setLabelVisible(Label label, bool visible) = 0;

    // -1 when nothing is selected.
    [[nodiscard]] virtual int selectedIndex(Selector selector) const = 0;
    // -1 for an index outside the list, -1 itself included.
    [[nodiscard]] virtual int itemValue(Selector selector, int index) const = 0;
    virtual void setSelectorEnabled(Selector selector, bool enabled) = 0;

    // Period of 时钟1 in milliseconds; see PeriodTimer for the rules it follows.
    virtual void setTimerPeriod(std::int32_t milliseconds) = 0;
    // Starts the tick sound and returns at once; failures are silent.
    virtual void playTick() = 0;
};

} // namespace quarnel
