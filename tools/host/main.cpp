// velmora-host: runs a plug-in library the way the driving game does, without the game. This file
// reads its command line; session.cpp runs it.

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

#include "host/session.h"

extern "C" {
#include "common/host_os.h"
}

namespace velmora::host {
namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t begin = 0;
    for (;;) {
        const auto end = text.find(separator, begin);
        parts.push_back(text.substr(begin, end == std::string_view::npos ? end : end - begin));
        if (end == std::string_view::npos) {
            return parts;
        }
        begin = end + 1;
    }
}

bool ParseSeconds(std::string_view text, double& seconds) {
    text = Trimmed(text);
    double scale = 1.0;
    if (text.ends_with("ms")) {
        scale = 0.001;
        text.remove_suffix(2);
    } else if (text.ends_with("s")) {
        text.remove_suffix(1);
    }
    double value = 0.0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || status != std::errc() || end != text.data() + text.size() || value < 0.0) {
        return false;
    }
    seconds = value * scale;
    return true;
}

bool ParseInteger(std::string_view text, long long low, long long high, long long& number) {
    text = Trimmed(text);
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), number);
    return !text.empty() && status == std::errc() && end == text.data() + text.size() &&
           number >= low && number <= high;
}

bool ParsePose(std::string_view text) {
    const auto parts = Split(text, ',');
    long long angle = 0;
    return parts.size() == 3 && std::all_of(parts.begin(), parts.end(), [&](std::string_view part) {
               return ParseInteger(part, INT32_MIN, INT32_MAX, angle);
           });
}

// "5", "5s", "2.5s", "1500ms", or a comma-separated list of them, sorted.
bool ParseTimes(std::string_view text, std::vector<double>& times, std::string& error) {
    for (const auto part : Split(text, ',')) {
        double seconds = 0.0;
        if (!ParseSeconds(part, seconds)) {
            error = "invalid time '" + std::string(part) + "'";
            return false;
        }
        times.push_back(seconds);
    }
    std::sort(times.begin(), times.end());
    return true;
}

// "0s:Formula Red,8s:Touring Blue": each change at its time, sorted by time.
bool ParseVehicleScript(std::string_view text, std::vector<VehicleChange>& changes,
                        std::string& error) {
    for (const auto part : Split(text, ',')) {
        const auto colon = part.find(':');
        VehicleChange change;
        if (colon == std::string_view::npos || !ParseSeconds(part.substr(0, colon), change.at)) {
            error = "a vehicle change reads TIME:NAME, as in 8s:Touring Blue, not '" +
                    std::string(part) + "'";
            return false;
        }
        // The name is taken as written: it is matched byte for byte against a section name.
        change.name = std::string(part.substr(colon + 1));
        changes.push_back(change);
    }
    std::stable_sort(changes.begin(), changes.end(),
                     [](const VehicleChange& a, const VehicleChange& b) { return a.at < b.at; });
    return true;
}

using Setter = std::function<bool(HostOptions&, const std::string&, std::string&)>;

Setter TrackerVariable(const char* variable, std::function<bool(std::string_view)> valid) {
    return [variable, valid](HostOptions& options, const std::string& value, std::string& error) {
        if (!valid(value)) {
            error = "invalid value '" + value + "'";
            return false;
        }
        options.trackerEnvironment.emplace_back(variable, value);
        return true;
    };
}

bool IsCount(std::string_view text) {
    long long count = 0;
    return ParseInteger(text, 0, INT32_MAX, count);
}

const std::map<std::string, Setter, std::less<>>& ValueOptions() {
    static const std::map<std::string, Setter, std::less<>> options = {
        {"--plugin",
         [](HostOptions& o, const std::string& v, std::string&) {
             o.pluginPath = v;
             return true;
         }},
        {"--driver",
         [](HostOptions& o, const std::string& v, std::string&) {
             o.noDriver = v == "none";
             o.driverPath = o.noDriver ? "" : v;
             return true;
         }},
        {"--duration",
         [](HostOptions& o, const std::string& v, std::string& e) {
             if (!ParseSeconds(v, o.duration)) {
                 e = "invalid duration '" + v + "'";
                 return false;
             }
             return true;
         }},
        {"--fps",
         [](HostOptions& o, const std::string& v, std::string& e) {
             long long fps = 0;
             if (!ParseInteger(v, 1, 1000, fps)) {
                 e = "the frame rate must be 1 to 1000, not '" + v + "'";
                 return false;
             }
             o.fps = static_cast<int>(fps);
             return true;
         }},
        {"--vehicles", [](HostOptions& o, const std::string& v,
                          std::string& e) { return ParseVehicleScript(v, o.vehicles, e); }},
        {"--reset-at", [](HostOptions& o, const std::string& v,
                          std::string& e) { return ParseTimes(v, o.resetAt, e); }},
        {"--disable-at", [](HostOptions& o, const std::string& v,
                            std::string& e) { return ParseTimes(v, o.disableAt, e); }},
        {"--enable-at", [](HostOptions& o, const std::string& v,
                           std::string& e) { return ParseTimes(v, o.enableAt, e); }},
        {"--csv",
         [](HostOptions& o, const std::string& v, std::string&) {
             o.csvPath = v;
             return true;
         }},
        {"--summary",
         [](HostOptions& o, const std::string& v, std::string&) {
             o.summaryPath = v;
             return true;
         }},
        {"--motion", TrackerVariable("VELMORA_SIM_MOTION",
                                     [](std::string_view v) {
                                         return v == "synthetic" || v == "still" || v == "trace" ||
                                                v == "driving";
                                     })},
        {"--pose", TrackerVariable("VELMORA_SIM_POSE", ParsePose)},
        {"--trace",
         TrackerVariable("VELMORA_SIM_TRACE", [](std::string_view v) { return !v.empty(); })},
        // The words velmora-tune's --units takes, and the simulated tracker too.
        {"--trace-units",
         TrackerVariable("VELMORA_SIM_TRACE_UNITS",
                         [](std::string_view v) { return v == "degrees" || v == "raw"; })},
        {"--open-fails", TrackerVariable("VELMORA_SIM_OPEN_FAILS", IsCount)},
        {"--read-fail-every", TrackerVariable("VELMORA_SIM_READ_FAIL_EVERY", IsCount)},
        {"--hang-after", TrackerVariable("VELMORA_SIM_HANG_AFTER", IsCount)},
    };
    return options;
}

