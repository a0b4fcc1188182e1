// 时钟1's count-down on Qt's real clock, driven through the engine's period rules. The rules
// themselves are tested on a fake clock with the engine; this checks that the Qt adapter keeps
// them: QTimer restarts on every start(), even with an unchanged interval.
//
// Real time on a busy machine: every bound compares a restart with no restart, which lie a
// whole period apart, and leaves hundreds of milliseconds of slack.
#include "engine/period_timer.h"
#include "ui/precise_timer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using quarnel::PeriodTimer;
using quarnel::ui::PreciseTimer;

class PreciseTimerTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void samePeriodLeavesTheCountdownAlone();
    void differentPeriodStartsAfresh();
    void zeroStops();

private:
    // Milliseconds since the test's start at which each tick arrived.
    QList<qint64> m_ticks;
    QElapsedTimer m_clock;
};

void PreciseTimerTest::init()
{
    m_ticks.clear();
    m_clock.start();
}

void PreciseTimerTest::samePeriodLeavesTheCountdownAlone()
{
    PreciseTimer timer;
    PeriodTimer period(timer);
    connect(&timer, &PreciseTimer::tick, this, [this] { m_ticks.append(m_clock.elapsed()); });

    period.setPeriod(600);
    QTest::qWait(300);
    const qint64 rewrittenAt = m_clock.elapsed();
    period.setPeriod(600);
    QTRY_VERIFY_WITH_TIMEOUT(!m_ticks.isEmpty(), 5000);

    // Undisturbed, the tick comes 600 ms after the first write; restarted, 600 ms after the
    // second one.
    QVERIFY2(m_ticks.front() < rewrittenAt + 450,
             qPrintable(QStringLiteral("tick at %1 ms, period rewritten at %2 ms")
                            .arg(m_ticks.front())
                            .arg(rewrittenAt)));
    QVERIFY(timer.isRunning());
}

void PreciseTimerTest::differentPeriodStartsAfresh()
{
    PreciseTimer timer;
    PeriodTimer period(timer);
    connect(&timer, &PreciseTimer::tick, this, [this] { m_ticks.append(m_clock.elapsed()); });

    period.setPeriod(600);
    QTest::qWait(300);
    const qint64 rewrittenAt = m_clock.elapsed();
    period.setPeriod(900);
    QTRY_VERIFY_WITH_TIMEOUT(!m_ticks.isEmpty(), 5000);

    QVERIFY2(m_ticks.front() >= rewrittenAt + 880,
             qPrintable(QStringLiteral("tick at %1 ms, period rewritten at %2 ms")
                            .arg(m_ticks.front())
                            .arg(rewrittenAt)));
}

void PreciseTimerTest::zeroStops()
{
    PreciseTimer timer;
    PeriodTimer period(timer);
    QSignalSpy ticks(&timer, &PreciseTimer::tick);

    period.setPeriod(100);
    period.setPeriod(0);
    QVERIFY(!timer.isRunning());
    QTest::qWait(400);
    QCOMPARE(ticks.count(), 0);

    period.setPeriod(-100);
    QVERIFY(!timer.isRunning());
}

QTEST_GUILESS_MAIN(PreciseTimerTest)
#include "tst_precise_timer.moc"
