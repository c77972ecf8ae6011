#!/usr/bin/env python3
"""Runs velmora-tune on a real trace, opens its HTML report in headless Chromium, takes a
screenshot and checks in its pixels that every plot has drawn: each series' colour and the rest
shading show up once per plot, and the lines run across the plots' width.

usage: check_report.py VELMORA_TUNE CONFIG TRACE WORK_DIR   (exit 77: no browser here)"""

import csv
import pathlib
import shutil
import struct
import subprocess
import sys
import zlib

WIDTH, HEIGHT = 1200, 2300
# The report's colours by hue, loosely: where two profiles agree, the first shows only as a thin
# antialiased edge around the second.
COLOURS = {
    "trace": lambda r, g, b: max(r, g, b) - min(r, g, b) < 12 and 70 < r < 150,
    "first profile": lambda r, g, b: b > r + 60 and b > g + 30,
    "second profile": lambda r, g, b: r > g + 80 and r > b + 80,
    "rest shading": lambda r, g, b: (r, g, b) == (0xD9, 0xEF, 0xD5),
}
# The plots each colour must cross: an overview and a close-up per axis, but at the overviews'
# scale the profiles' lines cover the trace's.
PLOTS = {"trace": 3, "first profile": 6, "second profile": 6, "rest shading": 6}


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def read_png(path):
    """(width, height, rows of RGB triples) of an 8-bit RGB or RGBA PNG, as Chromium writes."""
    data = pathlib.Path(path).read_bytes()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        fail("the screenshot is not a PNG")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour_type, _, _, interlace = header
    if depth != 8 or colour_type not in (2, 6) or interlace != 0:
        fail("unexpected PNG format %r" % (header,))
    channels = 3 if colour_type == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        if kind == 1:
            for i in range(channels, stride):
                line[i] = (line[i] + line[i - channels]) & 0xFF
        elif kind == 2:
            line = bytearray((a + b) & 0xFF for a, b in zip(line, previous))
        elif kind == 3:
            for i in range(stride):
                left = line[i - channels] if i >= channels else 0
                line[i] = (line[i] + ((left + previous[i]) >> 1)) & 0xFF
        elif kind == 4:
            for i in range(stride):
                a = line[i - channels] if i >= channels else 0
                b = previous[i]
                c = previous[i - channels] if i >= channels else 0
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        rows.append([tuple(line[x:x + 3]) for x in range(0, stride, channels)])
        previous = line
    return width, height, rows


def bands(rows, matches):
    """Runs of screen rows that hold the colour, as (first row, last row, leftmost, rightmost)."""
    found, current = [], None
    for y, row in enumerate(rows):
        xs = [x for x, pixel in enumerate(row) if matches(*pixel)]
        if len(xs) >= 3:
            if current and y - current[1] <= 12:
                current = [current[0], y, min(current[2], xs[0]), max(current[3], xs[-1])]
            else:
                if current:
                    found.append(current)
                current = [y, y, xs[0], xs[-1]]
    if current:
        found.append(current)
    return found


def main():
    tune, config, trace, work = sys.argv[1:5]
    browser = next((shutil.which(name) for name in ("chromium", "chromium-browser", "google-chrome")
                    if shutil.which(name)), None)
    if browser is None:
        print("SKIP: no Chromium on this machine")
        return 77
    work = pathlib.Path(work)
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    report, metrics, shot = work / "report.html", work / "metrics.csv", work / "report.png"
    subprocess.run([tune, "--trace", trace, "--config", config, "--vehicle", "Formula Red",
                    "--vehicle", "Touring Blue", "--html", str(report), "--csv", str(metrics)],
                   check=True)

    table = list(csv.DictReader(metrics.open()))
    if [(r["profile"], r["axis"]) for r in table] != [
            (p, a) for p in ("Formula Red", "Touring Blue") for a in ("Yaw", "Pitch", "Roll")]:
        fail("the metrics table does not hold one row per profile and axis")
    for row in table:
        if not 0.0 < float(row["jitter_at_rest_deg"]) < 1.0 or float(row["lag_in_motion_ms"]) > 500:
            fail("implausible metrics for a real trace: %r" % row)

    html = report.read_text(encoding="utf-8")
    if "<script" in html or "src=" in html or "href=" in html or "@import" in html:
        fail("the report refers to something outside itself")

    subprocess.run([browser, "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                    "--window-size=%d,%d" % (WIDTH, HEIGHT), "--screenshot=" + str(shot),
                    report.resolve().as_uri()],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    width, _, rows = read_png(shot)
    for name, matches in COLOURS.items():
        # A plot's band is tall and wide; the legend's swatches and the labels are neither.
        wide = [b for b in bands(rows, matches) if b[3] - b[2] >= width // 2 and b[1] - b[0] >= 30]
        print("%-15s drawn across %d plots" % (name, len(wide)))
        if len(wide) < PLOTS[name]:
            fail("%s: drawn across %d plots, not %d" % (name, len(wide), PLOTS[name]))
    print("report drawn: %s" % shot)
    return 0


if __name__ == "__main__":
    sys.exit(main())
