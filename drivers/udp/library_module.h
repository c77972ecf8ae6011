#pragma once

#include <filesystem>

namespace velmora::udp {

// The directory of the library this code is linked into (the driver's, for IWEARDRV.cfg); empty
// when the system cannot say. One implementation per OS.
std::filesystem::path LibraryDirectory();

// Keeps the library loaded until the process ends. The plug-in unloads the driver when it stops,
// and it stops without closing the tracker when its last read failed (a sender that went
// quiet). An unloaded driver could never close its socket, and the port would stay taken for
// every later load: kept loaded, the next load finds the same driver with its socket still open.
void KeepLibraryLoaded();

}  // namespace velmora::udp
