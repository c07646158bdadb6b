#include "bench/service/PublicSample.h"

#include "service/core/ReservedRanges.h"

#include <random>

std::vector<std::uint32_t> PublicSample(std::size_t count, std::uint32_t seed) {
    std::mt19937 generator(seed);
    std::vector<std::uint32_t> sample;
    sample.reserve(count);
    while (sample.size() < count) {
        const std::uint32_t address = generator();
        if (!service::SpecialRangeLabel(address)) sample.push_back(address);
    }
    return sample;
}
