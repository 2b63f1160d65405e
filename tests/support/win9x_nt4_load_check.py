#!/usr/bin/env python3
"""Does a 32-bit exe load on Windows 95 OSR2, Windows 98 and Windows NT 4.0?

Usage: win9x_nt4_load_check.py [-v] [--console] [--expect-refusal NAME]... EXE

Reads the PE headers and both import tables (the normal one and the
delay-load one) and checks them against win9x_nt4_exports.txt, the names
that each of those three systems exports. The exe is refused when it is not
a PE32 image for i386, when its subsystem (2, the GUI; 3 with --console) or
its subsystem version (4.0) is not what the three loaders take, when it
imports from a DLL outside the list, by ordinal, or a name that is not known
to be exported by all three systems. Exit status: 0 accepted, 1 refused,
2 unreadable.

--expect-refusal NAME turns it into its own negative test: it then succeeds
only when the exe is refused and some reason names NAME (given more than
once, every NAME must be named).
"""
import argparse
import os
import struct
import sys

EXPORTS_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "win9x_nt4_exports.txt")

IMAGE_FILE_MACHINE_I386 = 0x14C
PE32_MAGIC = 0x10B
SUBSYSTEM_GUI = 2
SUBSYSTEM_CONSOLE = 3
DIRECTORY_IMPORT = 1
DIRECTORY_DELAY_IMPORT = 13
ORDINAL_FLAG = 0x80000000


class NotAnImage(Exception):
    pass


def load_exports(path=EXPORTS_FILE):
    """{DLL base name in upper case: set of export names} from the data file."""
    exports = {}
    names = None
    with open(path, encoding="ascii") as data:
        for line in data:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            if line.startswith("[") and line.endswith("]"):
                names = exports.setdefault(line[1:-1].upper(), set())
            elif names is None:
                raise ValueError(f"{path}: a name before the first [DLL] line: {line}")
            else:
                names.add(line)
    return exports


def dll_key(name):
    """KERNEL32 for "kernel32.dll", "KERNEL32.DLL" or "KERNEL32"."""
    name = name.upper()
    return name[:-4] if name.endswith(".DLL") else name


