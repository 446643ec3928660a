#!/usr/bin/env python3
"""Checks that Windows programs load on Windows 95 and NT 4.0.

For each program: image type PE32 for i386, subsystem Windows GUI with version 4.0,
imports only from the system's own DLLs and msvcrt.dll, and none of the functions that
arrived after Windows 95 and NT 4.0 (the --deny list). The programs start at an entry of
their own, without the C run-time start-up: with --maps, each program's link map must show
nothing that needs that start-up (constructors, exit-time registrations, pseudo-relocations)
and none of mingw's own printf family. Prints each program's size beside its target.
"""
import argparse
import os
import re
import struct
import sys

ALLOWED_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
                "ole32.dll", "comdlg32.dll", "comctl32.dll", "lz32.dll", "msvcrt.dll"}

# Imports that only the C run-time start-up or its exit-time processing use: with no such
# start-up, whatever these register would never run.
STARTUP_IMPORTS = {"__getmainargs", "__set_app_type", "_initterm", "_cexit", "_amsg_exit",
                   "atexit", "_onexit", "__dllonexit"}

# Sizes the programs should keep to (bytes): benchmark figures, printed, never failed.
SIZE_TARGETS = {"PAVRELL.exe": 4 * 1024, "Tessary.scr": 28 * 1024, "SETUP.exe": 48 * 1024}

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
            if name in STARTUP_IMPORTS:
                problems.append("imports %s!%s, which needs the C run-time start-up" % (dll, name))
    return problems


# In a GNU ld link map: an input section of the constructor or destructor lists (its name
# alone on a line when too long, address, size and file on the next).
_LIST_SECTION = re.compile(r"^ (\.(?:ctors?|dtors?|init_array|fini_array)(?:\.\S*)?)"
                           r"(?:\s+0x[0-9a-fA-F]+\s+0x([0-9a-fA-F]+)\s+(\S.*))?$")
_PLACED = re.compile(r"^\s+0x[0-9a-fA-F]+\s+0x([0-9a-fA-F]+)\s+(\S.*)$")
_STARTUP_OBJECT = re.compile(r"^LOAD .*[/\\]((?:dll)?crt[12]u?\.o|crtbegin\.o|crtend\.o)$")
_PULLED_FOR = re.compile(r"^\s+\S.*\((\S+)\)$")
_EXIT_REGISTRATION = re.compile(r"^_?(atexit|_onexit|__dllonexit|__cxa_atexit)$")
_MINGW_PRINTF = re.compile(r"^_?(__mingw_\w*printf\w*|__mingw_pformat)$")
_RELOC_LIST = re.compile(r"^\s+(0x[0-9a-fA-F]+)\s+_?__RUNTIME_PSEUDO_RELOC_LIST(_END)?__ = ")


def _section(lines, title, later_titles):
    """The lines under one heading of the map, up to the next heading."""
    start = next((i + 1 for i, line in enumerate(lines) if line.startswith(title)), len(lines))
    end = next((i for i in range(start, len(lines)) if lines[i].startswith(later_titles)), len(lines))
    return lines[start:end]


def check_map(text):
    """Returns what the link map shows the program would need from the C run-time start-up,
    or from mingw's printf family instead of the system's formatting."""
    problems = []
    lines = text.splitlines()
    # Each archive member is followed by the file and symbol it was pulled in for.
    for line in _section(lines, "Archive member included", ("Discarded", "Allocating", "Memory", "Linker")):
        pulled = _PULLED_FOR.match(line)
        symbol = pulled.group(1) if pulled else ""
        if _EXIT_REGISTRATION.match(symbol):
            problems.append("registers with %s, which only the C run-time start-up runs" % symbol)
        if _MINGW_PRINTF.match(symbol):
            problems.append("links mingw's own printf family (%s)" % symbol)
    # Sections listed before the memory map were discarded and are not in the image.
    placed = _section(lines, "Linker script and memory map", ())
    for i, line in enumerate(placed):
        startup = _STARTUP_OBJECT.match(line)
        if startup:
            problems.append("links the C run-time start-up (%s)" % startup.group(1))
        listed = _LIST_SECTION.match(line)
        if not listed:
            continue
        size, origin = listed.group(2), listed.group(3)
        if size is None and i + 1 < len(placed) and _PLACED.match(placed[i + 1]):
            size, origin = _PLACED.match(placed[i + 1]).groups()
        if size is not None and int(size, 16) != 0:
            problems.append("global constructor or destructor (%s in %s), which no start-up runs"
                            % (listed.group(1), origin.strip()))
    marks = {}
    for line in placed:
        mark = _RELOC_LIST.match(line)
        if mark:
            marks[bool(mark.group(2))] = int(mark.group(1), 16)
    if len(marks) == 2 and marks[True] != marks[False]:
        problems.append("pseudo-relocations (%d bytes), which no start-up applies" % (marks[True] - marks[False]))
    return sorted(set(problems), key=problems.index)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--deny", required=True, help="functions Windows 95 or NT 4.0 lacks")
    parser.add_argument("--list", action="store_true", help="print every import")
    parser.add_argument("--maps", help="folder of the link maps, one NAME.map per program")
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
        if args.maps:
            try:
                with open(os.path.join(args.maps, name + ".map"), encoding="latin-1") as f:
                    problems += check_map(f.read())
            except OSError as e:
                problems.append("no link map: %s" % e)
        target = SIZE_TARGETS.get(name)
        if target:
            print("%s: %d bytes (target %d: %s)" % (name, len(data), target,
                                                    "met" if len(data) <= target else "missed"))
        else:
            print("%s: %d bytes" % (name, len(data)))
        for p in problems:
            print("  FAIL %s: %s" % (name, p))
        failed = failed or bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