const std::string* TrackerValue(const HostOptions& options, std::string_view variable) {
    for (const auto& [name, value] : options.trackerEnvironment) {
        if (name == variable) {
            return &value;
        }
    }
    return nullptr;
}

// --pose belongs to the still motion and --trace to the recorded one: given alone, either says
// which motion is meant; given with another motion, it would be ignored, so it is refused.
bool SettleMotion(HostOptions& options, std::string& error) {
    const std::string* motion = TrackerValue(options, "VELMORA_SIM_MOTION");
    const bool pose = TrackerValue(options, "VELMORA_SIM_POSE") != nullptr;
    const bool trace = TrackerValue(options, "VELMORA_SIM_TRACE") != nullptr;
    if (TrackerValue(options, "VELMORA_SIM_TRACE_UNITS") != nullptr && !trace) {
        error = "--trace-units: there is no --trace to apply it to";
        return false;
    }
    if (motion == nullptr) {
        if (pose && trace) {
            error = "--pose and --trace: a fixed pose or a trace, not both";
            return false;
        }
        if (pose || trace) {
            options.trackerEnvironment.emplace_back("VELMORA_SIM_MOTION", pose ? "still" : "trace");
        }
        return true;
    }
    if (pose && *motion != "still") {
        error = "--pose: the fixed pose is for --motion still, not " + *motion;
        return false;
    }
    if (trace && *motion != "trace") {
        error = "--trace: the trace is for --motion trace, not " + *motion;
        return false;
    }
    return true;
}

// False with a message on anything it does not understand.
bool ParseOptions(int argc, const char* const* argv, HostOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            options.help = true;
            continue;
        }
        if (argument == "--release") {
            options.release = true;
            continue;
        }
        if (argument == "--plain") {
            options.plain = true;
            continue;
        }
        std::string value;
        const auto equals = argument.find('=');
        if (equals != std::string_view::npos) {
            value = std::string(argument.substr(equals + 1));
            argument = argument.substr(0, equals);
        }
        const auto option = ValueOptions().find(argument);
        if (option == ValueOptions().end()) {
            error = "unknown option '" + std::string(argument) + "'";
            return false;
        }
        if (equals == std::string_view::npos) {
            if (i + 1 >= argc) {
                error = std::string(argument) + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        std::string problem;
        if (!option->second(options, value, problem)) {
            error = std::string(argument) + ": " + problem;
            return false;
        }
    }
    return options.help || SettleMotion(options, error);
}

const char* UsageText() {
    return "usage: velmora-host [options]\n"
           "  --plugin PATH          plug-in library (default: the one beside this program)\n"
           "  --driver PATH|none     tracker driver to preload (default: driver/ beside this "
           "program)\n"
           "  --duration SECONDS     run time after Start (default 10)\n"
           "  --fps N                frames per second (default 60)\n"
           "  --vehicles SCRIPT      player's vehicle over time, e.g. \"0s:Formula Red,8s:Touring "
           "Blue\"\n"
           "  --reset-at TIMES       call Reset at these times (comma-separated)\n"
           "  --disable-at TIMES     call Disable at these times\n"
           "  --enable-at TIMES      call Enable at these times\n"
           "  --release              end with Release instead of Stop\n"
           "  --csv FILE             record every frame\n"
           "  --summary FILE         also write the summary to FILE\n"
           "  --plain                plain lines even on a terminal\n"
           "simulated tracker:\n"
           "  --motion synthetic|still|trace|driving   (--pose: still, --trace: trace)\n"
           "  --pose YAW,PITCH,ROLL (raw units; yaw positive = head turned left)\n"
           "  --trace FILE (CSV time_s,yaw,pitch,roll)   --trace-units degrees|raw\n"
           "  --open-fails N   --read-fail-every N   --hang-after N\n";
}

}  // namespace
}  // namespace velmora::host

int main(int argc, char** argv) {
    using namespace velmora::host;
    HostShowUtf8Output();
    HostOptions options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "velmora-host: %s\n%s", error.c_str(), UsageText());
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(UsageText(), stdout);
        return kExitSuccess;
    }
    return RunHost(options);
}
