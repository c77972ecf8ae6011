#include "config/shown_name.h"

#include <cstddef>
#include <cstdio>
#include <utility>

namespace velmora {
namespace {

// The plug-in carries this into the game for one line of a notice: it is kept small, with no
// containers and no strings joined into temporaries.

// The code point of the valid UTF-8 sequence at text[at] and its length; length 0 where the bytes
// are no valid UTF-8 (a stray continuation byte, an overlong form, a surrogate, beyond U+10FFFF,
// a sequence cut short).
std::size_t Utf8At(std::string_view text, std::size_t at, char32_t& point) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if ((lead >= 0x80 && lead < 0xC2) || lead > 0xF4 || at + length > text.size()) {
        return 0;
    }
    point = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        point = point << 6 | (next & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < kSmallest[length] || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF) {
        return 0;
    }
    return length;
}

enum Unseen { kTab, kControl, kNonBreakingSpace, kNoRoom, kVisible };

Unseen Kind(char32_t point) {
    if (point == U'\t') {
        return kTab;
    }
    if (point < 0x20 || (point >= 0x7F && point <= 0x9F)) {
        return kControl;
    }
    if (point == 0xA0 || point == 0x2007 || point == 0x202F) {
        return kNonBreakingSpace;
    }
    if (point == 0xAD || (point >= 0x200B && point <= 0x200D) || point == 0x2060 ||
        point == 0xFEFF) {
        return kNoRoom;
    }
    return kVisible;
}

// What the name is made of, character by character: UTF-8 when the whole name is valid UTF-8,
// otherwise Windows-1252, the code page of the games this plug-in serves, of which only the ASCII
// half and its two unseen characters (0xA0 and 0xAD) matter here.
struct Survey {
    std::size_t characters = 0;
    std::size_t leadingSpaces = 0;
    std::size_t trailingSpaces = 0;
    std::size_t counts[kVisible] = {};
};

Survey Surveyed(std::string_view name) {
    bool utf8 = true;
    char32_t point = 0;
    for (std::size_t at = 0, length = 0; utf8 && at < name.size(); at += length) {
        length = Utf8At(name, at, point);
        utf8 = length != 0;
    }
    Survey survey;
    bool sawOther = false;
    for (std::size_t at = 0, length = 1; at < name.size(); at += length) {
        if (utf8) {
            length = Utf8At(name, at, point);
        } else {
            const auto byte = static_cast<unsigned char>(name[at]);
            point = byte < 0x80 || byte == 0xA0 || byte == 0xAD ? byte : U'?';
        }
        ++survey.characters;
        if (point == U' ') {
            survey.leadingSpaces += sawOther ? 0 : 1;
            ++survey.trailingSpaces;
            continue;
        }
        sawOther = true;
        survey.trailingSpaces = 0;
        const Unseen kind = Kind(point);
        if (kind != kVisible) {
            ++survey.counts[kind];
        }
    }
    return survey;
}

// Text built by appending alone: one string grown in place, with no temporaries to join.
class Line {
public:
    // Out of line: one call per piece, not the string's growth code inlined at each.
    [[gnu::noinline]] void Add(std::string_view text) { text_.append(text.data(), text.size()); }
    // "one thing" or "N things"
    void AddCount(std::size_t count, const char* one, const char* many) {
        if (count == 1) {
            Add(one);
            return;
        }
        char number[24];
        std::snprintf(number, sizeof number, "%u ", static_cast<unsigned>(count));
        Add(number);
        Add(many);
    }
    // The separator before item `index` of `total` in "a", "a and b", "a, b and c".
    void AddSeparator(int index, int total) {
        Add(index == 0 ? "" : index + 1 == total ? " and " : ", ");
    }
    // The name between double quotes, its control characters escaped.
    void AddQuoted(std::string_view name) {
        Add("\"");
        for (const char byte : name) {
            const auto value = static_cast<unsigned char>(byte);
            char code[8] = {byte, 0};
            if (value == '\t' || value == '\n' || value == '\r') {
                code[0] = '\\';
                code[1] = value == '\t' ? 't' : value == '\n' ? 'n' : 'r';
            } else if (value < 0x20 || value == 0x7F) {
                std::snprintf(code, sizeof code, "\\x%02X", value);
            }
            Add(code);
        }
        Add("\"");
    }
    void AddHidden(std::string_view name);
    std::string Take() { return std::move(text_); }

private:
    std::string text_;
};

void Line::AddHidden(std::string_view name) {
    const Survey survey = Surveyed(name);
    const bool allSpaces = survey.characters > 0 && survey.leadingSpaces == survey.characters;
    static constexpr const char* kOne[] = {"a tab", "a control character", "a non-breaking space",
                                           "a character that takes no room"};
    static constexpr const char* kMany[] = {"tabs", "control characters", "non-breaking spaces",
                                            "characters that take no room"};
    int held = 0;
    for (const std::size_t count : survey.counts) {
        held += count > 0 ? 1 : 0;
    }
    const bool begins = !allSpaces && survey.leadingSpaces > 0;
    const bool ends = !allSpaces && survey.trailingSpaces > 0;
    const int parts = (allSpaces ? 1 : 0) + (begins ? 1 : 0) + (ends ? 1 : 0) + (held > 0 ? 1 : 0);
    if (parts == 0) {
        return;
    }
    Add("it ");
    int part = 0;
    const auto spaces = [&](const char* verb, std::size_t count) {
        AddSeparator(part++, parts);
        Add(verb);
        AddCount(count, "a space", "spaces");
    };
    if (allSpaces) {
        spaces("is ", survey.characters);
    }
    if (begins) {
        spaces("begins with ", survey.leadingSpaces);
    }
    if (ends) {
        spaces("ends with ", survey.trailingSpaces);
    }
    if (held > 0) {
        AddSeparator(part++, parts);
        Add("holds ");
        int item = 0;
        for (int kind = 0; kind < kVisible; ++kind) {
            if (survey.counts[kind] > 0) {
                AddSeparator(item++, held);
                AddCount(survey.counts[kind], kOne[kind], kMany[kind]);
            }
        }
    }
}

}  // namespace

std::string QuotedName(std::string_view name) {
    Line line;
    line.AddQuoted(name);
    return line.Take();
}

std::string HiddenInName(std::string_view name) {
    Line line;
    line.AddHidden(name);
    return line.Take();
}

std::string NameNote(std::string_view name) {
    Line hidden;
    hidden.AddHidden(name);
    std::string clause = hidden.Take();
    if (clause.empty()) {
        return clause;
    }
    Line line;
    line.Add("The name is ");
    line.AddQuoted(name);
    line.Add(": ");
    line.Add(clause);
    line.Add(".");
    return line.Take();
}

}  // namespace velmora
