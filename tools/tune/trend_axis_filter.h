#pragma once

#include <cstdint>
#include <vector>

#include "tune/filter_front.h"

namespace velmora::tune {

// A prototype of one opt-in key for Velmora's filter, measured by the driving benchmark before
// the filter itself takes it: Trend, from 0 to 1. The output moves from the window's mean toward
// where a straight line through the kept samples stands at the newest one. A mean trails a
// steadily moving head (a resting head's slow wander, a lean into a corner) by half its window;
// the line does not, and a longer window then buys calm without the trail.
//
// At Trend 0 it is AxisFilter exactly (the benchmark checks that before it starts): the same
// ring, unwrap, shrink, outlier test and integer mean, and the line is worked out only when Trend
// is above 0. What it leaves out of AxisFilter: a ring that changes length, and the exact 128-bit
// variance (deviations here stay far below 2^26 units).
class TrendAxisFilter {
public:
    // Velmora's five keys and Trend, as TrendKeys orders them.
    explicit TrendAxisFilter(const Setting& setting);

    // One raw reading in; the output, in raw units unwrapped as the filter stores them.
    std::int32_t AddSample(std::int32_t raw);

private:
    std::int64_t At(std::int32_t age) const;

    std::int32_t minFrames_;
    float decreaseFrame_;
    std::int32_t offsetFrame_;
    float sdSkipfactor_;
    double trend_;
    std::vector<std::int32_t> frames_;
    std::int32_t write_ = 0;
    std::int32_t count_ = 0;
    std::int32_t window_ = 0;
    std::int32_t output_ = 0;
};

// AxisFilterKeys and Trend.
const std::vector<SearchKey>& TrendKeys();
std::vector<double> RunTrendFilter(const std::vector<std::int32_t>& raw, const Setting& setting);

}  // namespace velmora::tune
