#include "terminal.h"

namespace velmora::host {

// Every terminal a POSIX system offers understands the few sequences the live view uses.
bool EnableAnsiOutput() {
    return true;
}

}  // namespace velmora::host
