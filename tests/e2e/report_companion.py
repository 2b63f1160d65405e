#!/usr/bin/env python3
"""The console companion's two outputs: the JSON parses, and it holds the same
facts as the text report; its options; registrations of the subkey and
display-adapter shapes show when the test seeds them (with reg.exe, removed
again after) and not otherwise, with the adapter's driver version and date;
the OpenGL ES and video memory lines as the driver has them, and the entry
points of --entry-points. Every JSON it prints follows docs/report.schema.json;
--compare of a report with itself and with a copy that lost an extension by
hand says so, as text and as JSON that follows docs/compare.schema.json, and
refuses a cut file.
Runs in the Wine session the caller started.

  report_companion.py GLINSPECT-REPORT-EXE VERSION WORK-FOLDER
  (VERSION: the build's, e.g. 1.0.0; WORK-FOLDER: where the compared files go)"""
import json
import pathlib
import subprocess
import sys

import jsonschema

DOCS = pathlib.Path(__file__).resolve().parents[2] / "docs"
SCHEMAS = {name: json.loads((DOCS / f"{name}.schema.json").read_text())
           for name in ("report", "compare")}
FAILURES = []


def validate(what, document, schema="report"):
    """Records each way document breaks docs/SCHEMA.schema.json."""
    for error in jsonschema.Draft7Validator(SCHEMAS[schema]).iter_errors(document):
        FAILURES.append(f"{what}: {schema}.schema.json: {'/'.join(map(str, error.path))}: {error.message}")


def run_any(exe, *args, cwd=None):
    return subprocess.run(["wine", exe, *args], stdin=subprocess.DEVNULL,
                          capture_output=True, timeout=120, cwd=cwd)


def run(exe, *args):
    done = run_any(exe, *args)
    if done.returncode != 0:
        sys.exit(f"{exe} {' '.join(args)} exited {done.returncode}: {done.stderr!r}")
    return done.stdout.decode("latin-1")


def reg(*args):
    return subprocess.run(["wine", "reg", *args], stdin=subprocess.DEVNULL,
                          capture_output=True, timeout=60).returncode


DISPLAY_CLASS = ("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Class\\"
                 "{4d36e968-e325-11ce-bfc1-08002be10318}")


VENDOR_VALUE = ("GlinspectVendor", "glinspectvendor.dll")


def seed_registrations(driver_key):
    """Adds a vendor driver's value, a subkey registration and a display
    adapter; returns the keys to delete afterwards (the value goes with
    unseed_vendor)."""
    drivers = driver_key.replace("HKEY_LOCAL_MACHINE\\", "HKLM\\")
    if reg("add", drivers, "/v", VENDOR_VALUE[0], "/t", "REG_SZ", "/d", VENDOR_VALUE[1], "/f") != 0:
        sys.exit(f"reg add {drivers} /v {VENDOR_VALUE[0]} failed")
    subkey = drivers + "\\GlinspectTest"
    adapter = next(f"{DISPLAY_CLASS}\\{n:04d}" for n in range(31, -1, -1)
                   if reg("query", f"{DISPLAY_CLASS}\\{n:04d}") != 0)
    added = [subkey, adapter]
    for key, name, kind, data in (
            (subkey, "Dll", "REG_SZ", "glinspecttest.dll"),
            (adapter, "OpenGLDriverName", "REG_MULTI_SZ", "glinspectgl.dll\\0second.dll"),
            (adapter, "OpenGLDriverNameWow", "REG_SZ", "glinspectgl32.dll"),
            (adapter, "DriverDesc", "REG_SZ", "Glinspect Test Adapter"),
            (adapter, "DriverVersion", "REG_SZ", "31.0.15.3713"),
            (adapter, "DriverDate", "REG_SZ", "6-12-2023")):
        if reg("add", key, "/v", name, "/t", kind, "/d", data, "/f") != 0:
            sys.exit(f"reg add {key} /v {name} failed")
    return added


