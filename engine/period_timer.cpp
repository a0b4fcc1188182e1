#include "period_timer.h"

#include <algorithm>

namespace quarnel {

void PeriodTimer::setPeriod(std::int32_t periodMs)
{
    periodMs = std::max(periodMs, 0);
    if (periodMs == m_period)
        return;
    m_backend.stopCountdown();
    m_period = periodMs;
    if (m_period > 0)
        m_backend.startCountdown(m_period);
}

} // namespace quarnel
