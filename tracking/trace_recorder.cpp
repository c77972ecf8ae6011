#include "tracking/trace_recorder.h"

#include <cstdio>

namespace velmora {
namespace {

// Several seconds of rows (about 30 bytes each, at most 64), so that the buffer never fills between
// two writes; half of it full makes a write due at once.
constexpr std::size_t kBufferBytes = 16 * 1024;
constexpr std::uint64_t kWriteInterval = 1000000;
constexpr std::size_t kLongestName = 200;
constexpr char kHeader[] = "time_s,yaw_raw,pitch_raw,roll_raw\r\n";
constexpr std::string_view kCapNote =
    "# the recording stopped here: the file reached its size cap\r\n";
constexpr std::string_view kWriteNote = "# the recording stopped here: a write failed\r\n";
constexpr std::string_view kVehicleMark = "# vehicle: ";
// What the cap keeps free for its note, and the longest line Append is given.
constexpr std::uint64_t kNoteRoom = kCapNote.size();
constexpr std::size_t kLongestLine = kVehicleMark.size() + kLongestName + 2;

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

TraceRecorder::TraceRecorder(std::string folder, std::uint64_t sizeCap)
    : folder_(std::move(folder)), sizeCap_(sizeCap) {}

TraceRecorder::~TraceRecorder() {
    Close();
}

bool TraceRecorder::Follow(ThreadContext& context, bool on, std::uint64_t microseconds,
                           const Reading* reading, std::string_view vehicle) {
    if (!on) {
        return state_ == State::Idle || Finish(context);
    }
    if (state_ == State::Idle && reading != nullptr && !folder_.empty() && !Begin(context)) {
        return false;
    }
    if (state_ == State::Recording) {
        MarkVehicle(vehicle);
        if (reading != nullptr) {
            Add(microseconds, *reading);
        }
    }
    // A stopped recording writes its last rows and closes at once.
    if (!file_.IsOpen() || (state_ == State::Recording && !WriteDue(microseconds))) {
        return true;
    }
    lastWrite_ = microseconds;
    anyWrite_ = true;
    return context.FileWork([&] {
        Write();
        if (state_ != State::Recording) {
            file_.Close();
        }
    });
}

bool TraceRecorder::Finish(ThreadContext& context) {
    if (file_.IsOpen() && !context.FileWork([&] { Close(); })) {
        return false;
    }
    state_ = State::Idle;
    return true;
}

bool TraceRecorder::Begin(ThreadContext& context) {
    if (!buffer_) {
        buffer_ = std::make_unique<char[]>(kBufferBytes);
        vehicleMarked_.reserve(kLongestName);
    }
    return context.FileWork([&] { Create(); });
}

void TraceRecorder::Create() {
    state_ = State::Stopped;
    const platform::LocalTime now = platform::LocalTimeNow();
    char stem[64];
    std::snprintf(stem, sizeof stem, "Velmora-trace-%04d-%02d-%02d-%02d-%02d-%02d", now.year,
                  now.month, now.day, now.hour, now.minute, now.second);
    // A second recording within the same second (the switch turned off and on, or a restart)
    // must not overwrite the first.
    constexpr int kTries = 100;
    platform::NewFile::Created created = platform::NewFile::Created::Exists;
    for (int attempt = 1; attempt <= kTries && created == platform::NewFile::Created::Exists;
         ++attempt) {
        char name[80];
        if (attempt == 1) {
            std::snprintf(name, sizeof name, "%s.csv", stem);
        } else {
            std::snprintf(name, sizeof name, "%s-%d.csv", stem, attempt);
        }
        created = file_.Create(folder_ + name);
    }
    if (created != platform::NewFile::Created::Yes) {
        return;
    }
    used_ = 0;
    written_ = 0;
    anyRow_ = false;
    anyWrite_ = false;
    vehicleMarked_.clear();
    state_ = State::Recording;
    Append(kHeader);
}

void TraceRecorder::MarkVehicle(std::string_view vehicle) {
    const std::string_view name = vehicle.substr(0, kLongestName);
    if (name == vehicleMarked_) {
        return;
    }
    vehicleMarked_.assign(name);
    char line[kLongestLine];
    char* out = line;
    out += kVehicleMark.copy(out, kVehicleMark.size());
    for (const char c : name) {
        // A line break in a name would end the comment and make the rest a broken row.
        *out++ = c == '\n' || c == '\r' ? ' ' : c;
    }
    *out++ = '\r';
    *out++ = '\n';
    Append({line, static_cast<std::size_t>(out - line)});
}

void TraceRecorder::Add(std::uint64_t microseconds, const Reading& reading) {
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
    *out++ = '\r';
    *out++ = '\n';
    Append({row, static_cast<std::size_t>(out - row)});
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
        if (written_ + used_ + kCapNote.size() <= sizeCap_) {
            used_ += kCapNote.copy(buffer_.get() + used_, kCapNote.size());
        }
        state_ = State::Stopped;
        return;
    }
    used_ += text.copy(buffer_.get() + used_, text.size());
}

bool TraceRecorder::WriteDue(std::uint64_t microseconds) const {
    return used_ != 0 &&
           (!anyWrite_ || used_ >= kBufferBytes / 2 || microseconds - lastWrite_ >= kWriteInterval);
}

void TraceRecorder::Write() {
    if (!file_.IsOpen() || used_ == 0) {
        return;
    }
    const std::size_t put = file_.Write(buffer_.get(), used_);
    const std::size_t tried = used_;
    used_ = 0;
    if (put == tried) {
        written_ += put;
        return;
    }
    // A row cut inside its last field would read back as a whole row with a wrong value: the file
    // keeps the whole lines that got there and no more (npos + 1 is 0).
    const std::size_t whole = std::string_view(buffer_.get(), put).rfind('\n') + 1;
    if (whole < put) {
        file_.CutBack(written_ + whole);
    }
    written_ += whole;
    state_ = State::Stopped;
    // Where there is room, the reason; where there is not, no part of it.
    const std::size_t noted = file_.Write(kWriteNote.data(), kWriteNote.size());
    if (noted != 0 && noted < kWriteNote.size()) {
        file_.CutBack(written_);
    }
}

void TraceRecorder::Close() {
    Write();
    file_.Close();
}

}  // namespace velmora
