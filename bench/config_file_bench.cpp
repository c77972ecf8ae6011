// Parsing the settings runs on the polling thread once a second in test mode, holding the lock
// (the file is read before): its time must grow with the file, no faster.
#include <benchmark/benchmark.h>

#include <string>

#include "config/config_file.h"

namespace {

using velmora::ConfigFile;

// A file of `sections` vehicle profiles like the ones users write, CR LF line ends included.
std::string SettingsText(int sections) {
    std::string text =
        "; Velmora.cfg\r\n[Settings]\r\nUse Tracker = true\r\nSD Skipfactor = 2.5\r\n\r\n";
    for (int i = 0; i < sections; ++i) {
        text += "[Car " + std::to_string(i) + "]\r\n";
        text += "Copy From = General Filter\r\n";
        text += "Yaw MinFrames = 5\r\nYaw MaxFrames = 120   ; shorter ring for this car\r\n";
        text += "Yaw DecreaseFrame = 80.5\r\nPitch OffsetFrame = 1\r\n";
        text += "Roll Left Enabled = false\r\nRoll Right Enabled = FALSE\r\n\r\n";
    }
    return text;
}

void BM_ParseSettings(benchmark::State& state) {
    const std::string text = SettingsText(static_cast<int>(state.range(0)));
    ConfigFile config;
    for (auto _ : state) {
        config.Parse(text);
        benchmark::DoNotOptimize(config.Sections().size());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
    state.counters["sections"] = static_cast<double>(config.Sections().size());
}
BENCHMARK(BM_ParseSettings)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);

}  // namespace
