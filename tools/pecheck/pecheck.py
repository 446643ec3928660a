#!/usr/bin/env python3
"""Checks that Windows programs load on Windows 95 and NT 4.0.

For each program: image type PE32 for i386, subsystem Windows GUI with version 4.0,
imports only from the system's own DLLs and msvcrt.dll, and none of the functions that
arrived after Windows 95 and NT 4.0 (the --deny list). Prints each program's size.
"""
import argparse
import os
import struct
import sys

ALLOWED_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
                "ole32.dll", "comdlg32.dll", "comctl32.dll", "lz32.dll", "msvcrt.dll"}

IMAGE_FILE_MACHINE_I386 = 0x14C
PE32_MAGIC = 0x10B
SUBSYSTEM_WINDOWS_GUI = 2


class PeError(Exception):
    pass


def read_denied(path):
    denied = set()
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line:
                denied.add(line)
    return denied


def parse(data):
    """Returns (header facts, {dll: [function names or #ordinals]})."""
    if len(data) < 0x40 or data[:2] != b"MZ":
        raise PeError("not an MZ executable")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if pe + 24 > len(data) or data[pe:pe + 4] != b"PE\0\0":
        raise PeError("no PE signature")
    machine, sections, _, _, _, opt_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
    opt = pe + 24
    if opt + opt_size > len(data) or opt_size < 96:
        raise PeError("optional header cut short")
    magic = struct.unpack_from("<H", data, opt)[0]
    facts = {"machine": machine, "magic": magic}
    if magic != PE32_MAGIC:
        return facts, {}
    facts["os_version"] = struct.unpack_from("<HH", data, opt + 40)
    facts["subsystem_version"] = struct.unpack_from("<HH", data, opt + 48)
    facts["subsystem"] = struct.unpack_from("<H", data, opt + 68)[0]
    count = struct.unpack_from("<I", data, opt + 92)[0]
    table = []
    sect = opt + opt_size
    for i in range(sections):
        off = sect + 40 * i
        if off + 40 > len(data):
            raise PeError("section table cut short")
        vsize, va, rsize, rptr = struct.unpack_from("<IIII", data, off + 8)
        table.append((va, max(vsize, rsize), rptr, rsize))

    def at(rva):
        for va, size, rptr, rsize in table:
            if va <= rva < va + size and rva - va < rsize:
                return rptr + rva - va
        raise PeError("address 0x%x lies in no section" % rva)

    def cstring(off):
        end = data.find(b"\0", off)
        if end < 0:
            raise PeError("unterminated name")
        return data[off:end].decode("latin-1")

    imports = {}
    if count >= 2:
        rva, size = struct.unpack_from("<II", data, opt + 96 + 8)
        if rva:
            desc = at(rva)
            while True:
                lookup, _, _, name_rva, thunk = struct.unpack_from("<IIIII", data, desc)
                if not (lookup or name_rva or thunk):
                    break
                dll = cstring(at(name_rva))
                names = []
                entry = at(lookup or thunk)
                while True:
                    value = struct.unpack_from("<I", data, entry)[0]
                    if value == 0:
                        break
                    if value & 0x80000000:
                        names.append("#%d" % (value & 0xFFFF))
                    else:
                        names.append(cstring(at(value) + 2))
                    entry += 4
                imports.setdefault(dll, []).extend(names)
                desc += 20
    return facts, imports


def check(data, denied):
    """Returns the list of problems of one program image."""
    problems = []
    facts, imports = parse(data)
    if facts["machine"] != IMAGE_FILE_MACHINE_I386:
        problems.append("machine 0x%x is not i386" % facts["machine"])
    if facts["magic"] != PE32_MAGIC:
        problems.append("optional header 0x%x is not PE32" % facts["magic"])
        return problems
    if facts["subsystem"] != SUBSYSTEM_WINDOWS_GUI:
        problems.append("subsystem %d is not Windows GUI" % facts["subsystem"])
    if facts["subsystem_version"] != (4, 0):
        problems.append("subsystem version %d.%d is not 4.0" % facts["subsystem_version"])
    for dll, names in sorted(imports.items()):
        if dll.lower() not in ALLOWED_DLLS:
            problems.append("imports from %s (%s)" % (dll, ", ".join(names[:5])))
        for name in names:
            if name in denied:
                problems.append("imports %s!%s, which Windows 95 or NT 4.0 lacks" % (dll, name))
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--deny", required=True, help="functions Windows 95 or NT 4.0 lacks")
    parser.add_argument("--list", action="store_true", help="print every import")
    parser.add_argument("programs", nargs="+")
    args = parser.parse_args()
    denied = read_denied(args.deny)
    failed = False
    for path in args.programs:
        name = os.path.basename(path)
        try:
            with open(path, "rb") as f:
                data = f.read()
            problems = check(data, denied)
            if args.list:
                for dll, names in sorted(parse(data)[1].items()):
                    print("  %s: %s" % (dll, " ".join(sorted(names))))
        except (OSError, PeError, struct.error) as e:
            problems = [str(e)]
            data = b""
        print("%s: %d bytes" % (name, len(data)))
        for p in problems:
            print("  FAIL %s: %s" % (name, p))
        failed = failed or bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
