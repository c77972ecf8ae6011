// Loads arbitrary bytes as a settings file and reads every settings key, and every value the file
// holds, with every reader. Beyond crashes and undefined behaviour it checks:
// - reading the bytes from a file gives the same map as reading them from memory;
// - no stored string holds a LF, a ';' or a 0x1A, and no key or value starts or ends with a space;
// - ReadInt agrees with strtoll and ReadFloat with strtod (the process stays in the "C" locale),
//   apart from the deliberate differences: an exponent without digits and a value beyond the
//   double range fail, and hexadecimal, infinity and NaN are not numbers.
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "config/config_file.h"

namespace {

using velmora::ConfigFile;

[[noreturn]] void Fail(const char* what, const std::string& text) {
    std::fprintf(stderr, "%s: \"%s\"\n", what, text.c_str());
    std::abort();
}

const char* const kSettingsKeys[] = {"Use Tracker", "TestMode", "Use Filtering", "SD Skipfactor"};
const char* const kProfileKeys[] = {
    "Copy From",          "Yaw Left Enabled",    "Yaw Right Enabled",  "Pitch Up Enabled",
    "Pitch Down Enabled", "Roll Left Enabled",   "Roll Right Enabled", "Yaw MinFrames",
    "Yaw OffsetFrame",    "Yaw DecreaseFrame",   "Yaw MaxFrames",      "Pitch MinFrames",
    "Pitch OffsetFrame",  "Pitch DecreaseFrame", "Pitch MaxFrames",    "Roll MinFrames",
    "Roll OffsetFrame",   "Roll DecreaseFrame",  "Roll MaxFrames"};

void CheckInt(const std::string& value) {
    std::int32_t target = 12345;
    ConfigFile::ReadInt(target, value);
    const char* text = value.c_str();
    char* end = nullptr;
    errno = 0;
    const long long expected = std::strtoll(text, &end, 10);
    const bool readable = !value.empty() && end != text && errno != ERANGE &&
                          expected >= INT32_MIN && expected <= INT32_MAX;
    if (target != (readable ? expected : 12345)) {
        Fail("ReadInt differs from strtoll", value);
    }
}

void CheckFloat(const std::string& value) {
    float target = 12345.0f;
    ConfigFile::ReadFloat(target, value);
    if (value.find_first_of("xXpPiInN") != std::string::npos) {
        return;  // strtod reads hexadecimal, infinity and NaN; ReadFloat does not
    }
    const char* text = value.c_str();
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(text, &end);
    const bool hasExponent =
        std::string(text, static_cast<const char*>(end)).find_first_of("eE") != std::string::npos;
    const bool danglingExponent = !hasExponent && (*end == 'e' || *end == 'E');
    const bool overflow = errno == ERANGE && std::fabs(parsed) == HUGE_VAL;
    const bool readable = !value.empty() && end != text && !danglingExponent && !overflow;
    const float expected = readable ? static_cast<float>(parsed) : 12345.0f;
    if (std::memcmp(&target, &expected, sizeof target) != 0) {
        Fail("ReadFloat differs from strtod", value);
    }
}

void ReadEveryWay(const std::string& value) {
    CheckInt(value);
    CheckFloat(value);
    if (ConfigFile::IsTrue(value) !=
        (value.size() == 4 && strncasecmp(value.c_str(), "true", 4) == 0)) {
        Fail("IsTrue", value);
    }
}

void CheckStored(const std::string& text, bool trimmed) {
    if (text.find_first_of("\n;\x1a") != std::string::npos) {
        Fail("stored string holds a line end, a comment or an end of file", text);
    }
    if (trimmed && !text.empty() && (text.front() == ' ' || text.back() == ' ')) {
        Fail("untrimmed key or value", text);
    }
}

// One file per fuzzing process, removed at exit. In memory where the system offers it: writing a
// file to disk on every input would slow the fuzzer a hundredfold.
std::filesystem::path ScratchDirectory() {
    std::error_code ignored;
    return std::filesystem::is_directory("/dev/shm", ignored)
               ? std::filesystem::path("/dev/shm")
               : std::filesystem::temp_directory_path();
}

struct ScratchFile {
    std::filesystem::path path =
        ScratchDirectory() / ("velmora_fuzz_config_" + std::to_string(getpid()) + ".cfg");
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
};

void CheckFileReading(const std::string& bytes, const ConfigFile& fromMemory) {
    static const ScratchFile scratch;
    std::FILE* file = std::fopen(scratch.path.c_str(), "wb");
    if (file == nullptr) {
        return;
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    ConfigFile fromFile;
    fromFile.Load(scratch.path.c_str());
    if (fromFile.Sections() != fromMemory.Sections()) {
        Fail("a file reads differently from the same bytes in memory", bytes);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    ConfigFile config;
    config.LoadText(bytes);
    CheckFileReading(bytes, config);

    std::vector<std::string> sections;
    for (const auto& [name, keys] : config.Sections()) {
        CheckStored(name, false);
        for (const auto& [key, value] : keys) {
            CheckStored(key, true);
            CheckStored(value, true);
            ReadEveryWay(value);
        }
        if (sections.size() < 16) {
            sections.push_back(name);
        }
    }
    for (const char* key : kSettingsKeys) {
        ReadEveryWay(config.Value("Settings", key));
    }
    sections.push_back("General Filter");
    for (const std::string& section : sections) {
        if (config.KeyCount(section) == 0) {
            continue;
        }
        for (const char* key : kProfileKeys) {
            ReadEveryWay(config.Value(section, key));
        }
    }
    return 0;
}
