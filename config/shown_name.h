#pragma once

#include <string>
#include <string_view>

namespace velmora {

// A car's name as a player should see it. A profile applies when its section is named exactly like
// the car, byte for byte, so a name that ends with a space, or holds a tab or a non-breaking space,
// looks right on screen and matches no section. These show such a name without changing it: the
// name itself is always kept exactly as the game gave it.

// The name between double quotes, so that a space at either end shows. A control character (a tab
// among them) has no face and could upset a terminal: it is written \t, \n, \r or \xNN. Every
// other byte is as it is.
std::string QuotedName(std::string_view name);

// What plain text hides in the name, as a clause: empty when nothing, else for example "it ends
// with a space" or "it begins with 2 spaces and holds a tab". Besides spaces at either end: tabs,
// other control characters, non-breaking spaces and characters that take no room (a zero-width
// space, a soft hyphen, a byte-order mark). A name that is valid UTF-8 is read as UTF-8, any
// other as the Windows code page a game uses (where byte 0xA0 is the non-breaking space).
std::string HiddenInName(std::string_view name);

// A line for the player: empty when nothing is hidden, else the quoted name and what it hides,
// such as `The name is "Formula Red ": it ends with a space.`
std::string NameNote(std::string_view name);

}  // namespace velmora
