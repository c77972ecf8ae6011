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

    // Empties the map, then parses the bytes as Windows reads a text file (CR LF is LF, 0x1A
    // ends it), whatever the OS.
    void Parse(std::string_view bytes);
    // The same on a file; one that cannot be opened leaves the map empty.
    void Load(const std::string& path);

    // Insert-on-miss lookups.
    std::string& Value(const std::string& section, const std::string& key);
    std::size_t KeyCount(const std::string& section);

    const std::map<std::string, Section>& Sections() const { return sections_; }

    // Removes leading and trailing spaces (0x20 only) in place.
    static std::string& Trim(std::string& text);

private:
    // The section that key lines go to. A header alone creates no section, so the map is looked
    // up at the first key line under a header, and only then: not once per line.
    struct Cursor {
        std::string name;
        Section* section = nullptr;
    };

    void ParseLine(std::string& line, Cursor& cursor);

    std::map<std::string, Section> sections_;
};

}  // namespace velmora
