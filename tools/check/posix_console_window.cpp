#include "console_window.h"

namespace velmora::check {

void HoldOwnConsoleWindow() {
    // A terminal outlives the programs run in it.
}

}  // namespace velmora::check
