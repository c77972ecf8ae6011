#pragma once

namespace velmora::check {

// A player may start the check by double-clicking it, or by dropping Velmora.cfg on it: Windows
// then gives it a console window of its own, which closes the moment the program ends. This
// waits for Enter in that case only, so that the report can be read. One implementation per OS.
void HoldOwnConsoleWindow();

}  // namespace velmora::check
