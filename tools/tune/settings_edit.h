#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tune/profile_search.h"

// A suggestion made into a settings file: the keys to set, where each one stands, and the file
// with them set in place, so that no key is given twice and the rest of the file stays as it was.
namespace velmora::tune {

// One key of one section set to a new value.
struct KeyChange {
    std::string section;
    std::string key;  // as the file writes it: "Yaw MinFrames"
    std::string value;
    // Where the key counts in that section now (its first line there), and its value there; 0 when
    // the section does not hold it and it is added.
    std::size_t line = 0;
    std::string oldValue;
};

// What a section's header is where it stands, to say where an added key goes; 0 when the file
// has no such section.
std::size_t HeaderLine(std::string_view settings, const std::string& section);

// The keys to set so that `section` gives `suggested` where it gave `inUse`: each filter key whose
// value differs, the axis keys in `section`, the outlier factor in [Settings].
std::vector<KeyChange> ChangesFor(std::string_view settings, const std::string& section,
                                  const FilterProfile& inUse, const FilterProfile& suggested);

// `settings` with the changes made: a value replaced where the key stands (its comment kept), a
// key the section lacks added after the section's last line, a section the file lacks added at
// its end. The file's line ends and byte-order mark stay as they are.
std::string Edited(std::string_view settings, const std::vector<KeyChange>& changes);

// The changes as a player makes them by hand, section by section, each key with its line.
std::string ChangesText(std::string_view settings, const std::vector<KeyChange>& changes);

}  // namespace velmora::tune
