// Drives one filter with arbitrary parameters (NaN and infinities included), ring lengths and
// samples. Beyond crashes and undefined behaviour it checks after every step that the state stays
// inside the filter's invariants, that Output lies within the samples it averages (with Trend,
// within the reach of a line through them), and that a reload which grows the ring and shrinks it
// back changes nothing.
//
// Ring lengths stay below a few hundred: a length near INT32_MAX asks for gigabytes, which the
// sanitizer's allocator reports as a finding instead of failing the allocation.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "fail.h"
#include "tracking/axis_filter.h"

namespace {

using velmora::AxisFilter;

constexpr std::int32_t kLongestRing = 600;

float AnyFloat(FuzzedDataProvider& in) {
    return std::bit_cast<float>(in.ConsumeIntegral<std::uint32_t>());
}

std::int32_t RingLength(FuzzedDataProvider& in) {
    return in.ConsumeIntegralInRange<std::int32_t>(-3, kLongestRing);
}

// Mostly readings a tracker could give around one spot, now and then any int32 at all.
std::int32_t Reading(FuzzedDataProvider& in, std::int32_t around) {
    if (in.ConsumeBool()) {
        return in.ConsumeIntegral<std::int32_t>();
    }
    return std::clamp<std::int64_t>(
        std::int64_t{around} + in.ConsumeIntegralInRange<int>(-400, 400), INT32_MIN, INT32_MAX);
}

std::vector<std::int32_t> NewestFirst(const AxisFilter& filter) {
    const auto view = filter.Inspect();
    const auto length = static_cast<std::int32_t>(view.Frames.size());
    std::vector<std::int32_t> samples;
    for (std::int32_t i = 1; i <= length; ++i) {
        samples.push_back(
            view.Frames[static_cast<std::size_t>((view.WriteIndex - i + length) % length)]);
    }
    return samples;
}

void CheckState(const AxisFilter& filter) {
    const std::int32_t length = filter.MaxFrames();
    const auto view = filter.Inspect();
    Require(length >= 1 && static_cast<std::size_t>(length) == view.Frames.size(), "ring length");
    Require(view.WriteIndex >= 0 && view.WriteIndex < length, "WriteIndex in the ring");
    Require(view.FrameCount >= 0 && view.FrameCount <= length, "FrameCount within the ring");
}

void CheckAfterSample(const AxisFilter& filter) {
    CheckState(filter);
    const auto view = filter.Inspect();
    Require(view.Window >= 1 && view.Window <= filter.MaxFrames(), "Window within the ring");
    const auto [low, high] = std::minmax_element(view.Frames.begin(), view.Frames.end());
    // A least-squares line through n samples that spread over R stands within sqrt(n) R of their
    // mean at the newest sample's age, the youngest it fits.
    const double reach = filter.Settings().Trend > 0.0f
                             ? std::sqrt(static_cast<double>(filter.MaxFrames())) *
                                       (static_cast<double>(*high) - *low) +
                                   1.0
                             : 0.0;
    Require(filter.Output() >= *low - reach && filter.Output() <= *high + reach,
            "Output within the samples, or a line's reach from them");
    if (*low == *high) {
        Require(filter.Output() == *low, "a ring of equal samples outputs that sample");
    }
}

void CheckReloadChangesNothing(AxisFilter& filter, std::int32_t longer) {
    const std::int32_t length = filter.MaxFrames();
    const std::vector<std::int32_t> before = NewestFirst(filter);
    const auto view = filter.Inspect();
    const std::int32_t frameCount = view.FrameCount;
    const std::int32_t window = view.Window;
    const std::int32_t output = filter.Output();
    filter.SetMaxFrames(std::max(longer, length));
    filter.SetMaxFrames(length);
    const auto after = filter.Inspect();
    Require(NewestFirst(filter) == before, "reload keeps the samples");
    Require(after.FrameCount == frameCount && after.Window == window && filter.Output() == output,
            "reload keeps FrameCount, Window and Output");
}

// New parameters; the ring stays as it is.
velmora::FilterSettings AnyParameters(FuzzedDataProvider& in, const AxisFilter& filter) {
    velmora::FilterSettings settings = filter.Settings();
    settings.MinFrames = in.ConsumeIntegral<std::int32_t>();
    settings.OffsetFrame = in.ConsumeIntegral<std::int32_t>();
    settings.DecreaseFrame = AnyFloat(in);
    settings.SDSkipfactor = AnyFloat(in);
    settings.Trend = in.ConsumeBool() ? in.ConsumeProbability<float>() : AnyFloat(in);
    return settings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const auto minFrames = in.ConsumeIntegralInRange<std::int32_t>(-3, kLongestRing + 50);
    const std::int32_t ring = RingLength(in);
    const float decreaseFrame = in.ConsumeBool() ? AnyFloat(in) : 80.0f;
    const auto offsetFrame = in.ConsumeBool() ? in.ConsumeIntegral<std::int32_t>() : 0;
    AxisFilter filter(minFrames, ring, decreaseFrame, offsetFrame);
    CheckState(filter);

    std::int32_t around = in.ConsumeIntegral<std::int32_t>();
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange<int>(0, 7)) {
            case 0:
                filter.SetMaxFrames(RingLength(in));
                CheckState(filter);
                break;
            case 1:
                CheckReloadChangesNothing(filter, RingLength(in));
                break;
            case 2:
                filter.Set(AnyParameters(in, filter));
                break;
            case 3:
                around = in.ConsumeIntegral<std::int32_t>();
                break;
            default:
                filter.AddSample(Reading(in, around));
                CheckAfterSample(filter);
                break;
        }
    }
    return 0;
}
