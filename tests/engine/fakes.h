#pragma once

#include "engine/drill_view.h"
#include "engine/period_timer.h"
#include "engine/random_source.h"

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace quarnel::testing {

// A window stand-in that remembers everything the engine asked of it.
class RecordingView final : public DrillView
{
public:
    struct Combo
    {
        std::vector<int> values;
        int selected = 0;
        bool enabled = true;
    };

    void setCaption(Label label, std::string_view text) override
    {
        captions[index(label)] = std::string(text);
        captionWrites.emplace_back(label, std::string(text));
    }
    void setLabelVisible(Label label, bool visible) override
    {
        visibility[index(label)] = visible;
        ++visibilityWrites;
    }
    int selectedIndex(Selector selector) const override { return combo(selector).selected; }
    int itemValue(Selector selector, int itemIndex) const override
    {
        const auto &values = combo(selector).values;
        if (itemIndex < 0 || itemIndex >= static_cast<int>(values.size()))
            return -1;
        return values[static_cast<std::size_t>(itemIndex)];
    }
    void setSelectorEnabled(Selector selector, bool enabled) override
    {
        combo(selector).enabled = enabled;
    }
    void setTimerPeriod(std::int32_t milliseconds) override
    {
        periodsWritten.push_back(milliseconds);
        if (timer)
            timer->setPeriod(milliseconds);
    }
    void playTick() override { ++ticksPlayed; }

    [[nodiscard]] const std::string &caption(Label label) const { return captions[index(label)]; }
    [[nodiscard]] bool visible(Label label) const { return visibility[index(label)]; }
    Combo &combo(Selector selector) { return selector == Selector::Range ? range : pace; }
    [[nodiscard]] const Combo &combo(Selector selector) const
    {
        return selector == Selector::Range ? range : pace;
    }

    // The window's item values, with its initial selections.
    Combo range{{5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}, 0};
    Combo pace{{20, 25, 30, 40, 50, 60, 70, 80, 90, 100, 110, 0}, 5};
    std::array<std::string, 4> captions{"和", "数1", "数2", "0"};
    std::array<bool, 4> visibility{true, true, true, true};
    std::vector<std::pair<Label, std::string>> captionWrites;
    int visibilityWrites = 0;
    std::vector<std::int32_t> periodsWritten;
    int ticksPlayed = 0;
    PeriodTimer *timer = nullptr;

private:
    static std::size_t index(Label label) { return static_cast<std::size_t>(label); }
};

// Hands out a fixed sequence of numbers, so a test decides every draw.
class ScriptedSource final : public NumberSource
{
public:
    explicit ScriptedSource(std::deque<std::int32_t> script)
        : m_script(std::move(script))
    {}

    std::int32_t randomInRange(std::int32_t lo, std::int32_t hi) override
    {
        requests.emplace_back(lo, hi);
        if (m_script.empty())
            return 0;
        const std::int32_t value = m_script.front();
        m_script.pop_front();
        return value;
    }

    [[nodiscard]] std::size_t remaining() const { return m_script.size(); }
    std::vector<std::pair<std::int32_t, std::int32_t>> requests;

private:
    std::deque<std::int32_t> m_script;
};

// A periodic count-down on a clock that only moves when the test says so.
class FakeClockTimer final : public TimerBackend
{
public:
    void startCountdown(std::int32_t periodMs) override
    {
        m_running = true;
        m_period = periodMs;
        m_due = now + periodMs;
        ++starts;
    }
    void stopCountdown() override { m_running = false; }

    // Moves the clock to `time`, firing every tick that falls due on the way.
    template<typename OnTick>
    void advanceTo(std::int64_t time, OnTick onTick)
    {
        while (m_running && m_due <= time) {
            now = m_due;
            m_due += m_period;
            ticks.push_back(now);
            onTick();
        }
        now = time;
    }
    void advanceTo(std::int64_t time)
    {
        advanceTo(time, [] {});
    }

    [[nodiscard]] bool running() const { return m_running; }

    std::int64_t now = 0;
    std::vector<std::int64_t> ticks;
    int starts = 0;

private:
    bool m_running = false;
    std::int64_t m_period = 0;
    std::int64_t m_due = 0;
};

} // namespace quarnel::testing
