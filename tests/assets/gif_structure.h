#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

namespace quarnel::testing {

struct GifFrame
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int delay = -1;    // hundredths of a second; -1 without a graphic control extension
    int disposal = -1; // -1 without a graphic control extension
    bool localColourTable = false;
};

struct GifStructure
{
    QByteArray version; // "GIF87a" or "GIF89a"
    int width = 0;
    int height = 0;
    int globalColourCount = 0;    // 0 without a global table
    std::optional<int> loopCount; // from a NETSCAPE2.0 extension; 0 is forever
    QList<GifFrame> frames;
    bool endsWithTrailer = false; // and nothing follows it
};

// Walks a GIF file block by block, without decoding pixels, so the tests see what is
// really stored rather than what a forgiving decoder makes of it. nullopt if malformed.
std::optional<GifStructure> readGifStructure(const QByteArray &data);

} // namespace quarnel::testing
