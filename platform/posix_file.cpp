#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/platform.h"

namespace velmora::platform {

NewFile::~NewFile() {
    Close();
}

NewFile::Created NewFile::Create(const char* path) {
    Close();
    const int file = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (file < 0) {
        return errno == EEXIST ? Created::Exists : Created::Failed;
    }
    handle_ = file;
    return Created::Yes;
}

bool NewFile::Write(const void* bytes, std::size_t size) {
    const auto* next = static_cast<const char*>(bytes);
    while (size > 0 && IsOpen()) {
        const ssize_t put = write(static_cast<int>(handle_), next, size);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        next += put;
        size -= static_cast<std::size_t>(put);
    }
    return size == 0;
}

void NewFile::Close() {
    if (IsOpen()) {
        close(static_cast<int>(handle_));
        handle_ = kNone;
    }
}

}  // namespace velmora::platform
