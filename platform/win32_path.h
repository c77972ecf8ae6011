#pragma once

// Paths between Velmora's UTF-8 and the wide calls of Win32; for the win32_*.cpp files only.

#include <string>

namespace velmora::platform {

// The path as the wide file calls take it: UTF-16, and an absolute path too long for the
// 260-character limit in its "\\?\" form.
std::wstring WidePath(const std::string& path);

}  // namespace velmora::platform
