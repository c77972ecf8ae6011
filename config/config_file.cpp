#include "config/config_file.h"

#include "config/settings_file.h"

namespace velmora {

void ConfigFile::Parse(std::string_view bytes) {
    sections_.clear();
    // Windows text mode, done by hand so that every OS reads a file alike: a CR LF pair reads as
    // one LF, any other CR stays, and a 0x1A byte ends the input as the end of the file does. A
    // last line without a LF still counts.
    bytes = bytes.substr(0, bytes.find('\x1a'));
    Cursor cursor;
    std::string line;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view text = bytes.substr(0, end);
        bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
        if (end != std::string_view::npos && !text.empty() && text.back() == '\r') {
            text.remove_suffix(1);
        }
        line.assign(text);
        ParseLine(line, cursor);
    }
}

void ConfigFile::Load(const std::string& path) {
    Parse(ReadSettingsFile(path).value_or(std::string()));
}

void ConfigFile::ParseLine(std::string& line, Cursor& cursor) {
    // Only a line with a comment is trimmed here, so " [Settings]" is a key, not a header.
    const std::size_t semicolon = line.find(';');
    if (semicolon != std::string::npos) {
        line.erase(semicolon);
        Trim(line);
    }
    if (line.empty()) {
        return;
    }
    // A lone CR is removed only after the emptiness test: a line of one CR is a key line.
    if (line.back() == '\r') {
        line.pop_back();
    }
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
        cursor.name.assign(line, 1, line.size() - 2);
        cursor.section = nullptr;
        return;
    }
    const std::size_t equals = line.find('=');
    std::string key = line.substr(0, equals);
    std::string value = equals == std::string::npos ? std::string() : line.substr(equals + 1);
    if (cursor.section == nullptr) {
        cursor.section = &sections_[cursor.name];
    }
    // First wins, also across repeated headers of one section.
    cursor.section->try_emplace(std::move(Trim(key)), std::move(Trim(value)));
}

std::string& ConfigFile::Value(const std::string& section, const std::string& key) {
    return sections_[section][key];
}

std::size_t ConfigFile::KeyCount(const std::string& section) {
    return sections_[section].size();
}

std::string& ConfigFile::Trim(std::string& text) {
    const std::size_t last = text.find_last_not_of(' ');
    if (last == std::string::npos) {
        text.clear();
        return text;
    }
    text.erase(last + 1);
    text.erase(0, text.find_first_not_of(' '));
    return text;
}

}  // namespace velmora
