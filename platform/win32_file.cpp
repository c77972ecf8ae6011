#include <windows.h>

#include "platform/platform.h"
#include "platform/win32_path.h"

namespace velmora::platform {
namespace {

// A settings file takes one read.
constexpr DWORD kReadChunk = 64 * 1024;
// Another program may hold the file open in any way meanwhile: an editor, a sync tool.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE ToHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() { CloseHandle(handle_); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

std::optional<FileBytes> ReadWholeFile(const std::string& path, std::size_t limit) {
    const HANDLE opened = CreateFileW(WidePath(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    const Handle file(opened);
    FileBytes content;
    for (;;) {
        const std::size_t had = content.bytes.size();
        // One byte past the limit tells a file of exactly `limit` bytes from a longer one.
        const auto want =
            static_cast<DWORD>(limit - had < kReadChunk ? limit - had + 1 : kReadChunk);
        content.bytes.resize(had + want);
        DWORD got = 0;
        const bool read = ReadFile(file.Get(), content.bytes.data() + had, want, &got, nullptr);
        content.bytes.resize(had + got);
        if (!read || got == 0) {
            content.cutShort = !read;
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
    HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    // INVALID_HANDLE_VALUE is -1, the same as kNone.
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? Created::Exists
                                                                           : Created::Failed;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    return Created::Yes;
}

std::size_t NewFile::Write(const void* bytes, std::size_t size) {
    const auto* next = static_cast<const char*>(bytes);
    std::size_t done = 0;
    while (done < size && IsOpen()) {
        DWORD put = 0;
        const std::size_t left = size - done;
        const auto chunk = static_cast<DWORD>(left < 0x40000000u ? left : 0x40000000u);
        if (!WriteFile(ToHandle(handle_), next + done, chunk, &put, nullptr) || put == 0) {
            break;
        }
        done += put;
    }
    return done;
}

bool NewFile::CutBack(std::uint64_t length) {
    LARGE_INTEGER offset;
    offset.QuadPart = static_cast<LONGLONG>(length);
    return IsOpen() && SetFilePointerEx(ToHandle(handle_), offset, nullptr, FILE_BEGIN) &&
           SetEndOfFile(ToHandle(handle_));
}

void NewFile::Close() {
    if (IsOpen()) {
        CloseHandle(ToHandle(handle_));
        handle_ = kNone;
    }
}

}  // namespace velmora::platform
