#pragma once

// The one function of our skin library that the program calls, as the program's loader and
// the library itself both see it. No Qt here: the tests' recording library uses it too.

#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define QUARNEL_SKINH_CALL __stdcall
#else
#define QUARNEL_SKINH_CALL
#endif

namespace quarnel::skinh {

inline constexpr char libraryFileName[] = "SkinH_EL.dll";
inline constexpr char attachFunctionName[] = "SkinH_AttachRes";

// (skin data or null, its length or 0, a text the program always passes as "", three integers
// the program always passes as 0). The program ignores the result; these are ours.
extern "C" {
using AttachRes = std::int32_t(QUARNEL_SKINH_CALL *)(const void *data, std::uint32_t length,
                                                     const char *text, std::int32_t, std::int32_t,
                                                     std::int32_t);
}

enum AttachResult : std::int32_t {
    Applied = 0,
    NoData = -1,      // null address or length 0: nothing changed
    NotASkin = -2,    // the blob was refused (header, size, properties, LZMA body)
    BadSkinText = -3, // the blob decoded, but its text is no skin of ours
    NoWidgetApp = -4, // no QApplication, or called off its thread
};

} // namespace quarnel::skinh
