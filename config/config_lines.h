#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace velmora {

// One line of a settings file that means something to the reader: a section header or a key
// line. The views point into the bytes given to ConfigLines.
struct ConfigLine {
    std::size_t number = 0;  // 1 for the file's first line
    bool header = false;
    std::string_view section;  // a header's name, exactly as written between the brackets
    std::string_view key;      // a key line's key and value, without spaces at either end
    std::string_view value;
    bool assigns = false;  // the key line has a '=' (without one the value is empty)
};

// The settings file's lines as the plug-in reads them, one at a time: ConfigFile builds its map
// from them, and the settings check reports by their numbers, so both see the same file.
//
// The bytes are read as Windows reads a text file, whatever the OS: a CR LF pair is one LF, any
// other CR stays, and a 0x1A byte ends the input as the end of the file does. One leading UTF-8
// byte-order mark (Notepad writes one) is no part of the first line. Comment-only and empty
// lines are skipped; every other line is a header or a key line, never rejected.
class ConfigLines {
public:
    explicit ConfigLines(std::string_view bytes);

    // The next header or key line; nothing at the end of the input.
    std::optional<ConfigLine> Next();

private:
    std::string_view rest_;
    std::size_t number_ = 0;
};

}  // namespace velmora
