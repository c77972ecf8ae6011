#include "host/session.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "common/plugin_library.h"
#include "common/vehicle_records.h"
#include "host/frame_recorder.h"
#include "host/live_view.h"
#include "host/run_summary.h"
#include "host/tracker_probe.h"

extern "C" {
#include "common/host_os.h"
}

namespace velmora::host {
namespace {

using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int) {
    g_interrupted = 1;
}

// A value no control can produce: a false answer must leave it as it is.
constexpr float kUntouched = -12345.5f;

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

std::string ProgramDirectory() {
    char buffer[4096];
    return HostProgramDirectory(buffer, sizeof buffer) ? buffer : "";
}

// <program dir>/driver/<driver file>, with the separator the system gave the program's directory.
std::string DefaultDriverPath(const std::string& directory) {
    if (directory.empty()) {
        return std::string("driver/") + HostDriverFileName();
    }
    return directory + "driver" + directory.back() + HostDriverFileName();
}

// Actions at set times: each fires once, on the first frame at or after its time.
class Schedule {
public:
    explicit Schedule(const std::vector<double>& times) : times_(times) {}
    bool Due(double elapsed) {
        if (next_ < times_.size() && times_[next_] <= elapsed) {
            ++next_;
            return true;
        }
        return false;
    }

private:
    std::vector<double> times_;
    std::size_t next_ = 0;
};

class Session {
public:
    Session(const HostOptions& options, HostedPlugin plugin, std::string title,
            TrackerProbe& tracker)
        : options_(options),
          plugin_(plugin),
          tracker_(tracker),
          resets_(options.resetAt),
          disables_(options.disableAt),
          enables_(options.enableAt),
          title_(std::move(title)) {}

    bool OpenRecorder() { return options_.csvPath.empty() || recorder_.Open(options_.csvPath); }

    void Run(RunSummary& summary) {
        view_ = std::make_unique<LiveView>(title_, options_.plain);
        auto previousHandler = std::signal(SIGINT, OnInterrupt);
        const auto began = Clock::now();
        plugin_.Start();
        summary.startMilliseconds = Milliseconds(Clock::now() - began);
        tracker_.FindPluginsDriver();
        trackerFound_ = tracker_.Found();
        summary.trackerFound = trackerFound_;
        view_->Event(Seconds(Clock::now() - began), "tracker: " + trackerFound_);
        const auto period = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(1.0 / options_.fps));
        auto nextFrame = Clock::now();
        for (;;) {
            const double elapsed = Seconds(Clock::now() - began);
            if (elapsed >= options_.duration || g_interrupted != 0) {
                break;
            }
            RunActions(elapsed);
            RunFrame(elapsed);
            Refresh(elapsed);
            nextFrame += period;
            const auto now = Clock::now();
            if (nextFrame < now - period) {
                nextFrame = now;  // fell behind: do not rush frames to catch up
            }
            std::this_thread::sleep_until(nextFrame);
        }
        if (g_interrupted != 0) {
            view_->Event(Seconds(Clock::now() - began), "interrupted: stopping early");
        }
        std::signal(SIGINT, previousHandler);
        summary.seconds = Seconds(Clock::now() - began);
        const auto stopping = Clock::now();
        if (options_.release) {
            plugin_.Release();
        } else {
            plugin_.Stop();
        }
        summary.stopMilliseconds = Milliseconds(Clock::now() - stopping);
        summary.endedWith = options_.release ? "Release" : "Stop";
        Refresh(summary.seconds, true);
        view_->Finish();
        summary.statistics = &statistics_;
        summary.vehicleUpdates = vehicleUpdates_;
        summary.lastVehicle = vehicle_;
    }

private:
    void RunActions(double elapsed) {
        while (nextChange_ < options_.vehicles.size() &&
               options_.vehicles[nextChange_].at <= elapsed) {
            vehicle_ = options_.vehicles[nextChange_++].name;
            view_->Event(elapsed, "vehicle: " + ShownVehicle(vehicle_));
            ReportVehicles(elapsed);
        }
        // The game keeps reporting its field; an unchanged player's car must change nothing.
        if (!vehicle_.empty() && elapsed >= nextReport_) {
            ReportVehicles(elapsed);
        }
        while (resets_.Due(elapsed)) {
            view_->Event(elapsed, "Reset");
            plugin_.Reset();
        }
        while (disables_.Due(elapsed)) {
            view_->Event(elapsed, "Disable");
            plugin_.Disable();
            enabled_ = false;
        }
        while (enables_.Due(elapsed)) {
            view_->Event(elapsed, "Enable");
            plugin_.Enable();
            enabled_ = true;
        }
    }

    void ReportVehicles(double elapsed) {
        records_.BuildField(vehicle_);
        plugin_.UpdateVehicles(records_.List());
        ++vehicleUpdates_;
        nextReport_ = elapsed + 1.0;
    }

