#include "config/config_file.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <vector>

namespace velmora {
namespace {

// Windows text mode, done by hand so that every OS reads a file alike: a CR LF pair reads as one
// LF, any other CR stays, and a 0x1A byte ends the input as the end of the file does. Bytes may
// come in pieces; a CR at the end of one piece waits for the first byte of the next.
class TextModeLines {
public:
    // Hands each complete line (without its LF) to onLine. False once 0x1A has ended the input.
    template <typename OnLine>
    bool Feed(std::string_view bytes, OnLine&& onLine) {
        std::size_t i = 0;
        while (i < bytes.size()) {
            if (heldCr_) {
                heldCr_ = false;
                if (bytes[i] != '\n') {
                    line_ += '\r';
                }
            }
            const std::size_t plain = i;
            while (i < bytes.size() && !IsSpecial(bytes[i])) {
                ++i;
            }
            line_.append(bytes.data() + plain, i - plain);
            if (i == bytes.size()) {
                break;
            }
            const char c = bytes[i++];
            if (c == '\x1a') {
                return false;
            }
            if (c == '\r') {
                heldCr_ = true;
            } else {
                onLine(line_);
                line_.clear();
            }
        }
        return true;
    }

    // At the end of the input: a last line without a LF still counts.
    template <typename OnLine>
    void Finish(OnLine&& onLine) {
        if (heldCr_) {
            heldCr_ = false;
            line_ += '\r';
        }
        if (!line_.empty()) {
            onLine(line_);
            line_.clear();
        }
    }

private:
    static bool IsSpecial(char c) { return c == '\n' || c == '\r' || c == '\x1a'; }

    std::string line_;
    bool heldCr_ = false;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// A settings file takes one or two reads; the buffer is on the heap, since Load also runs on the
// polling thread.
constexpr std::size_t kReadChunk = 64 * 1024;

}  // namespace

void ConfigFile::Load(const char* path) {
    sections_.clear();
    if (path == nullptr) {
        return;
    }
    // Binary mode: the text-mode rules are ours, so that Linux reads the file as Windows does.
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file) {
        return;
    }
    try {
        std::vector<char> buffer(kReadChunk);
        TextModeLines lines;
        Cursor cursor;
        const auto onLine = [&](std::string& line) { ParseLine(line, cursor); };
        for (;;) {
            const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file.get());
            if (!lines.Feed(std::string_view(buffer.data(), got), onLine)) {
                lines.Finish(onLine);
                return;
            }
            if (got < buffer.size()) {
                // A read error cuts the line it hit short: only whole lines before it count.
                if (!std::ferror(file.get())) {
                    lines.Finish(onLine);
                }
                return;
            }
        }
    } catch (const std::exception&) {
        // Out of memory: keep what was stored.
    }
}

void ConfigFile::LoadText(std::string_view bytes) {
    sections_.clear();
    try {
        TextModeLines lines;
        Cursor cursor;
        const auto onLine = [&](std::string& line) { ParseLine(line, cursor); };
        lines.Feed(bytes, onLine);
        lines.Finish(onLine);
    } catch (const std::exception&) {
        // Out of memory: keep what was stored.
    }
}

void ConfigFile::ParseLine(std::string& line, Cursor& cursor) {
    // Only a line with a comment is trimmed here, so " [Settings]" is a key, not a header.
    const std::size_t semicolon = line.find(';');
    if (semicolon != std::string::npos) {
        line.erase(semicolon);
        Trim(line);
    }
    if (line.empty()) {
        return;
    }
    // A lone CR is removed only after the emptiness test: a line of one CR is a key line.
    if (line.back() == '\r') {
        line.pop_back();
    }
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
        cursor.name.assign(line, 1, line.size() - 2);
        cursor.section = nullptr;
        return;
    }
    const std::size_t equals = line.find('=');
    std::string key = line.substr(0, equals);
    std::string value = equals == std::string::npos ? std::string() : line.substr(equals + 1);
    if (cursor.section == nullptr) {
        cursor.section = &sections_[cursor.name];
    }
    // First wins, also across repeated headers of one section.
    cursor.section->try_emplace(std::move(Trim(key)), std::move(Trim(value)));
}

std::string& ConfigFile::Value(const std::string& section, const std::string& key) {
    return sections_[section][key];
}

std::size_t ConfigFile::KeyCount(const std::string& section) {
    return sections_[section].size();
}

std::string& ConfigFile::Trim(std::string& text) {
    const std::size_t last = text.find_last_not_of(' ');
    if (last == std::string::npos) {
        text.clear();
        return text;
    }
    text.erase(last + 1);
    text.erase(0, text.find_first_not_of(' '));
    return text;
}

bool ConfigFile::IsTrue(const std::string& value) {
    // ASCII only: the host's locale must not decide what "true" means. OR-ing 0x20 lowers a
    // letter and maps no other byte onto these four.
    constexpr char kTrue[] = "true";
    if (value.size() != 4) {
        return false;
    }
    for (std::size_t i = 0; i < 4; ++i) {
        if ((value[i] | 0x20) != kTrue[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace velmora
