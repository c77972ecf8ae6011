#include <windows.h>

#include "platform/platform.h"

namespace velmora::platform {
namespace {

HANDLE ToHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

NewFile::~NewFile() {
    Close();
}

NewFile::Created NewFile::Create(const char* path) {
    Close();
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
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

bool NewFile::Write(const void* bytes, std::size_t size) {
    const auto* next = static_cast<const char*>(bytes);
    while (size > 0 && IsOpen()) {
        DWORD put = 0;
        const auto chunk = static_cast<DWORD>(size < 0x40000000u ? size : 0x40000000u);
        if (!WriteFile(ToHandle(handle_), next, chunk, &put, nullptr) || put == 0) {
            return false;
        }
        next += put;
        size -= put;
    }
    return size == 0;
}

void NewFile::Close() {
    if (IsOpen()) {
        CloseHandle(ToHandle(handle_));
        handle_ = kNone;
    }
}

}  // namespace velmora::platform
