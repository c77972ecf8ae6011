#pragma once

#include <optional>
#include <string>

namespace velmora {

// The bytes of a settings file, read apart from parsing them so that a slow disk or a network
// folder holds up nobody who waits for the lock. Nothing when the file cannot be opened. A read
// that fails midway keeps the whole lines before the failure.
std::optional<std::string> ReadSettingsFile(const std::string& path);

}  // namespace velmora
