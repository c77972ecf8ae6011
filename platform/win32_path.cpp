#include "platform/win32_path.h"

#include <windows.h>

#include "platform/platform.h"

namespace velmora::platform {
namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";
// The most a path of the wide calls holds.
constexpr DWORD kLongestPath = 32768;

std::wstring Wide(const std::string& text, UINT codePage, DWORD flags) {
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (length > 0) {
        MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length);
    }
    return wide;
}

// The absolute form of a path, as Windows resolves it against the current folder ('/' and "..").
std::wstring FullPath(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0 || length > kLongestPath) {
            return {};
        }
        // Too small a buffer: the length returned counts the terminating null.
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

std::string Utf8(std::wstring_view text) {
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    if (length > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    }
    return narrow;
}

}  // namespace

std::wstring WidePath(const std::string& path) {
    // Strict UTF-8 first: a text in the ANSI code page with a letter beyond ASCII is hardly ever
    // valid UTF-8.
    std::wstring wide = Wide(path, CP_UTF8, MB_ERR_INVALID_CHARS);
    if (wide.empty() && !path.empty()) {
        wide = Wide(path, CP_ACP, 0);
    }
    // The ANSI limit holds for the plain form; the "\\?\" form goes to the file system as it is,
    // so it takes only an absolute path with backslashes and no "." or "..".
    if (wide.size() < MAX_PATH || wide.starts_with(kLongPrefix)) {
        return wide;
    }
    const std::wstring full = FullPath(wide);
    if (full.starts_with(L"\\\\")) {
        return std::wstring(kLongUncPrefix) + full.substr(2);
    }
    return full.empty() ? wide : std::wstring(kLongPrefix) + full;
}

bool ModuleDirectory(const void* address, std::string& directory) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<LPCWSTR>(address), &module)) {
        return false;
    }
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return false;
        }
        // A full buffer means a truncated path (and, before Vista, an unterminated one).
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= kLongestPath) {
            return false;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t cut = path.find_last_of(L"\\/");
    directory = cut == std::wstring::npos ? std::string() : Utf8(path.substr(0, cut));
    if (directory.empty() || directory.back() != '\\') {
        directory += '\\';
    }
    return true;
}

}  // namespace velmora::platform
