#include "simdriver/sim_settings.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace velmora::sim {
namespace {

std::string_view Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string_view(value) : std::string_view();
}

void Complain(const char* name, std::string_view value) {
    std::fprintf(stderr, "simulated tracker: ignoring %s=%.*s\n", name,
                 static_cast<int>(value.size()), value.data());
}

bool ReadInt(std::string_view& text, std::int32_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{}) {
        return false;
    }
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return true;
}

bool Skip(std::string_view& text, char separator) {
    if (text.empty() || text.front() != separator) {
        return false;
    }
    text.remove_prefix(1);
    return true;
}

void ReadCount(const char* name, std::int32_t& target) {
    std::string_view text = Variable(name);
    std::int32_t value = 0;
    if (text.empty()) {
        return;
    }
    if (ReadInt(text, value) && text.empty() && value >= 0) {
        target = value;
    } else {
        Complain(name, Variable(name));
    }
}

// A number of at least `least`, above it when `strictly`.
bool ReadNumber(std::string_view& text, double& value, double least, bool strictly) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || !std::isfinite(value) || value < least ||
        (strictly && value == least)) {
        return false;
    }
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return true;
}

void ReadMeasure(const char* name, double& target, bool aboveZero = false) {
    std::string_view text = Variable(name);
    double value = 0.0;
    if (text.empty()) {
        return;
    }
    if (ReadNumber(text, value, 0.0, aboveZero) && text.empty()) {
        target = value;
    } else {
        Complain(name, Variable(name));
    }
}

void ReadSensor(SimSettings& settings) {
    SensorOptions& sensor = settings.sensor;
    const std::string_view seed = Variable("VELMORA_SIM_SEED");
    std::uint64_t value = 0;
    if (!seed.empty()) {
        const auto [end, error] = std::from_chars(seed.data(), seed.data() + seed.size(), value);
        if (error == std::errc{} && end == seed.data() + seed.size()) {
            settings.seed = value;
        } else {
            Complain("VELMORA_SIM_SEED", seed);
        }
    }
    sensor.seed = settings.seed;
    ReadMeasure("VELMORA_SIM_RATE", sensor.updateHz, true);
    ReadMeasure("VELMORA_SIM_NOISE", sensor.noiseDegrees);
    ReadMeasure("VELMORA_SIM_QUANTUM", sensor.quantumDegrees);
    std::string_view spikes = Variable("VELMORA_SIM_SPIKES");
    double rate = 0.0;
    double size = 0.0;
    if (!spikes.empty()) {
        if (ReadNumber(spikes, rate, 0.0, false) && Skip(spikes, ',') &&
            ReadNumber(spikes, size, 0.0, false) && spikes.empty()) {
            sensor.spikesPerSecond = rate;
            sensor.spikeDegrees = size;
        } else {
            Complain("VELMORA_SIM_SPIKES", Variable("VELMORA_SIM_SPIKES"));
        }
    }
}

void ReadPose(Pose& pose) {
    std::string_view text = Variable("VELMORA_SIM_POSE");
    if (text.empty()) {
        return;
    }
    Pose read;
    const bool ok = ReadInt(text, read.yaw) && Skip(text, ',') && ReadInt(text, read.pitch) &&
                    Skip(text, ',') && ReadInt(text, read.roll) && text.empty();
    if (ok) {
        pose = {WrapRaw(read.yaw), WrapRaw(read.pitch), WrapRaw(read.roll)};
    } else {
        Complain("VELMORA_SIM_POSE", Variable("VELMORA_SIM_POSE"));
    }
}

}  // namespace

SimSettings SimSettings::FromEnvironment() {
    SimSettings settings;
    const std::string_view motion = Variable("VELMORA_SIM_MOTION");
    if (motion == "still") {
        settings.motion = MotionKind::Still;
    } else if (motion == "trace") {
        settings.motion = MotionKind::Trace;
    } else if (motion == "driving") {
        settings.motion = MotionKind::Driving;
    } else if (!motion.empty() && motion != "synthetic") {
        Complain("VELMORA_SIM_MOTION", motion);
    }
    ReadPose(settings.pose);
    settings.tracePath = std::string(Variable("VELMORA_SIM_TRACE"));
    const std::string_view units = Variable("VELMORA_SIM_TRACE_UNITS");
    settings.traceRawUnits = units == "raw";
    if (!units.empty() && units != "raw" && units != "degrees") {
        Complain("VELMORA_SIM_TRACE_UNITS", units);
    }
    ReadCount("VELMORA_SIM_OPEN_FAILS", settings.openFailures);
    ReadCount("VELMORA_SIM_READ_FAIL_EVERY", settings.readFailEvery);
    ReadCount("VELMORA_SIM_HANG_AFTER", settings.hangAfterReads);
    settings.recordPath = std::string(Variable("VELMORA_SIM_RECORD"));
    ReadSensor(settings);
    for (const char* name : {"VELMORA_SIM_SEED", "VELMORA_SIM_RATE", "VELMORA_SIM_NOISE",
                             "VELMORA_SIM_SPIKES", "VELMORA_SIM_QUANTUM"}) {
        if (settings.motion != MotionKind::Driving && !Variable(name).empty()) {
            std::fprintf(stderr,
                         "simulated tracker: %s applies to VELMORA_SIM_MOTION=driving alone\n",
                         name);
        }
    }
    return settings;
}

}  // namespace velmora::sim
