// The driving benchmark: the simulated driver, whose true pose is known, read by trackers from
// 0.02° to 1° of noise, with and without outliers; for Velmora's filter and the One Euro filter,
// the least rest error each reaches within each effective-lag budget (the front), measured
// against the truth, beside the shipped profile's point; the same for Velmora's filter with its
// Trend key searched too; and the profile that suits the UDP bridge, whose tracking software
// smooths already.
//
// A program of its own rather than a Google Benchmark: it prints tables, not timings, and takes
// minutes. Usage: velmora_front_bench [--seconds S] [--seed N] [--check]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "tune/driving_course.h"
#include "tune/front_table.h"
#include "tune/profile_search.h"
#include "tune/suggestion.h"

namespace velmora::tune {
namespace {

constexpr const char* kAxisNames[] = {"Yaw", "Pitch"};
// The built-in defaults and the example's [General Filter].
const Setting kShipped[] = {{5, 250, 80, 0, 2.5}, {5, 200, 80, 0, 2.5}};

// What velmora-tune --suggest picks for this axis from the readings alone, starting from the
// shipped profile, to be measured here against the truth as the fronts are. The axis stands for
// all three, so that the outlier factor is searched as --suggest searches it.
std::optional<Setting> SuggestedSetting(const Course& course, const Setting& shipped) {
    PolledTrace trace;
    for (const std::int32_t raw : course.raw) {
        trace.readings.push_back({raw, raw, raw});
    }
    const FilterSettings axis = FilterSettingsOf(shipped);
    std::string settings =
        "[Settings]\nSD Skipfactor = " + std::to_string(axis.SDSkipfactor) + "\n[General Filter]\n";
    for (const char* name : {"Yaw", "Pitch", "Roll"}) {
        settings += std::string(name) + " MinFrames = " + std::to_string(axis.MinFrames) + "\n" +
                    name + " MaxFrames = " + std::to_string(axis.MaxFrames) + "\n" + name +
                    " DecreaseFrame = " + std::to_string(axis.DecreaseFrame) + "\n";
    }
    const auto found =
        Suggestion::Find(trace, settings, "", "General Filter", SuggestOptions{}, nullptr);
    if (!found) {
        return std::nullopt;
    }
    // "Keep yours" is what it finds, too.
    return found->BetterWhereUnseen(Goal::LeastRestError) ? AxisFilterSetting(found->suggested[0])
                                                          : shipped;
}

// The search with Trend from every point of the front without it at every Trend, and from 1000
// settings drawn at random: a fraction of the cost of a grid of its own, and its front can only
// be level with the one without Trend or ahead.
std::vector<Setting> TrendStarts(const FilterFront& velmora) {
    std::vector<Setting> starts = DrawnSettings(TrendFilterKeys(), 1000);
    for (const auto& best : velmora.best) {
        for (const double trend : TrendFilterKeys().back().values) {
            if (best) {
                starts.push_back(best->setting);
                starts.back().push_back(trend);
            }
        }
    }
    return starts;
}

// The least rest error against the truth with no more lag and onset delay than the shipped
// profile has, Trend searched too: from the Trend front's points, the shipped profile and the
// same draws the fronts start from.
std::optional<Candidate> ReachableUnderShippedBounds(const Course& course, const AxisRun& velmora,
                                                     const Setting& shippedSetting,
                                                     const HeadMetrics& shipped,
                                                     const FilterFront& trendFront) {
    ConstrainedSearch search(TrendFilterKeys(), velmora, course.head, Goal::LeastRestError,
                             BoundsOf(shipped, Goal::LeastRestError));
    std::vector<Setting> starts = DrawnSettings(TrendFilterKeys(), 1000);
    starts.push_back(shippedSetting);
    starts.back().push_back(0.0);
    for (const auto& best : trendFront.best) {
        if (best) {
            starts.push_back(best->setting);
        }
    }
    return search.Run(starts);
}

void RunCondition(double noise, double spikesPerSecond, double seconds, std::uint64_t seed) {
    const auto courses = DrivingCourses(noise, spikesPerSecond, seconds, seed);
    std::printf("\nNoise %.2f°, %s\n", noise,
                spikesPerSecond > 0 ? "an outlier of 5° 0.5 times a second" : "no outliers");
    for (std::size_t axis = 0; axis < courses.size(); ++axis) {
        const Course& course = courses[axis];
        const AxisRun velmora = [&](const Setting& s) { return RunAxisFilter(course.raw, s); };
        const FilterFront plain = SearchFront(AxisFilterKeys(), velmora, course.head);
        const FilterFront euro = SearchFront(
            OneEuroKeys(),
            [&](const Setting& s) { return RunOneEuro(course.degrees, kCoursePollSeconds, s); },
            course.head);
        const FilterFront trend =
            SearchFront(TrendFilterKeys(), velmora, course.head, TrendStarts(plain));
        std::printf(
            "%s: the least rest error (°) within each effective lag (%zu, %zu and %zu "
            "settings tried)\n%s",
            kAxisNames[axis], plain.tried, euro.tried, trend.tried,
            FrontTable({{"Velmora", &plain, &AxisFilterKeys()},
                        {"One Euro", &euro, &OneEuroKeys()},
                        {"Velmora+Trend", &trend, &TrendFilterKeys()}})
                .c_str());
        std::printf("%s", PointLine("as read", HeadMetrics::Measure(course.head, course.degrees),
                                    "no smoothing: the tracker's hold alone")
                              .c_str());
        const HeadMetrics shipped = HeadMetrics::Measure(course.head, velmora(kShipped[axis]));
        std::printf(
            "%s",
            PointLine("shipped", shipped, SettingText(AxisFilterKeys(), kShipped[axis])).c_str());
        // What --suggest aims at, found knowing the truth over the whole drive: the front's
        // budgets bind the lag alone, --suggest the onset delay as well.
        const auto reachable =
            ReachableUnderShippedBounds(course, velmora, kShipped[axis], shipped, trend);
        if (reachable) {
            std::printf("%s", PointLine("reachable", reachable->metrics,
                                        SettingText(TrendFilterKeys(), reachable->setting))
                                  .c_str());
        }
        if (const auto suggested = SuggestedSetting(course, kShipped[axis])) {
            const HeadMetrics metrics = HeadMetrics::Measure(course.head, velmora(*suggested));
            std::printf("%s",
                        PointLine("--suggest", metrics, SettingText(TrendFilterKeys(), *suggested))
                            .c_str());
            if (reachable && metrics.restErrorDegrees) {
                std::printf("  --suggest's rest error is %.2f times the reachable\n",
                            *metrics.restErrorDegrees / *reachable->metrics.restErrorDegrees);
            }
        }
    }
}

// Of Velmora's coarse grid with the outlier factor as shipped (it is one for all three axes), the
// setting with the least effective lag whose own shake at rest stays under 0.02°.
void RunBridge(double seconds, std::uint64_t seed) {
    const Course course = BridgeCourse(seconds, seed);
    const HeadMetrics input = HeadMetrics::Measure(course.head, course.degrees);
    std::printf(
        "\nThe UDP bridge, yaw, pre-smoothed (0.2° of noise at 60 Hz through a One Euro of "
        "1 Hz, beta 0.02)\n%s  own shake %.4f°\n",
        PointLine("as sent", input, "no smoothing").c_str(),
        OwnShakeDegrees(course.head, course.degrees));
    std::optional<FrontPoint> best;
    const std::vector<SearchKey> axisKeys(AxisFilterKeys().begin(), AxisFilterKeys().begin() + 4);
    for (Setting setting : CoarseGrid(axisKeys)) {
        setting.push_back(2.5);
        const std::vector<double> camera = RunAxisFilter(course.raw, setting);
        const HeadMetrics metrics = HeadMetrics::Measure(course.head, camera);
        if (OwnShakeDegrees(course.head, camera) < 0.02 && metrics.effectiveLagMilliseconds &&
            (!best ||
             *metrics.effectiveLagMilliseconds < *best->metrics.effectiveLagMilliseconds)) {
            best = FrontPoint{setting, metrics};
        }
    }
    if (best) {
        std::printf(
            "%s  own shake %.4f°, %.1f ms of lag added\n",
            PointLine("least lag", best->metrics, SettingText(AxisFilterKeys(), best->setting))
                .c_str(),
            OwnShakeDegrees(course.head, RunAxisFilter(course.raw, best->setting)),
            *best->metrics.effectiveLagMilliseconds - *input.effectiveLagMilliseconds);
    }
}

// The search as it runs (the grid and 1000 settings drawn at random, then the walk) against the
// grid and 3000 drawn, where the fronts are easy (yaw at 0.1°) and hard (pitch at 0.02° with
// outliers): where these find less rest error, the grid misses part of the front.
void CheckSearch(double seconds, std::uint64_t seed) {
    const Course courses[] = {DrivingCourses(0.1, 0.0, seconds, seed)[0],
                              DrivingCourses(0.02, 0.5, seconds, seed)[1]};
    for (const Course& course : courses) {
        for (const auto* keys : {&AxisFilterKeys(), &OneEuroKeys()}) {
            const bool velmora = keys == &AxisFilterKeys();
            const AxisRun run = [&](const Setting& s) {
                return velmora ? RunAxisFilter(course.raw, s)
                               : RunOneEuro(course.degrees, kCoursePollSeconds, s);
            };
            std::vector<Setting> starts = CoarseGrid(*keys);
            for (const Setting& drawn : DrawnSettings(*keys, 3000, 12345)) {
                starts.push_back(drawn);
            }
            const FilterFront grid = SearchFront(*keys, run, course.head);
            const FilterFront wider = SearchFront(*keys, run, course.head, starts);
            std::printf(
                "\n%s, %s: %zu settings tried as the search runs, %zu from 3000 drawn\n%s",
                velmora ? "Velmora" : "One Euro",
                &course == &courses[0] ? "yaw at 0.1°" : "pitch at 0.02° with outliers", grid.tried,
                wider.tried,
                FrontTable({{"as it runs", &grid, keys}, {"3000 drawn", &wider, keys}}).c_str());
        }
    }
}

}  // namespace
}  // namespace velmora::tune

int main(int argc, char** argv) {
    using namespace velmora::tune;
    double seconds = 120.0;
    std::uint64_t seed = 7;  // of the drive and the tracker: another seed shows a front's scatter
    bool check = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
        } else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
            seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (std::strcmp(argv[i], "--check") == 0) {
            check = true;
        } else {
            std::fprintf(stderr, "usage: velmora_front_bench [--seconds S] [--seed N] [--check]\n");
            return 2;
        }
    }
    const auto began = std::chrono::steady_clock::now();
    std::printf(
        "The driving benchmark: %.0f s of the simulated driver (seed %llu), a 60 Hz "
        "tracker polled every 10 ms, measured against the truth.\nRest error: RMS camera "
        "minus head at rest; lag: effective lag; onset: delay to follow a glance's first "
        "2°.\n",
        seconds, static_cast<unsigned long long>(seed));
    if (check) {
        CheckSearch(seconds, seed);
    } else {
        for (const double spikes : {0.0, 0.5}) {
            for (const double noise : {0.02, 0.1, 0.3, 1.0}) {
                RunCondition(noise, spikes, seconds, seed);
            }
        }
        RunBridge(seconds, seed);
    }
    std::printf("\n%.0f s\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count());
    return 0;
}
