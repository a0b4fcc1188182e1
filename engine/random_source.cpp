#include "random_source.h"

#include <algorithm>

namespace quarnel {

void RandomSource::seedRandom(std::uint32_t seed)
{
    m_engine.seed(seed);
}

std::int32_t RandomSource::randomInRange(std::int32_t lo, std::int32_t hi)
{
    lo = std::max(lo, 0);
    hi = std::max(hi, 0);
    const auto [a, b] = std::minmax(lo, hi);
    if (a == b)
        return a;
    // uniform_int_distribution is unbiased; a plain modulo would favour small values.
    return std::uniform_int_distribution<std::int32_t>(a, b)(m_engine);
}

} // namespace quarnel
