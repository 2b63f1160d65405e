#!/usr/bin/env python3
"""The folders of the product include downward only, and document/ and
compare/ are pure.

Layers, lowest first: document/ (the report's facts and writers, plain
C++), compare/ (reports read back and compared), platform/, drivers/, view/,
report/, app/. A file may include its own folder's headers and those of any
lower layer. document/ includes no header of another folder, no Windows or
OpenGL header, and only the standard C++ library besides; compare/ the same,
document/'s headers and jsmn's.

  include_layers.py SOURCE-ROOT"""
import pathlib
import re
import sys

LAYERS = ["document", "compare", "platform", "drivers", "view", "report", "app"]
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
# What the pure layer may include from outside the project.
STANDARD = re.compile(r"^c[a-z]+$|^(type_traits|cstddef|cstdint|cstdlib|cstring|climits|new|utility)$")
# The pure layers: what each may include of the project's folders and besides.
PURE = {"document": ({"document"}, STANDARD),
        "compare": ({"document", "compare"}, re.compile(STANDARD.pattern + r"|^jsmn\.h$"))}


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
                if folder in PURE:
                    own, outside = PURE[folder]
                    if bracket == "<" and not outside.match(header) or bracket == '"' and top not in own:
                        yield f"{where}: {folder}/ is pure, but it includes {header}"


def main():
    found = list(problems(pathlib.Path(sys.argv[1])))
    for problem in found:
        print(problem)
    print(f"include layers: {len(found)} problems")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
