#include "tune/one_euro_filter.h"

#include <cmath>
#include <numbers>

namespace velmora::tune {

double OneEuroFilter::Alpha(double cutoff, double seconds) {
    const double tau = 1.0 / (2.0 * std::numbers::pi * cutoff);
    return 1.0 / (1.0 + tau / seconds);
}

double OneEuroFilter::Filter(double value, double seconds) {
    if (!started_ || !(seconds > 0.0)) {
        // The first sample, or one with no time since the last: nothing to tell a speed from.
        if (!started_) {
            value_ = value;
            started_ = true;
        }
        return value_;
    }
    const double rawSpeed = (value - value_) / seconds;
    const double dAlpha = Alpha(parameters_.dCutoff, seconds);
    speed_ = dAlpha * rawSpeed + (1.0 - dAlpha) * speed_;
    const double cutoff = parameters_.minCutoff + parameters_.beta * std::abs(speed_);
    const double alpha = Alpha(cutoff, seconds);
    value_ = alpha * value + (1.0 - alpha) * value_;
    return value_;
}

}  // namespace velmora::tune
