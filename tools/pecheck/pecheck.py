#!/usr/bin/env python3
"""Checks that Windows programs load on Windows 95 and NT 4.0.

For each program: image type PE32 for i386, subsystem Windows GUI with version 4.0,
imports only from the DLLs that both systems ship (no C run-time DLL, which a clean
Windows 95 lacks), and none of the functions that arrived after Windows 95 and NT 4.0 (the
--deny list). The programs start at an entry of their own, without the C run-time start-up:
with --maps, each program's link map must show nothing that needs that start-up
(constructors, exit-time registrations, pseudo-relocations) and none of mingw's own printf
family. With --objdump, each program is disassembled and any instruction the 80386 lacks is
refused with its address and the function the link map names. Prints each program's size
beside its target.
"""
import argparse
import bisect
import os
import re
import struct
import subprocess
import sys

ALLOWED_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
                "ole32.dll", "comdlg32.dll", "comctl32.dll", "lz32.dll"}

# Functions that must come from one DLL although mingw's import libraries offer them from
# another as well: the expanding functions are LZ32's on both systems.
HOME_DLLS = [(re.compile(r"^LZ[A-Z]"), "lz32.dll")]

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
            problems.append("imports from %s, which is not one of the system's own DLLs (%s)"
                            % (dll, ", ".join(names)))
        for name in names:
            for pattern, home in HOME_DLLS:
                if pattern.match(name) and dll.lower() != home:
                    problems.append("imports %s from %s, not from %s" % (name, dll, home))
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


# Instructions the 80386 lacks, by the mnemonic objdump prints: the 486's BSWAP, CMPXCHG,
# XADD; the Pentium's CPUID, RDTSC, CMPXCHG8B; the Pentium Pro's CMOV, FCMOV, FCOMI/FUCOMI,
# long NOPs; MMX, SSE and later. Any operand in an MMX or SSE register counts as well.
_LACKED = re.compile(r"^(cmov\w+|fcmov\w+|f(u)?comip?|bswap|cmpxchg(8b|16b)?|xadd\w?|cpuid|"
                     r"rdtscp?|rdpmc|rdmsr|wrmsr|rsm|sysenter|sysexit|syscall|sysret|ud2|"
                     r"nop[wl]|emms|femms|[lsm]fence|clflush\w*|prefetch\w*|movnti|"
                     r"[ls]dmxcsr|fxsave|fxrstor|fisttp\w*|popcnt|lzcnt|tzcnt|movbe|crc32\w?)$")
_VECTOR_REGISTER = re.compile(r"%[xyz]?mm\d")
_PREFIXES = {"lock", "rep", "repz", "repnz", "repe", "repne", "data16", "data32", "addr16",
             "addr32", "cs", "ds", "es", "fs", "gs", "ss", "notrack", "bnd"}
# One instruction of objdump -d: address, bytes, mnemonic and operands.
_INSTRUCTION = re.compile(r"^\s*([0-9a-f]+):\t[0-9a-f ]+\t(.*)$")


def lacked_instructions(listing):
    """[(address, instruction text)] of every instruction in objdump -d output that the 386
    lacks."""
    found = []
    for line in listing.splitlines():
        m = _INSTRUCTION.match(line)
        if not m:
            continue
        words = m.group(2).split()
        while words and words[0] in _PREFIXES:
            words = words[1:]
        if not words:
            continue
        if _LACKED.match(words[0]) or _VECTOR_REGISTER.search(" ".join(words[1:])):
            found.append((int(m.group(1), 16), " ".join(m.group(2).split())))
    return found


_OUTPUT_SECTION = re.compile(r"^(\.\S+)(?:\s+0x[0-9a-fA-F]+)?")
_INPUT_SECTION = re.compile(r"^ (\.text\S*)(?:\s+0x([0-9a-fA-F]+)\s+0x([0-9a-fA-F]+)\s+(\S.*))?$")
_SYMBOL = re.compile(r"^\s{16}0x([0-9a-fA-F]+)\s+(?!0x)([^=\s][^=]*)$")


def code_names(text):
    """The code of a GNU ld link map: a sorted list of (address, name), each input section
    of .text by its name and object, each symbol defined in it by its own name."""
    names = []
    lines = _section(text.splitlines(), "Linker script and memory map", ())
    in_text = False
    pending = None
    for line in lines:
        out = _OUTPUT_SECTION.match(line)
        if out:
            in_text = out.group(1) == ".text"
            continue
        if not in_text:
            continue
        if pending is not None:
            placed = _PLACED.match(line)
            if placed:
                names.append((int(line.split()[0], 16), "%s (%s)" % (pending, placed.group(2).strip())))
            pending = None
            continue
        section = _INPUT_SECTION.match(line)
        if section:
            label = re.sub(r"^\.text[$.]?", "", section.group(1)) or ".text"
            if section.group(2) is None:
                pending = label
            elif int(section.group(3), 16) != 0:
                names.append((int(section.group(2), 16), "%s (%s)" % (label, section.group(4).strip())))
            continue
        symbol = _SYMBOL.match(line)
        if symbol:
            names.append((int(symbol.group(1), 16), symbol.group(2).strip()))
    names.sort(key=lambda item: item[0])
    return names


def check_instructions(listing, map_text, demangle=lambda name: name):
    """Returns one problem for each instruction the 386 lacks, naming its address and the
    function the link map (if any) places there."""
    names = code_names(map_text) if map_text else []
    starts = [address for address, _ in names]
    problems = []
    for address, instruction in lacked_instructions(listing):
        i = bisect.bisect_right(starts, address) - 1
        where = demangle(names[i][1]) if i >= 0 else "no function the link map names"
        problems.append("%s at 0x%08x in %s: an instruction the 80386 lacks" % (instruction, address, where))
    return problems


def demangler(objdump):
    """Reads a static function's mangled name (its section's, in the map) with the c++filt
    beside objdump; a name it cannot read stays as it is."""
    cxxfilt = re.sub(r"objdump$", "c++filt", objdump)

    def demangle(label):
        mangled = label.split(" ", 1)
        if not mangled[0].startswith("_Z") or cxxfilt == objdump:
            return label
        try:
            result = subprocess.run([cxxfilt, "-n", mangled[0]], capture_output=True, text=True)
        except OSError:
            return label
        return " ".join([result.stdout.strip() or mangled[0]] + mangled[1:])
    return demangle


def disassemble(objdump, path):
    result = subprocess.run([objdump, "-d", path], capture_output=True, text=True)
    if result.returncode != 0:
        raise PeError("%s -d failed: %s" % (objdump, result.stderr.strip()))
    return result.stdout


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--deny", required=True, help="functions Windows 95 or NT 4.0 lacks")
    parser.add_argument("--list", action="store_true", help="print every import")
    parser.add_argument("--maps", help="folder of the link maps, one NAME.map per program")
    parser.add_argument("--objdump", help="objdump for i386 PE images: disassembles each program")
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
        map_text = ""
        if args.maps:
            try:
                with open(os.path.join(args.maps, name + ".map"), encoding="latin-1") as f:
                    map_text = f.read()
                problems += check_map(map_text)
            except OSError as e:
                problems.append("no link map: %s" % e)
        if args.objdump and data:
            try:
                problems += check_instructions(disassemble(args.objdump, path), map_text,
                                               demangler(args.objdump))
            except (OSError, PeError) as e:
                problems.append(str(e))
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
