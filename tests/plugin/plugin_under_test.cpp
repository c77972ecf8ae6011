#include "plugin_under_test.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <random>
#include <stdexcept>
#include <vector>

#include "tools/host/host_abi.h"

extern "C" {
#include "host_os.h"
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
    library_ = HostLoadLibrary(copy.string().c_str());
    if (library_ == nullptr) {
        throw std::runtime_error("cannot load " + copy.string());
    }
    void* symbol = HostFindSymbol(library_, "GetPluginObjectInfo");
    host::GetPluginObjectInfoExport getInfo = nullptr;
    std::memcpy(&getInfo, &symbol, sizeof getInfo);
    void* info = getInfo(0);
    object_ = host::SlotOf<host::PointerSlot>(info, host::kInfoCreateInstance)(info);
}

PluginUnderTest::~PluginUnderTest() {
    host::SlotOf<host::DeleteSlot>(object_, host::kObjectDelete)(object_, 1);
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

void PluginUnderTest::CallVoid(int index) {
    host::SlotOf<host::VoidSlot>(object_, index)(object_);
}

float PluginUnderTest::Query(const char* name) {
    float value = std::numeric_limits<float>::quiet_NaN();
    const bool answered =
        host::SlotOf<host::QuerySlot>(object_, host::kObjectQueryControl)(object_, name, &value);
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
    host::SlotOf<host::VehiclesSlot>(object_, host::kObjectUpdateVehicles)(object_, list);
}

}  // namespace velmora::testing
