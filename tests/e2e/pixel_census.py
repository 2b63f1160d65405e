"""Reading a picture and counting its pixels by what they show of the cube: the
background (the dialog's button face), black, and the red, green and blue faces.
Each check passes the rules it judges by; the counting is the same for all.
"""

import re
import subprocess

FACES = ("red", "green", "blue")


def read_ppm(data):
    """(width, height, bytes) of a binary PPM with maxval 255."""
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
    if not header:
        raise ValueError("not a PPM picture")
    width, height = int(header.group(1)), int(header.group(2))
    return width, height, data[header.end():header.end() + width * height * 3]


def read_picture(path, timeout=60):
    """(width, height, bytes) of any picture ImageMagick's convert reads."""
    data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, check=True, timeout=timeout).stdout
    return read_ppm(data)


def pixels(data):
    """The (r, g, b) tuples of a picture's bytes, row by row."""
    return zip(data[0::3], data[1::3], data[2::3])


def face_of(p, floor=40, others_at_most=None, share=None):
    """The index (0 red, 1 green, 2 blue) of the face colour that a pixel shows,
    or None: its strongest channel is at least FLOOR and each other one at most
    OTHERS_AT_MOST, or at most SHARE of the strongest."""
    lead = max(range(3), key=lambda i: p[i])
    if p[lead] < floor:
        return None
    for i in range(3):
        if i != lead and ((others_at_most is not None and p[i] > others_at_most) or
                          (share is not None and p[i] > p[lead] * share)):
            return None
    return lead


def census(colours, face, tolerance=0, black=None, **face_rule):
    """Counts of the background (each channel within TOLERANCE of FACE), of black
    (no channel above BLACK; only when BLACK is given), of each face colour (by
    face_of with FACE_RULE) and of the other pixels, in that order of precedence."""
    counts = {"background": 0, "red": 0, "green": 0, "blue": 0}
    if black is not None:
        counts["black"] = 0
    counts["other"] = 0
    for p in colours:
        if all(abs(p[i] - face[i]) <= tolerance for i in range(3)):
            counts["background"] += 1
        elif black is not None and max(p) <= black:
            counts["black"] += 1
        else:
            lead = face_of(p, **face_rule)
            counts["other" if lead is None else FACES[lead]] += 1
    return counts
