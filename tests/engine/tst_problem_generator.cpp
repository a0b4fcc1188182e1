// Drawing problems: what reaches the labels and the counter, and how the numbers are spread.
// The window itself is not involved; RecordingView stands in for it.
#include "engine/drill.h"
#include "fakes.h"

#include <QTest>

#include <map>

using namespace quarnel;
using quarnel::testing::RecordingView;
using quarnel::testing::ScriptedSource;

Q_DECLARE_METATYPE(std::deque<std::int32_t>)

class ProblemGeneratorTest : public QObject
{
    Q_OBJECT

private slots:
    void scriptedDrawsReachTheLabelsOnlyWhenOrdered_data();
    void scriptedDrawsReachTheLabelsOnlyWhenOrdered();
    void zeroOrNegativeLimitGivesZeros_data();
    void zeroOrNegativeLimitGivesZeros();
    void counterGrowsByOnePerShownProblem();
    void acceptedPairsAreUniform_data();
    void acceptedPairsAreUniform();
    void randomInRangeStaysWithinBothEnds_data();
    void randomInRangeStaysWithinBothEnds();
    void sameSeedGivesSameProblems();
    void textsAreTheLabelFormats_data();
    void textsAreTheLabelFormats();
};

void ProblemGeneratorTest::scriptedDrawsReachTheLabelsOnlyWhenOrdered_data()
{
    QTest::addColumn<std::deque<std::int32_t>>("draws");
    QTest::addColumn<QString>("whole");
    QTest::addColumn<QString>("part1");
    QTest::addColumn<QString>("part2");
    QTest::addColumn<int>("drawsUsed");

    // The first draw becomes part1 and the second the whole.
    QTest::newRow("2 then 5 is accepted") << std::deque<std::int32_t>{2, 5} << "5"
                                          << "2"
                                          << "3" << 2;
    QTest::newRow("5 then 2 is redrawn") << std::deque<std::int32_t>{5, 2, 1, 4} << "4"
                                         << "1"
                                         << "3" << 4;
    QTest::newRow("several rejections in a row")
        << std::deque<std::int32_t>{5, 0, 3, 1, 4, 2, 0, 0} << "0"
        << "0"
        << "0" << 8;
    QTest::newRow("equal parts give a zero second part") << std::deque<std::int32_t>{3, 3} << "3"
                                                         << "3"
                                                         << "0" << 2;
    QTest::newRow("part1 zero gives the whole as second part")
        << std::deque<std::int32_t>{0, 5} << "5"
        << "0"
        << "5" << 2;
}

