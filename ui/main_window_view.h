#pragma once

#include "engine/drill_view.h"
#include "engine/period_timer.h"

#include <array>

class QComboBox;
class QLabel;
class QWidget;

namespace quarnel::ui {

class PreciseTimer;
class TickPlayer;

// The drill's view of the main window: its four labels, two selectors, the timer 时钟1 and
// the tick sound.
class MainWindowView final : public DrillView
{
public:
    MainWindowView(QWidget &window, PreciseTimer &timer, TickPlayer &tick);

    void setCaption(Label label, std::string_view text) override;
    void setLabelVisible(Label label, bool visible) override;
    [[nodiscard]] int selectedIndex(Selector selector) const override;
    [[nodiscard]] int itemValue(Selector selector, int index) const override;
    void setSelectorEnabled(Selector selector, bool enabled) override;
    void setTimerPeriod(std::int32_t milliseconds) override;
    void playTick() override;

    [[nodiscard]] std::int32_t timerPeriod() const { return m_period.period(); }

private:
    [[nodiscard]] QLabel &label(Label which) const;
    [[nodiscard]] QComboBox &selector(Selector which) const;

    std::array<QLabel *, 4> m_labels{};
    std::array<QComboBox *, 2> m_selectors{};
    PeriodTimer m_period;
    TickPlayer &m_tick;
};

} // namespace quarnel::ui
