#include "check/settings_check.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "config/config_file.h"
#include "config/config_lines.h"
#include "config/filter_settings.h"
#include "config/number_reader.h"
#include "config/settings_keys.h"
#include "config/settings_reader.h"
#include "config/shown_name.h"
#include "tracking/settings_load.h"

namespace velmora::check {
namespace {

// A car without a section of its own: no section's name can hold a line break.
constexpr char kCarWithoutSection[] = "\n";

// The plug-in's session: Start reads the file while no car is known (which applies the key lines
// before the first header), then the game names the car. `observe` sees what the naming applies.
void Session(ConfigFile& config, const std::optional<std::string>& car, Switches& switches,
             HeadFilters& filters, const SectionObserver& observe) {
    switches.BeginSession();
    ApplyLoad(config, "", switches, filters);
    ApplyVehicleChange(config, car.value_or(kCarWithoutSection), switches, filters, observe);
}

// A section the naming of a car applies, and the filters as it leaves them with filtering on (with
// it off every ring is one reading long, whatever a section asks).
struct SectionOutcome {
    std::string section;
    std::array<FilterSettings, 3> filters;
};

std::vector<SectionOutcome> FilteredSections(const ConfigFile& config,
                                             const std::optional<std::string>& car) {
    // The same file with filtering on. A load looks the key up anyway, so the map's sections
    // hold the same keys as the plug-in's.
    ConfigFile filtered = config;
    filtered.Value(keys::kSettings, keys::kUseFiltering) = "true";
    std::vector<SectionOutcome> outcomes;
    Switches switches;
    HeadFilters filters;
    Session(filtered, car, switches, filters, [&](const AppliedSection& section) {
        outcomes.push_back({section.section, section.filters});
    });
    return outcomes;
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string TrimmedSpaces(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? ""
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A key as the file writes it, with its line of the table.
struct KnownKey {
    std::string name;
    const SettingKey* key;
};

// Every key the plug-in reads, the axis keys once per axis after the others.
const std::vector<KnownKey>& KnownKeys() {
    static const std::vector<KnownKey> known = [] {
        std::vector<KnownKey> all;
        for (const SettingKey& key : kSettingKeys) {
            if (key.place != KeyPlace::EachAxis) {
                all.push_back({key.name, &key});
            }
        }
        for (std::size_t axis = 0; axis < keys::kAxes.size(); ++axis) {
            for (const SettingKey& key : kSettingKeys) {
                if (key.place == KeyPlace::EachAxis) {
                    all.push_back({KeyName(key, axis), &key});
                }
            }
        }
        return all;
    }();
    return known;
}

// "[Section] Key: ", the start of most findings.
std::string Where(const std::string& section, std::string_view key) {
    return Bracketed(section) + " " + std::string(key) + ": ";
}

// The readers leave out spaces around a key or a value, not tabs, and a tab looks like spaces: a
// key or value that holds one says why it is not what it looks like. Empty without a tab.
std::string TabNote(std::string_view text, const char* part) {
    if (text.find('\t') == std::string_view::npos) {
        return "";
    }
    const char* place = text.back() == '\t'    ? "ends in"
                        : text.front() == '\t' ? "begins with"
                                               : "holds";
    return std::string("it ") + place +
           " a tab (shown as \\t), which Velmora reads as part of the " + part + ", unlike a space";
}

class SettingsChecker {
public:
    explicit SettingsChecker(std::string_view bytes) : bytes_(bytes) {
        config_.Parse(bytes);
        // Before any lookup inserts what the file does not hold.
        written_ = config_.Sections();
        std::set<std::string> copied;
        for (const auto& [name, keys] : written_) {
            if (const auto from = keys.find(keys::kCopyFrom); from != keys.end()) {
                copied.insert(from->second);
            }
        }
        for (const auto& [name, keys] : written_) {
            if (name == keys::kSettings || name == keys::kGeneralFilter || name.empty()) {
                continue;
            }
            // A section is named after its car, so any name may be right; one close to the two
            // fixed names that nothing copies from is almost surely one of them misspelt.
            const auto meant = NearestName(name, {keys::kSettings, keys::kGeneralFilter});
            if (meant && copied.count(name) == 0) {
                misspelt_[name] = *meant;
            } else {
                cars_.push_back(name);
            }
        }
        for (const std::optional<std::string>& car : Cars()) {
            const auto chain = ProfileChain(config_, car.value_or(keys::kGeneralFilter));
            settingsIsProfile_ = settingsIsProfile_ || std::find(chain.begin(), chain.end(),
                                                                 keys::kSettings) != chain.end();
        }
    }

    SettingsReport Run() {
        CheckLines();
        CheckLoops();
        CheckMaxFrames();
        CheckSomethingIsRead();
        SortFindings(report_.findings);
        for (const std::optional<std::string>& car : Cars()) {
            report_.profiles.push_back(ApplyProfiles(config_, car));
        }
        return std::move(report_);
    }

private:
    // Nothing for "General Filter" alone, then every section that could be a car's.
    std::vector<std::optional<std::string>> Cars() const {
        std::vector<std::optional<std::string>> cars = {std::nullopt};
        cars.insert(cars.end(), cars_.begin(), cars_.end());
        return cars;
    }

    // One finding per line: what else the line holds joins the finding it has, after the place
    // (`where`) they share.
    void Add(std::size_t line, FindingKind kind, const std::string& where,
             const std::string& what) {
        for (Finding& finding : report_.findings) {
            if (finding.line == line) {
                finding.text += "; " + (finding.text.starts_with(where) ? what : where + what);
                return;
            }
        }
        report_.findings.push_back({line, kind, where + what});
    }

    void CheckLines() {
        ConfigLines lines(bytes_);
        std::string section;
        bool inSection = false;
        bool outsideReported = false;
        while (const std::optional<ConfigLine> line = lines.Next()) {
            if (line->header) {
                section.assign(line->section);
                inSection = true;
                CheckHeader(line->number, section);
                continue;
            }
            const std::string key(line->key);
            if (key.empty() && !line->assigns) {
                continue;  // spaces only: the reader stores an empty key, which means nothing
            }
            keyLines_ += line->assigns ? 1 : 0;
            const auto [first, fresh] = firstLine_.try_emplace({section, key}, line->number);
            if (!fresh) {
                Add(line->number, FindingKind::Duplicate, Where(section, key),
                    "set on line " + std::to_string(first->second) +
                        " already; the first one counts, so this line changes nothing");
                continue;
            }
            if (!line->assigns && key.size() >= 2 && key.front() == '[' && key.back() == ']') {
                Add(line->number, FindingKind::NotAHeader, "",
                    QuotedName(key) +
                        " is read as a key, not a header: a header may have no space before or "
                        "after it, so this section does not begin here");
                continue;
            }
            if (!inSection) {
                if (!outsideReported) {
                    outsideReported = true;
                    Add(line->number, FindingKind::OutsideSections, "",
                        "key lines before the first [section] header count only as Velmora "
                        "starts, before the game names a car, and then stay wherever no section "
                        "sets the same key: put them under [Settings], [General Filter] or a "
                        "car's section");
                }
                continue;
            }
            CheckKeyLine(line->number, section, *line);
        }
    }

    void CheckHeader(std::size_t line, const std::string& name) {
        if (name == keys::kSettings || name == keys::kGeneralFilter) {
            return;
        }
        const std::string hidden = TrimmedSpaces(name).empty() ? "" : HiddenInName(name);
        // "it ends with a space" as "the name "Formula Red " ends with a space".
        const std::string named =
            hidden.empty() ? "" : "the name " + QuotedName(name) + hidden.substr(2);
        if (const auto meant = misspelt_.find(name); meant != misspelt_.end()) {
            Add(line, FindingKind::SectionName, Bracketed(name) + ": ",
                "did you mean [" + meant->second +
                    "]? Section names must match exactly, letter case included" +
                    (named.empty() ? "" : ", and " + named));
        } else if (!named.empty()) {
            Add(line, FindingKind::SectionName, Bracketed(name) + ": ",
                named + ": the section applies only to a car whose name does too");
        }
    }

    void CheckKeyLine(std::size_t line, const std::string& section, const ConfigLine& text) {
        const std::string key(text.key);
        const std::string where = Bracketed(section) + " ";
        if (!text.assigns) {
            std::string advice;
            for (const KnownKey& known : KnownKeys()) {
                if (key.starts_with(known.name + " ")) {
                    advice = ": did you mean " +
                             QuotedName(known.name + " = " +
                                        TrimmedSpaces(key.substr(known.name.size()))) +
                             "?";
                }
            }
            Add(line, FindingKind::NoEquals, where,
                QuotedName(key) + " has no '=', so it sets nothing" + advice);
            return;
        }
        const auto known = std::find_if(KnownKeys().begin(), KnownKeys().end(),
                                        [&](const KnownKey& known) { return known.name == key; });
        if (known == KnownKeys().end()) {
            std::vector<std::string> names;
            for (const KnownKey& known : KnownKeys()) {
                names.push_back(known.name);
            }
            const std::string tab = TabNote(key, "name");
            std::string text = QuotedName(key) + " is no key Velmora reads";
            text += tab.empty() ? "" : ": " + tab + ".";
            if (const auto meant = NearestName(key, names)) {
                text += (tab.empty() ? ": did" : " Did") + std::string(" you mean ") +
                        QuotedName(*meant) + "?";
                if (Lowered(*meant) == Lowered(key)) {
                    text += " Keys are case-sensitive";
                }
            }
            Add(line, FindingKind::UnknownKey, where, text);
            return;
        }
        const KeyPlace place = known->key->place;
        if (place == KeyPlace::Settings && section != keys::kSettings) {
            Add(line, FindingKind::MisplacedKey, Where(section, key),
                "counts only in [Settings]; here it changes nothing");
            return;
        }
        if (place != KeyPlace::Settings && section == keys::kSettings && !settingsIsProfile_) {
            Add(line, FindingKind::MisplacedKey, Where(section, key),
                "counts only in [General Filter] or a car's section; here it changes nothing");
            return;
        }
        if (!text.value.empty()) {
            CheckValue(line, Where(section, key), *known->key, text.value);
        }
    }

    void CheckValue(std::size_t line, const std::string& where, const SettingKey& key,
                    std::string_view value) {
        const std::string tab = TabNote(value, "value");
        switch (key.type) {
            case KeyType::Flag:
                if (!*ParseFlag(value)) {
                    if (const std::string off = OffReading(value); !off.empty()) {
                        Add(line, FindingKind::ReadsAsOff, where,
                            off + (tab.empty() ? "" : "; " + tab));
                    }
                }
                return;
            case KeyType::Int:
            case KeyType::RingLength:
                CheckInt(line, where, key, value);
                return;
            case KeyType::Float:
                CheckFloat(line, where, key, value);
                return;
            case KeyType::SectionName:
                if (written_.count(std::string(value)) == 0) {
                    std::string text = QuotedName(value) +
                                       " is no section with keys in this file: nothing is copied";
                    text += tab.empty() ? "" : "; " + tab;
                    std::vector<std::string> sections;
                    for (const auto& [name, keys] : written_) {
                        sections.push_back(name);
                    }
                    if (const auto meant = NearestName(value, sections)) {
                        text += "; did you mean " + QuotedName(*meant) + "?";
                    }
                    Add(line, FindingKind::MissingSection, where, text);
                }
                return;
        }
    }

    void CheckInt(std::size_t line, const std::string& where, const SettingKey& key,
                  std::string_view value) {
        const auto read = ParseLeadingInt(value);
        if (!read) {
            Add(line, FindingKind::Unreadable, where,
                QuotedName(value) +
                    (key.type == KeyType::RingLength
                         ? " is not a whole number: an unreadable MaxFrames means MinFrames, so "
                           "the camera averages only MinFrames readings while the head is still"
                         : " is not a whole number: the line changes nothing"));
            return;
        }
        const std::string_view rest = value.substr(read->length);
        if (!rest.empty()) {
            Add(line, FindingKind::PartlyRead, where,
                QuotedName(value) + " reads as " + std::to_string(read->value) +
                    ": Velmora ignores " + QuotedName(rest) +
                    (rest.front() == '.' ? ", as this key takes whole numbers only" : ""));
        }
        if (key.floor && read->value < *key.floor) {
            const std::string floor = std::to_string(static_cast<std::int32_t>(*key.floor));
            Add(line, FindingKind::Clamped, where,
                std::to_string(read->value) + " is below " + floor + ": it counts as " + floor);
        }
    }

    void CheckFloat(std::size_t line, const std::string& where, const SettingKey& key,
                    std::string_view value) {
        const auto read = ParseLeadingFloat(value);
        if (!read) {
            Add(line, FindingKind::Unreadable, where,
                QuotedName(value) + " is not a number: the line changes nothing");
            return;
        }
        const std::string_view rest = value.substr(read->length);
        if (!rest.empty()) {
            Add(line, FindingKind::PartlyRead, where,
                QuotedName(value) + " reads as " + Number(read->value) +
                    (rest.front() == ','
                         ? ": the decimal point is '.', whatever the language of Windows"
                         : ": Velmora ignores " + QuotedName(rest)));
        }
        if (key.floor && read->value < *key.floor) {
            const std::string floor = Number(*key.floor);
            Add(line, FindingKind::Clamped, where,
                Number(read->value) + " is below " + floor + ": it counts as " + floor);
        }
        if (key.ceiling && read->value > *key.ceiling) {
            const std::string ceiling = Number(*key.ceiling);
            Add(line, FindingKind::Clamped, where,
                Number(read->value) + " is above " + ceiling + ": it counts as " + ceiling);
        }
    }

    // A chain that comes back to a section already in it: the plug-in applies each section once
    // and stops there. Reported once per loop, at the "Copy From" that closes it.
    void CheckLoops() {
        std::set<std::set<std::string>> reported;
        for (const auto& [name, keys] : written_) {
            const std::vector<std::string> chain = ProfileChain(config_, name);
            if (chain.empty()) {
                continue;
            }
            const std::string& farthest = chain.front();
            const std::string next = config_.Value(farthest, keys::kCopyFrom);
            const auto closing = std::find(chain.begin(), chain.end(), next);
            if (next.empty() || closing == chain.end() ||
                !reported.insert(std::set<std::string>(chain.begin(), closing + 1)).second) {
                continue;
            }
            std::string path = Bracketed(next);
            for (auto section = closing; section != chain.begin(); --section) {
                path += " -> " + Bracketed(*(section - 1));
            }
            path += " -> " + Bracketed(next);
            Add(firstLine_[{farthest, keys::kCopyFrom}], FindingKind::CopyLoop,
                Where(farthest, keys::kCopyFrom),
                QuotedName(next) + " closes a loop (" + path +
                    "): Velmora applies each section once and stops there");
        }
    }

    // MaxFrames beyond what the averaging takes: found by applying the profiles along the
    // plug-in's own path and comparing the number each section asked for with the one it got.
    // A section applies for several cars, each perhaps after another MinFrames: one finding per
    // line, which names the cars only when they differ.
    void CheckMaxFrames() {
        struct Counted {
            std::string section;
            std::string key;
            std::int32_t asked = 0;
            std::map<std::int32_t, std::set<std::string>> cars;  // by what it counts as
        };
        std::map<std::size_t, Counted> lines;
        for (const std::optional<std::string>& car : Cars()) {
            for (const SectionOutcome& outcome : FilteredSections(config_, car)) {
                const auto written = written_.find(outcome.section);
                if (written == written_.end()) {
                    continue;
                }
                for (const SettingKey& key : kSettingKeys) {
                    for (std::size_t axis = 0;
                         key.type == KeyType::RingLength && axis < keys::kAxes.size(); ++axis) {
                        const std::string name = KeyName(key, axis);
                        const auto value = written->second.find(name);
                        const auto asked = value == written->second.end()
                                               ? std::nullopt
                                               : ParseLeadingInt(value->second);
                        if (!asked) {
                            continue;  // an unreadable value is reported as such
                        }
                        Counted& line = lines[firstLine_[{outcome.section, name}]];
                        line.section = outcome.section;
                        line.key = name;
                        line.asked = asked->value;
                        const auto as =
                            static_cast<std::int32_t>(FilterField(key, outcome.filters[axis]));
                        line.cars[as].insert(car ? QuotedName(*car) : "any other car");
                    }
                }
            }
        }
        for (const auto& [number, line] : lines) {
            auto counted = line.cars;
            counted.erase(line.asked);
            if (counted.empty()) {
                continue;
            }
            std::string text =
                std::to_string(line.asked) + (line.asked > kLongestRing
                                                  ? " is more than " + std::to_string(kLongestRing)
                                                  : std::string(" is below MinFrames"));
            if (line.cars.size() == 1) {
                const std::string as = std::to_string(counted.begin()->first);
                text += (line.asked > kLongestRing ? "" : " (" + as + ")") + ": it counts as " + as;
            } else {
                text += " in some cars: it counts as ";
                for (const auto& [as, cars] : counted) {
                    text +=
                        (as == counted.begin()->first ? "" : "; ") + std::to_string(as) + " for";
                    std::size_t left = cars.size();
                    for (const std::string& car : cars) {
                        text += (left == cars.size() ? " " : left == 1 ? " and " : ", ") + car;
                        --left;
                    }
                }
            }
            Add(number, FindingKind::Clamped, Where(line.section, line.key), text);
        }
    }

    // A file without a key line sets nothing: every setting keeps its default.
    void CheckSomethingIsRead() {
        if (keyLines_ == 0) {
            Add(0, FindingKind::NothingRead, "",
                "Velmora reads nothing from this file: it holds no key line (Key = Value), so "
                "every setting keeps its default, as the table below shows");
        }
    }

    std::string_view bytes_;
    ConfigFile config_;
    std::map<std::string, ConfigFile::Section> written_;
    std::vector<std::string> cars_;
    std::map<std::string, std::string> misspelt_;  // each with the section it probably means
    std::size_t keyLines_ = 0;
    bool settingsIsProfile_ = false;
    std::map<std::pair<std::string, std::string>, std::size_t> firstLine_;
    SettingsReport report_;
};

bool IsUtf16(std::string_view bytes) {
    return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
}

}  // namespace

AppliedProfile ApplyProfiles(ConfigFile& config, const std::optional<std::string>& car) {
    AppliedProfile applied;
    applied.car = car.value_or("");
    Switches switches;
    HeadFilters filters;
    Session(config, car, switches, filters, [&](const AppliedSection& section) {
        applied.sections.push_back(section.section);
        applied.generalSections += section.profile == keys::kGeneralFilter ? 1 : 0;
    });
    applied.useTracker = switches.Enabled();
    applied.testMode = switches.TestMode();
    applied.useFiltering = switches.UseFiltering();
    applied.recordTrace = switches.RecordTrace();
    applied.axes = filters.Settings();
    for (std::size_t i = 0; i < applied.directions.size(); ++i) {
        applied.directions[i] = switches.Allows(static_cast<keys::Direction>(i));
    }
    return applied;
}

SettingsReport CheckSettings(std::string_view bytes) {
    if (IsUtf16(bytes)) {
        SettingsReport report;
        report.findings.push_back(
            {1, FindingKind::Encoding,
             "the file is saved as UTF-16 (\"Unicode\" in Notepad): Velmora reads none of it. "
             "Save it as UTF-8 or ANSI"});
        ConfigFile config;
        config.Parse(bytes);
        report.profiles.push_back(ApplyProfiles(config, std::nullopt));
        return report;
    }
    return SettingsChecker(bytes).Run();
}

}  // namespace velmora::check
