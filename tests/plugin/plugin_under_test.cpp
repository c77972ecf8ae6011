#include "plugin_under_test.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <random>
#include <stdexcept>
#include <vector>

extern "C" {
#include "host_os.h"
}

// The host's name for the descriptor's class. Calling the export through a type that returns
// anything else would be a call through the wrong function type.
class PluginObjectInfo;

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

template <class Function>
Function As(void* address) {
    Function function;
    std::memcpy(&function, &address, sizeof function);
    return function;
}

}  // namespace

PluginUnderTest::PluginUnderTest(const std::string& config) : directory_(FreshDirectory()) {
    const auto copy = directory_ / HostPluginFileName();
    std::filesystem::copy_file(BuiltPlugin(), copy);
    WriteConfig(config);
    library_ = HostLoadLibrary(copy.string().c_str());
    if (library_ == nullptr) {
        throw std::runtime_error("cannot load " + copy.string());
    }
    auto getInfo =
        As<PluginObjectInfo* (*)(std::uint32_t)>(HostFindSymbol(library_, "GetPluginObjectInfo"));
    void* info = getInfo(0);
    void* create = (*static_cast<void***>(info))[7];
    object_ = As<void* (*)(void*)>(create)(info);
}

PluginUnderTest::~PluginUnderTest() {
    As<void* (*)(void*, std::uint32_t)>(Slot(0))(object_, 1);
    HostFreeLibrary(library_);
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
}

void PluginUnderTest::WriteConfig(const std::string& config) {
    std::ofstream(ConfigPath(), std::ios::binary) << config;
}

void PluginUnderTest::RemoveConfig() {
    std::filesystem::remove(ConfigPath());
}

void* PluginUnderTest::Slot(int index) const {
    return (*static_cast<void***>(object_))[index];
}

void PluginUnderTest::CallVoid(int index) {
    As<void (*)(void*)>(Slot(index))(object_);
}

float PluginUnderTest::Query(const char* name) {
    float value = std::numeric_limits<float>::quiet_NaN();
    const bool answered = As<bool (*)(void*, const char*, float*)>(Slot(18))(object_, name, &value);
    return answered ? value : std::numeric_limits<float>::quiet_NaN();
}

bool PluginUnderTest::Answers(const char* name) {
    return !std::isnan(Query(name));
}

void PluginUnderTest::DriveVehicle(const std::string& name) {
    constexpr std::size_t kEntry = 428;
    std::vector<unsigned char> entries(3 * kEntry, 0);
    std::strcpy(reinterpret_cast<char*>(&entries[152]), "Pace Car");
    std::strncpy(reinterpret_cast<char*>(&entries[kEntry + 152]), name.c_str(), kEntry - 153);
    entries[kEntry + 148] = 1;
    alignas(8) unsigned char list[512] = {};
    const std::int32_t count = 3;
    unsigned char* first = entries.data();
    std::memcpy(list + 88, &count, sizeof count);
    std::memcpy(list + 488, &first, sizeof first);
    As<void (*)(void*, const void*)>(Slot(26))(object_, list);
}

}  // namespace velmora::testing
