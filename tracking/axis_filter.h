#pragma once

#include <cstdint>
#include <vector>

namespace velmora {

// Smooths one tracker axis: unwraps readings across the ends of the tracker's range, averages an
// adaptive number of the newest samples (many while the head is still, few while it moves) and
// leaves out samples that lie too far from the window's mean.
//
// All sample arithmetic is integer, in raw tracker units (65536 = the tracker's whole range).
// Not thread-safe: the owner guards every call, reads of Output included.
//
// Every int32 input is defined, extreme ones included: the unwrap and the distances are computed
// in 64 bits, and an unwrapped value beyond the int32 range is stored saturated to it (so Output,
// a mean of stored samples, is always in range); the mean and the variance are exact for every
// input; every double-to-int step saturates and maps NaN to 0. A ring length below 1 counts as 1,
// and a DecreaseFrame below 1.0 (or NaN) as 1.0, the floor the settings enforce.
//
// Growth inserts its zero slots as the oldest entries, and FrameCount counts real samples only, so
// a reload that grows the ring and shrinks it back leaves the filter exactly as it was.
class AxisFilter {
public:
    AxisFilter(std::int32_t minFrames, std::int32_t maxFrames, float decreaseFrame,
               std::int32_t offsetFrame);

    // Feeds one raw reading and recomputes Output. Allocates nothing.
    void AddSample(std::int32_t raw);
    // Changes the ring length, keeping the newest samples. Keeps the old ring when the memory for
    // a new one cannot be had; never throws.
    void SetMaxFrames(std::int32_t n);

    std::int32_t MaxFrames() const { return static_cast<std::int32_t>(Frames.size()); }

    // Parameters, written directly by the settings; a change counts from the next sample.
    std::int32_t MinFrames;
    std::int32_t OffsetFrame;
    float DecreaseFrame;
    float SDSkipfactor = 2.5f;

    // The smoothed value of the last AddSample.
    std::int32_t Output = 0;

    // State, readable for tests and tools; only the filter writes it.
    std::vector<std::int32_t> Frames;
    std::int32_t WriteIndex = 0;
    std::int32_t FrameCount = 0;
    std::int32_t Window = 0;

private:
    std::int32_t UnwrapAndStore(std::int32_t raw);
    void ShrinkWindow(std::int32_t stored);
    std::int32_t GatherWindow();
    void GrowRing(std::int32_t n);
    void ShrinkRing(std::int32_t n);

    std::vector<std::int32_t> window_;  // scratch for the gathered window, as long as the ring
};

}  // namespace velmora