    void RunFrame(double elapsed) {
        FrameAnswers answers{};
        bool answering = false;
        for (int i = 0; i < kQueriedCount; ++i) {
            float value = kUntouched;
            const auto before = Clock::now();
            const bool answered = plugin_.QueryControl(QueriedName(i), &value);
            const auto nanoseconds =
                std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - before);
            statistics_.RecordQuery(i, answered, value,
                                    static_cast<std::uint32_t>(
                                        std::min<std::int64_t>(nanoseconds.count(), UINT32_MAX)));
            if (!answered && std::memcmp(&value, &kUntouched, sizeof value) != 0) {
                statistics_.CountWriteWithoutAnswer();
            }
            if (answered && !enabled_) {
                statistics_.CountAnswerWhileDisabled();
            }
            answering = answering || (answered && i < static_cast<int>(answers.size()));
            if (i < static_cast<int>(answers.size())) {
                answers[i] = {answered, value};
            }
        }
        statistics_.CountFrame();
        recorder_.Record(elapsed, vehicle_, answers);
        // The game sees the controls, not the host's calls: say when that changes, which a
        // test-mode reload of "Use Tracker" can do between the host's Enable and Disable.
        if (statistics_.Frames() > 1 && answering != answering_) {
            view_->Event(elapsed, !answering ? "the controls are silent"
                                  : enabled_ ? "the controls answer"
                                             : "the controls answer, though the host called "
                                               "Disable: a test-mode reload applied \"Use "
                                               "Tracker\" again");
        }
        answering_ = answering;
    }

    void Refresh(double elapsed, bool force = false) {
        if (!force && elapsed < nextRefresh_) {
            return;
        }
        nextRefresh_ = elapsed + 0.1;
        const double window = elapsed - rateSince_;
        if (window >= 0.5) {
            framesPerSecond_ = (statistics_.Frames() - framesSince_) / window;
            queriesPerSecond_ = (statistics_.Queries() - queriesSince_) / window;
            rateSince_ = elapsed;
            framesSince_ = statistics_.Frames();
            queriesSince_ = statistics_.Queries();
        }
        LiveStatus status;
        status.elapsed = elapsed;
        status.duration = options_.duration;
        status.vehicle = vehicle_;
        status.tracker = tracker_.State();
        status.trackerFound = trackerFound_;
        status.trackerDetail = tracker_.Detail();
        status.trackerFailures = tracker_.Failures();
        status.answering = answering_;
        status.hostEnabled = enabled_;
        status.framesPerSecond = framesPerSecond_;
        status.queriesPerSecond = queriesPerSecond_;
        status.statistics = &statistics_;
        view_->Show(status);
    }

    const HostOptions& options_;
    HostedPlugin plugin_;
    TrackerProbe& tracker_;
    std::string trackerFound_;
    std::unique_ptr<LiveView> view_;
    FrameRecorder recorder_;
    RunStatistics statistics_;
    VehicleRecords records_;
    Schedule resets_;
    Schedule disables_;
    Schedule enables_;
    std::string title_;
    std::size_t nextChange_ = 0;
    std::string vehicle_;
    double nextReport_ = 0.0;
    std::int64_t vehicleUpdates_ = 0;
    bool enabled_ = true;
    bool answering_ = false;
    double nextRefresh_ = 0.0;
    double rateSince_ = 0.0;
    std::int64_t framesSince_ = 0;
    std::int64_t queriesSince_ = 0;
    double framesPerSecond_ = 0.0;
    double queriesPerSecond_ = 0.0;
};

void WriteSummaryFile(const std::string& path, const RunSummary& summary) {
    if (path.empty()) {
        return;
    }
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        std::fprintf(stderr, "velmora-host: cannot write the summary to %s\n", path.c_str());
        return;
    }
    WriteSummary(file, summary);
    std::fclose(file);
}

}  // namespace

int RunHost(const HostOptions& options) {
    const std::string directory = ProgramDirectory();
    RunSummary summary;
    summary.plugin =
        options.pluginPath.empty() ? directory + HostPluginFileName() : options.pluginPath;
    summary.driver = options.noDriver             ? "none"
                     : options.driverPath.empty() ? DefaultDriverPath(directory)
                                                  : options.driverPath;

    TrackerProbe tracker;
    if (!options.noDriver && !tracker.Preload(summary.driver, options.trackerEnvironment)) {
        std::fprintf(stderr,
                     "velmora-host: cannot load the tracker driver %s (--driver none runs "
                     "without one)\n",
                     summary.driver.c_str());
        return kExitDriverUnusable;
    }

    PluginLibrary library;
    std::string error;
    if (!library.Open(summary.plugin, error)) {
        std::fprintf(stderr, "velmora-host: %s\n", error.c_str());
        return kExitPluginUnusable;
    }
    summary.pluginName = library.Identity().name;
    summary.longName = library.Identity().longName;
    void* object = library.CreateInstance();
    if (object == nullptr) {
        std::fprintf(stderr, "velmora-host: %s created no plug-in object\n",
                     summary.plugin.c_str());
        return kExitPluginUnusable;
    }
    HostedPlugin plugin(object);
    if (plugin.ObjectInfo() != library.Descriptor()) {
        std::fprintf(stderr,
                     "velmora-host: warning: the object's slot 2 does not return the "
                     "descriptor\n");
    }
    {
        Session session(options, plugin, summary.longName, tracker);
        if (!session.OpenRecorder()) {
            std::fprintf(stderr, "velmora-host: cannot write %s\n", options.csvPath.c_str());
            plugin.Delete();
            return kExitUsage;
        }
        session.Run(summary);
        summary.tracker = tracker.State();
        summary.driverCounters = tracker.Counters();
        plugin.Delete();
        WriteSummary(stdout, summary);
        std::fflush(stdout);
        WriteSummaryFile(options.summaryPath, summary);
    }
    return kExitSuccess;
}

}  // namespace velmora::host
