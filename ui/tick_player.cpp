#include "tick_player.h"

#include <QMediaDevices>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace quarnel::ui {

TickMixer::TickMixer(QByteArray samples, QObject *parent)
    : QIODevice(parent)
    , m_samples(std::move(samples))
{
    // Unbuffered: an audio back end may call atEnd() from its own thread, and QIODevice's
    // read buffer is not guarded.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void TickMixer::startVoice()
{
    if (m_samples.size() < 2)
        return;
    {
        const std::lock_guard lock(m_lock);
        m_voices.push_back(0);
    }
    emit readyRead(); // wakes an output that went idle
}

int TickMixer::voiceCount() const
{
    const std::lock_guard lock(m_lock);
    return static_cast<int>(m_voices.size());
}

qint64 TickMixer::bytesAvailable() const
{
    const std::lock_guard lock(m_lock);
    qsizetype longest = 0;
    for (const qsizetype position : m_voices)
        longest = std::max(longest, m_samples.size() - position);
    return longest + QIODevice::bytesAvailable();
}

qint64 TickMixer::readData(char *data, qint64 maxSize)
{
    const std::lock_guard lock(m_lock);
    qsizetype longest = 0;
    for (const qsizetype position : m_voices)
        longest = std::max(longest, m_samples.size() - position);
    const qsizetype bytes = std::min<qsizetype>(longest, maxSize) & ~qsizetype{1};
    const qsizetype count = bytes / 2;

    std::vector<std::int32_t> sum(static_cast<std::size_t>(count), 0);
    for (qsizetype &position : m_voices) {
        const qsizetype available = std::min(count, (m_samples.size() - position) / 2);
        for (qsizetype i = 0; i < available; ++i) {
            std::int16_t sample = 0;
            std::memcpy(&sample, m_samples.constData() + position + 2 * i, sizeof sample);
            sum[static_cast<std::size_t>(i)] += sample;
        }
        position += 2 * available;
    }
    std::erase_if(m_voices, [this](qsizetype position) { return position >= m_samples.size(); });

    for (qsizetype i = 0; i < count; ++i) {
        const auto sample = static_cast<std::int16_t>(std::clamp<std::int32_t>(
            sum[static_cast<std::size_t>(i)], std::numeric_limits<std::int16_t>::min(),
            std::numeric_limits<std::int16_t>::max()));
        std::memcpy(data + 2 * i, &sample, sizeof sample);
    }
    return bytes;
}

qint64 TickMixer::writeData(const char * /*data*/, qint64 /*size*/)
{
    return -1;
}

TickPlayer::TickPlayer(QByteArrayView wavFile, QObject *parent)
    : QObject(parent)
    , m_sound(readWav(wavFile))
{
    if (!m_sound)
        return;
    m_mixer = new TickMixer(m_sound->samples, this);
    // Opening the output now keeps the first tick as prompt as the others.
    ensureOutput();
}

TickPlayer::~TickPlayer() = default;

void TickPlayer::play()
{
    if (!m_mixer || !ensureOutput())
        return;
    m_mixer->startVoice();
}

bool TickPlayer::ensureOutput()
{
    // A stopped sink has failed (no sound server, or it went away): try a fresh one, so that
    // sound comes back when the output does.
    if (m_sink && m_sink->state() != QAudio::StoppedState)
        return true;
    m_sink.reset();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    m_sink = std::make_unique<QAudioSink>(device, m_sound->format);
    m_sink->setBufferSize(m_sound->format.bytesForDuration(qint64{bufferMs} * 1000));
    m_sink->start(m_mixer);
    return m_sink->state() != QAudio::StoppedState;
}

} // namespace quarnel::ui
