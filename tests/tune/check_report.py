#!/usr/bin/python3
"""Runs the README's worked example, holds what it prints against the README, has headless
Chromium draw the report, and reads the picture back with Pillow as a tuner reads it. With
--screenshot FILE it saves the README's picture.

usage: check_report.py VELMORA_TUNE README TRACE WORK_DIR [--screenshot FILE]  (77: no Chromium or
no Pillow here)"""

import argparse, pathlib, re, shlex, shutil, subprocess, sys, textwrap

try:
    from PIL import Image
except ImportError:
    Image = None

# The report's colours, loosely: antialiasing blends every line into what lies beneath it.
COLOURS = {
    "head": lambda r, g, b: max(r, g, b) - min(r, g, b) < 14 and 55 < r < 110,
    "first profile": lambda r, g, b: b > r + 60 and b > g + 30,
    "second profile": lambda r, g, b: r > g + 80 and r > b + 80,
    "rest shading": lambda r, g, b: (r, g, b) == (0xD9, 0xEF, 0xD5),
}
LEFT_OUT = (0xB8, 0xB8, 0xB8)


def plots_drawn_in(rows, matches):
    """(top, bottom) of each run of rows holding the colour across half the page, 30 rows or more:
    the legend's swatches and the labels are neither."""
    found, current = [], None
    for y, row in enumerate(rows):
        xs = [x for x, pixel in enumerate(row) if matches(*pixel)]
        if len(xs) >= 3 and current and y - current[1] <= 12:
            current = [current[0], y, min(current[2], xs[0]), max(current[3], xs[-1])]
        elif len(xs) >= 3:
            found.append(current)
            current = [y, y, xs[0], xs[-1]]
    wide = len(rows[0]) // 2
    return [(t, b) for t, b, l, r in found[1:] + [current] if r - l >= wide and b - t >= 30]


def main():
    parser = argparse.ArgumentParser()
    for name in ("tune", "readme", "trace", "work", "--screenshot"):
        parser.add_argument(name, type=pathlib.Path)
    args = parser.parse_args()
    shutil.rmtree(args.work, ignore_errors=True)
    args.work.mkdir(parents=True)
    example = args.readme.read_text(encoding="utf-8").split("### A worked example")[1]
    blocks = [re.sub(r"(?m)^    ", "", b) for b in re.findall(r"\n((?:    .*\n|\n)+)", example)]
    calm = next(b for b in blocks if b.lstrip().startswith("[Settings]")).strip("\n") + "\n"
    command = shlex.split(next(b for b in blocks if "--config calm.cfg" in b).replace("\\\n", " "))
    (args.work / "calm.cfg").write_text(calm)
    (args.work / "unfiltered.cfg").write_text(calm.replace("Filtering = true", "Filtering = false"))
    shutil.copy(args.readme.parent / "Velmora.cfg", args.work)
    command = [str(args.tune.resolve()) if w.endswith("velmora-tune") else
               str(args.trace.resolve()) if w.endswith("user1.csv") else w for w in command]
    printed = subprocess.run(command, check=True, cwd=args.work, capture_output=True, text=True)
    if textwrap.indent(printed.stdout, "    ") not in example:
        sys.exit("FAIL: the README does not show what the example prints:\n" + printed.stdout)

    html = (args.work / "report.html").read_text(encoding="utf-8")
    plots = re.findall(r"<svg .*?</svg>", html, re.DOTALL)
    if len(plots) != 6 or re.search(r"<script|src=|href=|@import", html):
        sys.exit("FAIL: not six plots, or the report refers to something outside itself")
    for plot in plots:
        lines = re.findall(r'<polyline [^>]*stroke="(#\w+)"[^>]*stroke-opacity="([.\d]+)"', plot)
        if lines[0][0] != "#2a9d3a" or float(lines[0][1]) >= 1 or lines[-1][0] != "#4d4d4d":
            sys.exit("FAIL: not drawn unsmoothed first and faint, head last: %r" % lines)
    labels = [float(v) for v in re.findall(r'class="ylabel">(-?[.\d]+)°', plots[0] + plots[1])]
    if not labels or min(labels) < -180 or max(labels) > 180:
        sys.exit("FAIL: yaw labelled beyond -180..180 degrees: %r" % labels)

    browser = shutil.which("chromium")
    if browser is None or Image is None:
        print("SKIP: no Chromium or no Pillow (python3-pil) here")
        return 77

    shot = args.work / "report.png"
    subprocess.run([browser, "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                    "--window-size=1200,2600", "--screenshot=" + str(shot),
                    (args.work / "report.html").resolve().as_uri()],
                   check=True, capture_output=True, timeout=120)
    image = Image.open(shot).convert("RGB")
    pixels, width = list(image.getdata()), image.width
    rows = [pixels[y * width:(y + 1) * width] for y in range(image.height)]
    for name, matches in COLOURS.items():
        plotted = plots_drawn_in(rows, matches)
        if len(plotted) < 6:
            sys.exit("FAIL: %s: drawn across %d plots, not 6" % (name, len(plotted)))
    # The rest shading marks out each plot; in the yaw overview, the first, the full turns show as
    # grey columns from top to bottom but where a line crosses them.
    top, bottom = plotted[0]
    grey = [x for x in range(width)
            if sum(rows[y][x] == LEFT_OUT for y in range(top, bottom)) > (bottom - top) // 3]
    if len(grey) < 2:
        sys.exit("FAIL: the full turns do not show as grey bands in the yaw overview")
    if args.screenshot:
        image.crop((0, 0, 1200, 1085)).save(args.screenshot, optimize=True)
    print("report drawn: %s" % shot)
    return 0


if __name__ == "__main__":
    sys.exit(main())
