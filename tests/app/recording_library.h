#pragma once

// The test twin of our skin library: a SkinH_EL.dll that applies nothing and records each call
// of SkinH_AttachRes, for tests to read back through quarnel_recorded_call().

#include <cstdint>

extern "C" {

struct QuarnelRecordedCall
{
    std::uintptr_t address;
    std::uint32_t length;
    unsigned char bytes[64 * 1024]; // the first bytes handed over, as they arrived
    int textIsNull;
    char text[64];
    std::int32_t integers[3];
};

// Number of calls so far; copies call `index` into *call when there is one.
using QuarnelRecordedCallFunction = int (*)(int index, QuarnelRecordedCall *call);
}

inline constexpr char recordedCallFunctionName[] = "quarnel_recorded_call";