def unseed_vendor(driver_key):
    return reg("delete", driver_key.replace("HKEY_LOCAL_MACHINE\\", "HKLM\\"), "/v", VENDOR_VALUE[0], "/f")


def system_line(system):
    """The System line the JSON's system member stands for."""
    line = f"System: {system['name']} ({system['major']}.{system['minor']}.{system['build']}"
    line += (" " + system["servicePack"] if system["servicePack"] else "") + ")"
    line += ", 64-bit" if system["is64BitWindows"] else ""
    wine = system["wine"]
    if wine:
        line += f" under Wine {wine['version']}"
        if wine["hostSystem"]:
            line += f" on {wine['hostSystem']}" + (f" {wine['hostRelease']}" if wine["hostRelease"] else "")
    return line


def display_line(display):
    line = f"Display: {display['width']}x{display['height']}, {display['bits']} bits"
    line += f", {display['refresh']} Hz" if display["refresh"] else ""
    line += f", {display['dpi']} dpi" + (f", {display['adapter']}" if display["adapter"] else "")
    return line


def section(lines, heading_start):
    """The indented lines under the heading that starts with heading_start."""
    start = next(i for i, line in enumerate(lines) if line.startswith(heading_start))
    body = []
    for line in lines[start + 1:]:
        if not line.startswith("  ") and not line.startswith("* "):
            break
        body.append(line)
    return lines[start], body


