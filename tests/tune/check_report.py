#!/usr/bin/python3
"""Runs the README's worked example (its calm.cfg, its unfiltered.cfg and its command), opens the
HTML report in headless Chromium, and checks the picture as a tuner reads it:

- every plot draws the head, both smoothed profiles and the rest shading across its width;
- the head's own line is drawn last and the profile without smoothing first, beneath the others;
- yaw is labelled as a heading, within -180 to 180 degrees;
- the grey bands of the full turns show in the yaw overview;
- the legend fits a 1200-pixel window.

With --screenshot FILE it also saves the top of the page, the README's picture.

usage: check_report.py VELMORA_TUNE README TRACE WORK_DIR [--screenshot FILE]
(exit 77: no browser or no Pillow here)"""

import argparse
import csv
import pathlib
import re
import shlex
import shutil
import subprocess
import sys

try:
    from PIL import Image
except ImportError:
    Image = None

WIDTH, HEIGHT = 1200, 2600
README_PICTURE_HEIGHT = 1085
# The report's colours, loosely: antialiasing blends every line into what lies beneath it.
COLOURS = {
    "head": lambda r, g, b: max(r, g, b) - min(r, g, b) < 14 and 55 < r < 110,
    "first profile": lambda r, g, b: b > r + 60 and b > g + 30,
    "second profile": lambda r, g, b: r > g + 80 and r > b + 80,
    "rest shading": lambda r, g, b: (r, g, b) == (0xD9, 0xEF, 0xD5),
}
LEFT_OUT = (0xB8, 0xB8, 0xB8)
PAGE_MARGIN = 24


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def worked_example(readme):
    """calm.cfg and the command, as the README's worked example gives them."""
    text = readme.read_text(encoding="utf-8")
    section = text[text.index("### A worked example"):]
    blocks = re.findall(r"\n((?:    .*\n|\n)+)", section)
    calm = next(b for b in blocks if b.lstrip().startswith("[Settings]"))
    command = next(b for b in blocks if "--config calm.cfg" in b)
    calm = "\n".join(line[4:] for line in calm.strip("\n").split("\n")) + "\n"
    return calm, shlex.split(command.replace("\\\n", " "))


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


def svgs(html):
    return re.findall(r"<svg .*?</svg>", html, re.DOTALL)


def check_markup(html):
    if "<script" in html or "src=" in html or "href=" in html or "@import" in html:
        fail("the report refers to something outside itself")
    plots = svgs(html)
    if len(plots) != 6:
        fail("%d plots, not 6" % len(plots))
    for plot in plots:
        lines = re.findall(r'<polyline [^>]*stroke="(#[0-9a-f]{6})"[^>]*stroke-opacity="([0-9.]+)"',
                           plot)
        strokes = [colour for colour, _ in lines]
        if strokes[0] != "#2a9d3a" or float(lines[0][1]) >= 1.0:
            fail("the profile without smoothing is not drawn first and faint: %r" % lines[:2])
        if strokes[-1] != "#4d4d4d":
            fail("the head's line is not drawn last")
    for plot in plots[:2]:
        labels = [float(v) for v in re.findall(r'class="ylabel">(-?[0-9.]+)°', plot)]
        if not labels or min(labels) < -180 or max(labels) > 180:
            fail("yaw labelled beyond -180..180 degrees: %r" % labels)


def check_picture(shot):
    image = Image.open(shot).convert("RGB")
    width, height = image.size
    pixels = image.load()
    rows = [[pixels[x, y] for x in range(width)] for y in range(height)]
    plots = []
    for name, matches in COLOURS.items():
        # A plot's band is tall and wide; the legend's swatches and the labels are neither.
        wide = [b for b in bands(rows, matches) if b[3] - b[2] >= width // 2 and b[1] - b[0] >= 30]
        print("%-15s drawn across %d plots" % (name, len(wide)))
        if len(wide) < 6:
            fail("%s: drawn across %d plots, not 6" % (name, len(wide)))
        if name == "rest shading":
            plots = wide
    # The yaw overview is the first plot: its full turns must show as grey bands, columns of it
    # from top to bottom but where a line crosses them.
    top, bottom = plots[0][0], plots[0][1]
    columns = [x for x in range(width)
               if sum(rows[y][x] == LEFT_OUT for y in range(top, bottom)) > (bottom - top) // 3]
    bands_seen = sum(1 for i, x in enumerate(columns) if i == 0 or columns[i - 1] != x - 1)
    print("left-out bands in the yaw overview: %d, %d columns" % (bands_seen, len(columns)))
    if bands_seen == 0 or len(columns) < 2 * bands_seen:
        fail("the full turns do not show as grey bands in the yaw overview")
    # The legend: above the first plot, and nothing drawn into the page's right margin.
    legend = [y for y in range(top) if any(pixels[x, y] == LEFT_OUT for x in range(width))]
    if not legend:
        fail("no legend key for the left-out bands")
    for y in range(top):
        if any(pixels[x, y] != (255, 255, 255) for x in range(width - PAGE_MARGIN, width)):
            fail("something above the plots runs into the page's right margin (row %d)" % y)
    return image


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("tune")
    parser.add_argument("readme", type=pathlib.Path)
    parser.add_argument("trace")
    parser.add_argument("work", type=pathlib.Path)
    parser.add_argument("--screenshot", type=pathlib.Path)
    args = parser.parse_args()
    browser = next((shutil.which(name) for name in ("chromium", "chromium-browser", "google-chrome")
                    if shutil.which(name)), None)
    if browser is None or Image is None:
        print("SKIP: no Chromium or no Pillow (python3-pil) on this machine")
        return 77

    shutil.rmtree(args.work, ignore_errors=True)
    args.work.mkdir(parents=True)
    calm, command = worked_example(args.readme)
    (args.work / "calm.cfg").write_text(calm)
    (args.work / "unfiltered.cfg").write_text(
        calm.replace("Use Filtering = true", "Use Filtering = false"))
    shutil.copy(args.readme.parent / "Velmora.cfg", args.work / "Velmora.cfg")
    tune, trace = str(pathlib.Path(args.tune).resolve()), str(pathlib.Path(args.trace).resolve())
    run = [tune if word.endswith("velmora-tune") else
           trace if word.endswith("user1.csv") else word for word in command]
    subprocess.run(run + ["--csv", "metrics.csv"], check=True, cwd=args.work)

    table = list(csv.DictReader((args.work / "metrics.csv").open()))
    labels = [r["profile"] for r in table[::3]]
    if labels != ["Velmora.cfg: General Filter", "calm.cfg: General Filter",
                  "unfiltered.cfg: General Filter"]:
        fail("the metrics table does not hold the README's three profiles: %r" % labels)
    for row in table[:6]:
        if not 0.0 < float(row["jitter_at_rest_deg"]) < 1.0 or float(row["lag_in_motion_ms"]) > 500:
            fail("implausible metrics for a real trace: %r" % row)

    report = args.work / "report.html"
    check_markup(report.read_text(encoding="utf-8"))
    shot = args.work / "report.png"
    subprocess.run([browser, "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                    "--window-size=%d,%d" % (WIDTH, HEIGHT), "--screenshot=" + str(shot),
                    report.resolve().as_uri()],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    image = check_picture(shot)
    if args.screenshot:
        image.crop((0, 0, WIDTH, README_PICTURE_HEIGHT)).save(args.screenshot, optimize=True)
        print("saved the README's picture: %s" % args.screenshot)
    print("report drawn: %s" % shot)
    return 0


if __name__ == "__main__":
    sys.exit(main())
