#include "tracking/axis_filter.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

namespace velmora {
namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kTrackerRange = 65536;
constexpr std::int64_t kHalfRange = 32768;

std::int64_t Abs64(std::int64_t value) {
    return value < 0 ? -value : value;
}

// A plain cast of an out-of-range double is undefined and gives INT32_MIN on x86: a large
// "SD Skipfactor" would then turn the threshold negative. Saturating keeps "a larger factor
// rejects less"; NaN (say 0 x infinity) means no usable figure and counts as 0.
std::int32_t SaturateToInt32(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value <= static_cast<double>(kInt32Min)) {
        return static_cast<std::int32_t>(kInt32Min);
    }
    if (value >= static_cast<double>(kInt32Max)) {
        return static_cast<std::int32_t>(kInt32Max);
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t SaturateToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp(value, kInt32Min, kInt32Max));
}

// A sum of squared deviations. A deviation between int32 values reaches 2^32, so one square
// needs all of an unsigned 64-bit word and the sum needs more: it is carried in two words, which
// keeps the variance exact for every input at the cost of one compare per sample.
class SquareSum {
public:
    void Add(std::uint64_t square) {
        low_ += square;
        high_ += low_ < square ? 1 : 0;
    }
    // The quotient fits one word (a mean of values below 2^64), and high_ < divisor < 2^31 keeps
    // each partial remainder below 2^63. A sum within one word, as any head's is, takes one
    // division rather than two, which is much of the cost of a short window.
    std::uint64_t DivideBy(std::uint64_t divisor) const {
        if (high_ == 0) {
            return low_ / divisor;
        }
        std::uint64_t rest = (high_ << 32) | (low_ >> 32);
        const std::uint64_t upper = rest / divisor;
        rest = ((rest % divisor) << 32) | (low_ & 0xFFFFFFFFu);
        return (upper << 32) | (rest / divisor);
    }

private:
    std::uint64_t high_ = 0;
    std::uint64_t low_ = 0;
};

std::int32_t AtLeastOne(std::int32_t n) {
    return n < 1 ? 1 : n;
}

// The output with Trend above 0: the kept samples' mean, moved by `trend` toward where the
// least-squares line through them, x(a) = c + s a with a the age (0 the newest), stands at the
// newest. A mean trails a steady movement by half its window; the line does not.
//
// The sums over ages are whole numbers kept in doubles, which no window length can overflow; they
// stay exact below 2^53, as they do over any window the settings allow (10000 samples) for samples
// within 2700 turns of the mean. What follows runs in doubles in one fixed order, which the build
// keeps IEEE on every target (SSE2 on i686, no fused multiply-add), and is rounded once: to the
// nearest whole unit, halves away from zero, so that a mirrored head gives the mirrored output as
// the plain mean does.
std::int32_t TrendOutput(const std::array<std::span<const std::int32_t>, 2>& runs,
                         std::int64_t mean, std::int64_t threshold, std::int64_t kept,
                         std::int64_t n, float trend) {
    double age = 0.0;
    double ages = 0.0;
    double ageSquares = 0.0;
    double agedDeviations = 0.0;
    // Each run ends with its newest sample, the first with the newest of all. The newest counts
    // even as an outlier, but at age 0 it adds nothing to these sums.
    for (const auto run : runs) {
        for (auto sample = run.rbegin(); sample != run.rend(); ++sample, age += 1.0) {
            const std::int64_t deviation = *sample - mean;
            if (Abs64(deviation) <= threshold) {
                ages += age;
                ageSquares += age * age;
                agedDeviations += age * static_cast<double>(deviation);
            }
        }
    }
    const double count = static_cast<double>(n);
    const double deviations = static_cast<double>(kept - n * mean);  // exact in 64 bits
    const double spread = count * ageSquares - ages * ages;          // above 0 for two ages or more
    const double slope = (count * agedDeviations - ages * deviations) / spread;
    // The line at age 0 stands s times the mean age below the kept mean: c = (D - s A) / n, with
    // D the deviations and A the ages.
    const double lead = -static_cast<double>(trend) * slope * ages;
    return SaturateToInt32(std::round(static_cast<double>(mean) + (deviations + lead) / count));
}

}  // namespace

AxisFilter::AxisFilter(std::int32_t minFrames, std::int32_t maxFrames, float decreaseFrame,
                       std::int32_t offsetFrame)
    : parameters_{minFrames, AtLeastOne(maxFrames), decreaseFrame, offsetFrame},
      frames_(static_cast<std::size_t>(parameters_.MaxFrames), 0) {}

void AxisFilter::AddSample(std::int32_t raw) {
    const std::int32_t length = MaxFrames();
    const std::int32_t stored = UnwrapAndStore(raw);
    if (frameCount_ < length) {
        ++frameCount_;
    }
    window_ = window_ >= length ? length : window_ + 1;
    ShrinkWindow(stored);

    // The sums are exact integers, so the window is read where it lies, in any order.
    const std::int32_t w = WindowLength();
    const auto runs = WindowRuns(w);
    std::int64_t sum = 0;
    for (const auto run : runs) {
        for (const std::int32_t sample : run) {
            sum += sample;
        }
    }
    const std::int64_t mean = sum / w;
    SquareSum squares;
    for (const auto run : runs) {
        for (const std::int32_t sample : run) {
            const auto deviation = static_cast<std::uint64_t>(Abs64(sample - mean));
            squares.Add(deviation * deviation);
        }
    }
    const std::uint64_t variance = squares.DivideBy(static_cast<std::uint64_t>(w));
    const auto sd = static_cast<float>(std::sqrt(static_cast<double>(variance)));
    const std::int64_t threshold =
        SaturateToInt32(static_cast<double>(sd) * static_cast<double>(parameters_.SDSkipfactor));

    std::int64_t acc = 0;
    std::int64_t n = 0;
    for (const auto run : runs) {
        for (const std::int32_t sample : run) {
            if (Abs64(sample - mean) <= threshold) {
                acc += sample;
                ++n;
            }
        }
    }
    if (Abs64(stored - mean) > threshold) {  // the newest sample always counts
        acc += stored;
        ++n;
    }
    // A line through fewer than three samples follows their noise exactly: the mean stands.
    output_ = parameters_.Trend > 0.0f && n >= 3
                  ? TrendOutput(runs, mean, threshold, acc, n, std::min(parameters_.Trend, 1.0f))
                  : static_cast<std::int32_t>(acc / n);
}

