#include "tracking/trace_recorder.h"

#include <cstdio>

#include "platform/platform.h"
#include "tracking/shared_head.h"

namespace velmora {
namespace {

// Several seconds of rows (about 30 bytes each, at most 64), so that the buffer never fills between
// two writes; half of it full makes a write due at once.
constexpr std::size_t kBufferBytes = 16 * 1024;
constexpr std::size_t kLongestName = 200;
constexpr char kHeader[] = "time_s,yaw_raw,pitch_raw,roll_raw\n";
constexpr char kCapNote[] = "# the recording stopped here: the file reached its size cap\n";
// What the cap keeps free for the note, and the longest line Append is given.
constexpr std::uint64_t kNoteRoom = sizeof kCapNote;
constexpr std::size_t kLongestLine = kLongestName + 16;

// Digits written by hand: printf's would follow the locale the game may have set.
char* AppendUnsigned(char* out, std::uint64_t value, int minimumDigits = 1) {
    char digits[20];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0 || count < minimumDigits);
    while (count > 0) {
        *out++ = digits[--count];
    }
    return out;
}

char* AppendSigned(char* out, std::int32_t value) {
    const auto wide = static_cast<std::int64_t>(value);
    if (wide < 0) {
        *out++ = '-';
    }
    return AppendUnsigned(out, static_cast<std::uint64_t>(wide < 0 ? -wide : wide));
}

}  // namespace

TraceRecorder::TraceRecorder(std::uint64_t sizeCap) : sizeCap_(sizeCap) {}

TraceRecorder::~TraceRecorder() {
    Close();
}

bool TraceRecorder::BeginIn(const std::string& folder) {
    const platform::LocalTime now = platform::LocalTimeNow();
    char stem[64];
    std::snprintf(stem, sizeof stem, "Velmora-trace-%04d-%02d-%02d-%02d-%02d-%02d", now.year,
                  now.month, now.day, now.hour, now.minute, now.second);
    // A second recording within the same second (the switch turned off and on, or a restart)
    // must not overwrite the first.
    constexpr int kTries = 100;
    for (int attempt = 1; attempt <= kTries; ++attempt) {
        char name[80];
        if (attempt == 1) {
            std::snprintf(name, sizeof name, "%s.csv", stem);
        } else {
            std::snprintf(name, sizeof name, "%s-%d.csv", stem, attempt);
        }
        const platform::NewFile::Created created = Create(folder + name);
        if (created != platform::NewFile::Created::Exists) {
            return created == platform::NewFile::Created::Yes;
        }
    }
    state_ = State::Stopped;
    return false;
}

bool TraceRecorder::Begin(const std::string& path) {
    return Create(path) == platform::NewFile::Created::Yes;
}

platform::NewFile::Created TraceRecorder::Create(const std::string& path) {
    Close();
    const platform::NewFile::Created created = file_.Create(path.c_str());
    if (created != platform::NewFile::Created::Yes) {
        state_ = State::Stopped;
        return created;
    }
    if (!buffer_) {
        buffer_ = std::make_unique<char[]>(kBufferBytes);
    }
    vehicleName_.reserve(kLongestName + 1);
    used_ = 0;
    written_ = 0;
    anyRow_ = false;
    vehicleSeen_ = 0;
    state_ = State::Recording;
    Append(kHeader);
    return created;
}

void TraceRecorder::FollowVehicle(const SharedHead& head) {
    if (state_ != State::Recording || !head.VehicleSince(vehicleSeen_, vehicleName_)) {
        return;
    }
    char line[kLongestLine];
    char* out = line;
    for (char c : std::string_view("# vehicle: ")) {
        *out++ = c;
    }
    for (std::size_t i = 0; i < vehicleName_.size() && i < kLongestName; ++i) {
        // A line break in a name would end the comment and make the rest a broken row.
        const char c = vehicleName_[i];
        *out++ = c == '\n' || c == '\r' ? ' ' : c;
    }
    *out++ = '\n';
    Append({line, static_cast<std::size_t>(out - line)});
}

void TraceRecorder::Add(std::uint64_t microseconds, const Reading& reading) {
    if (state_ != State::Recording) {
        return;
    }
    if (!anyRow_) {
        firstMicroseconds_ = microseconds;
        anyRow_ = true;
    }
    // Seconds to a tenth of a millisecond, finer than the clock of any tracker.
    const std::uint64_t tenths =
        (microseconds >= firstMicroseconds_ ? microseconds - firstMicroseconds_ : 0) / 100;
    char row[64];
    char* out = AppendUnsigned(row, tenths / 10000);
    *out++ = '.';
    out = AppendUnsigned(out, tenths % 10000, 4);
    for (std::int32_t value : {reading.yaw, reading.pitch, reading.roll}) {
        *out++ = ',';
        out = AppendSigned(out, value);
    }
    *out++ = '\n';
    Append({row, static_cast<std::size_t>(out - row)});
}

bool TraceRecorder::WriteDue() const {
    return file_.IsOpen() && used_ != 0 &&
           (used_ >= kBufferBytes / 2 || state_ != State::Recording);
}

void TraceRecorder::Write() {
    if (!file_.IsOpen() || used_ == 0) {
        return;
    }
    const bool failed = !file_.Write(buffer_.get(), used_);
    written_ += used_;
    used_ = 0;
    if (failed) {
        state_ = State::Stopped;
    }
}

void TraceRecorder::Close() {
    Write();
    file_.Close();
}

void TraceRecorder::End() {
    Close();
    state_ = State::Idle;
}

void TraceRecorder::Append(std::string_view text) {
    if (state_ != State::Recording) {
        return;
    }
    if (used_ + text.size() + kNoteRoom > kBufferBytes) {
        // Cannot happen while the polling thread writes whenever a write is due; were it to, a row
        // dropped would break the trace, so the recording ends here instead.
        state_ = State::Stopped;
        return;
    }
    if (written_ + used_ + text.size() + kNoteRoom > sizeCap_) {
        const std::string_view note(kCapNote, sizeof kCapNote - 1);
        if (written_ + used_ + note.size() <= sizeCap_) {
            note.copy(buffer_.get() + used_, note.size());
            used_ += note.size();
        }
        state_ = State::Stopped;
        return;
    }
    text.copy(buffer_.get() + used_, text.size());
    used_ += text.size();
}

}  // namespace velmora
