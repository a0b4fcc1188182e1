// Records every call of SkinH_AttachRes, says so on stdout (a child process' tests read it
// there), and then scribbles over what it was handed: the program must have given it a copy.
#include "recording_library.h"
#include "skinlib/skinh_api.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

std::vector<QuarnelRecordedCall> &calls()
{
    static std::vector<QuarnelRecordedCall> recorded;
    return recorded;
}

} // namespace

extern "C" __attribute__((visibility("default"))) std::int32_t QUARNEL_SKINH_CALL
SkinH_AttachRes(const void *data, std::uint32_t length, const char *text, std::int32_t a,
                std::int32_t b, std::int32_t c)
{
    QuarnelRecordedCall call{};
    call.address = reinterpret_cast<std::uintptr_t>(data);
    call.length = length;
    if (data != nullptr)
        std::memcpy(call.bytes, data, std::min<std::size_t>(length, sizeof call.bytes));
    call.textIsNull = text == nullptr ? 1 : 0;
    if (text != nullptr)
        std::strncpy(call.text, text, sizeof call.text - 1);
    call.integers[0] = a;
    call.integers[1] = b;
    call.integers[2] = c;
    calls().push_back(call);

    std::printf("recorded SkinH_AttachRes(%s, %u, %s, %d, %d, %d)\n",
                data == nullptr ? "null" : "data", length,
                text == nullptr ? "null" : (text[0] == '\0' ? "\"\"" : "text"), a, b, c);
    std::fflush(stdout);

    if (data != nullptr)
        std::memset(const_cast<void *>(data), 0xEE, length);
    return 0;
}

extern "C" __attribute__((visibility("default"))) int
quarnel_recorded_call(int index, QuarnelRecordedCall *call)
{
    const auto count = static_cast<int>(calls().size());
    if (index >= 0 && index < count && call != nullptr)
        *call = calls()[static_cast<std::size_t>(index)];
    return count;
}
