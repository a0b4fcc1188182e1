#include "tick_player.h"

#include <QMediaDevices>

#include <algorithm>
#include <utility>

namespace quarnel::ui {

TickPlayer::TickPlayer(QByteArrayView wavFile, QObject *parent)
    : QObject(parent)
    , m_sound(readWav(wavFile))
{
    if (m_sound && m_sound->samples.isEmpty())
        m_sound.reset();
    m_feeder.setTimerType(Qt::PreciseTimer);
    m_feeder.setInterval(feedMs);
    connect(&m_feeder, &QTimer::timeout, this, &TickPlayer::feedAll);
    // The output opens with the first play, not here: the connection to the sound server
    // costs the window about 8 ms of its start and the sink some megabytes, and a window that
    // never drills needs neither.
}

TickPlayer::~TickPlayer() = default;

void TickPlayer::play()
{
    if (!m_sound)
        return;
    if (m_outputs.empty()) {
        // Connecting takes round trips to the sound server (about 10 ms): done from the event
        // loop, so that whatever the caller does next (starting the drill's timer, say) is not
        // held back by it.
        if (m_voicesWaiting++ == 0)
            QMetaObject::invokeMethod(this, &TickPlayer::openAndPlay, Qt::QueuedConnection);
        return;
    }
    startVoice();
}

void TickPlayer::openAndPlay()
{
    const int voices = std::exchange(m_voicesWaiting, 0);
    for (int i = 0; i < voices; ++i)
        startVoice();
}

void TickPlayer::startVoice()
{
    // A stopped sink has failed (no sound server, or it went away): it is dropped, so that a
    // fresh one is tried and sound comes back when the output does.
    std::erase_if(m_outputs, [](const std::unique_ptr<Output> &output) {
        return output->sink->state() == QAudio::StoppedState;
    });

    Output *output = freeOutput();
    if (!output && m_outputs.size() < std::size_t{maxOutputs})
        output = openOutput();
    if (!output) {
        // As many playbacks as streams are sounding: this one follows the oldest in its
        // stream. Only a sound still being fed cannot be followed; then the play is dropped.
        Output *oldest = nullptr;
        for (const std::unique_ptr<Output> &candidate : m_outputs) {
            if (candidate->written == m_sound->samples.size() &&
                (!oldest || candidate->started.elapsed() > oldest->started.elapsed()))
                oldest = candidate.get();
        }
        if (!oldest)
            return;
        oldest->sink->suspend();
        output = oldest;
    }
    start(*output);
}

TickPlayer::Output *TickPlayer::freeOutput()
{
    for (const std::unique_ptr<Output> &output : m_outputs) {
        if (output->sink->state() == QAudio::SuspendedState)
            return output.get();
    }
    return nullptr;
}

TickPlayer::Output *TickPlayer::openOutput()
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return nullptr;
    auto output = std::make_unique<Output>();
    output->sink = std::make_unique<QAudioSink>(device, m_sound->format);
    // Room for the whole sound, so that it goes to the server in one write. The server grants
    // about three quarters of what it is asked for.
    output->sink->setBufferSize(m_sound->format.bytesForDuration(soundMs() * 1000 * 3 / 2));
    output->device = output->sink->start();
    if (!output->device || output->sink->state() == QAudio::StoppedState)
        return nullptr;
    // Every playback starts from the suspended state (see the class comment).
    output->sink->suspend();
    output->rest.setSingleShot(true);
    connect(&output->rest, &QTimer::timeout, this, [this, raw = output.get()] { rest(*raw); });
    m_outputs.push_back(std::move(output));
    return m_outputs.back().get();
}

void TickPlayer::start(Output &output)
{
    output.rest.stop();
    output.sink->resume();
    output.written = 0;
    output.started.start();
    feed(output);
    if (output.written < m_sound->samples.size() && !m_feeder.isActive())
        m_feeder.start();
}

void TickPlayer::feed(Output &output)
{
    const QByteArray &samples = m_sound->samples;
    const int frameBytes = m_sound->format.bytesPerFrame();
    const qsizetype room = std::min(samples.size() - output.written, output.sink->bytesFree());
    const qsizetype whole = room - room % frameBytes;
    if (whole > 0) {
        const qint64 written = output.device->write(samples.constData() + output.written, whole);
        if (written > 0)
            output.written += written;
    }
    if (output.written == samples.size()) {
        const qint64 stillSounding = std::max<qint64>(0, soundMs() - output.started.elapsed());
        output.rest.start(static_cast<int>(stillSounding) + restMs);
    }
}

void TickPlayer::feedAll()
{
    bool hungry = false;
    for (const std::unique_ptr<Output> &output : m_outputs) {
        const QAudio::State state = output->sink->state();
        if (output->written == m_sound->samples.size() ||
            (state != QAudio::ActiveState && state != QAudio::IdleState))
            continue;
        feed(*output);
        hungry = hungry || output->written < m_sound->samples.size();
    }
    if (!hungry)
        m_feeder.stop();
}

void TickPlayer::rest(Output &output)
{
    const QAudio::State state = output.sink->state();
    if (state != QAudio::ActiveState && state != QAudio::IdleState)
        return;
    // Only once the server has taken everything, so no tick loses its end.
    if (output.sink->bytesFree() >= output.sink->bufferSize())
        output.sink->suspend();
    else
        output.rest.start(restMs);
}

qint64 TickPlayer::soundMs() const
{
    return m_sound->format.durationForBytes(static_cast<qint32>(m_sound->samples.size())) / 1000;
}

} // namespace quarnel::ui
