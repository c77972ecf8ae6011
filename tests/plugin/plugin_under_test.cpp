#include "plugin_under_test.h"

#include <atomic>
#include <cmath>
#include <fstream>
#include <limits>
#include <random>
#include <stdexcept>

extern "C" {
#include "common/host_os.h"
}

namespace velmora::testing {
namespace {

std::filesystem::path BuiltPlugin() {
    char directory[1024];
    if (!HostProgramDirectory(directory, sizeof directory)) {
        throw std::runtime_error("no program directory");
    }
    return std::filesystem::path(directory) / HostPluginFileName();
}

std::filesystem::path FreshDirectory() {
    // Unique across the test programs ctest runs side by side.
    static std::atomic<int> counter{0};
    static const unsigned process = std::random_device{}();
    auto directory =
        std::filesystem::temp_directory_path() /
        ("velmora-test-" + std::to_string(process) + "-" + std::to_string(counter.fetch_add(1)));
    std::filesystem::remove_all(directory);
    std::filesystem::create_directories(directory);
    return directory;
}

}  // namespace

PluginUnderTest::PluginUnderTest(const std::string& config) : directory_(FreshDirectory()) {
    const auto copy = directory_ / HostPluginFileName();
    std::filesystem::copy_file(BuiltPlugin(), copy);
    WriteConfig(config);
    std::string error;
    if (!library_.Open(copy.string(), error)) {
        throw std::runtime_error(error);
    }
    object_ = std::make_unique<host::HostedPlugin>(library_.CreateInstance());
}

PluginUnderTest::~PluginUnderTest() {
    object_->Delete();
    library_.Close();
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
}

void PluginUnderTest::WriteConfig(const std::string& config) {
    std::ofstream(ConfigPath(), std::ios::binary) << config;
}

void PluginUnderTest::RemoveConfig() {
    std::filesystem::remove(ConfigPath());
}

float PluginUnderTest::Query(const char* name) {
    float value = std::numeric_limits<float>::quiet_NaN();
    return object_->QueryControl(name, &value) ? value : std::numeric_limits<float>::quiet_NaN();
}

bool PluginUnderTest::Answers(const char* name) {
    return !std::isnan(Query(name));
}

void PluginUnderTest::DriveVehicle(const std::string& name) {
    records_.BuildField(name);
    object_->UpdateVehicles(records_.List());
}

}  // namespace velmora::testing
