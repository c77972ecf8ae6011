#include "bridge_copy.h"

#include <fstream>
#include <stdexcept>

#include "loopback_socket.h"

extern "C" {
#include "host_os.h"
}

namespace velmora::udp::test {

std::filesystem::path ProgramDirectory() {
    char directory[1024];
    if (!HostProgramDirectory(directory, sizeof directory)) {
        throw std::runtime_error("no program directory");
    }
    return std::filesystem::path(directory);
}

BridgeCopy::BridgeCopy(const std::string& settings) : port_(FindFreePort()) {
    if (port_ == 0) {
        throw std::runtime_error("no free port on 127.0.0.1");
    }
    std::filesystem::copy_file(ProgramDirectory() / "udp-driver" / HostDriverFileName(), Library());
    WriteSettings(settings);
}

void BridgeCopy::WriteSettings(const std::string& settings) {
    std::ofstream(Directory() / "IWEARDRV.cfg", std::ios::binary) << "port = " << port_ << "\n"
                                                                  << settings;
}

std::filesystem::path BridgeCopy::Library() const {
    return Directory() / HostDriverFileName();
}

}  // namespace velmora::udp::test
