// The tick as a PulseAudio server hears it (run through with-pulseaudio.sh): a 2-second drill
// in the real main window, recorded from the null sink's monitor with parec, must hold one
// full-length tick for every problem shown, starting within 50 ms of the problem, and
// nothing else; a second Start while a tick still sounds must add a second full tick, and so
// must Starts that come faster than the player's streams come free.
//
// One clock for both sides: this process records when problems are shown, and timestamps the
// recording's pieces as they arrive, so every recorded sample gets a time on the same clock.
// A sample cannot arrive before it was played, so the times given to samples are upper
// bounds: a measured delay is never shorter than the real one.
#include "assets/embedded_assets.h"
#include "engine/random_source.h"
#include "ui/main_window.h"
#include "ui/precise_timer.h"
#include "ui/tick_player.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QtEndian>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

using quarnel::RandomSource;
using quarnel::ui::MainWindow;
using quarnel::ui::PreciseTimer;
using quarnel::ui::TickPlayer;

namespace {

constexpr int rate = 22050; // the tick's own rate; the server converts to and fro
constexpr double samplesPerMs = rate / 1000.0;

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// The tick's samples. Its layout is fixed: "fmt " of 16 bytes, then "data".
std::vector<double> tickSamples()
{
    QFile file(quarnel::assetPath(quarnel::Asset::TickSound));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray wav = file.readAll();
    if (wav.size() < 44 || wav.mid(36, 4) != "data")
        return {};
    const qsizetype count = qFromLittleEndian<quint32>(wav.constData() + 40) / 2;
    std::vector<double> samples;
    for (qsizetype i = 0; i < count && 44 + 2 * i + 1 < wav.size(); ++i)
        samples.push_back(qFromLittleEndian<qint16>(wav.constData() + 44 + 2 * i));
    return samples;
}

double dot(const double *a, const double *b, std::size_t n)
{
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum += a[i] * b[i];
    return sum;
}

double correlation(const double *a, const double *b, std::size_t n)
{
    const double denominator = std::sqrt(dot(a, a, n) * dot(b, b, n));
    return denominator > 0 ? dot(a, b, n) / denominator : 0;
}

// Records the null sink's monitor with parec, noting when each piece arrives.
class Recorder
{
public:
    bool start()
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] { collect(); });
        m_clock.start();
        m_process.start(u("parec"),
                        {u("--device=") + qEnvironmentVariable("QUARNEL_NULL_SINK") + u(".monitor"),
                         u("--raw"), u("--format=s16le"), u("--channels=1"),
                         QStringLiteral("--rate=%1").arg(rate), u("--latency-msec=10")});
        return m_process.waitForStarted(5000);
    }
    void stop()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
        collect();
    }
    [[nodiscard]] double now() const { return static_cast<double>(m_clock.nsecsElapsed()) / 1e6; }
    [[nodiscard]] const std::vector<double> &samples() const { return m_samples; }

    // The time at which sample `index` was played, at the latest: every piece that arrived
    // soon after it bounds it.
    [[nodiscard]] double timeOf(std::size_t index) const
    {
        double best = std::numeric_limits<double>::infinity();
        for (const Arrival &arrival : m_arrivals) {
            if (arrival.samplesSoFar < index + 1)
                continue;
            const double behind = static_cast<double>(arrival.samplesSoFar - index) / samplesPerMs;
            if (behind > 500)
                break;
            best = std::min(best, arrival.atMs - behind);
        }
        return best;
    }
    // The sample played at time `ms`, near enough to bound a search.
    [[nodiscard]] std::size_t indexAt(double ms) const
    {
        double firstAt = std::numeric_limits<double>::infinity();
        for (const Arrival &arrival : m_arrivals)
            firstAt = std::min(firstAt, arrival.atMs - static_cast<double>(arrival.samplesSoFar) /
                                                           samplesPerMs);
        const double index = (ms - firstAt) * samplesPerMs;
        return static_cast<std::size_t>(
            std::clamp(index, 0.0, static_cast<double>(m_samples.size())));
    }

private:
    struct Arrival
    {
        double atMs;
        std::size_t samplesSoFar;
    };

    void collect()
    {
        const double at = now();
        m_pending += m_process.readAllStandardOutput();
        const qsizetype whole = m_pending.size() & ~qsizetype{1};
        for (qsizetype i = 0; i < whole; i += 2)
            m_samples.push_back(qFromLittleEndian<qint16>(m_pending.constData() + i));
        m_pending.remove(0, whole);
        if (whole > 0)
            m_arrivals.push_back({at, m_samples.size()});
    }

    QProcess m_process;
    QElapsedTimer m_clock;
    QByteArray m_pending;
    std::vector<double> m_samples;
    std::vector<Arrival> m_arrivals;
};

struct Tick
{
    double problemAtMs;
    std::size_t at = 0; // first sample in the recording
    double gain = 0;    // 1: as loud as the file
    double delayMs = 0; // from the problem to the tick's start
    double whole = 0;   // correlation with the file over its whole length
    double tail = 0;    // ... over its dying end
};

