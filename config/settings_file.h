#pragma once

#include <optional>
#include <string>

namespace velmora {

// The bytes of a settings file (its path in UTF-8), read apart from parsing them so that a slow
// disk or a network folder holds up nobody who waits for the lock. Nothing when the file cannot be
// opened. A read that fails midway, or a file beyond any real one's size, keeps the whole lines
// before the cut.
std::optional<std::string> ReadSettingsFile(const std::string& path);

}  // namespace velmora
