// Parses arbitrary bytes as a settings file and reads the switches, every profile a section could
// start, and every value the file holds, with every reader. Beyond crashes and undefined
// behaviour it checks:
// - no stored string holds a LF, a ';' or a 0x1A, and no key or value starts or ends with a space;
// - ParseInt agrees with strtoll and ParseFloat with strtod (the process stays in the "C" locale),
//   apart from the deliberate differences: an exponent without digits and a value beyond the
//   double range fail, and hexadecimal, infinity and NaN are not numbers.
#include <strings.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "config/number_reader.h"
#include "config/settings_keys.h"
#include "config/settings_reader.h"
#include "fail.h"

namespace {

using namespace velmora;

void CheckInt(const std::string& value) {
    const std::int32_t target = velmora::ParseInt(value).value_or(12345);
    const char* text = value.c_str();
    char* end = nullptr;
    errno = 0;
    const long long expected = std::strtoll(text, &end, 10);
    const bool readable = !value.empty() && end != text && errno != ERANGE &&
                          expected >= INT32_MIN && expected <= INT32_MAX;
    if (target != (readable ? expected : 12345)) {
        Fail("ParseInt differs from strtoll", value.c_str());
    }
}

void CheckFloat(const std::string& value) {
    const float target = velmora::ParseFloat(value).value_or(12345.0f);
    if (value.find_first_of("xXpPiInN") != std::string::npos) {
        return;  // strtod reads hexadecimal, infinity and NaN; ParseFloat does not
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
        Fail("ParseFloat differs from strtod", value.c_str());
    }
}

void ReadEveryWay(const std::string& value) {
    CheckInt(value);
    CheckFloat(value);
    const std::optional<bool> flag = velmora::ParseFlag(value);
    if (flag.has_value() == value.empty() ||
        (flag && *flag != (value.size() == 4 && strncasecmp(value.c_str(), "true", 4) == 0))) {
        Fail("ParseFlag", value.c_str());
    }
}

void CheckStored(const std::string& text, bool trimmed) {
    if (text.find_first_of("\n;\x1a") != std::string::npos) {
        Fail("stored string holds a line end, a comment or an end of file", text.c_str());
    }
    if (trimmed && !text.empty() && (text.front() == ' ' || text.back() == ' ')) {
        Fail("untrimmed key or value", text.c_str());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    ConfigFile config;
    config.Parse(bytes);

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
    ReadSwitches(config);
    sections.push_back(keys::kGeneralFilter);
    for (const std::string& section : sections) {
        for (const std::string& name : ProfileChain(config, section)) {
            ReadProfile(config, name, {});
        }
    }
    return 0;
}
