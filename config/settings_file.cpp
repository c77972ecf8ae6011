#include "config/settings_file.h"

#include "platform/platform.h"

namespace velmora {
namespace {

// Far beyond any file of settings a person writes; a path that names something endless (a device,
// a pipe that keeps sending) stops here.
constexpr std::size_t kLongestFile = 16 * 1024 * 1024;

}  // namespace

std::optional<std::string> ReadSettingsFile(const std::string& path) {
    // The bytes as they are: the text rules are the parser's, so that Linux reads as Windows does.
    std::optional<platform::FileBytes> file = platform::ReadWholeFile(path, kLongestFile);
    if (!file) {
        return std::nullopt;
    }
    // A read cut short cuts the line it hit short. Past a 0x1A nothing counts anyway.
    if (file->cutShort && file->bytes.find('\x1a') == std::string::npos) {
        file->bytes.erase(file->bytes.rfind('\n') + 1);
    }
    return std::move(file->bytes);
}

}  // namespace velmora
