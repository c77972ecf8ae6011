#include "sim_settings.h"

#include <charconv>
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
    return settings;
}

}  // namespace velmora::sim
