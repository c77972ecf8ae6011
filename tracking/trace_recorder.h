#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "tracking/reading.h"
#include "tracking/worker_thread.h"

namespace velmora {

// Records the readings the polling thread takes from the tracker into a trace that velmora-tune
// reads: the header "time_s,yaw_raw,pitch_raw,roll_raw", then one row per reading in raw tracker
// units, the time in seconds from the first row, and a comment line "# vehicle: <name>" wherever
// the player's vehicle changes, so that a trace can be cut per car. Raw units keep the readings
// exact, and the rows are written with integer arithmetic only: a game that sets a locale with a
// decimal comma must not change the file. Lines end with CR LF, as every text file a player gets
// does (older Notepads show a file of bare LFs as one line).
//
// Only the polling thread uses a recorder, through Follow once per poll. Nothing is allocated and
// no file is touched while the switch is off, so a recorder that never begins costs nothing. Rows
// go into a buffer reserved when a file begins and reach the file about once a second: a crash
// loses at most what was buffered. Every file call runs as file work of the thread's context,
// where Stop gives the thread up without ending it: a disk or a network share that hangs holds up
// neither Stop nor the game, and no thread dies inside a file call.
//
// A recording stops at the size cap (a last comment line says so) and at a write that fails (a
// full disk, a quota, a file-size limit): the file is cut back to its last whole row, and a last
// comment line says why where there is room. It takes no more rows until the switch goes off and
// on again. Tracking never depends on it.
class TraceRecorder {
public:
    // About three hours at 100 readings a second: more than an evening of tuning, and a switch
    // left on by mistake fills no disk.
    static constexpr std::uint64_t kSizeCap = 32u * 1024u * 1024u;

    // folder: where files begin, ending with its separator; empty: no recording ever begins.
    explicit TraceRecorder(std::string folder, std::uint64_t sizeCap = kSizeCap);
    // Writes what is buffered and closes the file.
    ~TraceRecorder();
    TraceRecorder(const TraceRecorder&) = delete;
    TraceRecorder& operator=(const TraceRecorder&) = delete;

    // One poll, at `microseconds` on a monotonic clock. While `on`: with a reading (null when the
    // poll took none) and no file yet, begins a new file named by the local date and time,
    // "Velmora-trace-2026-12-07-21-14-03.csv" ("-2", "-3", ... before ".csv" when that name is
    // taken); marks `vehicle` when it differs from the last mark; takes the reading; writes once a
    // second and when the buffer fills. Once no longer `on`: writes the rest and closes, and the
    // next `on` begins a new file. Allocates nothing but when a file begins.
    // False when the thread was given up in a file call: return at once.
    bool Follow(ThreadContext& context, bool on, std::uint64_t microseconds, const Reading* reading,
                std::string_view vehicle);
    // At the thread's end: writes the rest and closes. False as for Follow.
    bool Finish(ThreadContext& context);

private:
    enum class State { Idle, Recording, Stopped };

    bool Begin(ThreadContext& context);
    void Create();
    void MarkVehicle(std::string_view vehicle);
    void Add(std::uint64_t microseconds, const Reading& reading);
    // Appends when the cap leaves room for it and the closing note; stops the recording otherwise.
    void Append(std::string_view text);
    bool WriteDue(std::uint64_t microseconds) const;
    // What is buffered, as whole rows or not at all; a failed write stops the recording.
    void Write();
    void Close();

    const std::string folder_;
    const std::uint64_t sizeCap_;
    State state_ = State::Idle;
    platform::NewFile file_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    std::uint64_t written_ = 0;
    std::uint64_t firstMicroseconds_ = 0;
    std::uint64_t lastWrite_ = 0;
    bool anyRow_ = false;
    bool anyWrite_ = false;
    std::string vehicleMarked_;
};

}  // namespace velmora
