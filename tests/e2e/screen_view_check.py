#!/usr/bin/env python3
"""Judges the view as a user sees it: in a picture of the dialog taken from the
X root window, find the view control by its sunken client edge and count what
its client area shows. It must show the cube's red, green and blue faces on
the dialog's own button-face colour, and next to no black (a view whose frames
never reach the screen shows black or the desktop there).

    screen_view_check.py PICTURE.png

Prints the view's rectangle and the counts; exits 1 when a threshold is missed,
2 when no view is found. Needs ImageMagick's convert.
"""

import sys

import pixel_census

# Shares of the view's client area.
MIN_FACE_SHARE = 0.01      # each of red, green and blue
MIN_BACKGROUND_SHARE = 0.40
MAX_BLACK_SHARE = 0.02
MIN_VIEW_SIDE = 32         # pixels
FACE_TOLERANCE = 6         # per channel, for the button-face colour


def read_picture(path):
    try:
        width, height, body = pixel_census.read_picture(path)
    except ValueError:
        raise SystemExit("%s: not readable as a picture" % path)
    colours = list(pixel_census.pixels(body))
    return width, height, [colours[y * width:(y + 1) * width] for y in range(height)]


def grey(p):
    return p[0] == p[1] == p[2]


def find_view(width, height, rows):
    """(x, y, w, h) of the client area inside a sunken edge: two dark grey lines
    along the top and the left (the inner darker than the outer), two light ones
    along the bottom and the right. List boxes (one plain border line) and
    buttons (raised: light at the top) do not match. The list boxes of this
    dialog have such an edge too; the view is the topmost."""
    found = []
    for y in range(1, height - 2):
        row = rows[y]
        x = 1
        while x < width - 2:
            inner = row[x]
            outer = rows[y - 1][x]
            if not (grey(inner) and grey(outer) and 32 <= inner[0] < outer[0] < 200
                    and rows[y][x - 1] != inner):
                x += 1
                continue
            # The inner top line, and the inner left line down from its start.
            end = x
            while end < width and row[end] == inner:
                end += 1
            bottom = y
            while bottom < height and rows[bottom][x] == inner:
                bottom += 1
            w, h = end - x - 1, bottom - y - 1
            if w >= MIN_VIEW_SIDE and h >= MIN_VIEW_SIDE and bottom < height and end < width:
                left, top = x + 1, y + 1
                # The light bottom and right lines just outside the client area.
                below = [rows[top + h][i] for i in range(left, left + w)]
                right = [rows[j][left + w] for j in range(top, top + h)]
                light = below[0]
                if (grey(light) and light[0] > inner[0] + 64 and all(p == light for p in below)
                        and all(p == light for p in right)):
                    found.append(((top, left), (left, top, w, h), rows[y + 5][x - 3]))
            x = end
    if not found:
        return None
    found.sort()
    return found[0][1], found[0][2]


def census(rows, rect, face):
    """What the client area shows. A face pixel on screen may carry a little of
    the other channels: up to a quarter of its own."""
    x0, y0, w, h = rect
    return pixel_census.census((rows[y][x] for y in range(y0, y0 + h) for x in range(x0, x0 + w)),
                               face, tolerance=FACE_TOLERANCE, black=16, share=0.25)


def main():
    if len(sys.argv) != 2:
        raise SystemExit("usage: screen_view_check.py PICTURE.png")
    width, height, rows = read_picture(sys.argv[1])
    view = find_view(width, height, rows)
    if view is None:
        print("no view control (a sunken edge of at least %d x %d) in the picture" %
              (MIN_VIEW_SIDE, MIN_VIEW_SIDE))
        return 2
    rect, face = view
    counts = census(rows, rect, face)
    area = rect[2] * rect[3]
    print("view %dx%d at +%d+%d on button face #%02X%02X%02X: " %
          (rect[2], rect[3], rect[0], rect[1], face[0], face[1], face[2]) +
          ", ".join("%s %d" % (k, v) for k, v in counts.items()))
    problems = []
    for colour in ("red", "green", "blue"):
        if counts[colour] < MIN_FACE_SHARE * area:
            problems.append("%s %d < %d" % (colour, counts[colour], MIN_FACE_SHARE * area))
    if counts["background"] < MIN_BACKGROUND_SHARE * area:
        problems.append("background %d < %d" % (counts["background"], MIN_BACKGROUND_SHARE * area))
    if counts["black"] > MAX_BLACK_SHARE * area:
        problems.append("black %d > %d" % (counts["black"], MAX_BLACK_SHARE * area))
    if problems:
        print("the view on screen misses: " + "; ".join(problems))
        return 1
    print("the view on screen shows the cube on the button face")
    return 0


if __name__ == "__main__":
    sys.exit(main())
