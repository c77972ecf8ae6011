#include "tune/settings_edit.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>

#include "config/config_lines.h"
#include "config/number_reader.h"
#include "config/settings_keys.h"
#include "config/shown_name.h"

namespace velmora::tune {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The fewest digits that the plug-in's own reader turns back into the same float, so that the
// written profile is exactly the one measured.
std::string FloatText(float value) {
    char text[32];
    for (int digits = 6; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
        if (ParseFloat(text) == value) {
            break;
        }
    }
    return text;
}

std::string ValueText(const SettingKey& key, const FilterSettings& settings) {
    const double value = FilterField(key, settings);
    return key.type == KeyType::Float ? FloatText(static_cast<float>(value))
                                      : std::to_string(static_cast<std::int32_t>(value));
}

// Where a key line stands and where its value lies in the file's bytes.
struct KeyPlaceInFile {
    std::size_t line = 0;
    std::size_t valueBegin = 0;  // offsets into the bytes; equal when the value is empty
    std::size_t valueEnd = 0;
    std::string value;
};

// The file as the reader sees it: the first line of each key in each section, and each section's
// header and last line.
struct FileMap {
    std::map<std::pair<std::string, std::string>, KeyPlaceInFile> keys;
    std::map<std::string, std::size_t> headers;
    std::map<std::string, std::size_t> lastLines;

    explicit FileMap(std::string_view bytes) {
        ConfigLines lines(bytes);
        std::string section;  // key lines before the first header: no section's
        while (const auto line = lines.Next()) {
            if (line->header) {
                section = std::string(line->section);
                headers.emplace(section, line->number);
            } else if (line->assigns) {
                KeyPlaceInFile place;
                place.line = line->number;
                place.value = std::string(line->value);
                if (!line->value.empty()) {
                    place.valueBegin = static_cast<std::size_t>(line->value.data() - bytes.data());
                    place.valueEnd = place.valueBegin + line->value.size();
                }
                keys.emplace(std::make_pair(section, std::string(line->key)), place);
            }
            lastLines[section] = line->number;
        }
    }
};

// Where each line of `bytes` begins, and one past the end.
std::vector<std::size_t> LineStarts(std::string_view bytes) {
    std::vector<std::size_t> starts = {bytes.starts_with(kByteOrderMark) ? kByteOrderMark.size()
                                                                         : 0};
    for (std::size_t i = starts[0]; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            starts.push_back(i + 1);
        }
    }
    if (starts.back() != bytes.size()) {
        starts.push_back(bytes.size());
    }
    return starts;
}

}  // namespace

std::size_t HeaderLine(std::string_view settings, const std::string& section) {
    const FileMap file(settings);
    const auto header = file.headers.find(section);
    return header == file.headers.end() ? 0 : header->second;
}

std::vector<KeyChange> ChangesFor(std::string_view settings, const std::string& section,
                                  const FilterProfile& inUse, const FilterProfile& suggested) {
    const FileMap file(settings);
    std::vector<KeyChange> changes;
    auto change = [&](const std::string& where, const std::string& key, const std::string& before,
                      const std::string& after) {
        if (before == after) {
            return;
        }
        KeyChange made{where, key, after, 0, ""};
        if (const auto found = file.keys.find({where, key}); found != file.keys.end()) {
            made.line = found->second.line;
            made.oldValue = found->second.value;
        }
        changes.push_back(made);
    };
    for (const SettingKey& key : kSettingKeys) {
        if (key.place == KeyPlace::Settings && SetsFilter(key)) {
            change(keys::kSettings, key.name, ValueText(key, inUse[0]),
                   ValueText(key, suggested[0]));
        }
    }
    for (std::size_t axis = 0; axis < 3; ++axis) {
        for (const SettingKey& key : kSettingKeys) {
            if (key.place == KeyPlace::EachAxis && SetsFilter(key)) {
                change(section, KeyName(key, axis), ValueText(key, inUse[axis]),
                       ValueText(key, suggested[axis]));
            }
        }
    }
    return changes;
}

std::string Edited(std::string_view settings, const std::vector<KeyChange>& changes) {
    const FileMap file(settings);
    const std::string end = settings.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    const std::vector<std::size_t> starts = LineStarts(settings);
    // Each edit replaces a range of the bytes; the ranges never overlap, and go in from the back.
    struct Edit {
        std::size_t begin;
        std::size_t end;
        std::string text;
    };
    std::vector<Edit> edits;
    std::map<std::string, std::string> added;  // by section, the lines it gains
    std::vector<std::string> newSections;
    for (const KeyChange& change : changes) {
        const auto found = file.keys.find({change.section, change.key});
        if (found != file.keys.end()) {
            const KeyPlaceInFile& place = found->second;
            if (place.valueEnd > place.valueBegin) {
                edits.push_back({place.valueBegin, place.valueEnd, change.value});
            } else {
                // An empty value: the line is written anew, its comment lost with it.
                const std::size_t from = starts[place.line - 1];
                std::size_t to = settings.find('\n', from);
                to = to == std::string_view::npos ? settings.size() : to + 1;
                edits.push_back({from, to, change.key + " = " + change.value + end});
            }
            continue;
        }
        if (!file.headers.contains(change.section) &&
            std::find(newSections.begin(), newSections.end(), change.section) ==
                newSections.end()) {
            newSections.push_back(change.section);
        }
        added[change.section] += change.key + " = " + change.value + end;
    }
    for (const auto& [section, lines] : added) {
        if (!file.headers.contains(section)) {
            continue;
        }
        // After the section's last line (a comment after it stays with what follows).
        const std::size_t after = file.lastLines.at(section);
        std::size_t at = after < starts.size() ? starts[after] : settings.size();
        std::string text = lines;
        if (at == settings.size() && !settings.empty() && settings.back() != '\n') {
            text = end + text;
        }
        edits.push_back({at, at, text});
    }
    std::sort(edits.begin(), edits.end(),
              [](const Edit& a, const Edit& b) { return a.begin > b.begin; });
    std::string edited(settings);
    for (const Edit& edit : edits) {
        edited.replace(edit.begin, edit.end - edit.begin, edit.text);
    }
    for (const std::string& section : newSections) {
        if (!edited.empty() && edited.back() != '\n') {
            edited += end;
        }
        edited += end + "[" + section + "]" + end + added[section];
    }
    return edited;
}

std::string ChangesText(std::string_view settings, const std::vector<KeyChange>& changes) {
    std::string text;
    std::string section;
    bool first = true;
    for (const KeyChange& change : changes) {
        if (first || change.section != section) {
            section = change.section;
            first = false;
            const std::size_t header = HeaderLine(settings, section);
            char where[48];
            std::snprintf(where, sizeof where, " (line %zu)", header);
            text +=
                "  [" + section + "]" +
                (header == 0 ? std::string(": not in the file yet: add it at its end") : where) +
                "\n";
        }
        char line[32];
        std::snprintf(line, sizeof line, "line %zu:", change.line);
        std::string shown = "    ";
        shown += change.line == 0 ? std::string("add:") : line;
        shown.append(shown.size() < 15 ? 15 - shown.size() : 1, ' ');
        shown += change.key + " = " + change.value;
        if (change.line != 0) {
            shown.append(shown.size() < 44 ? 44 - shown.size() : 2, ' ');
            shown += "(now " + change.oldValue + ")";
        }
        text += shown + "\n";
    }
    return text;
}

}  // namespace velmora::tune
