#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::check {

// Text from a settings file in double quotes, with what a player cannot see spelled out: a tab
// as \t, a CR as \r, any other control byte as \xNN.
std::string Quoted(std::string_view text);

// `text` in lines of at most 79 columns, for a console window: the first after `first`, the
// others indented by `indent` spaces.
void PrintWrapped(std::FILE* out, const std::string& first, std::size_t indent,
                  std::string_view text);

// An IPv4 address in host byte order as dotted text.
std::string DottedAddress(std::uint32_t address);

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
