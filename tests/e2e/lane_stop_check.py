#!/usr/bin/env python3
"""scripts/wine10-lane.sh's own rules, tried on the script itself:

- a folder the lane did not make (no marker file, not empty) as GLINSPECT_LANE_ROOT:
  `setup` and `remove` stop with an error and leave it, and what is beside it, as it was;
- `remove` on a stand-in root that carries the marker deletes it, the files beside it and
  the lane's Wine prefix, and nothing else;
- Ctrl-C: `wine10-lane.sh test` runs in a process group of its own and gets SIGINT there
  once ctest runs a case of the Windows test program inside the root (in the session and pid
  namespace of the lane's bwrap, which a terminal's Ctrl-C does not reach) beside the
  session's Xvfb and wineserver. The script must exit 130, and within 10 s nothing it
  started may still run, nothing be mounted under the root, and the session's prefix folder
  and display lock be gone. This process is the subreaper of everything started below it,
  so whatever the lane leaves running is still its descendant.

  GLINSPECT_LANE_ROOT=ROOT lane_stop_check.py [--junit FILE]
      (as root; ROOT complete, build/win32 built)

Prints "passed: NAME" or "FAILED: NAME: why" for each check, and writes them to FILE as
JUnit XML; exits 1 when one failed.
"""
import ctypes
import os
import pathlib
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree

REPO = pathlib.Path(__file__).resolve().parents[2]
LANE = REPO / "scripts" / "wine10-lane.sh"
ROOT = os.path.realpath(os.environ.get("GLINSPECT_LANE_ROOT", "/var/cache/glinspect/trixie-root"))
MARKER = ".glinspect-lane-root"
PR_SET_CHILD_SUBREAPER = 36
STOP_SECONDS = 10

results = []


def report(name, why=None):
    results.append((name, why))
    if why:
        print(f"FAILED: {name}: {why}", flush=True)
    else:
        print(f"passed: {name}", flush=True)


def write_junit(path):
    suite = ElementTree.Element("testsuite", name="lane_stop_check", tests=str(len(results)),
                                failures=str(sum(1 for _, why in results if why)))
    for name, why in results:
        case = ElementTree.SubElement(suite, "testcase", name=name, classname="lane_stop_check")
        if why:
            ElementTree.SubElement(case, "failure", message=why)
    ElementTree.ElementTree(suite).write(path, encoding="utf-8", xml_declaration=True)


def lane(*args, **env):
    return subprocess.run([str(LANE), *args], env={**os.environ, **env}, stdin=subprocess.DEVNULL,
                          capture_output=True, text=True, timeout=60)


def tree(folder):
    """Every path under folder, with the bytes of the files."""
    return sorted((str(p.relative_to(folder)), p.read_bytes() if p.is_file() else None)
                  for p in folder.rglob("*"))


def foreign_folder_is_left_alone():
    with tempfile.TemporaryDirectory(prefix="glinspect-lane-foreign.") as scratch:
        scratch = pathlib.Path(scratch)
        foreign = scratch / "somebody-elses"
        foreign.mkdir()
        (foreign / "keep.txt").write_text("not the lane's\n")
        before = tree(scratch)
        for command in ("setup", "remove"):
            done = lane(command, GLINSPECT_LANE_ROOT=str(foreign))
            why = None
            if done.returncode == 0:
                why = "exited 0"
            elif "is not the lane's root" not in done.stderr:
                why = f"got {done.stderr.strip()!r}, want the refusal"
            elif tree(scratch) != before:
                why = f"got {[p for p, _ in tree(scratch)]}, want {[p for p, _ in before]}"
            report(f"{command} refuses a folder the lane did not make and leaves it as it was", why)


def remove_takes_what_the_lane_made():
    with tempfile.TemporaryDirectory(prefix="glinspect-lane-remove.") as scratch:
        scratch = pathlib.Path(scratch)
        root = scratch / "root"
        (root / "usr" / "bin").mkdir(parents=True)
        (root / MARKER).write_text("made by the lane\n")
        (root / "usr" / "bin" / "wine").write_bytes(bytes(3_000_000))
        for beside in ("root.lock", "root.mmdebstrap.log", "root.debootstrap.log", "root.install.log"):
            (scratch / beside).write_text("the lane's\n")
        (scratch / "prefix" / "dosdevices").mkdir(parents=True)
        (scratch / "root.other").write_text("stays\n")
        done = lane("remove", GLINSPECT_LANE_ROOT=str(root), GLINSPECT_LANE_PREFIX=str(scratch / "prefix"),
                    GLINSPECT_LANE_LOGS=str(scratch / "logs"))
        left = sorted(p.name for p in scratch.iterdir())
        why = None
        if done.returncode != 0:
            why = f"exited {done.returncode}: {done.stderr.strip()}"
        elif left != ["root.other"]:
            why = f"got {left} left, want ['root.other']"
        elif "3 MB freed" not in done.stdout:
            why = f"got {done.stdout.strip()!r}, want the 3 MB freed"
        report("remove deletes the marked root, the files beside it and the prefix, nothing more", why)


def processes():
    """pid: (ppid, state, command name, process group) of every process."""
    table = {}
    for entry in os.scandir("/proc"):
        if not entry.name.isdigit():
            continue
        try:
            with open(f"/proc/{entry.name}/stat") as f:
                stat = f.read()
        except OSError:
            continue
        fields = stat[stat.rindex(")") + 2:].split()
        table[int(entry.name)] = (int(fields[1]), fields[0], stat[stat.index("(") + 1:stat.rindex(")")],
                                  int(fields[2]))
    return table


