#pragma once

#include <cstdint>

namespace quarnel {

// What a real timer must offer: a periodic count-down that can be (re)started and stopped.
class TimerBackend
{
public:
    virtual ~TimerBackend() = default;
    // Begins a fresh count-down of the given positive length; ticks then recur every period.
    virtual void startCountdown(std::int32_t periodMs) = 0;
    virtual void stopCountdown() = 0;
};

// The drill timer's period rules. A negative period counts as 0, and 0 means stopped.
// Writing the period the timer already has must leave a running count-down alone: a
// second Start during a timed drill would otherwise shift every following problem.
class PeriodTimer final
{
public:
    explicit PeriodTimer(TimerBackend &backend)
        : m_backend(backend)
    {}

    void setPeriod(std::int32_t periodMs);
    [[nodiscard]] std::int32_t period() const noexcept { return m_period; }

private:
    TimerBackend &m_backend;
    std::int32_t m_period = 0;
};

} // namespace quarnel
