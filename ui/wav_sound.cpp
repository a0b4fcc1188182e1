#include "wav_sound.h"

#include <QtEndian>

#include <cstdint>

namespace quarnel::ui {

namespace {

std::uint32_t le32(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<std::uint32_t>(bytes.data() + at);
}

std::uint16_t le16(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<std::uint16_t>(bytes.data() + at);
}

} // namespace

std::optional<PcmSound> readWav(QByteArrayView file)
{
    constexpr qsizetype headerSize = 12;
    constexpr qsizetype chunkHeaderSize = 8;
    if (file.size() < headerSize || file.first(4) != "RIFF" || file.sliced(8, 4) != "WAVE")
        return std::nullopt;

    std::optional<QAudioFormat> format;
    for (qsizetype at = headerSize; file.size() - at >= chunkHeaderSize;) {
        const QByteArrayView id = file.sliced(at, 4);
        const std::uint32_t size = le32(file, at + 4);
        const qsizetype body = at + chunkHeaderSize;
        if (size > static_cast<std::uint64_t>(file.size() - body))
            return std::nullopt;
        const auto length = static_cast<qsizetype>(size);

        if (id == "fmt ") {
            if (length < 16)
                return std::nullopt;
            const std::uint16_t tag = le16(file, body);
            const std::uint16_t channels = le16(file, body + 2);
            const std::uint32_t rate = le32(file, body + 4);
            const std::uint16_t bits = le16(file, body + 14);
            if (tag != 1 || bits != 16 || channels < 1 || channels > 2 || rate < 1000 ||
                rate > 192000)
                return std::nullopt;
            QAudioFormat pcm;
            pcm.setSampleFormat(QAudioFormat::Int16);
            pcm.setChannelCount(channels);
            pcm.setSampleRate(static_cast<int>(rate));
            format = pcm;
        } else if (id == "data") {
            if (!format)
                return std::nullopt;
            const qsizetype frame = format->bytesPerFrame();
            return PcmSound{*format, file.sliced(body, length - length % frame).toByteArray()};
        }
        // Chunks are padded to an even length.
        at = body + length + (length & 1);
    }
    return std::nullopt;
}

} // namespace quarnel::ui
