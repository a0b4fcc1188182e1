#pragma once

#include "ui/wav_sound.h"

#include <QAudioSink>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <memory>
#include <vector>

namespace quarnel::ui {

// Plays an in-memory WAV file: play() returns at once, every call is heard in full, and a
// call while an earlier playback still sounds overlaps it. Without a usable audio output (or
// with a WAV it cannot read) play() does nothing. Runs on the thread that owns it.
//
// Every playback goes to the sound server in one write, into a stream of its own that holds
// the whole sound; the server mixes playbacks that overlap. Once written, a tick no longer
// depends on this thread waking in time (fed 10 ms at a time, a busy machine cut the odd tick
// short), and the stream costs a few wake-ups per tick instead of one every 10 ms. A stream
// that has played its sound out is corked again and waits for the next play; more streams are
// opened only while that many playbacks sound at once.
// The buffer's size is also the latency the stream asks for: PulseAudio sets its sink's latency
// from it (270 ms on a null sink), and still starts a new tick at once by rewinding the sink.
// The first stream is connected from the event loop after the first play() returns, so that
// first tick sounds about 10 ms later than the others.
// Measured with Qt 6.4.2: QSoundEffect restarts a sound instead of overlapping it, cuts off
// its end and, under PulseAudio, drops plays; a pull-mode sink stops pulling for good once
// its source runs dry; and a PulseAudio sink only starts a write shorter than its buffer
// after resume(), which is why every playback goes out from the suspended state.
class TickPlayer final : public QObject
{
    Q_OBJECT

public:
    explicit TickPlayer(QByteArrayView wavFile, QObject *parent = nullptr);
    ~TickPlayer() override;

    void play();

    // Once a sound has been handed over, the server still holds its end for its own latency,
    // and corking earlier would hold that back until the next play. Measured on a PulseAudio
    // null sink: whole ticks down to 50 ms; the wide margin is for a busy server or a sound
    // card with a deep buffer.
    static constexpr int restMs = 500;
    // A sound longer than a stream's buffer is topped up this often.
    static constexpr int feedMs = 10;
    // Playbacks beyond this many at once wait behind the oldest one instead of opening more
    // streams on the sound server (a held-down key repeats Start 30 times a second).
    static constexpr int maxOutputs = 8;

    [[nodiscard]] int outputCount() const { return static_cast<int>(m_outputs.size()); }

private:
    struct Output
    {
        std::unique_ptr<QAudioSink> sink;
        QIODevice *device = nullptr; // belongs to sink
        qsizetype written = 0;       // bytes of the sound handed over
        QElapsedTimer started;
        QTimer rest;
    };

    void openAndPlay();
    void startVoice();
    Output *openOutput();
    Output *freeOutput();
    void start(Output &output);
    void feed(Output &output);
    void feedAll();
    void rest(Output &output);
    [[nodiscard]] qint64 soundMs() const;

    std::optional<PcmSound> m_sound;
    std::vector<std::unique_ptr<Output>> m_outputs;
    QTimer m_feeder;
    int m_voicesWaiting = 0; // plays asked for while the first output is being opened
};

} // namespace quarnel::ui
