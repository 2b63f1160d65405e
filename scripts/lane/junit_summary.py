#!/usr/bin/env python3
"""The Wine 10 lane's results: every test case of the JUnit files (ctest's
--output-junit, lane_stop_check.py --junit) and the checks given by their exit
status, one line each, then "wine10 lane: N passed, N failed". Exits 1 when
one failed or a file is missing.

    junit_summary.py JUNIT.xml... [--check NAME STATUS]...
"""
import sys
import xml.etree.ElementTree as ElementTree


def main(args):
    results = []
    while args:
        if args[0] == "--check":
            results.append((args[1], args[2] == "0"))
            args = args[3:]
            continue
        try:
            cases = ElementTree.parse(args[0]).getroot().iter("testcase")
        except (OSError, ElementTree.ParseError) as error:
            results.append((f"results of {args[0]} ({error})", False))
            cases = []
        for case in cases:
            if case.find("skipped") is None and case.get("status") not in ("notrun", "disabled"):
                results.append((case.get("name"), case.find("failure") is None and case.find("error") is None))
        args = args[1:]
    for name, ok in results:
        print(f"   [ {'    OK' if ok else 'FAILED'} ] {name}")
    passed = sum(ok for _, ok in results)
    print(f"wine10 lane: {passed} passed, {len(results) - passed} failed")
    return 0 if passed == len(results) else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
