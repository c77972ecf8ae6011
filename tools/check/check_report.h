#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "check/bridge_check.h"
#include "check/settings_check.h"

namespace velmora::check {

// `text` in lines of at most 79 columns, for a console window: the first after `first`, the
// others indented by `indent` spaces. A word longer than a line stays whole.
void PrintWrapped(std::FILE* out, const std::string& first, std::size_t indent,
                  std::string_view text);

// The reports as a player reads them in a console window, wrapped to 79 columns.
void PrintSettingsReport(std::FILE* out, const std::string& path, const SettingsReport& report);
void PrintBridgeReport(std::FILE* out, const std::string& path, const BridgeReport& report);

}  // namespace velmora::check
