#include "known_keys.h"

#include "config/settings_keys.h"

namespace velmora::check {

// Every key the plug-in reads, with where it counts and how its value reads; the names come
// from settings_keys.h.
const std::vector<KeyInfo>& KnownKeys() {
    static const std::vector<KeyInfo> known = [] {
        std::vector<KeyInfo> all = {
            {keys::kUseTracker, Place::Settings, Type::Flag},
            {keys::kTestMode, Place::Settings, Type::Flag},
            {keys::kUseFiltering, Place::Settings, Type::Flag},
            {keys::kRecordTrace, Place::Settings, Type::Flag},
            {keys::kSdSkipfactor, Place::Settings, Type::Float},
            {keys::kCopyFrom, Place::Profile, Type::SectionName},
        };
        for (const char* direction : keys::kDirections) {
            all.push_back({direction, Place::Profile, Type::Flag});
        }
        for (const keys::AxisKeys& axis : keys::kAxes) {
            all.push_back({axis.minFrames, Place::Profile, Type::Int, Field::MinFrames});
            all.push_back({axis.offsetFrame, Place::Profile, Type::Int, Field::OffsetFrame});
            all.push_back({axis.decreaseFrame, Place::Profile, Type::Float, Field::DecreaseFrame});
            all.push_back({axis.maxFrames, Place::Profile, Type::Int, Field::MaxFrames});
        }
        return all;
    }();
    return known;
}

std::vector<std::string> KeyNames() {
    std::vector<std::string> names;
    for (const KeyInfo& key : KnownKeys()) {
        names.push_back(key.name);
    }
    return names;
}

const KeyInfo* FindKey(std::string_view name) {
    for (const KeyInfo& key : KnownKeys()) {
        if (key.name == name) {
            return &key;
        }
    }
    return nullptr;
}

}  // namespace velmora::check
