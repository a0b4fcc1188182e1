// Start, Stop and the timer tick: what each does to the timer, the selectors, the counter and the
// labels, driven on a fake clock so that schedules can be checked exactly.
#include "engine/answer_hiding.h"
#include "engine/drill.h"
#include "fakes.h"

#include <QTest>

using namespace quarnel;
using quarnel::testing::FakeClockTimer;
using quarnel::testing::RecordingView;

namespace {

// The window stand-in wired to a real PeriodTimer on a fake clock.
struct Bench
{
    Bench()
    {
        numbers.seedRandom(1);
        view.timer = &timer;
    }
    void advanceTo(std::int64_t time)
    {
        clock.advanceTo(time, [this] { drill.onDrillTick(); });
    }

    RecordingView view;
    RandomSource numbers;
    FakeClockTimer clock;
    PeriodTimer timer{clock};
    Drill drill{view, numbers};
};

using HidingHandler = void (*)(DrillView &);
using Visibility = std::array<bool, 3>;

} // namespace

Q_DECLARE_METATYPE(HidingHandler)
Q_DECLARE_METATYPE(Visibility)

class DrillControlTest : public QObject
{
    Q_OBJECT

private slots:
    void startReadsSelectors_data();
    void startReadsSelectors();
    void untimedStartShowsOneProblemPerPress();
    void startAgainWhileTimedKeepsTheSchedule();
    void stopThenStartBeginsAFreshPeriod();
    void stopClearsCounterAndKeepsNumbers_data();
    void stopClearsCounterAndKeepsNumbers();
    void startNeverResetsTheCounter();
    void rangeReadByStartAppliesToItsFirstProblem();
    void hidingHandlersWriteAllThreeLabels_data();
    void hidingHandlersWriteAllThreeLabels();
    void drillNeverTouchesVisibility();
};

void DrillControlTest::startReadsSelectors_data()
{
    QTest::addColumn<int>("rangeIndex");
    QTest::addColumn<int>("paceIndex");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("periodWritten");
    QTest::addColumn<int>("timerPeriod");

    QTest::newRow("untouched selectors") << 0 << 5 << 5 << 6000 << 6000;
    QTest::newRow("每题2秒") << 15 << 0 << 20 << 2000 << 2000;
    QTest::newRow("每题2.5秒") << 3 << 1 << 8 << 2500 << 2500;
    QTest::newRow("不计时") << 0 << 11 << 5 << 0 << 0;
    QTest::newRow("nothing selected") << -1 << -1 << -1 << -100 << 0;
    QTest::newRow("index past the list") << 16 << 12 << -1 << -100 << 0;
}

void DrillControlTest::startReadsSelectors()
{
    QFETCH(int, rangeIndex);
    QFETCH(int, paceIndex);
    QFETCH(int, limit);
    QFETCH(int, periodWritten);
    QFETCH(int, timerPeriod);

    Bench bench;
    bench.view.range.selected = rangeIndex;
    bench.view.pace.selected = paceIndex;
    bench.drill.startDrill();

    QCOMPARE(bench.drill.state().limit, limit);
    QCOMPARE(bench.drill.state().problemCount, 1);
    QCOMPARE(bench.view.ticksPlayed, 1);
    QCOMPARE(bench.view.periodsWritten, std::vector<std::int32_t>{periodWritten});
    QCOMPARE(bench.timer.period(), timerPeriod);
    QCOMPARE(bench.clock.running(), timerPeriod > 0);
    QVERIFY(!bench.view.range.enabled);
    QVERIFY(!bench.view.pace.enabled);

    bench.advanceTo(3 * 11000);
    const int expectedTicks = timerPeriod > 0 ? 3 * 11000 / timerPeriod : 0;
    QCOMPARE(bench.drill.state().problemCount, 1 + expectedTicks);
    QCOMPARE(bench.view.ticksPlayed, 1 + expectedTicks);
}

void DrillControlTest::untimedStartShowsOneProblemPerPress()
{
    Bench bench;
    bench.view.pace.selected = 11; // "不计时"
    for (int press = 1; press <= 3; ++press) {
        bench.drill.startDrill();
        bench.advanceTo(press * 60000);
        QCOMPARE(bench.drill.state().problemCount, press);
        QCOMPARE(bench.view.ticksPlayed, press);
    }
    QVERIFY(bench.clock.ticks.empty());
    QVERIFY(!bench.view.range.enabled && !bench.view.pace.enabled);
}

void DrillControlTest::startAgainWhileTimedKeepsTheSchedule()
{
    Bench bench;
    bench.view.pace.selected = 0; // 2000 ms
    bench.drill.startDrill();
    bench.advanceTo(3500);
    bench.drill.startDrill(); // one extra problem at 3500, the schedule stays 2000, 4000, ...
    QCOMPARE(bench.drill.state().problemCount, 3);
    bench.advanceTo(8100);
    QCOMPARE(bench.clock.ticks, (std::vector<std::int64_t>{2000, 4000, 6000, 8000}));
    QCOMPARE(bench.drill.state().problemCount, 6);
    QCOMPARE(bench.clock.starts, 1);
}

