#include "config/config_file.h"

#include "config/config_lines.h"
#include "config/settings_file.h"

namespace velmora {

void ConfigFile::Parse(std::string_view bytes) {
    sections_.clear();
    ConfigLines lines(bytes);
    std::string name;
    // A header alone creates no section, so the map is looked up at the first key line under a
    // header, and only then: not once per line.
    Section* section = nullptr;
    while (const std::optional<ConfigLine> line = lines.Next()) {
        if (line->header) {
            name.assign(line->section);
            section = nullptr;
            continue;
        }
        if (section == nullptr) {
            section = &sections_[name];
        }
        // First wins, also across repeated headers of one section.
        section->try_emplace(std::string(line->key), line->value);
    }
}

void ConfigFile::Load(const std::string& path) {
    Parse(ReadSettingsFile(path).value_or(std::string()));
}

std::string& ConfigFile::Value(const std::string& section, const std::string& key) {
    return sections_[section][key];
}

std::size_t ConfigFile::KeyCount(const std::string& section) {
    return sections_[section].size();
}

}  // namespace velmora