def check_compare(exe, work, report_text, expect):
    """--compare of two real reports: the same, one extension removed by hand,
    and a file cut short."""
    work.mkdir(parents=True, exist_ok=True)
    (work / "old.json").write_text(report_text, encoding="ascii")
    edited = json.loads(report_text)
    names = edited["glExtensions"]
    gone = names.pop(len(names) // 2)
    # Python's own layout, with spaces and line feeds the companion never writes.
    (work / "new.json").write_text(json.dumps(edited, indent=1), encoding="ascii")
    (work / "cut.json").write_text(report_text[:len(report_text) // 2], encoding="ascii")

    def compare(*args):
        done = run_any(exe, "--compare", *args, cwd=work)
        return done.returncode, done.stdout.decode("latin-1"), done.stderr.decode("latin-1")

    expect("compared with itself", compare("old.json", "old.json"), (0, "", ""))
    expect("one extension removed", compare("old.json", "new.json"),
           (1, f"glExtensions: {len(names) + 1} -> {len(names)} (1 removed, 0 added)\r\n"
               f"  - {json.dumps(gone)}\r\n", ""))
    status, out, err = compare("old.json", "new.json", "--json")
    expect("--json exit", (status, err), (1, ""))
    differences = json.loads(out)
    validate("--compare --json", differences, "compare")
    expect("--compare --json", differences,
           {"schemaVersion": "1.0", "differences": [
               {"path": ["glExtensions"], "change": "items", "oldCount": len(names) + 1,
                "newCount": len(names), "removed": [gone], "added": []}]})
    status, out, err = compare("old.json", "cut.json")
    expect("cut file", (status, out, err.startswith("glinspect-report: cut.json: byte "), "truncated" in err),
           (2, "", True, True))
    expect("missing file", compare("missing.json", "old.json"),
           (2, "", "glinspect-report: missing.json: cannot be opened\r\n"))
    expect("--compare with --formats", compare("old.json", "old.json", "--formats")[:2], (2, ""))


def es_line(es, wgl_extensions):
    """The OpenGL ES line the JSON's esProfile stands for; why there is none
    only where the WGL string says it."""
    if es:
        return f"OpenGL ES profile: {es['version']} ({es['versionString']})"
    if not {"WGL_EXT_create_context_es2_profile", "WGL_EXT_create_context_es_profile"} & set(wgl_extensions):
        return "OpenGL ES profile: none (no WGL_EXT_create_context_es2_profile)"
    return None


def check_es_and_video_memory(lines, report, check, expect):
    """The two lines after the core profile, text against JSON and against
    what the driver offers."""
    es = report["esProfile"]
    want = es_line(es, report["wglExtensions"])
    if want:
        check("OpenGL ES profile", lines[9], want)
    else:
        expect("OpenGL ES profile none", lines[9].startswith("OpenGL ES profile: none ("), True)
    if es:
        expect("ES version string", es["versionString"].startswith("OpenGL ES " + es["version"]), True)
    memory = report["videoMemory"]
    if "WGL_WINE_query_renderer" in report["wglExtensions"]:
        expect("video memory source", memory and memory["source"], "WGL_WINE_query_renderer")
    if memory:
        free = f", {memory['freeMB']} MB free" if memory["freeMB"] is not None else ""
        check("video memory", lines[10], f"Video memory: {memory['totalMB']} MB{free} ({memory['source']})")
        expect("video memory is some", memory["totalMB"] > 0, True)
    else:
        expect("no video memory line", any(line.startswith("Video memory: ") for line in lines), False)


def check_entry_points(exe, report, failures):
    """--entry-points: the line after the core profile and the missing ones
    last, text against JSON; every advertised name counted once."""
    lines = run(exe, "--entry-points")[:-2].split("\r\n")
    with_points = json.loads(run(exe, "--entry-points", "--json"))
    validate("--entry-points --json", with_points)
    points = with_points["entryPoints"]
    core = points["core"]
    want = f"Entry points: {points['version']} {points['found']} of {points['checked']}"
    want += f", core {core['version']} {core['found']} of {core['checked']}" if core else ""
    want += (f"; extensions {points['extensionFound']} of {points['extensionCommands']} in "
             f"{points['extensions']} extensions")
    unknown = points["unknownExtensions"]
    want += f"; {unknown} extension{'s' if unknown != 1 else ''} the registry does not list" if unknown else ""
    want += f"; {len(points['missing'])} missing" if points["missing"] else ""
    core_at = next(i for i, line in enumerate(lines) if line.startswith("Core profile: "))
    if lines[core_at + 1] != want:
        failures.append(f"entry points: text has {lines[core_at + 1]!r}, JSON has {want!r}")
    title, body = section(lines, "Missing entry points (")
    missing = [f"  {m['of']} {m['command']}" + (f" (answered {m['answer']})" if m["answer"] is not None else "")
               for m in points["missing"]]
    if [title] + body != [f"Missing entry points ({len(missing)}):"] + missing or lines[-1 - len(body)] != title:
        failures.append(f"missing entry points: {[title] + body!r} at the end, JSON has {missing!r}")
    names = [n for n in report["glExtensions"] + report["wglExtensions"] if n]
    if points["extensions"] + unknown != len(names):
        failures.append(f"{points['extensions']} known and {unknown} unknown extensions of {len(names)}")
    version = report["version"].split(" ")[0]
    if not (version.startswith(points["version"]) and points["checked"] > 0):
        failures.append(f"entry points of {points['version']}, {points['checked']} checked, on {version}")
    if (core is not None) != (report["coreProfile"] is not None) or (
            core and not report["coreProfile"].startswith(core["version"])):
        failures.append(f"core entry points {core!r} for core profile {report['coreProfile']!r}")
    if "llvmpipe" in report["renderer"] and (points["missing"] or points["extensionFound"] == 0):
        failures.append(f"Mesa lacks {points['missing']!r}")
    return points


def main():
    exe, build_version, work = sys.argv[1], sys.argv[2], pathlib.Path(sys.argv[3])
    text = run(exe)
    report_text = run(exe, "--json")
    report = json.loads(report_text)
    failures = FAILURES
    validate("--json", report)
    if list(report)[:1] != ["schemaVersion"] or report["schemaVersion"] != "1.1":
        failures.append(f"schemaVersion is not the first member, 1.1: {list(report)[:2]}")

    def check(what, text_has, json_has):
        if text_has != json_has:
            failures.append(f"{what}: text has {text_has!r}, JSON has {json_has!r}")

    def expect(what, got, want):
        if got != want:
            failures.append(f"{what}: got {got!r}, want {want!r}")

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
        expect("driver line parts", entry["line"], f"{entry['valueName']}: {entry['dllName']}")

    # The options: help and version on standard output, anything else refused.
    usage = run_any(exe, "--help")
    expect("--help exit", usage.returncode, 0)
    for option in ("--json", "--formats", "--entry-points", "--compare", "--help", "--version"):
        expect("usage names " + option, option in usage.stdout.decode(), True)
    version = run_any(exe, "--version")
    expect("--version", (version.returncode, version.stdout),
           (0, f"glinspect-report {build_version}\r\n".encode()))
    wrong = run_any(exe, "--jsn")
    expect("unknown option", (wrong.returncode, wrong.stdout, wrong.stderr),
           (2, b"", usage.stdout))

    # Where it ran: Wine's own version, no remote session under Wine.
    check("system", lines[4], system_line(report["system"]))
    expect("under Wine", bool(report["system"]["wine"]) and report["system"]["wine"]["version"] != "", True)
    expect("no remote session", report["remoteSession"], False)
    check("display", lines[5], display_line(report["display"]))

    # The deeper facts, text against JSON.
    acceleration = report["acceleration"]
    check("acceleration", lines[6], f"Acceleration: {acceleration['level']}: {acceleration['reason']}")
    advice = [line for line in lines if line.startswith("Advice: ")]
    check("advice after the verdict", lines[7:7 + len(advice)], advice)
    check("advice", advice, ["Advice: " + a for a in report["advice"]])
    if "llvmpipe" in report["renderer"]:
        expect("llvmpipe verdict", acceleration["level"], "none")
        expect("advice under Wine", report["advice"],
               ["under Wine, OpenGL is the host's: install or enable the host's GPU driver to leave "
                + report["renderer"]])
    # The render check and the draw rate follow the advice, each where the JSON has it.
    made = [title for title, key in (("Render check: ", "renderCheck"), ("Draw rate: ", "drawRate"))
            if report[key] is not None]
    check("render check and draw rate", [line[:len(title)] for line, title in zip(lines[7 + len(advice):], made)],
          made)
    lines = [line for line in lines if not line.startswith(("Advice: ", "Render check: ", "Draw rate: "))]
    check("shading language", lines[7], f"Shading language: {report['shadingLanguage'] or 'none'}")
    check("core profile", lines[8], f"Core profile: {report['coreProfile'] or 'none'}")
    check_es_and_video_memory(lines, report, check, expect)
    dlls = [line for line in lines if line.startswith("Driver DLL: ")]
    check("driver DLLs", dlls,
          [f"Driver DLL: {d['path']} ({d['version'] or 'unknown'})" for d in report["driverDlls"]]
          or ["Driver DLL: none loaded (OpenGL32.dll renders itself)"])
    sizes = report["extensionBytes"]
    names = report["glExtensions"]
    spaced = sum(len(n) for n in names) + len(names)
    if sizes["gl"] not in (spaced - 1, spaced):
        failures.append(f"GL extension bytes {sizes['gl']} do not fit {len(names)} names")
    title, body = section(lines, "Limits (")
    check("limits", [title] + body, [f"Limits ({len(report['limits'])}):"] +
          ["  " + " ".join([l["name"]] + [str(v) for v in l["values"]]) for l in report["limits"]])
    for heading, key in (("Registered as subkeys:", "subkeyDrivers"),
                         ("Display adapters:", "displayAdapters")):
        expect(heading + " unseeded", heading in lines or bool(report[key]), False)

    # Seeded only now, after the companion's first windows: Wine rebuilds the
    # display class's subkeys when the first window of a wineserver's life comes up.
    seeded = seed_registrations(drivers["key"])
    try:
        text = run(exe)
        seeded_text = run(exe, "--json")
        report = json.loads(seeded_text)
    finally:
        for key in seeded:
            reg("delete", key, "/f")
        vendor_removed = unseed_vendor(drivers["key"])
    validate("--json with seeded registrations", report)
    expect("vendor line JSON", [e for e in report["drivers"]["entries"] if e["dllName"] == VENDOR_VALUE[1]][:1],
           [{"line": f"{VENDOR_VALUE[0]}: {VENDOR_VALUE[1]}", "valueName": VENDOR_VALUE[0],
             "dllName": VENDOR_VALUE[1], "selected": True}])
    expect("vendor value removed", vendor_removed, 0)
    lines = text[:-2].split("\r\n")
    title, body = section(lines, "Registered as subkeys:")
    expect("subkey lines", body, ["  GlinspectTest: glinspecttest.dll"])
    expect("subkey JSON", report["subkeyDrivers"], [{"name": "GlinspectTest", "dll": "glinspecttest.dll"}])
    title, body = section(lines, "Display adapters:")
    expect("adapter lines", body,
           ["  Glinspect Test Adapter: glinspectgl.dll (32-bit: glinspectgl32.dll)"
            " (driver 31.0.15.3713 of 6-12-2023)"])
    expect("adapter JSON", report["displayAdapters"],
           [{"description": "Glinspect Test Adapter", "name": "glinspectgl.dll",
             "wowName": "glinspectgl32.dll", "driverVersion": "31.0.15.3713",
             "driverDate": "6-12-2023"}])
    expect("seeded keys removed", [reg("query", key) for key in seeded], [1, 1])

    # Only asked for, and then checked.
    if "entryPoints" in report or any(line.startswith(("Entry points:", "Missing entry points")) for line in lines):
        failures.append("entry points without --entry-points")
    points = check_entry_points(exe, report, failures)

    # The pixel-format table: the view's format alone marked, and no other
    # line but the selected driver's.
    formats = run(exe, "--formats")[:-2].split("\r\n")
    title, body = section(formats, "Pixel formats (")
    expect("format rows", len(body) - 1, int(title[len("Pixel formats ("):-2]))
    expect("marked format rows", [line.split()[1] for line in body if line.startswith("*")],
           [str(pixel["index"])])
    expect("other marked lines", [line for line in formats if line.startswith("*") and line not in body],
           ["* " + e["line"] for e in drivers["entries"] if e["selected"]])

    with_formats = json.loads(run(exe, "--json", "--formats"))
    validate("--json --formats", with_formats)
    expect("--json --formats rows", len(with_formats.get("pixelFormats", [])), len(body) - 1)

    check_compare(exe, work, report_text, expect)

    # The report before and after the seeding: the new registrations, each
    # named by what the compare matches it by, in the report's order.
    (work / "seeded.json").write_text(seeded_text, encoding="ascii")
    done = run_any(exe, "--compare", "old.json", "seeded.json", cwd=work)
    found = done.stdout.decode("latin-1").split("\r\n")
    wanted = [f'drivers.entries["{VENDOR_VALUE[1]}"]: added {{"line":"{VENDOR_VALUE[0]}: {VENDOR_VALUE[1]}",',
              'subkeyDrivers["GlinspectTest"]: added {"name":"GlinspectTest","dll":"glinspecttest.dll"}',
              'displayAdapters["Glinspect Test Adapter"]: added {"description":"Glinspect Test Adapter",']
    at = [next((i for i, line in enumerate(found) if line.startswith(want)), -1) for want in wanted]
    expect("compare with the seeded report", (done.returncode, min(at) >= 0 and at == sorted(at)), (1, True))

    print(f"{len(lines)} text lines, {len(report['glExtensions'])} OpenGL and "
          f"{len(report['wglExtensions'])} WGL extensions, {len(drivers['entries'])} driver lines, "
          f"{points['checked'] + points['extensionCommands']} entry points, "
          f"OpenGL ES {report['esProfile'] and report['esProfile']['version']}, video memory {report['videoMemory']}")
    for failure in failures:
        print("FAIL:", failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
