#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "scratch_directory.h"

namespace velmora::udp::test {

// The bridge as built (bin/udp-driver/ beside the test programs), copied into a fresh directory
// with a settings file of the test's own, on a port of its own. Only a copy is ever loaded: the
// settings file is read from beside the library.
class BridgeCopy {
public:
    // `settings` is appended to a line naming the port.
    explicit BridgeCopy(const std::string& settings = "");

    void WriteSettings(const std::string& settings);
    std::uint16_t Port() const { return port_; }
    std::filesystem::path Library() const;
    const std::filesystem::path& Directory() const { return directory_.Path(); }

private:
    ScratchDirectory directory_;
    std::uint16_t port_;
};

// The directory of this test program, where the build puts every program and the plug-in.
std::filesystem::path ProgramDirectory();

}  // namespace velmora::udp::test
