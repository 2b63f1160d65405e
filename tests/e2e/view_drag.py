#!/usr/bin/env python3
"""The view control end to end: start the program under the running Wine
session, drag on its view with mouse messages sent by a Windows helper, and
judge the frames the view shows.

Wine renders an OpenGL child window into an offscreen X window of its own
(XComposite); that window, found by the view's client size, is captured from
the X server after each step. Needs DISPLAY and WINEPREFIX of a live session.

    view_drag.py HELPER.exe CAPTURE_DIR
"""

import os
import re
import subprocess
import sys
import tempfile
import time

import pixel_census

STEP_TIMEOUT = 30


class Failure(Exception):
    pass


def run(args, timeout=STEP_TIMEOUT):
    """Runs a command with stdin closed and stdout in a file (Wine's child
    processes inherit it, so a pipe would stay open), returns (code, output)."""
    with tempfile.TemporaryFile() as out:
        code = subprocess.run(args, stdin=subprocess.DEVNULL, stdout=out,
                              stderr=subprocess.DEVNULL, timeout=timeout).returncode
        out.seek(0)
        return code, out.read().decode(errors="replace")


class App:
    def __init__(self, helper):
        self.helper = helper
        self.pid = None

    def call(self, *args):
        code, output = run(["wine", self.helper] + [str(a) for a in args])
        if code != 0:
            raise Failure("helper %s exited %d" % (" ".join(map(str, args)), code))
        return output

    def launch(self):
        fields = self.call("launch").split()
        self.pid = int(fields[0])
        width, height = int(fields[1]), int(fields[2])
        face = tuple(int(v) for v in fields[3:6])
        return width, height, face

    def alive(self):
        code, _ = run(["wine", self.helper, "alive", str(self.pid)])
        return code == 0

    def press(self, x, y):
        self.call("press", self.pid, x, y)

    def move(self, x, y, dx, dy, count, buttons="down"):
        extra = ["up"] if buttons == "up" else []
        self.call("move", self.pid, x, y, dx, dy, count, *extra)

    def release(self, x, y):
        self.call("release", self.pid, x, y)

    def copy_report(self):
        return int(self.call("copy", self.pid).split()[0])

    def save_report(self, path):
        return int(self.call("save", self.pid, path).split()[0])

    def repaint(self):
        self.call("repaint", self.pid)

    def close(self):
        return int(self.call("close", self.pid).split()[0])


def find_frame_window(width, height, deadline=10.0):
    """The X window of exactly the view's client size: Wine's offscreen
    window for the view's OpenGL drawable."""
    pattern = re.compile(r"^\s*(0x[0-9a-f]+) .*\)\s+(\d+)x(\d+)[+-]")
    end = time.monotonic() + deadline
    while True:
        _, tree = run(["xwininfo", "-root", "-tree"])
        found = [m.group(1) for m in map(pattern.match, tree.splitlines())
                 if m and int(m.group(2)) == width and int(m.group(3)) == height]
        if len(found) == 1:
            return found[0]
        if time.monotonic() > end:
            raise Failure("expected one X window of %dx%d, found %s" % (width, height, found))
        time.sleep(0.2)


class Capturer:
    def __init__(self, window, directory):
        self.window = window
        self.directory = directory

    def grab(self, name):
        path = os.path.join(self.directory, name + ".png")
        code, _ = run(["import", "-window", self.window, path])
        if code != 0:
            raise Failure("import of window %s failed" % self.window)
        try:
            return pixel_census.read_picture(path, timeout=STEP_TIMEOUT)
        except ValueError:
            raise Failure("not a PPM capture of window %s" % self.window)

    def frame(self, name):
        """A capture once the X server shows a settled frame: two in a row
        that agree (the swap reaches the server just after the call returns)."""
        previous = self.grab(name)
        for _ in range(20):
            time.sleep(0.05)
            current = self.grab(name)
            if current == previous:
                return current
            previous = current
        raise Failure("the view's frame did not settle for %s" % name)