// CPU time this process has used, in milliseconds.
double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &t) {
        return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double processCpuMs(const QString &pid)
{
    QFile stat(u("/proc/") + pid + u("/stat"));
    if (pid.isEmpty() || !stat.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = stat.readAll().split(' ');
    if (fields.size() < 15)
        return 0;
    return (fields[13].toDouble() + fields[14].toDouble()) * 1000.0 /
           static_cast<double>(sysconf(_SC_CLK_TCK));
}

} // namespace

class TickAudioTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyProblemOfA2SecondDrillHasItsTick();
    void secondStartWhileATickSoundsOverlapsIt();
    void startsFasterThanStreamsComeFreeAreAllHeard();

private:
    QComboBox *combo(const char *name) { return m_window->findChild<QComboBox *>(u(name)); }
    QWidget *button(const char *name) { return m_window->findChild<QWidget *>(u(name)); }
    // Finds each problem's tick in the recording, in order, and takes it out of what is left;
    // `loudestLeft` is the loudest sample that no tick explains.
    std::vector<Tick> findTicks(const std::vector<double> &problemsAtMs, double &loudestLeft);
    void checkTicks(const std::vector<Tick> &ticks, double minTail = 0.9);

    std::vector<double> m_tick;
    RandomSource m_numbers;
    std::unique_ptr<Recorder> m_recorder;
    std::unique_ptr<MainWindow> m_window;
};

void TickAudioTest::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("PULSE_SERVER") ||
        qEnvironmentVariableIsEmpty("QUARNEL_NULL_SINK"))
        QFAIL("needs a sound server: run through tests/audio/with-pulseaudio.sh");
    m_tick = tickSamples();
    QCOMPARE(m_tick.size(), std::size_t{8544});
    m_numbers.seedRandom(7);
}

void TickAudioTest::init()
{
    m_recorder = std::make_unique<Recorder>();
    QVERIFY(m_recorder->start());
    // Silence first, so the recording runs before anything sounds.
    QTRY_VERIFY_WITH_TIMEOUT(m_recorder->samples().size() > rate / 2, 10000);
    m_window = std::make_unique<MainWindow>(m_numbers);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QTest::qWait(300);
}

void TickAudioTest::cleanup()
{
    m_window.reset();
    if (m_recorder)
        m_recorder->stop();
    m_recorder.reset();
}

std::vector<Tick> TickAudioTest::findTicks(const std::vector<double> &problemsAtMs,
                                           double &loudestLeft)
{
    std::vector<double> left = m_recorder->samples();
    const std::size_t length = m_tick.size();
    std::vector<Tick> ticks;
    for (std::size_t p = 0; p < problemsAtMs.size(); ++p) {
        const double problem = problemsAtMs[p];
        // Match only the part of the tick that sounds before the next problem's tick can
        // start; earlier ticks have been taken out of what is left already.
        std::size_t matched = length;
        if (p + 1 < problemsAtMs.size()) {
            const double gapMs = problemsAtMs[p + 1] - problem - 20;
            matched = std::clamp(static_cast<std::size_t>(std::max(0.0, gapMs) * samplesPerMs),
                                 static_cast<std::size_t>(50 * samplesPerMs), length);
        }
        const std::size_t from = m_recorder->indexAt(problem - 30);
        const std::size_t to = m_recorder->indexAt(problem + 300);
        Tick best{problem};
        double bestScore = 0;
        for (std::size_t at = from; at < to && at + length <= left.size(); ++at) {
            const double score = correlation(&left[at], m_tick.data(), matched);
            if (score > bestScore) {
                bestScore = score;
                best.at = at;
            }
        }
        if (bestScore > 0) {
            best.gain = dot(&left[best.at], m_tick.data(), matched) /
                        dot(m_tick.data(), m_tick.data(), matched);
            for (std::size_t i = 0; i < length; ++i)
                left[best.at + i] -= best.gain * m_tick[i];
        }
        ticks.push_back(best);
    }

    // Judge each tick against what is left plus the tick itself, free of the others.
    const auto tailFrom = static_cast<std::size_t>(200 * samplesPerMs);
    const auto tailTo = static_cast<std::size_t>(340 * samplesPerMs);
    for (Tick &tick : ticks) {
        if (tick.gain <= 0)
            continue;
        std::vector<double> alone(left.begin() + static_cast<std::ptrdiff_t>(tick.at),
                                  left.begin() + static_cast<std::ptrdiff_t>(tick.at + length));
        for (std::size_t i = 0; i < length; ++i)
            alone[i] += tick.gain * m_tick[i];
        tick.whole = correlation(alone.data(), m_tick.data(), length);
        tick.tail =
            correlation(alone.data() + tailFrom, m_tick.data() + tailFrom, tailTo - tailFrom);
        tick.delayMs = m_recorder->timeOf(tick.at) - tick.problemAtMs;
    }

    // Nothing else sounded: what is left is silence.
    loudestLeft = 0;
    for (const double sample : left)
        loudestLeft = std::max(loudestLeft, std::abs(sample));
    qInfo("loudest sample left over: %.0f (the tick peaks at 8478)", loudestLeft);
    return ticks;
}