def descendants():
    """The processes below this one, zombies included."""
    table = processes()
    children = {}
    for pid, (ppid, *_rest) in table.items():
        children.setdefault(ppid, []).append(pid)
    found, todo = {}, [os.getpid()]
    while todo:
        for child in children.get(todo.pop(), []):
            found[child] = table[child]
            todo.append(child)
    return found


def running(below):
    return {pid: p for pid, p in below.items() if p[1] != "Z"}


def reap(keep):
    """Waits for the orphans handed to this process, so they do not stay zombies."""
    for pid, (ppid, state, *_rest) in descendants().items():
        if ppid == os.getpid() and state == "Z" and pid != keep:
            try:
                os.waitpid(pid, os.WNOHANG)
            except ChildProcessError:
                pass


def proc_text(pid, name):
    try:
        with open(f"/proc/{pid}/{name}", "rb") as f:
            return f.read().split(b"\0")
    except OSError:
        return []


def describe(below):
    return ", ".join(f"{p[2]} ({pid}, group {p[3]})" for pid, p in sorted(below.items()))


def ctrl_c_ends_everything(name="Ctrl-C ends all the lane started, within 10 s, with status 130"):
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
        report(name, f"cannot become a subreaper (errno {ctypes.get_errno()})")
        return
    # As from a terminal: the caller may have started this check with SIGINT
    # ignored (bash does so for a command run in the background), which the
    # script would inherit; a handler of this process's own is reset on exec.
    signal.signal(signal.SIGINT, signal.default_int_handler)
    logs = tempfile.mkdtemp(prefix="glinspect-lane-stop.")
    run = None
    try:
        with open(os.path.join(logs, "run.log"), "w") as out:
            run = subprocess.Popen([str(LANE), "test"], stdin=subprocess.DEVNULL, stdout=out,
                                   stderr=subprocess.STDOUT, start_new_session=True,
                                   env={**os.environ, "GLINSPECT_LANE_LOGS": logs})
        # The moment: ctest runs a case of the test program; Xvfb and Wine's server are up.
        deadline = time.monotonic() + 120
        ready = False
        while not ready and time.monotonic() < deadline and run.poll() is None:
            time.sleep(0.2)
            now = running(descendants())
            names = [p[2] for p in now.values()]
            ready = ("Xvfb" in names and any(n.startswith("wineserver") for n in names) and
                     any(any(b"glinspect_win32_tests" in a for a in args) and
                         any(a.startswith(b"--gtest_filter=") for a in args)
                         for args in (proc_text(pid, "cmdline") for pid in now)))
        if not ready:
            with open(os.path.join(logs, "run.log")) as f:
                report(name, "the test program never ran under the lane: " + f.read()[-600:])
            return
        time.sleep(2)
        before = running(descendants())
        prefixes = {e[len(b"WINEPREFIX="):].decode() for pid in before for e in proc_text(pid, "environ")
                    if e.startswith(b"WINEPREFIX=/tmp/lane-run.")}
        displays = {a.decode() for pid, p in before.items() if p[2] == "Xvfb"
                    for a in proc_text(pid, "cmdline") if a.startswith(b":")}
        elsewhere = sum(1 for p in before.values() if p[3] != run.pid)
        print(f"   interrupted with {len(before)} processes running, {elsewhere} of them in process "
              f"groups other than the script's", flush=True)

        os.killpg(run.pid, signal.SIGINT)
        sent = time.monotonic()
        try:
            status = run.wait(timeout=STOP_SECONDS)
        except subprocess.TimeoutExpired:
            status = None
        left = running(descendants())
        while left and time.monotonic() < sent + STOP_SECONDS:
            reap(run.pid)
            time.sleep(0.2)
            left = running(descendants())
        if not left:
            print(f"   all ended {time.monotonic() - sent:.1f} s after Ctrl-C", flush=True)
        with open("/proc/mounts") as f:
            mounts = [line.split()[1] for line in f if line.split()[1].startswith(ROOT + "/")]
        leftovers = [p for p in prefixes if os.path.exists(os.path.dirname(p))]
        leftovers += [f"/tmp/.X{d[1:]}-lock" for d in displays if os.path.exists(f"/tmp/.X{d[1:]}-lock")]
        problems = []
        if status != 130:
            problems.append(f"exit status: got {status}, want 130")
        if left:
            problems.append(f"still running {STOP_SECONDS} s after Ctrl-C: {describe(left)}")
        if mounts:
            problems.append(f"still mounted: {mounts}")
        if leftovers:
            problems.append(f"left behind: {leftovers}")
        if not elsewhere:
            problems.append("nothing ran outside the script's process group, where Ctrl-C does not reach")
        if not prefixes or not displays:
            problems.append(f"the session's prefix {prefixes} or display {displays} not seen")
        report(name, "; ".join(problems))
    finally:
        # Whatever went wrong here: the lane's own way out first, so that its
        # sessions remove their prefixes.
        if run is not None and run.poll() is None:
            os.killpg(run.pid, signal.SIGTERM)
            try:
                run.wait(timeout=STOP_SECONDS)
            except subprocess.TimeoutExpired:
                os.killpg(run.pid, signal.SIGKILL)
                run.wait()
        for pid in running(descendants()):
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        time.sleep(0.2)
        reap(None)
        shutil.rmtree(logs, ignore_errors=True)


def main():
    junit = sys.argv[sys.argv.index("--junit") + 1] if "--junit" in sys.argv else None
    # Stopped by the lane it belongs to: the lane under test is stopped too (finally).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    try:
        foreign_folder_is_left_alone()
        remove_takes_what_the_lane_made()
        ctrl_c_ends_everything()
    finally:
        if junit:
            write_junit(junit)
    sys.exit(1 if any(why for _, why in results) else 0)


if __name__ == "__main__":
    main()
