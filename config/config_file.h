#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace velmora {

// The parsed settings file: sections of key = value lines, all byte strings compared exactly.
// Looking up a section or key that is missing creates it empty, so "missing" and "empty" read
// alike. Reads a file the same way on every OS (Windows text mode: CR LF is LF, 0x1A ends it).
//
// Nothing throws out of Load or LoadText: when memory runs out (lines have no length limit) or
// the file cannot be read any further, parsing stops and the lines already handled stay.
class ConfigFile {
public:
    using Section = std::map<std::string, std::string>;

    // Empties the map, then parses the file; a file that cannot be opened leaves it empty.
    void Load(const char* path);
    // The same on bytes already in memory, as if they had been read from a file.
    void LoadText(std::string_view bytes);

    // Insert-on-miss lookups.
    std::string& Value(const std::string& section, const std::string& key);
    std::size_t KeyCount(const std::string& section);

    const std::map<std::string, Section>& Sections() const { return sections_; }

    // Removes leading and trailing spaces (0x20 only) in place.
    static std::string& Trim(std::string& text);
    // Read a decimal number the same way under every locale. An empty or unreadable value leaves
    // the target as it was. A float beyond the double range is unreadable; one below it reads as
    // zero of its sign; one beyond the float range reads as an infinity.
    static void ReadInt(std::int32_t& target, const std::string& value);
    static void ReadFloat(float& target, const std::string& value);
    // The boolean rule: true exactly for "true" in any letter case. The caller leaves its flag
    // alone when the value is empty.
    static bool IsTrue(const std::string& value);

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