void TickAudioTest::checkTicks(const std::vector<Tick> &ticks, double minTail)
{
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        const Tick &tick = ticks[i];
        qInfo("problem %zu at %.1f ms: tick after %.1f ms, gain %.3f, match %.4f, end %.4f", i + 1,
              tick.problemAtMs, tick.delayMs, tick.gain, tick.whole, tick.tail);
        const QByteArray which = QByteArray::number(static_cast<qulonglong>(i + 1));
        QVERIFY2(tick.gain > 0.8 && tick.gain < 1.25,
                 "problem " + which + ": no tick at full volume");
        QVERIFY2(tick.whole > 0.98, "problem " + which + ": the tick is not the whole sound");
        QVERIFY2(tick.tail > minTail, "problem " + which + ": the tick's end is missing");
        // The null sink mixes ahead of its clock and rewinds to let new sound in, so on its
        // monitor a tick may seem to start up to the sink's latency (10 ms here) early.
        QVERIFY2(tick.delayMs > -30, "problem " + which + ": the tick came before the problem");
        QVERIFY2(tick.delayMs <= 50, "problem " + which + ": the tick came more than 50 ms late");
    }
}

void TickAudioTest::everyProblemOfA2SecondDrillHasItsTick()
{
    combo("组合框_时间")->setCurrentIndex(0); // 每题2秒
    std::vector<double> problems;
    connect(m_window->findChild<PreciseTimer *>(u("时钟1")), &PreciseTimer::tick, this,
            [&] { problems.push_back(m_recorder->now()); });

    problems.push_back(m_recorder->now());
    QTest::mouseClick(button("按钮_20以内分"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(problems.size() >= 6, 20000);
    QTest::mouseClick(button("按钮_停止"), Qt::LeftButton);
    problems.resize(6);

    // Let the last tick play out.
    QTest::qWait(1000);
    m_recorder->stop();

    // What the idle window and player cost, with nothing recording any more.
    const double cpuBefore = cpuMs();
    const QString pulsePid = qEnvironmentVariable("QUARNEL_PULSE_PID");
    const double pulseBefore = processCpuMs(pulsePid);
    QElapsedTimer idle;
    idle.start();
    QTest::qWait(3000);
    const auto idleMs = static_cast<double>(idle.elapsed());
    qInfo("idle for %.0f ms after the drill: this process used %.2f %% of a core, the sound "
          "server %.2f %%",
          idleMs, 100.0 * (cpuMs() - cpuBefore) / idleMs,
          100.0 * (processCpuMs(pulsePid) - pulseBefore) / idleMs);

    double loudestLeft = 0;
    const std::vector<Tick> ticks = findTicks(problems, loudestLeft);
    QCOMPARE(ticks.size(), problems.size());
    checkTicks(ticks);
    QVERIFY2(loudestLeft < 1000, "something else sounded, or a tick was broken");
}

void TickAudioTest::secondStartWhileATickSoundsOverlapsIt()
{
    combo("组合框_时间")->setCurrentIndex(11); // 不计时: only the Starts make problems
    std::vector<double> problems;
    problems.push_back(m_recorder->now());
    QTest::mouseClick(button("按钮_20以内分"), Qt::LeftButton);
    QTest::qWait(150);
    problems.push_back(m_recorder->now());
    QTest::mouseClick(button("按钮_20以内分"), Qt::LeftButton);
    QTest::qWait(1000);
    m_recorder->stop();

    double loudestLeft = 0;
    const std::vector<Tick> ticks = findTicks(problems, loudestLeft);
    QCOMPARE(ticks.size(), std::size_t{2});
    QVERIFY(ticks[1].at > ticks[0].at);
    checkTicks(ticks);
    QVERIFY2(loudestLeft < 1000, "something else sounded, or a tick was broken");
}

void TickAudioTest::startsFasterThanStreamsComeFreeAreAllHeard()
{
    // Start pressed faster than the player's streams come free: the presses beyond its
    // streams take the stream of the oldest tick, and every tick is still heard whole.
    combo("组合框_时间")->setCurrentIndex(11); // 不计时
    std::vector<double> problems;
    for (int i = 0; i < TickPlayer::maxOutputs + 3; ++i) {
        problems.push_back(m_recorder->now());
        QTest::mouseClick(button("按钮_20以内分"), Qt::LeftButton);
        QTest::qWait(100);
    }
    QTest::qWait(1500);
    m_recorder->stop();

    const auto *player = m_window->findChild<TickPlayer *>();
    QVERIFY(player);
    QCOMPARE(player->outputCount(), TickPlayer::maxOutputs);
    double loudestLeft = 0;
    const std::vector<Tick> ticks = findTicks(problems, loudestLeft);
    QCOMPARE(ticks.size(), problems.size());
    // Four ticks sound at once here, and the others' share, taken out with gains measured on
    // their starts, blurs each tick's end: it matches down to about 0.89. A tick that lost its
    // end would show in what is left over instead.
    checkTicks(ticks, 0.8);
    QVERIFY2(loudestLeft < 1000, "something else sounded, or a tick was broken");
}

QTEST_MAIN(TickAudioTest)
#include "tst_tick_audio.moc"
