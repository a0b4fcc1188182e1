// The tick sound's WAV file: its header byte for byte, since the player is handed the
// whole file, and the character of its samples (a soft 250 Hz tone that swells to its peak
// at about 90 ms and dies away into silence).
#include "assets/embedded_assets.h"

#include <QFile>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <vector>

using quarnel::Asset;
using quarnel::assetPath;

namespace {

constexpr int sampleRate = 22050;
constexpr int sampleCount = 8544;
constexpr qsizetype headerSize = 44;
constexpr qsizetype fileSize = headerSize + 2 * sampleCount;
static_assert(fileSize == 17132);

QByteArray wavFile()
{
    QFile file(assetPath(Asset::TickSound));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray le16(quint16 value)
{
    QByteArray bytes(2, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray le32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

std::vector<int> samples()
{
    const QByteArray wav = wavFile();
    std::vector<int> out;
    const auto *bytes = reinterpret_cast<const uchar *>(wav.constData());
    for (qsizetype at = headerSize; at + 1 < wav.size(); at += 2)
        out.push_back(qFromLittleEndian<qint16>(bytes + at));
    return out;
}

int loudest(const std::vector<int> &values, std::size_t from, std::size_t to)
{
    int peak = 0;
    for (std::size_t i = from; i < to; ++i)
        peak = std::max(peak, std::abs(values[i]));
    return peak;
}

std::size_t atMilliseconds(int ms)
{
    return static_cast<std::size_t>(ms * sampleRate / 1000);
}

} // namespace

class TickSoundTest final : public QObject
{
    Q_OBJECT

private slots:
    void headerIsByteExact_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("RIFF tag") << 0 << QByteArray("RIFF");
        QTest::newRow("RIFF size") << 4 << le32(17124);
        QTest::newRow("form") << 8 << QByteArray("WAVE");
        QTest::newRow("fmt tag") << 12 << QByteArray("fmt ");
        QTest::newRow("fmt size") << 16 << le32(16);
        QTest::newRow("PCM") << 20 << le16(1);
        QTest::newRow("mono") << 22 << le16(1);
        QTest::newRow("sample rate") << 24 << le32(22050);
        QTest::newRow("byte rate") << 28 << le32(44100);
        QTest::newRow("block align") << 32 << le16(2);
        QTest::newRow("bits per sample") << 34 << le16(16);
        QTest::newRow("data tag") << 36 << QByteArray("data");
        QTest::newRow("data size") << 40 << le32(17088);
    }
    void headerIsByteExact()
    {
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        const QByteArray wav = wavFile();
        // Exactly the two chunks: nothing after the samples.
        QCOMPARE(wav.size(), fileSize);
        QCOMPARE(wav.mid(offset, bytes.size()), bytes);
    }

    void loudestSampleIs8478AtAbout90Milliseconds()
    {
        const auto values = samples();
        QCOMPARE(values.size(), std::size_t{sampleCount});
        const auto peak = std::max_element(values.begin(), values.end(),
                                           [](int a, int b) { return std::abs(a) < std::abs(b); });
        QCOMPARE(std::abs(*peak), 8478);
        const auto at = static_cast<std::size_t>(peak - values.begin());
        QVERIFY2(at >= atMilliseconds(80) && at <= atMilliseconds(100),
                 qPrintable(QString::number(at)));
    }

    void swellsThenDiesAwayIntoSilence()
    {
        const auto values = samples();
        QCOMPARE(values.size(), std::size_t{sampleCount});
        const int peak = loudest(values, 0, values.size());
        QCOMPARE(values.front(), 0);
        QVERIFY(loudest(values, 0, atMilliseconds(20)) < peak / 4);
        QVERIFY(loudest(values, atMilliseconds(40), atMilliseconds(50)) < peak);
        QVERIFY(loudest(values, atMilliseconds(250), atMilliseconds(300)) < peak / 10);
        // The last 5 ms are silent, so the tick ends without a click.
        const auto tail = values.size() - atMilliseconds(5);
        QCOMPARE(loudest(values, tail, values.size()), 0);
    }

    void toneIsAbout250Hertz()
    {
        const auto values = samples();
        QCOMPARE(values.size(), std::size_t{sampleCount});
        // Count sign changes over the part that sounds; two per period.
        int crossings = 0;
        std::size_t first = 0;
        std::size_t last = 0;
        int previous = 0;
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (values[i] == 0)
                continue;
            if (previous != 0 && (previous < 0) != (values[i] < 0)) {
                ++crossings;
                if (first == 0)
                    first = i;
                last = i;
            }
            previous = values[i];
        }
        QVERIFY(last > first);
        const double seconds = static_cast<double>(last - first) / sampleRate;
        const double hertz = (crossings - 1) / 2.0 / seconds;
        QVERIFY2(hertz > 225 && hertz < 275, qPrintable(QString::number(hertz)));
    }
};

QTEST_APPLESS_MAIN(TickSoundTest)
#include "tst_tick_sound.moc"
