// The tick sound without a sound card: reading the WAV image and staying silent
// (not crashing, not blocking) when there is no audio output. What reaches a real sound
// server, overlapping plays among it, is tested in tests/audio.
#include "ui/tick_player.h"
#include "ui/wav_sound.h"

#include <QTest>
#include <QtEndian>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

using quarnel::ui::readWav;
using quarnel::ui::TickPlayer;

namespace {

QByteArray le32(std::uint32_t value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray le16(std::uint16_t value)
{
    QByteArray bytes(2, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray chunk(const char *id, const QByteArray &body)
{
    QByteArray bytes = QByteArray(id) + le32(static_cast<std::uint32_t>(body.size())) + body;
    if (body.size() % 2)
        bytes.append('\0');
    return bytes;
}

QByteArray fmtBody(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                   std::uint16_t bits)
{
    const auto block = static_cast<std::uint16_t>(channels * bits / 8);
    return le16(tag) + le16(channels) + le32(rate) + le32(rate * block) + le16(block) + le16(bits);
}

QByteArray riff(const QByteArray &chunks)
{
    return "RIFF" + le32(static_cast<std::uint32_t>(chunks.size() + 4)) + "WAVE" + chunks;
}

QByteArray samples(std::initializer_list<std::int16_t> values)
{
    QByteArray bytes;
    for (const std::int16_t value : values)
        bytes += le16(static_cast<std::uint16_t>(value));
    return bytes;
}

// A short 250 Hz tone in the tick's own format.
QByteArray toneWav(int count)
{
    QByteArray data;
    for (int i = 0; i < count; ++i) {
        const double value = 8000.0 * std::sin(2.0 * std::numbers::pi * 250.0 * i / 22050.0);
        data += le16(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(value))));
    }
    return riff(chunk("fmt ", fmtBody(1, 1, 22050, 16)) + chunk("data", data));
}

} // namespace

class TickPlayerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readsWav_data();
    void readsWav();
    void playWithoutAudioOutputIsSilent();
};

void TickPlayerTest::initTestCase()
{
    // No sound server, whatever the machine running the test has.
    qputenv("PULSE_SERVER", "unix:/nonexistent/quarnel-test-no-sound");
}

void TickPlayerTest::readsWav_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rate");
    QTest::addColumn<QByteArray>("data");

    const QByteArray fmt = chunk("fmt ", fmtBody(1, 1, 22050, 16));
    const QByteArray pcm = samples({1, -2, 300, -32768});
    QTest::newRow("mono 16-bit") << riff(fmt + chunk("data", pcm)) << true << 1 << 22050 << pcm;
    QTest::newRow("stereo") << riff(chunk("fmt ", fmtBody(1, 2, 44100, 16)) + chunk("data", pcm))
                            << true << 2 << 44100 << pcm;
    QTest::newRow("other chunks skipped, odd ones padded")
        << riff(fmt + chunk("LIST", "abc") + chunk("data", pcm)) << true << 1 << 22050 << pcm;
    QTest::newRow("half a frame dropped")
        << riff(fmt + chunk("data", pcm + "x")) << true << 1 << 22050 << pcm;
    QTest::newRow("8-bit") << riff(chunk("fmt ", fmtBody(1, 1, 22050, 8)) + chunk("data", pcm))
                           << false << 0 << 0 << QByteArray();
    QTest::newRow("float") << riff(chunk("fmt ", fmtBody(3, 1, 22050, 32)) + chunk("data", pcm))
                           << false << 0 << 0 << QByteArray();
    QTest::newRow("data before fmt")
        << riff(chunk("data", pcm) + fmt) << false << 0 << 0 << QByteArray();
    QTest::newRow("no data") << riff(fmt) << false << 0 << 0 << QByteArray();
    QTest::newRow("data longer than the file")
        << riff(fmt + chunk("data", pcm)).chopped(2) << false << 0 << 0 << QByteArray();
    QTest::newRow("fmt too short")
        << riff(chunk("fmt ", fmtBody(1, 1, 22050, 16).first(12)) + chunk("data", pcm)) << false
        << 0 << 0 << QByteArray();
    QTest::newRow("not RIFF") << QByteArray("RIFX").append(riff(fmt).sliced(4)) << false << 0 << 0
                              << QByteArray();
    QTest::newRow("empty") << QByteArray() << false << 0 << 0 << QByteArray();
}

void TickPlayerTest::readsWav()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, valid);
    QFETCH(int, channels);
    QFETCH(int, rate);
    QFETCH(QByteArray, data);

    const auto sound = readWav(file);
    QCOMPARE(sound.has_value(), valid);
    if (!sound)
        return;
    QCOMPARE(sound->format.sampleFormat(), QAudioFormat::Int16);
    QCOMPARE(sound->format.channelCount(), channels);
    QCOMPARE(sound->format.sampleRate(), rate);
    QCOMPARE(sound->samples, data);
}

void TickPlayerTest::playWithoutAudioOutputIsSilent()
{
    TickPlayer player(toneWav(2205));
    for (int i = 0; i < 5; ++i)
        player.play();

    TickPlayer unreadable(QByteArrayView("not a wav"));
    unreadable.play();
}

QTEST_GUILESS_MAIN(TickPlayerTest)
#include "tst_tick_player.moc"