class PeImage:
    """The parts of a PE32 file the loader looks at first."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ" or len(data) < 0x40:
            raise NotAnImage("no MZ header")
        pe = self.u32(0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise NotAnImage("no PE signature")
        (self.machine, section_count, _, _, _, optional_size,
         _) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        self.magic = self.u16(opt)
        if self.magic != PE32_MAGIC:
            return  # the header layout below is PE32's; the caller refuses the rest
        self.image_base = self.u32(opt + 28)
        self.os_version = (self.u16(opt + 40), self.u16(opt + 42))
        self.subsystem_version = (self.u16(opt + 48), self.u16(opt + 50))
        self.subsystem = self.u16(opt + 68)
        directory_count = self.u32(opt + 92)
        self.directories = [struct.unpack_from("<II", data, opt + 96 + 8 * i)
                            for i in range(min(directory_count, 16))]
        self.sections = []
        table = opt + optional_size
        for i in range(section_count):
            (virtual_size, address, raw_size,
             raw_offset) = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            self.sections.append((address, max(virtual_size, raw_size), raw_offset, raw_size))

    def u16(self, offset):
        return struct.unpack_from("<H", self.data, offset)[0]

    def u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def offset(self, rva):
        for address, size, raw_offset, raw_size in self.sections:
            if address <= rva < address + size and rva - address < raw_size:
                return raw_offset + rva - address
        raise NotAnImage(f"address 0x{rva:x} is in no section")

    def string(self, rva):
        start = self.offset(rva)
        end = self.data.index(b"\0", start)
        return self.data[start:end].decode("latin-1")

    def directory(self, index):
        """(RVA, size) of a data directory, or (0, 0) when the image has none."""
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def thunks(self, rva):
        """(ordinal, None) or (None, name) for each entry of an import name table."""
        while True:
            value = self.u32(self.offset(rva))
            if value == 0:
                return
            if value & ORDINAL_FLAG:
                yield value & 0xFFFF, None
            else:
                yield None, self.string(value + 2)  # past the two-byte hint
            rva += 4

    def imports(self):
        """(dll, ordinal or None, name or None, "delay-load" or "") for every import."""
        rva, _ = self.directory(DIRECTORY_IMPORT)
        while rva:
            name_table, _, _, dll_name, address_table = struct.unpack_from(
                "<IIIII", self.data, self.offset(rva))
            if not dll_name:
                break
            for ordinal, name in self.thunks(name_table or address_table):
                yield self.string(dll_name), ordinal, name, ""
            rva += 20
        rva, size = self.directory(DIRECTORY_DELAY_IMPORT)
        end = rva + size
        while rva and rva + 32 <= end:
            fields = struct.unpack_from("<IIIIIIII", self.data, self.offset(rva))
            attributes, dll_name, name_table = fields[0], fields[1], fields[4]
            if not dll_name:
                break
            # NOTE: the old Visual C++ 6 form (attribute bit 0 clear) holds addresses, not RVAs.
            # NOTE: GNU ld 2.40 leaves this directory empty for dlltool's delay-import
            # libraries; their names are then resolved at run time only and not seen here.
            base = 0 if attributes & 1 else self.image_base
            for ordinal, name in self.thunks(name_table - base):
                yield self.string(dll_name - base), ordinal, name, "delay-load "
            rva += 32


def refusals(path, console, exports):
    """The reasons the three loaders would refuse the exe (empty when none), and its imports."""
    with open(path, "rb") as exe:
        image = PeImage(exe.read())
    reasons = []
    if image.machine != IMAGE_FILE_MACHINE_I386:
        reasons.append(f"machine 0x{image.machine:x}, not i386 (0x14c)")
    if image.magic != PE32_MAGIC:
        reasons.append(f"optional header magic 0x{image.magic:x}, not PE32 (0x10b)")
        return reasons, []
    want = SUBSYSTEM_CONSOLE if console else SUBSYSTEM_GUI
    if image.subsystem != want:
        reasons.append(f"subsystem {image.subsystem}, not {want}")
    if image.subsystem_version != (4, 0):
        reasons.append("subsystem version %d.%d, not 4.0" % image.subsystem_version)
    if image.os_version > (4, 0):
        reasons.append("operating system version %d.%d, newer than 4.0" % image.os_version)
    imports = list(image.imports())
    for dll, ordinal, name, kind in imports:
        what = f"{kind}import {dll}!{name}" if name else f"{kind}import {dll} ordinal {ordinal}"
        known = exports.get(dll_key(dll))
        if known is None:
            reasons.append(f"{what}: {dll} is not a DLL that all three systems have")
        elif ordinal is not None:
            reasons.append(f"{what}: by ordinal, and ordinals differ between systems")
        elif name not in known:
            reasons.append(f"{what}: not known to be exported by Windows 95 OSR2, 98 and "
                           f"NT 4.0 alike")
    return reasons, imports


def count_by_dll(imports):
    counts = {}
    for dll, _, _, _ in imports:
        counts[dll_key(dll)] = counts.get(dll_key(dll), 0) + 1
    return ", ".join(f"{dll} {n}" for dll, n in sorted(counts.items()))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("exe")
    parser.add_argument("--console", action="store_true", help="expect subsystem 3, not 2")
    parser.add_argument("-v", "--verbose", action="store_true", help="list every import")
    parser.add_argument("--expect-refusal", action="append", default=[], metavar="NAME",
                        help="succeed only when the exe is refused with NAME in a reason")
    args = parser.parse_args()
    exe = os.path.basename(args.exe)
    try:
        reasons, imports = refusals(args.exe, args.console, load_exports())
    except (OSError, ValueError, NotAnImage, struct.error) as error:
        print(f"{exe}: cannot read: {error}", file=sys.stderr)
        return 2
    if args.verbose:
        for dll, ordinal, name, kind in imports:
            print(f"  {kind}{dll_key(dll)} {name if name else f'ordinal {ordinal}'}")
    for reason in reasons:
        print(f"{exe}: {reason}")
    if args.expect_refusal:
        missing = [n for n in args.expect_refusal if not any(n in r for r in reasons)]
        for name in missing:
            print(f"{exe}: FAIL: want a refusal naming {name}, got none", file=sys.stderr)
        return 1 if missing else 0
    if reasons:
        print(f"{exe}: would not load on Windows 95 OSR2, 98 and NT 4.0 "
              f"({len(reasons)} problem{'s' if len(reasons) > 1 else ''})")
        return 1
    print(f"{exe}: loads on Windows 95 OSR2, 98 and NT 4.0 "
          f"({len(imports)} imports: {count_by_dll(imports)})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
