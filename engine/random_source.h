#pragma once

#include <cstdint>
#include <random>

namespace quarnel {

// Where the drill gets its numbers from. Tests script it; the program uses RandomSource.
class NumberSource
{
public:
    virtual ~NumberSource() = default;
    // Negative bounds count as 0, the order of the bounds is free, both ends are included.
    virtual std::int32_t randomInRange(std::int32_t lo, std::int32_t hi) = 0;
};

class RandomSource final : public NumberSource
{
public:
    void seedRandom(std::uint32_t seed);
    std::int32_t randomInRange(std::int32_t lo, std::int32_t hi) override;

private:
    std::mt19937 m_engine;
};

} // namespace quarnel
