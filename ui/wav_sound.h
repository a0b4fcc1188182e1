#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace quarnel::ui {

// The PCM samples of a WAV file and their format.
struct PcmSound
{
    QAudioFormat format;
    QByteArray samples; // whole frames only
};

// Reads a RIFF/WAVE image of 16-bit PCM (format tag 1), any rate, one or two channels.
// Anything else, or a file cut short or lying about its sizes, gives nothing.
[[nodiscard]] std::optional<PcmSound> readWav(QByteArrayView file);

} // namespace quarnel::ui
