// Drives one filter with arbitrary parameters (NaN and infinities included), ring lengths and
// samples. Beyond crashes and undefined behaviour it checks after every step that the state stays
// inside the filter's invariants, that Output lies within the samples it averages, and that a
// reload which grows the ring and shrinks it back changes nothing.
//
// Ring lengths stay below a few hundred: a length near INT32_MAX asks for gigabytes, which the
// sanitizer's allocator reports as a finding instead of failing the allocation.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tracking/axis_filter.h"

namespace {

using velmora::AxisFilter;

constexpr std::int32_t kLongestRing = 600;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

void Require(bool holds, const char* what) {
    if (!holds) {
        Fail(what);
    }
}

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
    std::vector<std::int32_t> samples;
    const std::int32_t length = filter.MaxFrames();
    for (std::int32_t i = 1; i <= length; ++i) {
        samples.push_back(
            filter.Frames[static_cast<std::size_t>((filter.WriteIndex - i + length) % length)]);
    }
    return samples;
}

void CheckState(const AxisFilter& filter) {
    const std::int32_t length = filter.MaxFrames();
    Require(length >= 1 && static_cast<std::size_t>(length) == filter.Frames.size(), "ring length");
    Require(filter.WriteIndex >= 0 && filter.WriteIndex < length, "WriteIndex in the ring");
    Require(filter.FrameCount >= 0 && filter.FrameCount <= length, "FrameCount within the ring");
}

void CheckAfterSample(const AxisFilter& filter) {
    CheckState(filter);
    Require(filter.Window >= 1 && filter.Window <= filter.MaxFrames(), "Window within the ring");
    const auto [low, high] = std::minmax_element(filter.Frames.begin(), filter.Frames.end());
    Require(filter.Output >= *low && filter.Output <= *high, "Output within the samples");
    if (*low == *high) {
        Require(filter.Output == *low, "a ring of equal samples outputs that sample");
    }
}

void CheckReloadChangesNothing(AxisFilter& filter, std::int32_t longer) {
    const std::int32_t length = filter.MaxFrames();
    const std::vector<std::int32_t> before = NewestFirst(filter);
    const std::int32_t frameCount = filter.FrameCount;
    const std::int32_t window = filter.Window;
    const std::int32_t output = filter.Output;
    filter.SetMaxFrames(std::max(longer, length));
    filter.SetMaxFrames(length);
    Require(NewestFirst(filter) == before, "reload keeps the samples");
    Require(filter.FrameCount == frameCount && filter.Window == window && filter.Output == output,
            "reload keeps FrameCount, Window and Output");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const auto minFrames = in.ConsumeIntegralInRange<std::int32_t>(-3, kLongestRing + 50);
    const std::int32_t ring = RingLength(in);
    const float decreaseFrame = in.ConsumeBool() ? AnyFloat(in) : 80.0f;
    const auto offsetFrame = in.ConsumeBool() ? in.ConsumeIntegral<std::int32_t>() : 0;
    AxisFilter filter(minFrames, ring, decreaseFrame, offsetFrame);
    if (in.ConsumeBool()) {
        filter.SDSkipfactor = AnyFloat(in);
    }
    CheckState(filter);

    std::int32_t around = in.ConsumeIntegral<std::int32_t>();
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange<int>(0, 9)) {
            case 0:
                filter.SetMaxFrames(RingLength(in));
                CheckState(filter);
                break;
            case 1:
                CheckReloadChangesNothing(filter, RingLength(in));
                break;
            case 2:
                filter.MinFrames = in.ConsumeIntegral<std::int32_t>();
                break;
            case 3:
                filter.OffsetFrame = in.ConsumeIntegral<std::int32_t>();
                filter.DecreaseFrame = AnyFloat(in);
                break;
            case 4:
                filter.SDSkipfactor = AnyFloat(in);
                break;
            case 5:
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
