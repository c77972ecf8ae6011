#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "config/filter_settings.h"

namespace velmora {

// Smooths one tracker axis: unwraps readings across the ends of the tracker's range, averages an
// adaptive number of the newest samples (many while the head is still, few while it moves) and
// leaves out samples that lie too far from the window's mean. With Trend above 0 the output leads
// that mean toward where a straight line through the kept samples stands at the newest one (Trend
// 1 all the way), rounded to the nearest unit; at 0 it is the mean, truncated, and the line is
// never worked out. A Trend above 1 counts as 1, and NaN as 0.
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
    // The ring and its counters, for tests and tools that look inside.
    struct View {
        std::span<const std::int32_t> Frames;  // in storage order
        std::int32_t WriteIndex;               // the slot the next sample goes to
        std::int32_t FrameCount;               // real samples the ring holds
        std::int32_t Window;                   // the adaptive window, before MinFrames
    };

    AxisFilter(std::int32_t minFrames, std::int32_t maxFrames, float decreaseFrame,
               std::int32_t offsetFrame);

    // Feeds one raw reading and recomputes Output. Allocates nothing.
    void AddSample(std::int32_t raw);
    // Changes the ring length, keeping the newest samples. Keeps the old ring when the memory for
    // a new one cannot be had; never throws.
    void SetMaxFrames(std::int32_t n);
    // The parameters count from the next sample; the ring changes length at once, as SetMaxFrames.
    void Set(const FilterSettings& settings);

    // The smoothed value of the last AddSample.
    std::int32_t Output() const { return output_; }
    std::int32_t MaxFrames() const { return static_cast<std::int32_t>(frames_.size()); }
    // The parameters and the ring's length as it is.
    const FilterSettings& Settings() const { return parameters_; }
    View Inspect() const { return {frames_, writeIndex_, frameCount_, window_}; }

private:
    std::int32_t UnwrapAndStore(std::int32_t raw);
    void ShrinkWindow(std::int32_t stored);
    std::int32_t WindowLength() const;
    std::array<std::span<const std::int32_t>, 2> WindowRuns(std::int32_t w) const;
    void GrowRing(std::int32_t n);
    void ShrinkRing(std::int32_t n);

    FilterSettings parameters_;  // its MaxFrames kept equal to the ring's length
    std::int32_t output_ = 0;
    std::vector<std::int32_t> frames_;
    std::int32_t writeIndex_ = 0;
    std::int32_t frameCount_ = 0;
    std::int32_t window_ = 0;
};

}  // namespace velmora
