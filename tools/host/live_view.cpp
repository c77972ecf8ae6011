#include "host/live_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "config/shown_name.h"

extern "C" {
#include "common/host_os.h"
}

namespace velmora::host {
namespace {

// Full scale of each control's bar: about its value for a 90-degree turn, a 45-degree nod or a
// 45-degree tilt of the head, which is as far as a driver looks.
constexpr std::array<float, kControlNames.size()> kFullScale = {2.1f, 2.1f,  1.875f, 1.875f, 1.0f,
                                                                1.0f, 1.25f, 1.25f,  1.0f};

// Rows of the fixed block; the scrolling region begins below them.
constexpr int kBlockRows = 17;
constexpr int kBarWidth = 24;
// The block must fit an 80x24 terminal: a row that wrapped would push the block out of place.
constexpr std::size_t kWidth = 79;

// A control's last answer: the value, or "-" when unanswered.
std::string LastAnswer(const ControlTally& tally) {
    if (!tally.lastAnswered) {
        return "-";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", tally.lastValue);
    return text;
}

// "answering" or "silent", with the host's Disable named when it is in force.
std::string PluginState(const LiveStatus& status) {
    std::string state = status.answering ? "answering" : "silent";
    if (!status.hostEnabled) {
        state += " (host: Disable)";
    }
    return state;
}

std::string Bar(const ControlTally& tally, float fullScale) {
    double fraction = 0.0;
    if (tally.lastAnswered && std::isfinite(tally.lastValue)) {
        fraction = std::clamp(static_cast<double>(tally.lastValue) / fullScale, 0.0, 1.0);
    }
    const int filled = static_cast<int>(std::lround(fraction * kBarWidth));
    std::string bar(1, '[');
    bar.append(filled, '#').append(kBarWidth - filled, ' ').push_back(']');
    return bar;
}

// `text` cut to kWidth visible characters; SGR sequences (ESC [ ... m) take no room.
std::string FitWidth(const std::string& text) {
    std::size_t visible = 0;
    bool inEscape = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\x1b') {
            inEscape = true;
        } else if (inEscape) {
            inEscape = text[i] != 'm';
        } else if (++visible > kWidth) {
            return text.substr(0, i) + "\x1b[0m";
        }
    }
    return text;
}

void AddRow(std::string& screen, int row, const std::string& text) {
    char move[16];
    std::snprintf(move, sizeof move, "\x1b[%d;1H", row);
    screen += move;
    screen += FitWidth(text);
    screen += "\x1b[K";
}

}  // namespace

std::string ShownVehicle(const std::string& name) {
    const std::string hidden = HiddenInName(name);
    return QuotedName(name) + (hidden.empty() ? "" : " (" + hidden + ")");
}

LiveView::LiveView(std::string title, bool plain)
    : title_(std::move(title)),
      terminal_(!plain && HostStdoutIsTerminal() && HostEnableAnsiOutput()) {
    if (!terminal_) {
        return;
    }
    char setup[64];
    // Clear, hide the cursor, confine scrolling to the rows below the block, start there.
    std::snprintf(setup, sizeof setup, "\x1b[2J\x1b[?25l\x1b[%d;r\x1b[%d;1H", kBlockRows + 1,
                  kBlockRows + 1);
    std::fputs(setup, stdout);
    std::fflush(stdout);
}

void LiveView::Show(const LiveStatus& status) {
    if (terminal_) {
        ShowBlock(status);
    } else {
        ShowLine(status);
    }
}

void LiveView::ShowBlock(const LiveStatus& status) {
    char text[200];
    std::string screen =
        "\x1b"
        "7";  // keep the cursor where the events scroll
    std::snprintf(text, sizeof text, "\x1b[1mvelmora-host\x1b[0m  %s    %.1f s of %.1f s",
                  title_.c_str(), status.elapsed, status.duration);
    AddRow(screen, 1, text);
    AddRow(screen, 2,
           "  vehicle   " + (status.vehicle.empty() ? "(none)" : ShownVehicle(status.vehicle)));
    AddRow(screen, 3, "  tracker   " + status.trackerFound);
    std::snprintf(text, sizeof text, "            %-8s  %s", status.tracker.c_str(),
                  status.trackerDetail.c_str());
    AddRow(screen, 4, status.tracker == "none" ? "" : text);
    AddRow(screen, 5,
           status.trackerFailures.empty() ? "" : "            failed    " + status.trackerFailures);
    std::snprintf(text, sizeof text, "  plug-in   %-25s  frames/s %5.1f  queries/s %6.0f",
                  PluginState(status).c_str(), status.framesPerSecond, status.queriesPerSecond);
    AddRow(screen, 6, text);
    const RunStatistics& statistics = *status.statistics;
    for (int i = 0; i < static_cast<int>(kControlNames.size()); ++i) {
        const ControlTally& tally = statistics.Tally(i);
        std::snprintf(text, sizeof text, "  %-17s %8s  %s", kControlNames[i],
                      LastAnswer(tally).c_str(), Bar(tally, kFullScale[i]).c_str());
        AddRow(screen, 7 + i, text);
    }
    std::string undriven = "  not driven:";
    for (int i = 0; i < static_cast<int>(kUndrivenControls.size()); ++i) {
        const int index = static_cast<int>(kControlNames.size()) + i;
        undriven += std::string(" ") + kUndrivenControls[i] + " " +
                    std::to_string(statistics.Tally(index).answered);
    }
    AddRow(screen, kBlockRows - 1, undriven + " answers");
    AddRow(screen, kBlockRows, "  -- events " + std::string(kWidth - 13, '-'));
    screen +=
        "\x1b"
        "8";
    std::fputs(screen.c_str(), stdout);
    std::fflush(stdout);
}

void LiveView::ShowLine(const LiveStatus& status) {
    if (status.elapsed < nextLine_) {
        return;
    }
    nextLine_ += 1.0;
    char head[160];
    std::snprintf(head, sizeof head, "[%6.2f s] frames/s %5.1f  queries/s %6.0f  tracker %s  %s",
                  status.elapsed, status.framesPerSecond, status.queriesPerSecond,
                  status.tracker.c_str(), PluginState(status).c_str());
    std::string line = head;
    line += "  vehicle " + QuotedName(status.vehicle) + " |";
    for (int i = 0; i < static_cast<int>(kControlNames.size()); ++i) {
        // "Camera_" is the same on all nine: leave it out to keep the line readable.
        line += std::string(" ") + (kControlNames[i] + 7) + " " +
                LastAnswer(status.statistics->Tally(i));
    }
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void LiveView::Event(double at, const std::string& text) {
    std::printf("[%6.2f s] %s\n", at, text.c_str());
    std::fflush(stdout);
}

void LiveView::Finish() {
    if (!terminal_ || finished_) {
        return;
    }
    finished_ = true;
    // Whole screen scrolls again; the summary follows the last event line.
    std::fputs(
        "\x1b"
        "7\x1b[r\x1b"
        "8\x1b[?25h\n",
        stdout);
    std::fflush(stdout);
}

}  // namespace velmora::host
