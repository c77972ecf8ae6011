"""Strips a Windows DLL for the release without making the package depend on the hour it was
made: strip stamps the PE header with the current time (and sets the header checksum to match),
so the stripped copy gets the build's own stamp back, with the checksum recomputed."""

import struct
import subprocess


def pe_checksum(data, checksum_offset):
    """The PE header checksum: the file's 16-bit words summed with end-around carry, the checksum
    field itself counted as zero, plus the file's length."""
    words = bytearray(data)
    words[checksum_offset:checksum_offset + 4] = b"\0\0\0\0"
    if len(words) % 2:
        words.append(0)
    total = sum(struct.unpack(f"<{len(words) // 2}H", words))
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return total + len(data)


def header_offsets(data):
    """(time stamp offset, checksum offset) in a PE file."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    return pe + 8, pe + 24 + 64


def strip(strip_tool, source, destination):
    subprocess.run([strip_tool, "-o", str(destination), str(source)], check=True)
    with open(source, "rb") as file:
        original = file.read()
    with open(destination, "rb") as file:
        data = bytearray(file.read())
    stamp, checksum = header_offsets(data)
    source_stamp, _ = header_offsets(original)
    data[stamp:stamp + 4] = original[source_stamp:source_stamp + 4]
    struct.pack_into("<I", data, checksum, pe_checksum(data, checksum))
    with open(destination, "wb") as file:
        file.write(data)
