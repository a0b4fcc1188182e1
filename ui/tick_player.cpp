#include "tick_player.h"

#include <QMediaDevices>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

namespace quarnel::ui {

TickMixer::TickMixer(QByteArray samples)
    : m_samples(std::move(samples))
{
    m_samples.truncate(m_samples.size() & ~qsizetype{1});
}

void TickMixer::startVoice()
{
    if (!m_samples.isEmpty())
        m_voices.push_back(0);
}

qsizetype TickMixer::bytesLeft() const
{
    qsizetype longest = 0;
    for (const qsizetype position : m_voices)
        longest = std::max(longest, m_samples.size() - position);
    return longest;
}

qsizetype TickMixer::mix(char *out, qsizetype maxBytes)
{
    const qsizetype bytes = std::min(bytesLeft(), maxBytes) & ~qsizetype{1};
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
        std::memcpy(out + 2 * i, &sample, sizeof sample);
    }
    return bytes;
}

TickPlayer::TickPlayer(QByteArrayView wavFile, QObject *parent)
    : QObject(parent)
    , m_sound(readWav(wavFile))
{
    m_feeder.setTimerType(Qt::PreciseTimer);
    m_feeder.setInterval(feedMs);
    connect(&m_feeder, &QTimer::timeout, this, &TickPlayer::feed);
    m_rest.setSingleShot(true);
    m_rest.setInterval(restMs);
    connect(&m_rest, &QTimer::timeout, this, &TickPlayer::rest);
    if (!m_sound)
        return;
    m_mixer = std::make_unique<TickMixer>(m_sound->samples);
    // The output opens with the first play, not here: the connection to the sound server
    // costs the window about 8 ms of its start and the sink some megabytes, and a window that
    // never drills needs neither.
}

TickPlayer::~TickPlayer() = default;

void TickPlayer::play()
{
    if (!m_mixer)
        return;
    if (!m_sink || m_sink->state() == QAudio::StoppedState) {
        // Connecting takes round trips to the sound server (about 10 ms): done from the event
        // loop, so that whatever the caller does next (starting the drill's timer, say) is not
        // held back by it.
        if (m_voicesWaiting++ == 0)
            QMetaObject::invokeMethod(this, &TickPlayer::openAndPlay, Qt::QueuedConnection);
        return;
    }
    startVoices(1);
}

void TickPlayer::openAndPlay()
{
    const int voices = std::exchange(m_voicesWaiting, 0);
    if (ensureOutput())
        startVoices(voices);
}

void TickPlayer::startVoices(int count)
{
    m_rest.stop();
    if (m_sink->state() == QAudio::SuspendedState)
        m_sink->resume();
    for (int i = 0; i < count; ++i)
        m_mixer->startVoice();
    feed();
    if (m_mixer->bytesLeft() > 0)
        m_feeder.start();
}

void TickPlayer::feed()
{
    if (!m_sink || m_sink->state() == QAudio::StoppedState) {
        m_feeder.stop();
        return;
    }
    const qsizetype room = m_sink->bytesFree();
    if (room > 0) {
        m_chunk.resize(room);
        const qsizetype mixed = m_mixer->mix(m_chunk.data(), room);
        if (mixed > 0)
            m_output->write(m_chunk.constData(), mixed);
    }
    if (m_mixer->bytesLeft() == 0) {
        m_feeder.stop();
        m_rest.start();
    }
}

void TickPlayer::rest()
{
    if (!m_sink)
        return;
    const QAudio::State state = m_sink->state();
    if (state != QAudio::ActiveState && state != QAudio::IdleState)
        return;
    // Only once the server has taken everything, so no tick loses its end.
    if (m_sink->bytesFree() >= m_sink->bufferSize())
        m_sink->suspend();
    else
        m_rest.start();
}

bool TickPlayer::ensureOutput()
{
    // A stopped sink has failed (no sound server, or it went away): try a fresh one, so that
    // sound comes back when the output does.
    if (m_sink && m_sink->state() != QAudio::StoppedState)
        return true;
    m_output = nullptr;
    m_sink.reset();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    m_sink = std::make_unique<QAudioSink>(device, m_sound->format);
    m_sink->setBufferSize(m_sound->format.bytesForDuration(qint64{bufferMs} * 1000));
    m_output = m_sink->start();
    return m_output && m_sink->state() != QAudio::StoppedState;
}

} // namespace quarnel::ui
