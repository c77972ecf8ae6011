#include "tune/driving_course.h"

#include <cmath>

#include "tune/one_euro_filter.h"
#include "simdriver/sensor_model.h"
#include "drivers/raw_angle.h"

namespace velmora::tune {
namespace {

constexpr double kSpikeDegrees = 5.0;
constexpr double kBridgeNoise = 0.2;
constexpr OneEuroParameters kBridgeSmoothing = {1.0, 0.02, 1.0};
constexpr double kShakeReach = 0.5;  // seconds each way: the average the shake is taken about

Course CourseOf(std::vector<std::int32_t> raw, std::vector<double> truth) {
    Course course;
    course.raw = std::move(raw);
    course.degrees = Unwrapped(course.raw);
    course.head = KnownHead(std::move(truth), course.degrees, kCoursePollSeconds);
    return course;
}

}  // namespace

std::array<Course, 2> DrivingCourses(double noiseDegrees, double spikesPerSecond, double seconds,
                                     std::uint64_t seed) {
    sim::DrivingMotion motion(seed);
    const sim::SensorModel tracker({.noiseDegrees = noiseDegrees,
                                    .spikesPerSecond = spikesPerSecond,
                                    .spikeDegrees = kSpikeDegrees,
                                    .seed = seed});
    std::array<std::vector<std::int32_t>, 2> raw;
    std::array<std::vector<double>, 2> truth;
    for (const sim::DrivingPoll& poll :
         sim::PollDriving(motion, tracker, seconds, kCoursePollSeconds)) {
        raw[0].push_back(poll.reading.yaw);
        raw[1].push_back(poll.reading.pitch);
        truth[0].push_back(poll.truth.yaw);
        truth[1].push_back(poll.truth.pitch);
    }
    return {CourseOf(std::move(raw[0]), std::move(truth[0])),
            CourseOf(std::move(raw[1]), std::move(truth[1]))};
}

Course BridgeCourse(double seconds, std::uint64_t seed) {
    sim::DrivingMotion motion(seed);
    const sim::SensorModel tracker({.noiseDegrees = kBridgeNoise, .seed = seed});
    const double updateSeconds = 1.0 / tracker.Options().updateHz;
    OneEuroFilter software(kBridgeSmoothing);
    std::vector<std::int32_t> raw;
    std::vector<double> truth;
    std::int64_t sent = tracker.UpdateAt(0.0) - 1;
    std::int32_t pose = 0;
    const auto polls = static_cast<std::size_t>(seconds / kCoursePollSeconds);
    for (std::size_t i = 0; i < polls; ++i) {
        const double at = static_cast<double>(i) * kCoursePollSeconds;
        for (; sent < tracker.UpdateAt(at); ++sent) {
            const sim::SensorSample sample =
                tracker.Measure(sent + 1, motion.At(tracker.UpdateSeconds(sent + 1)));
            pose = raw_angle::DegreesToRaw(
                software.Filter(raw_angle::RawToDegrees(sample.reading.yaw), updateSeconds));
        }
        raw.push_back(pose);
        truth.push_back(motion.At(at).yaw);
    }
    return CourseOf(std::move(raw), std::move(truth));
}

double OwnShakeDegrees(const HeadReference& head, const std::vector<double>& camera) {
    const auto reach = static_cast<std::size_t>(std::lround(kShakeReach / head.pollSeconds));
    double squares = 0.0;
    std::size_t count = 0;
    for (const Stretch& rest : head.rests) {
        if (rest.Length() <= 2 * reach) {
            continue;
        }
        double sum = 0.0;
        for (std::size_t j = rest.begin; j < rest.begin + 2 * reach + 1; ++j) {
            sum += camera[j];
        }
        for (std::size_t i = rest.begin + reach; i + reach < rest.end; ++i) {
            const double shake = camera[i] - sum / static_cast<double>(2 * reach + 1);
            squares += shake * shake;
            ++count;
            if (i + reach + 1 < rest.end) {
                sum += camera[i + reach + 1] - camera[i - reach];
            }
        }
    }
    return count == 0 ? 0.0 : std::sqrt(squares / static_cast<double>(count));
}

}  // namespace velmora::tune
