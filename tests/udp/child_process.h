#pragma once

#include <string>
#include <vector>

namespace velmora::udp::test {

// Runs a program with these arguments (the first is the program's path), with the test's own
// standard streams, and waits for it. Its exit status, or -1 when it could not be started. One
// implementation per OS; no shell is involved, so no argument needs quoting for one.
int RunProgram(const std::vector<std::string>& arguments);

}  // namespace velmora::udp::test
