#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace velmora::udp::test {

// A fresh directory under the system's temporary one, removed with this object; unique across
// the test programs that ctest runs side by side.
//
// Windows cannot remove the file of a library that is still loaded, and the bridge stays loaded
// until its program ends: such directories are swept by a later run once they are a day old, an
// age no test run reaches.
class ScratchDirectory {
public:
    ScratchDirectory() {
        static std::atomic<int> counter{0};
        static const unsigned process = std::random_device{}();
        const auto temporary = std::filesystem::temp_directory_path();
        SweepOldDirectories(temporary);
        path_ = temporary / ("velmora-udp-" + std::to_string(process) + "-" +
                             std::to_string(counter.fetch_add(1)));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    static void SweepOldDirectories(const std::filesystem::path& temporary) {
        std::error_code error;
        const auto dayAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24);
        for (const auto& entry : std::filesystem::directory_iterator(temporary, error)) {
            std::error_code ignored;
            if (entry.path().filename().string().rfind("velmora-udp-", 0) == 0 &&
                entry.is_directory(ignored) && entry.last_write_time(ignored) < dayAgo) {
                std::filesystem::remove_all(entry.path(), ignored);
            }
        }
    }

    std::filesystem::path path_;
};

}  // namespace velmora::udp::test
