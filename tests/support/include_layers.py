#!/usr/bin/env python3
"""The folders of the product include downward only, and document/ is pure.

Layers, lowest first: document/ (the report's facts and writers, plain
C++), platform/, drivers/, view/, report/, app/. A file may include its own
folder's headers and those of any lower layer. document/ includes no header
of another folder, no Windows or OpenGL header, and only the standard C++
library besides.

  include_layers.py SOURCE-ROOT"""
import pathlib
import re
import sys

LAYERS = ["document", "platform", "drivers", "view", "report", "app"]
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
# What the pure layer may include from outside the project.
STANDARD = re.compile(r"^c[a-z]+$|^(type_traits|cstddef|cstdint|cstdlib|cstring|climits|new|utility)$")


def problems(root):
    for layer, folder in enumerate(LAYERS):
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            for bracket, header in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
                where = path.relative_to(root)
                top = header.split("/")[0]
                if bracket == '"' and top in LAYERS and LAYERS.index(top) > layer:
                    yield f"{where}: includes {header}, a layer above {folder}/"
                if folder == "document" and (bracket == "<" and not STANDARD.match(header)
                                             or bracket == '"' and top != "document"):
                    yield f"{where}: document/ is pure, but it includes {header}"


def main():
    found = list(problems(pathlib.Path(sys.argv[1])))
    for problem in found:
        print(problem)
    print(f"include layers: {len(found)} problems")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
