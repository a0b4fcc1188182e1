#pragma once

#include "ui/wav_sound.h"

#include <QAudioSink>
#include <QObject>
#include <QTimer>

#include <memory>
#include <vector>

namespace quarnel::ui {

// Mixes any number of playbacks of one sound into 16-bit samples. Each startVoice() adds a
// playback from the sound's first sample; it runs to the sound's end.
class TickMixer final
{
public:
    explicit TickMixer(QByteArray samples);

    void startVoice();
    [[nodiscard]] int voiceCount() const { return static_cast<int>(m_voices.size()); }
    // Bytes until the last voice ends.
    [[nodiscard]] qsizetype bytesLeft() const;
    // Writes up to maxBytes of the mix (whole samples only) and moves the voices on.
    qsizetype mix(char *out, qsizetype maxBytes);

private:
    QByteArray m_samples;
    std::vector<qsizetype> m_voices; // byte offsets into m_samples, even
};

// Plays an in-memory WAV file: play() returns at once, every call is heard in full, and a
// call while an earlier playback still sounds overlaps it. Without a usable audio output (or
// with a WAV it cannot read) play() does nothing. Runs on the thread that owns it.
//
// One QAudioSink from the first play to the player's end, fed in push mode by a timer that
// runs only while something sounds, and suspended after restMs of silence: a tick that starts
// from silence goes out with play() itself (after the sound server's own latency), and an idle
// player wakes up for nothing (Qt's PulseAudio sink polls every 20 ms while it is not
// suspended). The sink is connected from the event loop after the first play() returns, so
// that first tick sounds about 10 ms later than the others.
// Measured with Qt 6.4.2: QSoundEffect restarts a sound instead of overlapping it, cuts off
// its end and, under PulseAudio, drops plays; a pull-mode sink stops pulling for good once
// its source runs dry, and with a small buffer it waits forever for its pre-buffer to fill.
class TickPlayer final : public QObject
{
    Q_OBJECT

public:
    explicit TickPlayer(QByteArrayView wavFile, QObject *parent = nullptr);
    ~TickPlayer() override;

    void play();

    // Asked of the sound server (which grants about three quarters). It bounds how late a
    // second tick can start while another still sounds, and how long feeding may stall.
    static constexpr int bufferMs = 60;
    static constexpr int feedMs = 10;
    // Once the sink's buffer is empty the server still holds the tick's end for its own
    // latency, and suspending earlier would cut it. Measured on a PulseAudio null sink: whole
    // ticks down to 50 ms, and no CPU saved by resting after 250 ms instead of 500 ms; so the
    // wide margin stays, for a busy server or a sound card with a deep buffer.
    static constexpr int restMs = 500;

private:
    bool ensureOutput();
    void openAndPlay();
    void startVoices(int count);
    void feed();
    void rest();

    std::optional<PcmSound> m_sound;
    std::unique_ptr<TickMixer> m_mixer;
    std::unique_ptr<QAudioSink> m_sink;
    QIODevice *m_output = nullptr; // belongs to m_sink
    QTimer m_feeder;
    QTimer m_rest;
    QByteArray m_chunk;
    int m_voicesWaiting = 0; // plays asked for while the output is being opened
};

} // namespace quarnel::ui