void DrillControlTest::stopThenStartBeginsAFreshPeriod()
{
    Bench bench;
    bench.view.pace.selected = 0;
    bench.drill.startDrill();
    bench.advanceTo(2500);
    bench.drill.stopDrill();
    QCOMPARE(bench.view.caption(Label::Counter), std::string());
    bench.advanceTo(3300);
    bench.drill.startDrill();
    QCOMPARE(bench.view.caption(Label::Counter), std::string("1"));
    bench.advanceTo(7400);
    QCOMPARE(bench.clock.ticks, (std::vector<std::int64_t>{2000, 5300, 7300}));
}

void DrillControlTest::stopClearsCounterAndKeepsNumbers_data()
{
    QTest::addColumn<int>("startsBefore");
    QTest::addColumn<int>("stops");

    QTest::newRow("stop before any start") << 0 << 1;
    QTest::newRow("stop after a start") << 1 << 1;
    QTest::newRow("stop twice") << 2 << 2;
}

void DrillControlTest::stopClearsCounterAndKeepsNumbers()
{
    QFETCH(int, startsBefore);
    QFETCH(int, stops);

    Bench bench;
    bench.view.pace.selected = 0;
    for (int i = 0; i < startsBefore; ++i)
        bench.drill.startDrill();
    const auto numbersBefore =
        std::vector<std::string>{bench.view.caption(Label::Whole), bench.view.caption(Label::Part1),
                                 bench.view.caption(Label::Part2)};
    const int ticksBefore = bench.view.ticksPlayed;
    for (int i = 0; i < stops; ++i) {
        bench.drill.stopDrill();
        // Empty, not "0": also when the label read "0" before the first Start.
        QCOMPARE(bench.view.caption(Label::Counter), std::string());
        QCOMPARE(bench.drill.state().problemCount, 0);
        QCOMPARE(bench.timer.period(), 0);
        QVERIFY(bench.view.range.enabled && bench.view.pace.enabled);
    }
    QCOMPARE((std::vector<std::string>{bench.view.caption(Label::Whole),
                                       bench.view.caption(Label::Part1),
                                       bench.view.caption(Label::Part2)}),
             numbersBefore);
    bench.advanceTo(60000);
    QCOMPARE(bench.view.ticksPlayed, ticksBefore);
}

void DrillControlTest::startNeverResetsTheCounter()
{
    Bench bench;
    bench.view.pace.selected = 0;
    bench.drill.startDrill();
    bench.advanceTo(4000);
    bench.drill.startDrill();
    QCOMPARE(bench.drill.state().problemCount, 4);
    QCOMPARE(bench.view.caption(Label::Counter), std::string("4"));
}

void DrillControlTest::rangeReadByStartAppliesToItsFirstProblem()
{
    Bench bench;
    bench.view.range.values = {0, 20};
    bench.view.range.selected = 1;
    bench.drill.startDrill();
    bench.drill.stopDrill();
    bench.view.range.selected = 0;
    bench.drill.startDrill();
    QCOMPARE(bench.drill.state().limit, 0);
    QCOMPARE(bench.view.caption(Label::Whole), std::string("0"));
}

void DrillControlTest::hidingHandlersWriteAllThreeLabels_data()
{
    QTest::addColumn<HidingHandler>("handler");
    QTest::addColumn<Visibility>("visible");

    QTest::newRow("全部显示") << &showAllNumbers << Visibility{true, true, true};
    QTest::newRow("数2隐藏") << &hidePart2 << Visibility{true, true, false};
    QTest::newRow("数1隐藏") << &hidePart1 << Visibility{true, false, true};
    QTest::newRow("和或差隐藏") << &hideWhole << Visibility{false, true, true};
}

void DrillControlTest::hidingHandlersWriteAllThreeLabels()
{
    QFETCH(HidingHandler, handler);
    QFETCH(Visibility, visible);

    RecordingView view;
    hideWhole(view); // start from another row, so every handler has something to change
    hidePart1(view);
    view.visibilityWrites = 0;
    for (int click = 1; click <= 2; ++click) {
        handler(view);
        QCOMPARE(view.visibilityWrites, 3 * click);
        QCOMPARE((Visibility{view.visible(Label::Whole), view.visible(Label::Part1),
                             view.visible(Label::Part2)}),
                 visible);
    }
    QVERIFY(view.captionWrites.empty());
}

void DrillControlTest::drillNeverTouchesVisibility()
{
    Bench bench;
    hideWhole(bench.view);
    bench.view.visibilityWrites = 0;
    bench.view.pace.selected = 0;
    bench.drill.startDrill();
    bench.advanceTo(5000);
    bench.drill.stopDrill();
    bench.drill.startDrill();
    QCOMPARE(bench.view.visibilityWrites, 0);
    QVERIFY(!bench.view.visible(Label::Whole));
}

QTEST_APPLESS_MAIN(DrillControlTest)
#include "tst_drill_control.moc"