std::int32_t AxisFilter::UnwrapAndStore(std::int32_t raw) {
    const std::int32_t length = MaxFrames();
    const std::int64_t prev =
        frames_[static_cast<std::size_t>(writeIndex_ == 0 ? length - 1 : writeIndex_ - 1)];
    // Wide arithmetic: |INT32_MIN| and raw - 65536 - T leave the int32 range. An unwrapped value
    // beyond it saturates, which keeps it on the side the unwrap moved it to.
    const std::int64_t turns = kTrackerRange * (Abs64(prev) / kTrackerRange);
    std::int64_t value = raw;
    if (prev < 0 && value > 0 && value - prev > kHalfRange) {
        value = value - kTrackerRange - turns;
    } else if (prev > 0 && value < 0 && prev - value > kHalfRange) {
        value = value + kTrackerRange + turns;
    }
    const std::int32_t stored = SaturateToInt32(value);
    frames_[static_cast<std::size_t>(writeIndex_)] = stored;
    writeIndex_ = writeIndex_ + 1 == length ? 0 : writeIndex_ + 1;
    return stored;
}

void AxisFilter::ShrinkWindow(std::int32_t stored) {
    const std::int64_t distance = Abs64(static_cast<std::int64_t>(stored) - output_);
    // The settings never pass less than 1.0; anything below it, zero and NaN included, would
    // divide into an infinity or a NaN, so it counts as that floor.
    const float decrease = parameters_.DecreaseFrame >= 1.0f ? parameters_.DecreaseFrame : 1.0f;
    const std::int32_t k =
        SaturateToInt32(static_cast<double>(distance) / static_cast<double>(decrease) -
                        static_cast<double>(parameters_.OffsetFrame));
    if (k > 0) {
        window_ = window_ - k < 1 ? 1 : window_ - k;
    }
}

std::int32_t AxisFilter::WindowLength() const {
    // frameCount_ never exceeds the ring (a shrink cuts it), so the window stays within it.
    return std::min(std::max(window_, parameters_.MinFrames), frameCount_);
}

std::array<std::span<const std::int32_t>, 2> AxisFilter::WindowRuns(std::int32_t w) const {
    // The newest w samples: back from the write index to slot 0, then back from the last slot.
    const std::int32_t beforeWrap = std::min(w, writeIndex_);
    const std::span<const std::int32_t> ring(frames_);
    return {ring.subspan(static_cast<std::size_t>(writeIndex_ - beforeWrap),
                         static_cast<std::size_t>(beforeWrap)),
            ring.last(static_cast<std::size_t>(w - beforeWrap))};
}

void AxisFilter::SetMaxFrames(std::int32_t n) {
    n = AtLeastOne(n);
    if (n > MaxFrames()) {
        GrowRing(n);
    } else if (n < MaxFrames()) {
        ShrinkRing(n);
    }
    parameters_.MaxFrames = MaxFrames();
}

void AxisFilter::Set(const FilterSettings& settings) {
    parameters_ = settings;
    SetMaxFrames(settings.MaxFrames);
}

void AxisFilter::GrowRing(std::int32_t n) {
    // The zero slots go in at the write index as the oldest entries: the walk back from the newest
    // sample meets every real sample first, and the next sample overwrites the oldest added slot.
    // Appended at the end they would pass for the most recent history, and a reload that grows
    // the ring and shrinks it back would keep nothing but zeros.
    try {
        const auto split = frames_.begin() + writeIndex_;
        std::vector<std::int32_t> ring;
        ring.reserve(static_cast<std::size_t>(n));
        ring.insert(ring.end(), frames_.begin(), split);
        ring.insert(ring.end(), static_cast<std::size_t>(n - MaxFrames()), 0);
        ring.insert(ring.end(), split, frames_.end());
        frames_.swap(ring);
    } catch (const std::exception&) {
        // No memory for the longer ring (or, on a 32-bit build, beyond what a vector can hold):
        // the filter goes on with the ring it has.
    }
}

void AxisFilter::ShrinkRing(std::int32_t n) {
    // In place, oldest first, so that a shrink cannot fail for want of memory.
    std::rotate(frames_.begin(), frames_.begin() + writeIndex_, frames_.end());
    frames_.erase(frames_.begin(), frames_.end() - n);
    writeIndex_ = 0;
    // The frame count counts the real samples the ring holds, and at most n remain. Left above n,
    // it would let the zero slots of a later growth into the window.
    if (frameCount_ > n) {
        frameCount_ = n;
    }
    try {
        frames_.shrink_to_fit();
    } catch (const std::exception&) {
        // Giving memory back is a courtesy; the ring is already right.
    }
}

}  // namespace velmora
