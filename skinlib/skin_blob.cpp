#include "skinlib/skin_blob.h"

#include <lzma.h>

#include <algorithm>
#include <memory>
#include <new>

namespace quarnel::skinblob {

namespace {

constexpr std::uint32_t dictionarySize = 8u << 20;

std::uint32_t readLittleEndian32(std::span<const std::uint8_t, 4> bytes)
{
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

lzma_options_lzma lzmaOptions()
{
    lzma_options_lzma options{};
    lzma_lzma_preset(&options, 6);
    options.dict_size = dictionarySize;
    options.lc = 3;
    options.lp = 0;
    options.pb = 2;
    return options;
}

struct StreamDeleter
{
    void operator()(lzma_stream *stream) const
    {
        lzma_end(stream);
        delete stream;
    }
};
using Stream = std::unique_ptr<lzma_stream, StreamDeleter>;

Stream newStream()
{
    auto *stream = new (std::nothrow) lzma_stream;
    if (stream != nullptr)
        *stream = LZMA_STREAM_INIT;
    return Stream(stream);
}

} // namespace

Decoded decode(std::span<const std::uint8_t> blob)
{
    if (blob.size() < headerSize)
        return {Status::TooShort, {}};
    if (!std::equal(magic.begin(), magic.end(), blob.begin()))
        return {Status::BadMagic, {}};
    const std::uint32_t size = readLittleEndian32(blob.subspan<sizeOffset, 4>());
    if (size == 0)
        return {Status::Empty, {}};
    if (size > maxDecodedSize)
        return {Status::TooLarge, {}};
    if (!std::equal(lzmaProperties.begin(), lzmaProperties.end(), blob.begin() + propertiesOffset))
        return {Status::UnsupportedProperties, {}};

    lzma_options_lzma options = lzmaOptions();
    // Matches never reach back further than what has been decoded, so a dictionary as large as
    // the text decodes exactly what the nominal 8 MiB would, without allocating 8 MiB per call.
    options.dict_size = std::clamp(size, LZMA_DICT_SIZE_MIN, dictionarySize);
    // The size comes from the header; the body carries no end marker.
    options.ext_flags = 0;
    lzma_set_ext_size(options, size);
    const std::array<lzma_filter, 2> filters{
        {{LZMA_FILTER_LZMA1EXT, &options}, {LZMA_VLI_UNKNOWN, nullptr}}};

    Stream stream = newStream();
    if (!stream)
        return {Status::OutOfMemory, {}};
    switch (lzma_raw_decoder(stream.get(), filters.data())) {
    case LZMA_OK:
        break;
    case LZMA_MEM_ERROR:
        return {Status::OutOfMemory, {}};
    default:
        return {Status::UnsupportedProperties, {}};
    }

    std::string text;
    try {
        text.resize(size);
    } catch (const std::bad_alloc &) {
        return {Status::OutOfMemory, {}};
    }
    const std::span<const std::uint8_t> body = blob.subspan(headerSize);
    stream->next_in = body.data();
    stream->avail_in = body.size();
    stream->next_out = reinterpret_cast<std::uint8_t *>(text.data());
    stream->avail_out = text.size();

    lzma_ret result = LZMA_OK;
    do {
        result = lzma_code(stream.get(), LZMA_FINISH);
    } while (result == LZMA_OK);

    switch (result) {
    case LZMA_STREAM_END:
        if (stream->avail_out != 0)
            return {Status::Corrupt, {}};
        if (stream->avail_in != 0)
            return {Status::TrailingData, {}};
        return {Status::Ok, std::move(text)};
    case LZMA_BUF_ERROR:
        // No progress possible: the input ran out before the declared size was reached.
        return {stream->avail_in == 0 ? Status::Truncated : Status::Corrupt, {}};
    case LZMA_MEM_ERROR:
        return {Status::OutOfMemory, {}};
    default:
        return {Status::Corrupt, {}};
    }
}

std::vector<std::uint8_t> encode(std::string_view text)
{
    if (text.empty() || text.size() > maxDecodedSize)
        return {};

    lzma_options_lzma options = lzmaOptions();
    options.ext_flags = 0; // no end marker: the header carries the size
    const std::array<lzma_filter, 2> filters{
        {{LZMA_FILTER_LZMA1EXT, &options}, {LZMA_VLI_UNKNOWN, nullptr}}};
    Stream stream = newStream();
    if (!stream || lzma_raw_encoder(stream.get(), filters.data()) != LZMA_OK)
        return {};

    std::vector<std::uint8_t> blob(magic.begin(), magic.end());
    const auto size = static_cast<std::uint32_t>(text.size());
    for (int shift = 0; shift < 32; shift += 8)
        blob.push_back(static_cast<std::uint8_t>(size >> shift));
    blob.insert(blob.end(), lzmaProperties.begin(), lzmaProperties.end());

    stream->next_in = reinterpret_cast<const std::uint8_t *>(text.data());
    stream->avail_in = text.size();
    std::array<std::uint8_t, 4096> chunk{};
    lzma_ret result = LZMA_OK;
    do {
        stream->next_out = chunk.data();
        stream->avail_out = chunk.size();
        result = lzma_code(stream.get(), LZMA_FINISH);
        blob.insert(blob.end(), chunk.begin(),
                    chunk.begin() + static_cast<std::ptrdiff_t>(chunk.size() - stream->avail_out));
    } while (result == LZMA_OK);
    if (result != LZMA_STREAM_END)
        return {};
    return blob;
}

std::string_view statusName(Status status)
{
    switch (status) {
    case Status::Ok:
        return "ok";
    case Status::TooShort:
        return "shorter than the header";
    case Status::BadMagic:
        return "not a .SHE blob";
    case Status::Empty:
        return "declared size 0";
    case Status::TooLarge:
        return "declared size above the cap";
    case Status::UnsupportedProperties:
        return "unsupported LZMA properties";
    case Status::Truncated:
        return "body truncated";
    case Status::Corrupt:
        return "body corrupt";
    case Status::TrailingData:
        return "data after the body";
    case Status::OutOfMemory:
        return "out of memory";
    }
    return "unknown";
}

} // namespace quarnel::skinblob
