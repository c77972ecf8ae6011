#include "config/settings_file.h"

#include <cstdio>
#include <memory>

namespace velmora {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// A settings file takes one or two reads.
constexpr std::size_t kReadChunk = 64 * 1024;

}  // namespace

std::optional<std::string> ReadSettingsFile(const std::string& path) {
    // Binary mode: the text-mode rules are the parser's, so that Linux reads as Windows does.
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return std::nullopt;
    }
    std::string bytes;
    for (;;) {
        const std::size_t had = bytes.size();
        bytes.resize(had + kReadChunk);
        const std::size_t got = std::fread(bytes.data() + had, 1, kReadChunk, file.get());
        bytes.resize(had + got);
        if (got < kReadChunk) {
            break;
        }
    }
    // A read error cuts the line it hit short. Past a 0x1A nothing counts anyway.
    if (std::ferror(file.get()) && bytes.find('\x1a') == std::string::npos) {
        bytes.erase(bytes.rfind('\n') + 1);
    }
    return bytes;
}

}  // namespace velmora
