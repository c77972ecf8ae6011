#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "simdriver/pose.h"

namespace velmora::sim {

enum class TraceUnits { FromHeader, Degrees, Raw };

struct TraceRow {
    double time;
    Pose pose;
    // The head's true pose when the reading was handed out, where the trace holds it: a recording
    // of the simulated tracker's driving motion does.
    std::optional<PoseDegrees> truth;
};

// Where the rows of one vehicle begin: a comment line "# vehicle: <name>", as the plug-in writes
// when the player's vehicle changes, the name kept exactly as written (a space at its end too).
// The rows before the first mark belong to no vehicle.
struct VehicleMark {
    std::size_t firstRow;
    std::string name;
};

// A head trace file as written: CSV, an optional header line naming the columns, then rows
// "time_s,yaw,pitch,roll" with the angles in degrees, or in raw units (65536 to the turn, yaw
// positive to the left) when the header says "_raw" or the caller does. Lines that begin with '#'
// are comments. The header's names begin with "time", "yaw", "pitch" and "roll" (or are their
// initials). A header of seven names announces three more columns on every row: the head's true
// yaw, pitch and roll in degrees ("true_yaw_deg", ...), counted as the readings are.
struct TraceFile {
    std::vector<TraceRow> rows;
    bool rawUnits = false;
    std::vector<VehicleMark> vehicles;
    // Rows no tracker could give (a value that is not a number, or beyond a billion): left out,
    // counted, and the line of the first.
    std::size_t skippedRows = 0;
    std::size_t firstSkippedLine = 0;
    // The number of the last line when it breaks off without its line end, as a recording cut
    // short by a crash or a full disk leaves it (0 when it does not): left out, since a row cut
    // inside its last value still reads as numbers, and wrong ones.
    std::size_t cutLastLine = 0;

    bool HasTruth() const { return !rows.empty() && rows.front().truth.has_value(); }
    // The seconds each vehicle was driven, in the order first driven; "" for rows before any mark.
    std::vector<std::pair<std::string, double>> VehicleSeconds() const;
};

// Empty, with the reason in `error` (and the line it concerns), when the text is not a trace: a
// header that names other columns (another program's CSV), a line with the wrong number of values
// (decimal commas, semicolons or tabs between values), a value that is not a number, a time that
// goes backwards, or no row at all; or, reading a file, a folder given for it. Nothing is sorted or
// guessed: a trace must run forward in time as it was recorded.
std::optional<TraceFile> ParseTrace(std::string_view text, TraceUnits units, std::string& error);
std::optional<TraceFile> ReadTraceFile(const std::string& path, TraceUnits units,
                                       std::string& error);

}  // namespace velmora::sim
