#pragma once

// What both file checks report, and the words they share for it: the nearest real name for a
// misspelt one, and what a yes/no value that is not "true" means.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::check {

// What kind of surprise a line holds; the tests compare these, the player reads the text.
enum class FindingKind {
    Encoding,         // the file is not text the readers can read (UTF-16)
    OutsideSections,  // key lines before the first section header
    SectionName,      // a header that is probably not the section meant
    NotAHeader,       // a header with spaces around it: read as a key
    NoEquals,         // a line with no '=': sets nothing
    Duplicate,        // a key set twice: one of the lines counts
    UnknownKey,       // a key no reader knows
    MisplacedKey,     // a real key in a section where it counts for nothing
    Unreadable,       // a value that does not read: the key changes nothing (or means MinFrames)
    PartlyRead,       // a number followed by text the reader ignores
    ReadsAsOff,       // a yes/no value other than "true" or "false"
    Clamped,          // a number outside its range, taken as the nearest value in it
    MissingSection,   // "Copy From" naming no section with keys
    CopyLoop,         // "Copy From" chains that come back to themselves
    NotThisComputer,  // a bridge address this computer does not have
    NothingRead,      // a file without a single setting in it
};

struct Finding {
    std::size_t line = 0;  // 1 for the file's first line; 0 for the file as a whole
    FindingKind kind = FindingKind::UnknownKey;
    std::string text;
};

// Ordered by line, those of one line in the order found.
void SortFindings(std::vector<Finding>& findings);

// A section's name as its header writes it, in its brackets: exactly, with a control character
// (a tab among them) spelled out as QuotedName spells it.
std::string Bracketed(const std::string& section);

// ASCII letters lowered; other bytes as they are.
std::string Lowered(std::string_view text);

// The name among `names` that `written` most likely meant: the fewest single-character edits,
// ignoring letter case, and few enough for a slip of the fingers. Nothing when none is that near.
std::optional<std::string> NearestName(std::string_view written,
                                       const std::vector<std::string>& names);

// What a yes/no value that is not "true" (in any letter case) tells the player: empty for
// "false" in any letter case, which reads as meant.
std::string OffReading(std::string_view value);

}  // namespace velmora::check
