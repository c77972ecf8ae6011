#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "tracking/reading.h"

namespace velmora {

class SharedHead;

// Writes the readings the polling thread takes from the tracker into a trace that velmora-tune
// reads: the header "time_s,yaw_raw,pitch_raw,roll_raw", then one row per reading in raw tracker
// units, the time in seconds from the first row, and a comment line "# vehicle: <name>" wherever
// the player's vehicle changes, so that a trace can be cut per car. Raw units keep the readings
// exact, and the rows are written with integer arithmetic only: a game that sets a locale with a
// decimal comma must not change the file.
//
// Only the polling thread uses a recorder. Nothing is allocated and no file is touched before
// Begin, so a recorder that never begins costs nothing. Rows go into a buffer reserved by Begin
// and reach the file only in Write, which the polling thread calls about once a second outside
// the lock: a crash loses at most what was buffered.
//
// A recording stops at the size cap (a last comment line says so) and when a write fails (a full
// disk, a folder the game may not write to): it takes no more rows until End. Tracking never
// depends on it.
class TraceRecorder {
public:
    // About three hours at 100 readings a second: more than an evening of tuning, and a switch
    // left on by mistake fills no disk.
    static constexpr std::uint64_t kSizeCap = 32u * 1024u * 1024u;

    explicit TraceRecorder(std::uint64_t sizeCap = kSizeCap);
    // Writes what is buffered and closes the file.
    ~TraceRecorder();
    TraceRecorder(const TraceRecorder&) = delete;
    TraceRecorder& operator=(const TraceRecorder&) = delete;

    // Starts a new file in `folder` (ending with its separator) named by the local date and time,
    // "Velmora-trace-2026-12-07-21-14-03.csv", with "-2", "-3", ... before ".csv" when that name is
    // taken. False when no file can be made there: the recorder is then stopped.
    bool BeginIn(const std::string& folder);
    // The same with a file named by the caller.
    bool Begin(const std::string& path);

    // Marks the player's vehicle before the next row when it has changed since the last mark (or
    // since Begin). Allocates only for a name longer than any game gives.
    void FollowVehicle(const SharedHead& head);
    // One reading taken at `microseconds` on a monotonic clock. Allocates nothing.
    void Add(std::uint64_t microseconds, const Reading& reading);

    // True when the buffer should be written now, whatever the time: it is filling up, or the
    // recording has stopped and its last rows wait.
    bool WriteDue() const;
    // Writes and flushes what is buffered. A failed write stops the recording.
    void Write();
    // Writes what is buffered and closes the file; a stopped recorder stays stopped.
    void Close();
    // Closes, and lets the next Begin start a new file.
    void End();

    // Neither recording nor stopped: Begin may start a file.
    bool Idle() const { return state_ == State::Idle; }
    // Begin failed, or the cap or a failed write stopped the recording: no rows until End.
    bool Stopped() const { return state_ == State::Stopped; }
    // A file is open (rows taken, or the last ones waiting to be written).
    bool Open() const { return file_.IsOpen(); }

private:
    enum class State { Idle, Recording, Stopped };

    // Begin's work; a file that is there already is left alone.
    platform::NewFile::Created Create(const std::string& path);
    // Appends when the cap leaves room for it and the closing note; stops the recording otherwise.
    void Append(std::string_view text);

    const std::uint64_t sizeCap_;
    State state_ = State::Idle;
    platform::NewFile file_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    std::uint64_t written_ = 0;
    std::uint64_t firstMicroseconds_ = 0;
    bool anyRow_ = false;
    std::uint32_t vehicleSeen_ = 0;
    std::string vehicleName_;
};

}  // namespace velmora
