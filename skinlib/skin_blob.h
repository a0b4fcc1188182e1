#pragma once

// The .SHE skin blob: a small header and an LZMA body. No Qt here, so the fuzzer and the
// build-time packer can use it with liblzma alone.
//
//   offset  size  content
//   0       4     ".SHE"
//   4       2     00 03
//   6       4     size of the decoded skin text, 32-bit little-endian
//   10      5     LZMA properties: lc 3, lp 0, pb 2, dictionary 8 MiB (5D 00 00 80 00)
//   15      ...   raw LZMA1 data, no end marker, ending exactly where the blob ends

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quarnel::skinblob {

inline constexpr std::array<std::uint8_t, 6> magic{0x2E, 0x53, 0x48, 0x45, 0x00, 0x03};
inline constexpr std::size_t sizeOffset = 6;
inline constexpr std::size_t propertiesOffset = 10;
inline constexpr std::array<std::uint8_t, 5> lzmaProperties{0x5D, 0x00, 0x00, 0x80, 0x00};
inline constexpr std::size_t headerSize = 15;
// A skin is a few kilobytes of text. The cap keeps a hostile header from making us allocate
// gigabytes before a single byte of the body has been checked.
inline constexpr std::uint32_t maxDecodedSize = 4u << 20;

enum class Status {
    Ok,
    TooShort,              // not even a whole header
    BadMagic,              // not ".SHE" 00 03
    Empty,                 // declared size 0: nothing to apply
    TooLarge,              // declared size above maxDecodedSize
    UnsupportedProperties, // LZMA properties other than the ones above
    Truncated,             // the body ends before the declared size is reached
    Corrupt,               // the body is no valid LZMA data for the declared size
    TrailingData,          // bytes left over after the declared size was decoded
    OutOfMemory,
};

struct Decoded
{
    Status status = Status::Ok;
    std::string text; // empty unless status is Ok
};

// Decodes a whole blob. Strict: the body must decode into exactly the declared size and
// must end with the blob; anything else is refused and nothing is returned.
[[nodiscard]] Decoded decode(std::span<const std::uint8_t> blob);

// Packs text into a blob that decode() gives back unchanged. Empty when the text is empty
// or longer than maxDecodedSize.
[[nodiscard]] std::vector<std::uint8_t> encode(std::string_view text);

[[nodiscard]] std::string_view statusName(Status status);

} // namespace quarnel::skinblob
