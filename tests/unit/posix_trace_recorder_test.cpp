// Where a recording stops: at its size cap, and at a write cut short as on a full disk, which only
// POSIX lets a test bring about (a limit on the size of the files a process writes).

#include <sys/resource.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "tracking/trace_recorder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// A recording of rows 0, 1, ... taken 10 ms apart, as long as it can be within `size` with
// `ending` after it: written by hand.
std::string WholeRows(std::size_t size, std::string_view ending) {
    std::string text = "time_s,yaw_raw,pitch_raw,roll_raw\r\n";
    for (int i = 0;; ++i) {
        char row[64];
        const auto length = static_cast<std::size_t>(std::snprintf(
            row, sizeof row, "%d.%04d,%d,-3100,32767\r\n", i / 100, i % 100 * 100, i));
        if (text.size() + length + ending.size() > size) {
            return text + std::string(ending);
        }
        text.append(row, length);
    }
}

// Under the file-size limit the first write (the header and a row) fits and the second, a
// second's rows, is cut short, with no room left for a note. A row cut in its last field would
// read as a whole one with a wrong value.
TEST(TraceRecorder, AStoppedRecordingEndsOnAWholeRowAndSaysWhyWhereThereIsRoom) {
    const struct {
        std::uint64_t sizeCap;
        rlim_t fileSizeLimit;
        std::string_view ending;
    } stops[] = {
        {4096, RLIM_INFINITY, "# the recording stopped here: the file reached its size cap\r\n"},
        {TraceRecorder::kSizeCap, 1000, ""},
    };
    for (const auto& stop : stops) {
        const fs::path folder =
            fs::temp_directory_path() / ("velmora-stops-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder);
        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        const rlimit limited{stop.fileSizeLimit, before.rlim_max};
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);  // a write past it fails instead
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        {
            TraceRecorder recorder((folder / "").string(), stop.sizeCap);
            ThreadContext context;
            for (int i = 0; i < 300; ++i) {
                const Reading reading{i, -3100, 32767};
                recorder.Follow(context, true, i * std::uint64_t{10000}, &reading, "");
            }
        }
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, previous);

        std::ifstream stream(fs::directory_iterator(folder)->path(), std::ios::binary);
        const std::string text(std::istreambuf_iterator<char>(stream), {});
        fs::remove_all(folder);
        EXPECT_EQ(text, WholeRows(std::min<std::uint64_t>(stop.sizeCap, stop.fileSizeLimit),
                                  stop.ending));
    }
}

}  // namespace
}  // namespace velmora