void ProblemGeneratorTest::scriptedDrawsReachTheLabelsOnlyWhenOrdered()
{
    QFETCH(std::deque<std::int32_t>, draws);
    QFETCH(QString, whole);
    QFETCH(QString, part1);
    QFETCH(QString, part2);
    QFETCH(int, drawsUsed);

    RecordingView view;
    ScriptedSource numbers(draws);
    Drill drill(view, numbers);
    drill.startDrill(); // range "1～5分": limit 5

    QCOMPARE(QString::fromStdString(view.caption(Label::Whole)), whole);
    QCOMPARE(QString::fromStdString(view.caption(Label::Part1)), part1);
    QCOMPARE(QString::fromStdString(view.caption(Label::Part2)), part2);
    QCOMPARE(QString::fromStdString(view.caption(Label::Counter)), QStringLiteral("1"));
    QCOMPARE(drill.state().problemCount, 1);
    QCOMPARE(numbers.requests.size(), static_cast<std::size_t>(drawsUsed));
    QCOMPARE(numbers.remaining(), std::size_t{0});
    for (const auto &request : numbers.requests)
        QCOMPARE(request, (std::pair<std::int32_t, std::int32_t>{0, 5}));
    QCOMPARE(drill.state().swapHold, drill.state().part1);

    // A rejected pair never shows: each label is written exactly once, and in this order.
    const std::vector<Label> order{Label::Whole, Label::Part1, Label::Part2, Label::Counter};
    QCOMPARE(view.captionWrites.size(), order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        QCOMPARE(view.captionWrites[i].first, order[i]);
}

void ProblemGeneratorTest::zeroOrNegativeLimitGivesZeros_data()
{
    QTest::addColumn<std::vector<int>>("rangeValues");
    QTest::addColumn<int>("selected");

    QTest::newRow("limit 0") << std::vector<int>{0} << 0;
    QTest::newRow("no range selected: limit -1") << std::vector<int>{5, 6} << -1;
    QTest::newRow("negative item value") << std::vector<int>{-7} << 0;
}

void ProblemGeneratorTest::zeroOrNegativeLimitGivesZeros()
{
    QFETCH(std::vector<int>, rangeValues);
    QFETCH(int, selected);

    RecordingView view;
    view.range = {rangeValues, selected};
    RandomSource numbers;
    numbers.seedRandom(7);
    Drill drill(view, numbers);

    for (int call = 1; call <= 3; ++call) {
        drill.startDrill();
        QCOMPARE(view.caption(Label::Whole), std::string("0"));
        QCOMPARE(view.caption(Label::Part1), std::string("0"));
        QCOMPARE(view.caption(Label::Part2), std::string("0"));
        QCOMPARE(drill.state().problemCount, call);
    }
}

void ProblemGeneratorTest::counterGrowsByOnePerShownProblem()
{
    // With the largest range about half of all raw pairs are out of order; before the fix the
    // counter ran ahead by about 1.9 per problem.
    RecordingView view;
    view.range.selected = 15; // "1～20分"
    RandomSource numbers;
    numbers.seedRandom(2024);
    Drill drill(view, numbers);

    drill.startDrill();
    for (int shown = 2; shown <= 500; ++shown) {
        drill.onDrillTick();
        QCOMPARE(drill.state().problemCount, shown);
        QCOMPARE(view.caption(Label::Counter), integerText(shown));
        const int whole = std::stoi(view.caption(Label::Whole));
        const int part1 = std::stoi(view.caption(Label::Part1));
        const int part2 = std::stoi(view.caption(Label::Part2));
        QVERIFY(0 <= part1 && part1 <= whole && whole <= 20);
        QCOMPARE(part2, whole - part1);
    }
    QCOMPARE(view.ticksPlayed, 500);
}

void ProblemGeneratorTest::acceptedPairsAreUniform_data()
{
    QTest::addColumn<int>("rangeIndex");
    QTest::addColumn<int>("limit");

    QTest::newRow("1～5分") << 0 << 5;
    QTest::newRow("1～20分") << 15 << 20;
}

void ProblemGeneratorTest::acceptedPairsAreUniform()
{
    QFETCH(int, rangeIndex);
    QFETCH(int, limit);

    RecordingView view;
    view.range.selected = rangeIndex;
    view.pace.selected = 11; // untimed: every Start shows one problem
    RandomSource numbers;
    numbers.seedRandom(12345);
    Drill drill(view, numbers);

    const int pairs = (limit + 1) * (limit + 2) / 2;
    const int perPair = 400;
    std::map<std::pair<int, int>, int> seen;
    for (int i = 0; i < pairs * perPair; ++i) {
        drill.startDrill();
        ++seen[{drill.state().whole, drill.state().part1}];
    }

    // Every pair with 0 <= part1 <= whole <= limit, zeros included, and nothing else.
    QCOMPARE(static_cast<int>(seen.size()), pairs);
    double chiSquare = 0;
    for (const auto &[pair, count] : seen) {
        QVERIFY(0 <= pair.second && pair.second <= pair.first && pair.first <= limit);
        const double deviation = count - perPair;
        chiSquare += deviation * deviation / perPair;
    }
    // Mean df, standard deviation sqrt(2 df): eight deviations above is far beyond chance,
    // yet a lost pair or a skew toward one end would exceed it many times over.
    const double degrees = pairs - 1;
    QVERIFY2(
        chiSquare < degrees + 8 * std::sqrt(2 * degrees),
        qPrintable(
            QStringLiteral("chi-square %1 for %2 degrees of freedom").arg(chiSquare).arg(degrees)));
}

void ProblemGeneratorTest::randomInRangeStaysWithinBothEnds_data()
{
    QTest::addColumn<int>("lo");
    QTest::addColumn<int>("hi");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");

    QTest::newRow("ordinary") << 0 << 5 << 0 << 5;
    QTest::newRow("reversed arguments") << 9 << 3 << 3 << 9;
    QTest::newRow("equal bounds") << 4 << 4 << 4 << 4;
    QTest::newRow("negative low counts as 0") << -4 << 3 << 0 << 3;
    QTest::newRow("negative high counts as 0") << 6 << -1 << 0 << 6;
    QTest::newRow("both negative") << -1 << -7 << 0 << 0;
    QTest::newRow("two values") << 0 << 1 << 0 << 1;
}

void ProblemGeneratorTest::randomInRangeStaysWithinBothEnds()
{
    QFETCH(int, lo);
    QFETCH(int, hi);
    QFETCH(int, low);
    QFETCH(int, high);

    RandomSource numbers;
    numbers.seedRandom(99);
    std::map<int, int> seen;
    for (int i = 0; i < 2000; ++i)
        ++seen[numbers.randomInRange(lo, hi)];
    QCOMPARE(seen.begin()->first, low);
    QCOMPARE(seen.rbegin()->first, high);
    QCOMPARE(static_cast<int>(seen.size()), high - low + 1);
}

void ProblemGeneratorTest::sameSeedGivesSameProblems()
{
    auto run = [](std::uint32_t seed) {
        RecordingView view;
        view.range.selected = 15;
        RandomSource numbers;
        numbers.seedRandom(seed);
        Drill drill(view, numbers);
        std::vector<std::pair<int, int>> problems;
        for (int i = 0; i < 50; ++i) {
            drill.startDrill();
            problems.emplace_back(drill.state().whole, drill.state().part1);
        }
        return problems;
    };
    QCOMPARE(run(31337), run(31337));
    QVERIFY(run(31337) != run(31338));
}

void ProblemGeneratorTest::textsAreTheLabelFormats_data()
{
    QTest::addColumn<double>("real");
    QTest::addColumn<QString>("text");

    QTest::newRow("integral") << 7.0 << "7";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative") << -3.0 << "-3";
    QTest::newRow("large integral") << 2147483647.0 << "2147483647";
    QTest::newRow("thirteen significant digits") << 1.0 / 3.0 << "0.3333333333333";
}

void ProblemGeneratorTest::textsAreTheLabelFormats()
{
    QFETCH(double, real);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(realText(real)), text);
    QCOMPARE(QString::fromStdString(integerText(-2147483647 - 1)), QStringLiteral("-2147483648"));
}

QTEST_APPLESS_MAIN(ProblemGeneratorTest)
#include "tst_problem_generator.moc"
