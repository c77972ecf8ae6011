#pragma once

#include <cmath>
#include <cstdint>

namespace velmora::sim {

// Random numbers that a seed fixes on every system: the standard library's distributions may draw
// differently from one library to the next, and a benchmark or a test must see the same head and
// the same noise wherever it runs. SplitMix64 (Steele, Lea and Flood) is small and passes the usual
// batteries; nothing here needs more.
inline std::uint64_t Mix(std::uint64_t value) {
    value += 0x9E3779B97F4A7C15u;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9u;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBu;
    return value ^ (value >> 31);
}

// One stream for each (seed, key, part): any item is drawn directly, without drawing the ones
// before it.
inline std::uint64_t Mix(std::uint64_t seed, std::uint64_t key, std::uint64_t part) {
    return Mix(Mix(Mix(seed) ^ key) ^ part);
}

class SeededRandom {
public:
    explicit SeededRandom(std::uint64_t state) : state_(state) {}

    std::uint64_t Next() { return Mix(state_++); }
    // In [0, 1), from the top 53 bits.
    double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    double Uniform(double low, double high) { return low + (high - low) * Unit(); }
    // Standard normal (Box-Muller); one draw spends two uniforms and keeps the cosine alone, so
    // each item of a stream costs the same draws whatever was asked before.
    double Gaussian() {
        const double radius = std::sqrt(-2.0 * std::log(1.0 - Unit()));
        return radius * std::cos(2.0 * 3.14159265358979323846 * Unit());
    }

private:
    std::uint64_t state_;
};

}  // namespace velmora::sim
