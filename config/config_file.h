#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace velmora {

// The parsed settings file: sections of key = value lines, all byte strings compared exactly.
// Looking up a section or key that is missing creates it empty, so "missing" and "empty" read
// alike, and what a lookup created counts in KeyCount until the next Parse.
class ConfigFile {
public:
    using Section = std::map<std::string, std::string>;

    // Empties the map, then parses the bytes line by line (see ConfigLines: CR LF is LF, 0x1A
    // ends the file, a leading UTF-8 byte-order mark is skipped), whatever the OS.
    void Parse(std::string_view bytes);
    // The same on a file; one that cannot be opened leaves the map empty.
    void Load(const std::string& path);

    // Insert-on-miss lookups.
    std::string& Value(const std::string& section, const std::string& key);
    std::size_t KeyCount(const std::string& section);

    const std::map<std::string, Section>& Sections() const { return sections_; }

private:
    std::map<std::string, Section> sections_;
};

}  // namespace velmora
