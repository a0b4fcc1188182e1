#pragma once

#include "ui/wav_sound.h"

#include <QAudioSink>
#include <QIODevice>
#include <QObject>

#include <memory>
#include <mutex>
#include <vector>

namespace quarnel::ui {

// Mixes any number of playbacks of one sound into a stream of 16-bit samples. Each
// startVoice() adds a playback from the sound's first sample; it runs to the sound's end.
// With nothing sounding the device reports no data, so the audio output may rest.
// Audio back ends may ask whether data is left from their own thread, hence the lock.
class TickMixer final : public QIODevice
{
    Q_OBJECT

public:
    explicit TickMixer(QByteArray samples, QObject *parent = nullptr);

    void startVoice();
    [[nodiscard]] int voiceCount() const;

    [[nodiscard]] bool isSequential() const override { return true; }
    [[nodiscard]] qint64 bytesAvailable() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    const QByteArray m_samples;
    mutable std::mutex m_lock;
    std::vector<qsizetype> m_voices; // byte offsets into m_samples, even
};

// Plays an in-memory WAV file: play() returns at once, every call is heard in full, and a
// call while an earlier playback still sounds overlaps it. Without a usable audio output (or
// with a WAV it cannot read) play() does nothing. Runs on the thread that owns it.
//
// One QAudioSink in pull mode reads from a TickMixer for the player's whole life. QSoundEffect
// would restart a sound instead of overlapping it, cuts off its end and, under PulseAudio,
// drops plays. The sink goes idle whenever nothing sounds, which costs no CPU.
class TickPlayer final : public QObject
{
    Q_OBJECT

public:
    explicit TickPlayer(QByteArrayView wavFile, QObject *parent = nullptr);
    ~TickPlayer() override;

    void play();

    // How much sound may be queued ahead of the speaker; it bounds the delay of a tick.
    static constexpr int bufferMs = 40;

private:
    bool ensureOutput();

    std::optional<PcmSound> m_sound;
    TickMixer *m_mixer = nullptr;
    std::unique_ptr<QAudioSink> m_sink;
};

} // namespace quarnel::ui
