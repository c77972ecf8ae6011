#pragma once

#include <cstdio>
#include <string>

#include "bridge_check.h"
#include "settings_check.h"

namespace velmora::check {

// The reports as a player reads them in a console window, wrapped to 79 columns.
void PrintSettingsReport(std::FILE* out, const std::string& path, const SettingsReport& report);
void PrintBridgeReport(std::FILE* out, const std::string& path, const BridgeReport& report);

}  // namespace velmora::check
