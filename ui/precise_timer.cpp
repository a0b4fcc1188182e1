#include "precise_timer.h"

namespace quarnel::ui {

PreciseTimer::PreciseTimer(QObject *parent)
    : QObject(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PreciseTimer::tick);
}

void PreciseTimer::startCountdown(std::int32_t periodMs)
{
    m_timer.start(periodMs);
}

void PreciseTimer::stopCountdown()
{
    m_timer.stop();
}

} // namespace quarnel::ui
