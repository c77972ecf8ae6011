#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora::check {

// Every key of Velmora.cfg with where it counts and how its value reads; the names are those of
// config/settings_keys.h.
enum class Place { Settings, Profile };
enum class Type { Flag, Int, Float, SectionName };
enum class Field { Other, MinFrames, OffsetFrame, DecreaseFrame, MaxFrames };

struct KeyInfo {
    std::string name;
    Place place;
    Type type;
    Field field = Field::Other;
};

const std::vector<KeyInfo>& KnownKeys();
std::vector<std::string> KeyNames();
// Nothing (null) for a name the plug-in does not read; names are exact.
const KeyInfo* FindKey(std::string_view name);

}  // namespace velmora::check
