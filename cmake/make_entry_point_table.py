#!/usr/bin/env python3
"""Turns the Khronos XML API registry (gl.xml and wgl.xml) into the compact
table of entry points that platform/entry_points.h reads: every command of
the desktop GL versions 1.2 and later and of every GL and WGL extension.

  make_entry_point_table.py GL.XML WGL.XML OUTPUT.CPP [SYMBOL]

Commands, sorted, each as one byte (flags in the top two bits: 0x40 an
OpenGL 1.0 or 1.1 command, 0x80 one of a version that the newest core profile
lacks: removed, or required for the compatibility profile only; the low six
bits the length shared with the name before) and the rest of the name, NUL
ended. Groups (the versions in order, then the extensions sorted by name)
each as a byte of the length shared with the group name before, the rest of
the name, NUL, then the count of its commands and the gaps between their
sorted indices, as 7-bit variable-length numbers."""
import os
import sys
import xml.etree.ElementTree as ET

OPENGL_EXPORT = 0x40
NOT_IN_CORE = 0x80
MAX_SHARED = 0x3F


def for_api(element, api):
    return element.get("api") in (None, api)


def required_commands(element, api):
    return [command.get("name") for require in element.findall("require") if for_api(require, api)
            for command in require.findall("command")]


def in_core(element):
    return element.get("profile") in (None, "core")


def read_registry(gl_path, wgl_path):
    """The groups as (name, commands), versions first, and the flags of each command."""
    gl = ET.parse(gl_path).getroot()
    wgl = ET.parse(wgl_path).getroot()
    features = sorted((tuple(int(part) for part in feature.get("number").split(".")), feature)
                      for feature in gl.findall("feature") if feature.get("api") == "gl")
    versions, flags, core = [], {}, set()
    for number, feature in features:
        commands = required_commands(feature, "gl")
        # What the newest core profile has: required outside the compatibility
        # profile, and not removed since. One flag for every version serves:
        # the registry re-requires no command of 1.2 to 3.1 that 3.2 removed.
        for require in feature.findall("require"):
            if for_api(require, "gl") and in_core(require):
                core.update(command.get("name") for command in require.findall("command"))
        for remove in feature.findall("remove"):
            if in_core(remove):
                core.difference_update(command.get("name") for command in remove.findall("command"))
        if number < (1, 2):
            for name in commands:
                flags[name] = flags.get(name, 0) | OPENGL_EXPORT
        else:
            versions.append((feature.get("name"), commands))
    for _, commands in versions:
        for name in commands:
            if name not in core:
                flags[name] = flags.get(name, 0) | NOT_IN_CORE
    extensions = []
    for root, api, supported in ((gl, "gl", ("gl", "glcore")), (wgl, "wgl", ("wgl",))):
        for extension in root.iter("extension"):
            if set(extension.get("supported", "").split("|")) & set(supported):
                extensions.append((extension.get("name"), required_commands(extension, api)))
    extensions.sort(key=lambda group: group[0].encode())
    return versions + extensions, flags


def shared_length(a, b):
    n = 0
    while n < len(a) and n < len(b) and a[n] == b[n]:
        n += 1
    return n


def varint(value):
    out = bytearray()
    while True:
        byte = value & 0x7F
        value >>= 7
        out.append(byte | (0x80 if value else 0))
        if not value:
            return bytes(out)


def encode(groups, flags):
    names = sorted({name for _, commands in groups for name in commands}, key=str.encode)
    index = {name: i for i, name in enumerate(names)}
    commands_blob, previous = bytearray(), ""
    for name in names:
        shared = min(shared_length(previous, name), MAX_SHARED)
        commands_blob.append(flags.get(name, 0) | shared)
        commands_blob += name[shared:].encode("ascii") + b"\0"
        previous = name
    groups_blob, previous = bytearray(), ""
    for name, commands in groups:
        shared = min(shared_length(previous, name), 0xFF)
        groups_blob.append(shared)
        groups_blob += name[shared:].encode("ascii") + b"\0"
        previous = name
        members = sorted({index[command] for command in commands})
        groups_blob += varint(len(members))
        last = -1
        for member in members:
            groups_blob += varint(member - last - 1)
            last = member
    text_bytes = sum(len(name) + 1 for name in names)
    group_text_bytes = sum(len(name) + 1 for name, _ in groups)
    return names, bytes(commands_blob), bytes(groups_blob), text_bytes, group_text_bytes


def literal(blob):
    """blob as concatenated C string literals, octal escapes for what is not a plain character."""
    lines, line = [], ""
    for byte in blob:
        char = chr(byte)
        line += char if 0x20 <= byte < 0x7F and char not in "\"\\?" else f"\\{byte:03o}"
        if len(line) >= 96:
            lines.append(f'    "{line}"')
            line = ""
    if line or not lines:
        lines.append(f'    "{line}"')
    return "\n".join(lines)


def main():
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    gl_path, wgl_path, output = sys.argv[1:4]
    symbol = sys.argv[4] if len(sys.argv) == 5 else "kRegistryEntryPoints"
    groups, flags = read_registry(gl_path, wgl_path)
    names, commands, group_blob, text_bytes, group_text_bytes = encode(groups, flags)
    version_count = sum(1 for name, _ in groups if name.startswith("GL_VERSION_"))
    source = f"""// Made by cmake/make_entry_point_table.py from {gl_path} and {wgl_path}.
#include "platform/entry_points.h"

static const char kCommands[] =
{literal(commands)};

static const char kGroups[] =
{literal(group_blob)};

extern const EntryPointTable {symbol} = {{
    kCommands, {len(names)}, {text_bytes}ul,
    kGroups, {len(groups)}, {version_count}, {group_text_bytes}ul,
}};
"""
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    with open(output, "w", encoding="ascii") as out:
        out.write(source)


if __name__ == "__main__":
    main()
