#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/platform.h"

namespace velmora::platform {
namespace {

// A settings file takes one read.
constexpr std::size_t kReadChunk = 64 * 1024;

class Descriptor {
public:
    explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
    ~Descriptor() { close(descriptor_); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return descriptor_; }

private:
    int descriptor_;
};

}  // namespace

std::optional<FileBytes> ReadWholeFile(const std::string& path, std::size_t limit) {
    const int opened = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (opened < 0) {
        return std::nullopt;
    }
    const Descriptor file(opened);
    FileBytes content;
    for (;;) {
        const std::size_t had = content.bytes.size();
        // One byte past the limit tells a file of exactly `limit` bytes from a longer one.
        const std::size_t want = limit - had < kReadChunk ? limit - had + 1 : kReadChunk;
        content.bytes.resize(had + want);
        const ssize_t got = read(file.Get(), content.bytes.data() + had, want);
        content.bytes.resize(had + static_cast<std::size_t>(got > 0 ? got : 0));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            content.cutShort = got < 0;
            return content;
        }
        if (content.bytes.size() > limit) {
            content.bytes.resize(limit);
            content.cutShort = true;
            return content;
        }
    }
}

NewFile::~NewFile() {
    Close();
}

NewFile::Created NewFile::Create(const std::string& path) {
    Close();
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (file < 0) {
        return errno == EEXIST ? Created::Exists : Created::Failed;
    }
    handle_ = file;
    return Created::Yes;
}

std::size_t NewFile::Write(const void* bytes, std::size_t size) {
    const auto* next = static_cast<const char*>(bytes);
    std::size_t done = 0;
    while (done < size && IsOpen()) {
        const ssize_t put = write(static_cast<int>(handle_), next + done, size - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            break;
        }
        done += static_cast<std::size_t>(put);
    }
    return done;
}

bool NewFile::CutBack(std::uint64_t length) {
    const auto offset = static_cast<off_t>(length);
    return IsOpen() && ftruncate(static_cast<int>(handle_), offset) == 0 &&
           lseek(static_cast<int>(handle_), offset, SEEK_SET) == offset;
}

void NewFile::Close() {
    if (IsOpen()) {
        close(static_cast<int>(handle_));
        handle_ = kNone;
    }
}

}  // namespace velmora::platform
