#include "gif_structure.h"

namespace quarnel::testing {

namespace {

// Reads little-endian fields; running past the end marks the read as failed.
class Cursor final
{
public:
    explicit Cursor(const QByteArray &data)
        : m_data(data)
    {}

    int byte()
    {
        if (m_pos >= m_data.size()) {
            m_failed = true;
            return 0;
        }
        return static_cast<unsigned char>(m_data.at(m_pos++));
    }

    int word()
    {
        const int low = byte();
        return low | (byte() << 8);
    }

    QByteArray take(qsizetype count)
    {
        if (m_pos + count > m_data.size()) {
            m_failed = true;
            return {};
        }
        const QByteArray part = m_data.mid(m_pos, count);
        m_pos += count;
        return part;
    }

    void skipSubBlocks()
    {
        for (int size = byte(); size != 0 && !m_failed; size = byte())
            take(size);
    }

    [[nodiscard]] bool failed() const { return m_failed; }
    [[nodiscard]] bool atEnd() const { return m_pos == m_data.size(); }

private:
    const QByteArray &m_data;
    qsizetype m_pos = 0;
    bool m_failed = false;
};

} // namespace

std::optional<GifStructure> readGifStructure(const QByteArray &data)
{
    Cursor in(data);
    GifStructure gif;
    gif.version = in.take(6);
    if (gif.version != "GIF87a" && gif.version != "GIF89a")
        return std::nullopt;
    gif.width = in.word();
    gif.height = in.word();
    const int screenFlags = in.byte();
    in.byte(); // background colour index
    in.byte(); // pixel aspect ratio
    if (screenFlags & 0x80) {
        gif.globalColourCount = 2 << (screenFlags & 7);
        in.take(3 * gif.globalColourCount);
    }

    GifFrame next; // collects a graphic control extension for the image that follows it
    while (!in.failed()) {
        const int introducer = in.byte();
        if (introducer == 0x3b) {
            gif.endsWithTrailer = in.atEnd();
            return gif;
        }
        if (introducer == 0x21) {
            const int label = in.byte();
            if (label == 0xf9) {
                if (in.byte() != 4)
                    return std::nullopt;
                next.disposal = (in.byte() >> 2) & 7;
                next.delay = in.word();
                in.byte(); // transparent colour index
                if (in.byte() != 0)
                    return std::nullopt;
            } else if (label == 0xff) {
                const QByteArray application = in.take(in.byte());
                if (application == "NETSCAPE2.0") {
                    if (in.byte() != 3 || in.byte() != 1)
                        return std::nullopt;
                    gif.loopCount = in.word();
                }
                in.skipSubBlocks();
            } else {
                in.skipSubBlocks();
            }
        } else if (introducer == 0x2c) {
            next.left = in.word();
            next.top = in.word();
            next.width = in.word();
            next.height = in.word();
            const int imageFlags = in.byte();
            next.localColourTable = (imageFlags & 0x80) != 0;
            if (next.localColourTable)
                in.take(3 * (2 << (imageFlags & 7)));
            const int minimumCodeSize = in.byte();
            if (minimumCodeSize < 2 || minimumCodeSize > 8)
                return std::nullopt;
            in.skipSubBlocks();
            gif.frames.append(next);
            next = GifFrame{};
        } else {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace quarnel::testing
