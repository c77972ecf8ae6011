#include "check/bridge_check.h"

#include <map>
#include <string>

#include "config/number_reader.h"
#include "config/shown_name.h"
#include "drivers/udp/datagram_socket.h"

namespace velmora::check {
namespace {

using udp::BridgeKey;

// What a value of each key must look like, for a line the bridge cannot read.
std::string Expected(BridgeKey key) {
    switch (key) {
        case BridgeKey::Address:
            return "an address of this computer, four numbers from 0 to 255 with dots (like "
                   "127.0.0.1 or 192.168.1.20; not 0.0.0.0, broadcast or multicast)";
        case BridgeKey::Port:
            return "a port from 1 to 65535";
        case BridgeKey::StalenessMs:
            return "a whole number of milliseconds from 1 to 60000";
        case BridgeKey::InvertYaw:
        case BridgeKey::InvertPitch:
        case BridgeKey::InvertRoll:
            return "true or false";
        case BridgeKey::OffsetYaw:
        case BridgeKey::OffsetPitch:
        case BridgeKey::OffsetRoll:
            return "an angle in degrees from -180 to 180";
    }
    return "";
}

bool IsSwitch(BridgeKey key) {
    return key == BridgeKey::InvertYaw || key == BridgeKey::InvertPitch ||
           key == BridgeKey::InvertRoll;
}

// A number written with a decimal comma, as Windows shows numbers in many languages: the value
// reads once its one comma is a point.
bool ReadsWithAPoint(std::string_view key, std::string_view value) {
    const std::size_t comma = value.find(',');
    if (comma == std::string_view::npos || value.rfind(',') != comma) {
        return false;
    }
    std::string pointed(value);
    pointed[comma] = '.';
    udp::BridgeSettings scratch;
    return udp::ApplyBridgeSetting(scratch, key, pointed);
}

bool IsThisComputers(std::uint32_t address) {
    return udp::DatagramSocket().Open(address, 0) != udp::DatagramSocket::Opened::NotThisComputer;
}

}  // namespace

std::string DottedAddress(std::uint32_t address) {
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

BridgeReport CheckBridge(std::string_view bytes) {
    BridgeReport report;
    std::vector<Finding>& findings = report.findings;
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        findings.push_back({1, FindingKind::Encoding,
                            "the file is saved as UTF-16 (\"Unicode\" in Notepad): the bridge "
                            "reads none of it. Save it as UTF-8 or ANSI"});
        return report;
    }
    report.settings = udp::ParseSettings(bytes);
    const std::vector<udp::BridgeLine> lines = udp::SplitBridgeLines(bytes);
    std::vector<std::string> names(udp::kBridgeKeys.begin(), udp::kBridgeKeys.end());
    // The last line of each key that reads counts.
    std::map<std::string, std::size_t> lastLine;
    for (const udp::BridgeLine& line : lines) {
        udp::BridgeSettings scratch;
        if (line.assigns && udp::ApplyBridgeSetting(scratch, line.key, line.value)) {
            lastLine[line.key] = line.number;
        }
    }
    for (const udp::BridgeLine& line : lines) {
        const auto add = [&](FindingKind kind, std::string text) {
            findings.push_back({line.number, kind, std::move(text)});
        };
        const std::optional<BridgeKey> key = udp::FindBridgeKey(line.key);
        if (!line.assigns) {
            add(FindingKind::NoEquals,
                QuotedName(line.key) + " has no '=': the bridge skips the line");
            continue;
        }
        if (!key) {
            std::string text = QuotedName(line.key) + " is no key the bridge reads";
            if (const auto meant = NearestName(line.key, names)) {
                text += ": did you mean " + QuotedName(*meant) + "?";
            }
            add(FindingKind::UnknownKey, text);
            continue;
        }
        udp::BridgeSettings read;
        if (!udp::ApplyBridgeSetting(read, line.key, line.value)) {
            add(FindingKind::Unreadable,
                line.key + ": " + (line.value.empty() ? "no value" : QuotedName(line.value)) +
                    " is not " + Expected(*key) +
                    (ReadsWithAPoint(line.key, line.value)
                         ? ": the decimal point is '.', whatever the language of Windows; the "
                           "bridge skips the line"
                         : ": the bridge skips the line"));
            continue;
        }
        if (lastLine[line.key] != line.number) {
            add(FindingKind::Duplicate, line.key + ": set again on line " +
                                            std::to_string(lastLine[line.key]) +
                                            "; the last one counts, so this line changes nothing");
            continue;
        }
        if (IsSwitch(*key) && !*ParseFlag(line.value)) {
            if (const std::string off = OffReading(line.value); !off.empty()) {
                add(FindingKind::ReadsAsOff, line.key + ": " + off);
            }
        }
        if (*key == BridgeKey::Address && !IsThisComputers(read.address)) {
            add(FindingKind::NotThisComputer,
                "address: " + DottedAddress(read.address) +
                    " is not an address of this computer: the bridge cannot listen there, and "
                    "the camera never moves. Use 127.0.0.1 when the tracking software runs on "
                    "this computer, or this computer's own network address");
        }
    }
    SortFindings(findings);
    return report;
}

}  // namespace velmora::check
