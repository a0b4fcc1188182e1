// libFuzzer target: any bytes at all, as SkinH_AttachRes may be handed them. Besides the
// sanitizers' findings, a decoded blob must keep the decoder's promises.
#include "skinlib/skin_blob.h"

#include <cstdlib>

namespace blob = quarnel::skinblob;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const blob::Decoded decoded = blob::decode({data, size});
    if (decoded.status != blob::Status::Ok) {
        if (!decoded.text.empty())
            std::abort(); // a refused blob gives nothing back
        return 0;
    }
    if (size <= blob::headerSize)
        std::abort();
    const std::uint32_t declared = std::uint32_t{data[6]} | std::uint32_t{data[7]} << 8 |
                                   std::uint32_t{data[8]} << 16 | std::uint32_t{data[9]} << 24;
    if (decoded.text.size() != declared || declared == 0 || declared > blob::maxDecodedSize)
        std::abort();
    return 0;
}
