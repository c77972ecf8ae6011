#include "tune/trend_axis_filter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "config/filter_settings.h"
#include "drivers/raw_angle.h"

namespace velmora::tune {

TrendAxisFilter::TrendAxisFilter(const Setting& setting)
    : minFrames_(static_cast<std::int32_t>(setting[0])),
      decreaseFrame_(static_cast<float>(setting[2])),
      offsetFrame_(static_cast<std::int32_t>(setting[3])),
      sdSkipfactor_(static_cast<float>(setting[4])),
      trend_(setting[5]),
      frames_(
          static_cast<std::size_t>(RingLength(static_cast<std::int32_t>(setting[1]), minFrames_)),
          0) {}

std::int32_t TrendAxisFilter::AddSample(std::int32_t raw) {
    const auto length = static_cast<std::int32_t>(frames_.size());
    const std::int64_t previous = At(0);
    const std::int64_t turns = 65536 * (std::abs(previous) / 65536);
    std::int64_t value = raw;
    if (previous < 0 && value > 0 && value - previous > 32768) {
        value -= 65536 + turns;
    } else if (previous > 0 && value < 0 && previous - value > 32768) {
        value += 65536 + turns;
    }
    const auto stored = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
    frames_[static_cast<std::size_t>(write_)] = stored;
    write_ = write_ + 1 == length ? 0 : write_ + 1;
    count_ = std::min(count_ + 1, length);
    window_ = std::min(window_ + 1, length);
    const double shrink = static_cast<double>(std::abs(std::int64_t{stored} - output_)) /
                              static_cast<double>(std::max(decreaseFrame_, 1.0f)) -
                          offsetFrame_;
    if (shrink >= 1.0) {
        const auto whole = static_cast<std::int32_t>(std::min(shrink, 2147483647.0));
        window_ = window_ - whole < 1 ? 1 : window_ - whole;
    }
    const std::int32_t w = std::min(std::max(window_, minFrames_), count_);
    std::int64_t sum = 0;
    for (std::int32_t age = 0; age < w; ++age) {
        sum += At(age);
    }
    const std::int64_t mean = sum / w;
    std::uint64_t squares = 0;  // exact for any head: deviations stay far below 2^26 units
    for (std::int32_t age = 0; age < w; ++age) {
        const auto deviation = static_cast<std::uint64_t>(std::abs(At(age) - mean));
        squares += deviation * deviation;
    }
    const auto sd = static_cast<float>(std::sqrt(static_cast<double>(squares / w)));
    const auto threshold = static_cast<std::int64_t>(static_cast<double>(sd) * sdSkipfactor_);
    std::int64_t kept = 0;
    std::int64_t n = 0;
    double ages = 0.0;
    double ageSquares = 0.0;
    double agedDeviations = 0.0;
    for (std::int32_t age = 0; age < w; ++age) {
        const std::int64_t sample = At(age);
        if (std::abs(sample - mean) <= threshold || age == 0) {
            kept += sample;
            ++n;
            if (trend_ > 0.0) {
                ages += age;
                ageSquares += static_cast<double>(age) * age;
                agedDeviations += age * static_cast<double>(sample - mean);
            }
        }
    }
    output_ = static_cast<std::int32_t>(kept / n);
    const double spread = static_cast<double>(n) * ageSquares - ages * ages;
    if (trend_ > 0.0 && n >= 3 && spread > 0.0) {
        const double keptMean = static_cast<double>(kept) / n - mean;
        const double slope = (n * agedDeviations - ages * keptMean * n) / spread;
        const double newest = keptMean - slope * ages / n;  // the line at age 0
        output_ =
            static_cast<std::int32_t>(std::llround(mean + keptMean + trend_ * (newest - keptMean)));
    }
    return output_;
}

std::int64_t TrendAxisFilter::At(std::int32_t age) const {
    const auto length = static_cast<std::int32_t>(frames_.size());
    return frames_[static_cast<std::size_t>((write_ - 1 - age + 2 * length) % length)];
}

const std::vector<SearchKey>& TrendKeys() {
    static const std::vector<SearchKey> keys = [] {
        std::vector<SearchKey> all = AxisFilterKeys();
        all.push_back({"Trend", {0.0, 0.25, 0.5, 0.75, 1.0}, 1});
        return all;
    }();
    return keys;
}

std::vector<double> RunTrendFilter(const std::vector<std::int32_t>& raw, const Setting& setting) {
    TrendAxisFilter filter(setting);
    std::vector<double> camera;
    camera.reserve(raw.size());
    for (const std::int32_t reading : raw) {
        camera.push_back(raw_angle::RawToDegrees(filter.AddSample(reading)));
    }
    return camera;
}

}  // namespace velmora::tune