# A lit face in the offscreen frame is a pure primary: the other channels at
# most 8. Edge pixels blended by multisampling count as other.
PURE = {"others_at_most": 8}


def census(frame, face):
    """Pixels of the background colour (exactly) and of each pure primary."""
    return pixel_census.census(pixel_census.pixels(frame[2]), face, **PURE)


def shade(frame, channel):
    """The most common value of one channel among the pixels of that pure
    primary: the flat shade of the face of that colour."""
    values = {}
    for p in pixel_census.pixels(frame[2]):
        if pixel_census.face_of(p, **PURE) == channel:
            values[p[channel]] = values.get(p[channel], 0) + 1
    return max(values, key=values.get) if values else None


def pixel(frame, x, y):
    width, _, pixels = frame
    i = (y * width + x) * 3
    return tuple(pixels[i:i + 3])


def differing(a, b):
    return sum(1 for i in range(0, len(a[2]), 3) if a[2][i:i + 3] != b[2][i:i + 3])


def main():
    helper, directory = sys.argv[1], sys.argv[2]
    if not os.environ.get("DISPLAY") or not os.environ.get("WINEPREFIX"):
        print("needs a running Wine session (DISPLAY and WINEPREFIX)")
        return 1
    os.makedirs(directory, exist_ok=True)
    failures = []
    checks = passed = 0

    def check(condition, text):
        nonlocal checks, passed
        checks += 1
        passed += 1 if condition else 0
        print(("ok      " if condition else "FAILED  ") + text)
        if not condition:
            failures.append(text)

    app = App(helper)
    try:
        width, height, face = app.launch()
        print("view %dx%d, button face %s, pid %d" % (width, height, face, app.pid))
        window = find_frame_window(width, height)
        capture = Capturer(window, directory)
        total = width * height
        middleY = height // 2

        start = capture.frame("1-start")
        counts = census(start, face)
        print("start frame: %s of %d pixels" % (counts, total))
        for colour in ("red", "green", "blue"):
            check(counts[colour] >= total * 3 // 100,
                  "%s covers at least 3%% of the view (%d)" % (colour, counts[colour]))
        check(total * 70 // 100 <= counts["background"] <= total * 90 // 100,
              "button face covers 70%% to 90%% of the view (%d)" % counts["background"])
        corners = [pixel(start, x, y) for x in (0, width - 1) for y in (0, height - 1)]
        check(all(c == face for c in corners), "corners are the button face: %s" % corners)

        # Copy report makes contexts of its own and reads the view's: the
        # view's next frame is the same picture.
        lines = app.copy_report()
        check(lines > 40, "Copy report put the report on the clipboard (%d lines)" % lines)
        app.repaint()
        n = differing(start, capture.frame("1a-after-copy-report"))
        check(n == 0, "after Copy report the view's next frame is the same (%d differ)" % n)

        # Save report makes the same report after its Save dialog.
        size = app.save_report("C:\\glinspect-view-drag-report.txt")
        check(size > 1000, "Save report wrote the report (%d bytes)" % size)
        app.repaint()
        n = differing(start, capture.frame("1b-after-save-report"))
        check(n == 0, "after Save report the view's next frame is the same (%d differ)" % n)

        # Moves with no press before them: dragging is off, nothing turns.
        app.move(10, middleY, 5, 0, 12, buttons="up")
        app.move(70, middleY, 0, 5, 6)
        unpressed = capture.frame("2-moves-without-press")
        n = differing(start, unpressed)
        check(n == 0, "moves without a press change no pixel (%d differ)" % n)

        # Twenty single pixels: each step's half degree is dropped.
        app.press(40, middleY)
        app.move(40, middleY, 1, 0, 20)
        app.release(60, middleY)
        singles = capture.frame("3-twenty-single-pixels")
        n = differing(start, singles)
        check(n == 0, "twenty 1-px moves change no pixel (%d differ)" % n)

        # 30 px to the right in 3-px steps: ten degrees about Y.
        app.press(20, middleY)
        app.move(20, middleY, 3, 0, 10)
        app.release(50, middleY)
        right = capture.frame("4-dragged-30px-right")
        n = differing(start, right)
        check(n >= total * 2 // 100, "a 30-px drag changes at least 2%% of the pixels (%d)" % n)
        counts = census(right, face)
        print("after the drag: %s" % counts)
        check(counts["red"] > 0 and counts["green"] > 0 and counts["blue"] > 0,
              "the turned cube still shows three colours")

        # The top (green, +Y) face's normal and the light both ignore angleY:
        # a turn about the cube's own Y axis keeps its shade.
        green = shade(start, 1), shade(right, 1)
        check(green[0] == green[1],
              "a horizontal drag turns about Y: the top face keeps its shade %s" % (green,))

        # And back: the same angles give the same picture.
        app.press(50, middleY)
        app.move(50, middleY, -3, 0, 10)
        app.release(20, middleY)
        back = capture.frame("5-dragged-back")
        n = differing(start, back)
        check(n == 0, "dragging back 30 px restores the first picture (%d differ)" % n)

        # 30 px down: ten degrees about X, which also swings the light.
        app.press(60, 20)
        app.move(60, 20, 0, 3, 10)
        app.release(60, 50)
        down = capture.frame("5a-dragged-30px-down")
        n = differing(start, down)
        check(n >= total * 2 // 100, "a 30-px drag down changes at least 2%% of the pixels (%d)" % n)
        green = shade(start, 1), shade(down, 1)
        check(green[0] != green[1],
              "a vertical drag turns about X: the top face's shade changes %s" % (green,))
        app.press(60, 50)
        app.move(60, 50, 0, -3, 10)
        app.release(60, 20)
        n = differing(start, capture.frame("5b-dragged-back-up"))
        check(n == 0, "dragging back up restores the first picture (%d differ)" % n)

        # 60 px to the left inside the view, in 4-px steps: thirty degrees.
        app.press(100, middleY)
        app.move(100, middleY, -4, 0, 15)
        app.release(40, middleY)
        inside = capture.frame("6-dragged-60px-left-inside")
        app.press(40, middleY)
        app.move(40, middleY, 4, 0, 15)
        app.release(100, middleY)
        n = differing(start, capture.frame("7-dragged-back-again"))
        check(n == 0, "dragging back 60 px restores the first picture (%d differ)" % n)

        # The same 60 px, leaving the control on the left: x goes negative and
        # the cube turns on in the same steps as inside.
        app.press(12, middleY)
        app.move(12, middleY, -4, 0, 5)  # to x = -8
        leaving = capture.frame("8-left-of-view")
        app.move(-8, middleY, -4, 0, 10)  # to x = -48
        further = capture.frame("9-further-left")
        n = differing(leaving, further)
        check(n >= total * 2 // 100,
              "moving on left of the view (x < 0) keeps turning the cube (%d differ)" % n)
        n = differing(inside, further)
        check(n == 0, "the drag out of the view turns it exactly as far as the same "
                      "drag inside (%d differ)" % n)
        check(app.alive(), "the program answers during the drag outside the view")
        app.release(-48, middleY)
        released = capture.frame("10-released")
        app.move(-48, middleY, 4, 0, 10, buttons="up")
        after = capture.frame("11-moves-after-release")
        n = differing(released, after)
        check(n == 0, "after the release, moves change no pixel (%d differ)" % n)
        check(app.alive(), "the program still answers after the drag")

        code = app.close()
        app.pid = None
        check(code == 0, "the close box ends the program with status 0 (%d)" % code)
    except (Failure, subprocess.TimeoutExpired, subprocess.CalledProcessError) as error:
        failures.append(str(error))
        print("FAILED  %s" % error)
    finally:
        if app.pid is not None:
            try:
                app.close()
            except (Failure, subprocess.TimeoutExpired):
                pass

    print("view checks: %d of %d held, %d problems" % (passed, checks, len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
