#pragma once

#include "engine/period_timer.h"

#include <QObject>
#include <QTimer>

namespace quarnel::ui {

// The drill timer's count-down on a real clock. Qt's coarse timers may fire 5 % early (a
// 2000 ms tick after 1900 ms), so this one runs precise. QTimer restarts its count-down on
// every start() or setInterval(), even with the same interval: drive it through PeriodTimer,
// which only calls startCountdown when the period really changes.
class PreciseTimer final : public QObject, public TimerBackend
{
    Q_OBJECT

public:
    explicit PreciseTimer(QObject *parent = nullptr);

    void startCountdown(std::int32_t periodMs) override;
    void stopCountdown() override;

    [[nodiscard]] bool isRunning() const { return m_timer.isActive(); }

signals:
    void tick();

private:
    QTimer m_timer;
};

} // namespace quarnel::ui
