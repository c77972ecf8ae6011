#pragma once

namespace velmora::host {

// Makes standard output interpret ANSI escape sequences; false when it cannot (an old Windows
// console), in which case the host falls back to plain lines.
bool EnableAnsiOutput();

}  // namespace velmora::host
