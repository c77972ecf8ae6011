#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "drivers/udp/datagram_socket.h"

extern "C" {
#include "common/host_os.h"
}

namespace velmora::udp::test {

inline constexpr std::uint32_t kLoopback = 0x7F000001;

// The directory of this test program, where the build puts every program and the plug-in.
inline std::filesystem::path ProgramDirectory() {
    char directory[1024] = "";
    HostProgramDirectory(directory, sizeof directory);
    return directory;
}

// The bridge as built, copied with settings of its own into bin/udp-copies/`name`/, emptied first
// (Windows cannot remove a loaded library, and the bridge stays loaded until its program ends). It
// reads its settings from beside itself; its port was free a moment ago.
struct BridgeCopy {
    BridgeCopy(const std::string& name, const std::string& settings)
        : directory(ProgramDirectory() / "udp-copies" / name),
          library(directory / HostDriverFileName()) {
        DatagramSocket free;
        if (free.Open(kLoopback, 0) != DatagramSocket::Opened::Yes) {
            throw std::runtime_error("no free port on 127.0.0.1");
        }
        port = free.Port();
        std::filesystem::remove_all(directory);
        std::filesystem::create_directories(directory);
        std::filesystem::copy_file(ProgramDirectory() / "udp-driver" / HostDriverFileName(),
                                   library);
        std::ofstream(directory / "IWEARDRV.cfg", std::ios::binary) << "port = " << port << "\n"
                                                                    << settings;
    }

    const std::filesystem::path directory;
    const std::filesystem::path library;
    std::uint16_t port = 0;
};

}  // namespace velmora::udp::test
