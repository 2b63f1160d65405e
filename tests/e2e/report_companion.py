#!/usr/bin/env python3
"""The console companion's two outputs: the JSON parses, and it holds the same
facts as the text report; and its options. Runs in the Wine session the caller
started."""
import json
import subprocess
import sys


def run_any(exe, *args):
    return subprocess.run(["wine", exe, *args], stdin=subprocess.DEVNULL,
                          capture_output=True, timeout=120)


def run(exe, *args):
    done = run_any(exe, *args)
    if done.returncode != 0:
        sys.exit(f"{exe} {' '.join(args)} exited {done.returncode}: {done.stderr!r}")
    return done.stdout.decode("latin-1")


def section(lines, heading_start):
    """The indented lines under the heading that starts with heading_start."""
    start = next(i for i, line in enumerate(lines) if line.startswith(heading_start))
    body = []
    for line in lines[start + 1:]:
        if not line.startswith("  ") and not line.startswith("* "):
            break
        body.append(line)
    return lines[start], body


def main():
    exe = sys.argv[1]
    text = run(exe)
    report = json.loads(run(exe, "--json"))
    failures = []

    def check(what, got, expected):
        if got != expected:
            failures.append(f"{what}: text has {got!r}, JSON has {expected!r}")

    assert text.endswith("\r\n"), "CRLF line ends"
    lines = text[:-2].split("\r\n")
    check("vendor", lines[0], "Vendor: " + report["vendor"])
    check("renderer", lines[1], "Renderer: " + report["renderer"])
    check("version", lines[2], "Version: " + report["version"])
    pixel = report["pixelFormat"]
    samples = pixel["samples"] if pixel["samples"] is not None else "none"
    check("pixel format", lines[3], f"Pixel format: {pixel['index']}, samples: {samples}")
    for heading, key in (("OpenGL extensions", "glExtensions"), ("WGL extensions", "wglExtensions")):
        title, body = section(lines, heading + " (")
        check(heading + " heading", title, f"{heading} ({len(report[key])}):")
        check(heading, [line[2:] for line in body], report[key])
    title, body = section(lines, "OpenGL drivers (")
    drivers = report["drivers"]
    check("driver heading", title, f"OpenGL drivers ({drivers['key']}):")
    check("driver lines", body,
          [("* " if e["selected"] else "  ") + e["line"] for e in drivers["entries"]])
    for entry in drivers["entries"]:
        check("driver line parts", entry["line"], f"{entry['valueName']}: {entry['dllName']}")
    accel = report["acceleration"]
    check("acceleration", lines[4], f"Acceleration: {accel['level']}: {accel['reason']}")
    check("shading language", lines[5], f"Shading language: {report['shadingLanguage'] or 'none'}")
    check("core profile", lines[6], f"Core profile: {report['coreProfile'] or 'none'}")
    title, body = section(lines, "Limits (")
    check("limits", [title] + body, [f"Limits ({len(report['limits'])}):"] +
          ["  " + " ".join([limit["name"]] + [str(v) for v in limit["values"]])
           for limit in report["limits"]])

    # The options: help and version on standard output, anything else refused.
    usage = run_any(exe, "--help")
    check("--help exit", usage.returncode, 0)
    for option in ("--json", "--formats", "--help", "--version"):
        check("usage names " + option, option in usage.stdout.decode(), True)
    version = run_any(exe, "--version")
    check("--version", (version.returncode, version.stdout), (0, b"glinspect-report 1.0.0\r\n"))
    wrong = run_any(exe, "--jsn")
    check("unknown option", (wrong.returncode, wrong.stdout, wrong.stderr),
          (2, b"", usage.stdout))

    print(f"{len(lines)} text lines, {len(report['glExtensions'])} OpenGL and "
          f"{len(report['wglExtensions'])} WGL extensions, {len(drivers['entries'])} driver lines")
    for failure in failures:
        print("FAIL:", failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
