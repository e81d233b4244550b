#!/usr/bin/env python3
"""Draws the program's small icons as XPM files in resources/icons/: the four toolbar buttons
(16 x 15) and the window icons of the main frame, map windows and list windows (32 x 32)."""
import math
import os

COLOURS = {
    ".": "None", "k": "#000000", "w": "#FFFFFF", "g": "#808080", "l": "#C0C0C0",
    "r": "#FF0000", "b": "#0000FF", "s": "#A8CCEA", "e": "#E8DCB0", "d": "#70805F",
    "y": "#F0C020", "c": "#00A0D0", "n": "#2E7D32",
}


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [["."] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c, fill=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                if edge:
                    self.set(x, y, c)
                elif fill:
                    self.set(x, y, fill)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.set(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def disc(self, cx, cy, r, c, ring=None):
        for y in range(self.h):
            for x in range(self.w):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                if d <= r:
                    self.set(x, y, ring if ring and d > r - 1 else c)

    def xpm(self, name):
        used = sorted({c for row in self.px for c in row})
        lines = ['"%d %d %d 1",' % (self.w, self.h, len(used))]
        lines += ['"%s c %s",' % (c, COLOURS[c]) for c in used]
        lines += ['"%s",' % "".join(row) for row in self.px]
        lines[-1] = lines[-1].rstrip(",")
        return "/* XPM */\nstatic const char* %s[] = {\n%s\n};\n" % (name, "\n".join(lines))


def parameters():
    c = Canvas(16, 15)
    for i, x in enumerate((3, 8, 13)):  # three sliders
        c.line(x, 1, x, 13, "g")
        knob = (4, 9, 6)[i]
        c.rect(x - 2, knob - 1, x + 2, knob + 1, "k", "c")
    return c


def mark_all():
    c = Canvas(16, 15)
    c.rect(0, 1, 15, 13, "g", "s")
    for x, y in ((3, 4), (7, 3), (11, 5), (5, 8), (9, 9), (12, 10), (3, 11), (8, 6)):
        c.set(x, y, "r")
        c.set(x + 1, y, "r")
    return c


def show_all():
    c = Canvas(16, 15)
    c.rect(0, 0, 15, 14, "k", "w")
    c.rect(1, 1, 14, 3, "g", "l")
    for y in (6, 9, 12):
        c.line(2, y, 13, y, "b")
    c.line(6, 4, 6, 13, "l")
    return c


def find():
    c = Canvas(16, 15)
    c.disc(6, 6, 5.5, "w", "k")
    c.line(10, 10, 14, 14, "k")
    c.line(11, 10, 15, 14, "k")
    return c


def globe(size=32):
    c = Canvas(size, size)
    r = size / 2 - 1
    c.disc(size / 2, size / 2, r, "s", "k")
    # a few land masses
    for cx, cy, rr in ((11, 11, 5), (20, 19, 6), (9, 22, 3)):
        c.disc(cx, cy, rr, "e")
    return c


def main_icon():
    c = globe()
    # a thermometer in front
    c.rect(23, 3, 27, 22, "k", "w")
    c.line(25, 8, 25, 21, "r")
    c.disc(25.5, 26, 4, "r", "k")
    return c


def map_icon():
    c = Canvas(32, 32)
    c.rect(1, 5, 30, 26, "k", "s")
    for cx, cy, rr in ((9, 12, 4), (20, 16, 6), (12, 21, 3)):
        c.disc(cx, cy, rr, "e")
    for x, y in ((8, 11), (19, 15), (22, 18), (12, 21)):
        c.set(x, y, "r")
    c.rect(17, 13, 20, 16, "b", "b")
    return c


def list_icon():
    c = Canvas(32, 32)
    c.rect(2, 3, 29, 28, "k", "w")
    c.rect(3, 4, 28, 8, "g", "l")
    for y in range(11, 28, 4):
        c.line(4, y, 27, y, "b")
    c.line(12, 9, 12, 27, "l")
    c.line(21, 9, 21, 27, "l")
    return c


def main():
    out = os.path.join(os.path.dirname(__file__), "..", "resources", "icons")
    os.makedirs(out, exist_ok=True)
    for name, canvas in (("tb_parameters", parameters()), ("tb_mark_all", mark_all()),
                         ("tb_show_all", show_all()), ("tb_find", find()),
                         ("icon_mainframe", main_icon()), ("icon_map", map_icon()),
                         ("icon_list", list_icon())):
        with open(os.path.join(out, name + ".xpm"), "w") as f:
            f.write(canvas.xpm(name))


if __name__ == "__main__":
    main()
