// The drill timer's period rules on a fake clock: which writes restart the count-down.
#include "engine/period_timer.h"
#include "fakes.h"

#include <QTest>

using quarnel::PeriodTimer;
using quarnel::testing::FakeClockTimer;

class PeriodTimerTest : public QObject
{
    Q_OBJECT

private slots:
    void writesFollowTheRules_data();
    void writesFollowTheRules();
};

void PeriodTimerTest::writesFollowTheRules_data()
{
    // writes: "time:period" pairs, applied in order; ticks: when the timer fires up to `until`.
    QTest::addColumn<QString>("writes");
    QTest::addColumn<int>("until");
    QTest::addColumn<QList<int>>("ticks");
    QTest::addColumn<int>("countdownsStarted");

    QTest::newRow("a period ticks from its write")
        << "0:2000" << 6500 << QList<int>{2000, 4000, 6000} << 1;
    QTest::newRow("the same period leaves the count-down alone")
        << "0:2000 1500:2000 3999:2000" << 6500 << QList<int>{2000, 4000, 6000} << 1;
    QTest::newRow("a different period starts afresh")
        << "0:2000 1500:3000" << 8000 << QList<int>{4500, 7500} << 2;
    QTest::newRow("zero stops") << "0:2000 2500:0" << 9000 << QList<int>{2000} << 1;
    QTest::newRow("negative counts as zero") << "0:2000 500:-100" << 9000 << QList<int>{} << 1;
    QTest::newRow("negative while stopped changes nothing")
        << "0:-100 10:0" << 9000 << QList<int>{} << 0;
    QTest::newRow("restart after a stop")
        << "0:2000 100:0 300:2000" << 4400 << QList<int>{2300, 4300} << 2;
}

void PeriodTimerTest::writesFollowTheRules()
{
    QFETCH(QString, writes);
    QFETCH(int, until);
    QFETCH(QList<int>, ticks);
    QFETCH(int, countdownsStarted);

    FakeClockTimer clock;
    PeriodTimer timer(clock);
    for (const QString &write : writes.split(u' ')) {
        const auto parts = write.split(u':');
        clock.advanceTo(parts[0].toInt());
        timer.setPeriod(parts[1].toInt());
        QCOMPARE(timer.period(), std::max(parts[1].toInt(), 0));
    }
    clock.advanceTo(until);

    QList<int> fired;
    for (auto tick : clock.ticks)
        fired.append(static_cast<int>(tick));
    QCOMPARE(fired, ticks);
    QCOMPARE(clock.starts, countdownsStarted);
}

QTEST_APPLESS_MAIN(PeriodTimerTest)
#include "tst_period_timer.moc"
