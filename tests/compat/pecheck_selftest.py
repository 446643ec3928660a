#!/usr/bin/env python3
"""The PE checker itself: hand-made images with known faults must each be refused, a
clean one accepted, so that a pass of the compatibility test means something."""
import importlib.util
import struct
import sys

source = importlib.util.spec_from_file_location("pecheck", sys.argv[1])
pecheck = importlib.util.module_from_spec(source)
source.loader.exec_module(pecheck)


def image(machine=0x14C, magic=0x10B, subsystem=2, subver=(4, 0), imports=None):
    """A minimal PE image: headers, one section at RVA 0x1000 holding the import table."""
    imports = imports or {"KERNEL32.dll": ["ExitProcess"]}
    pe = 0x40
    opt_size = 224
    sect_table = pe + 24 + opt_size
    raw = 0x200
    # Import section layout: descriptors, then thunks, then names.
    body = bytearray()
    ndesc = len(imports) + 1
    thunks_at = ndesc * 20
    names = bytearray()
    thunk_blob = bytearray()
    descs = bytearray()
    names_at = thunks_at + sum(4 * (len(v) + 1) for v in imports.values())
    for dll, funcs in imports.items():
        thunk_rva = 0x1000 + thunks_at + len(thunk_blob)
        for f in funcs:
            thunk_blob += struct.pack("<I", 0x1000 + names_at + len(names))
            names += b"\0\0" + f.encode() + b"\0"
        thunk_blob += b"\0\0\0\0"
        dll_rva = 0x1000 + names_at + len(names)
        names += dll.encode() + b"\0"
        descs += struct.pack("<IIIII", thunk_rva, 0, 0, dll_rva, thunk_rva)
    descs += b"\0" * 20
    body = descs + thunk_blob + names
    data = bytearray(raw + len(body))
    data[0:2] = b"MZ"
    struct.pack_into("<I", data, 0x3C, pe)
    data[pe:pe + 4] = b"PE\0\0"
    struct.pack_into("<HHIIIHH", data, pe + 4, machine, 1, 0, 0, 0, opt_size, 0x102)
    opt = pe + 24
    struct.pack_into("<H", data, opt, magic)
    struct.pack_into("<HH", data, opt + 40, 4, 0)
    struct.pack_into("<HH", data, opt + 48, subver[0], subver[1])
    struct.pack_into("<H", data, opt + 68, subsystem)
    struct.pack_into("<I", data, opt + 92, 16)
    struct.pack_into("<II", data, opt + 96 + 8, 0x1000, len(descs))
    struct.pack_into("<8sIIII", data, sect_table, b".idata", len(body), 0x1000, len(body), raw)
    data[raw:] = body
    return bytes(data)


denied = {"GetLongPathNameA", "SHGetFolderPathA"}
cases = [
    ("clean image", image(), None),
    ("x86-64 machine", image(machine=0x8664), "not i386"),
    ("PE32+ header", image(magic=0x20B), "not PE32"),
    ("console subsystem", image(subsystem=3), "not Windows GUI"),
    ("subsystem 5.1", image(subver=(5, 1)), "not 4.0"),
    ("foreign DLL", image(imports={"KERNEL32.dll": ["ExitProcess"], "libwinpthread-1.dll": ["pthread_create"]}),
     "libwinpthread-1.dll"),
    ("later function", image(imports={"KERNEL32.dll": ["ExitProcess", "GetLongPathNameA"]}), "GetLongPathNameA"),
    ("later shell function", image(imports={"SHELL32.dll": ["SHGetFolderPathA"]}), "SHGetFolderPathA"),
    ("upper-case msvcrt", image(imports={"MSVCRT.DLL": ["printf"], "lz32.dll": ["LZCopy"]}), None),
    ("exit-time registration", image(imports={"msvcrt.dll": ["strlen", "atexit"]}), "msvcrt.dll!atexit"),
    ("start-up's own import", image(imports={"msvcrt.dll": ["__getmainargs"]}), "__getmainargs"),
]
failures = 0
for name, data, expected in cases:
    problems = pecheck.check(data, denied)
    text = "; ".join(problems)
    if expected is None and problems:
        print("FAIL %s: refused: %s" % (name, text))
        failures += 1
    elif expected is not None and expected not in text:
        print("FAIL %s: expected a problem with %r, got %r" % (name, expected, text))
        failures += 1
    else:
        print("ok   %s" % name)

def link_map(members="", placed="", relocs=(0x40b5f0, 0x40b5f0)):
    """A GNU ld link map cut down to the parts the checker reads."""
    return ("Archive member included to satisfy reference by file (symbol)\n\n"
            "/usr/lib/libmsvcrt.a(libmsvcrt_defs00901.o)\n"
            "                              setup/bootstrap.cpp.obj (strlen)\n" + members +
            "\nDiscarded input sections\n\n"
            " .ctors         0x00000000        0x4 discarded.o\n"
            "\nLinker script and memory map\n\n"
            "LOAD setup/CMakeFiles/setup_exe.dir/__/runtime/programentry.cpp.obj\n"
            "LOAD /usr/lib/libmsvcrt.a\n"
            "                0x004031d8                        ___CTOR_LIST__ = .\n"
            "                0x004031d8        0x4 LONG 0xffffffffffffffff\n"
            " *(.ctors)\n" + placed +
            "                0x004031dc        0x4 LONG 0x0\n"
            "                0x%08x                        ___RUNTIME_PSEUDO_RELOC_LIST_END__ = .\n"
            "                0x%08x                        ___RUNTIME_PSEUDO_RELOC_LIST__ = (. - __rt_psrelocs_size)\n"
            % relocs)


map_cases = [
    ("clean map", link_map(), None),
    ("global constructor", link_map(placed=" .ctors         0x004031dc        0x4 setup/wizard.cpp.obj\n"),
     ".ctors in setup/wizard.cpp.obj"),
    ("prioritised constructor, long name wrapped", link_map(
        placed=" .ctors.65535\n                0x004031dc        0x4 saver/clock.cpp.obj\n"), ".ctors.65535"),
    ("empty constructor section", link_map(placed=" .ctors         0x004031dc        0x0 empty.o\n"), None),
    ("destructor", link_map(placed=" .dtors         0x004031e4        0x4 a.o\n"), ".dtors in a.o"),
    ("start-up object", link_map(placed="LOAD /usr/i686-w64-mingw32/lib/crt2.o\n"), "start-up (crt2.o)"),
    ("atexit", link_map(members="/usr/lib/libmsvcrt.a(libmsvcrt_defs00186.o)\n"
                                "                              t.o (atexit)\n"), "registers with atexit"),
    ("mingw snprintf", link_map(
        members="/usr/lib/libmingwex.a(lib32_libmingwex_a-mingw_vsnprintf.o)\n"
                "                              setup/bootstraprules.cpp.obj (__mingw_vsnprintf)\n"),
     "printf family (__mingw_vsnprintf)"),
    ("mingw printf engine", link_map(
        members="/usr/lib/libmingwex.a(lib32_libmingwex_a-mingw_pformat.o)\n"
                "                              /usr/lib/libmingwex.a(mingw_vfprintf.o) (__mingw_pformat)\n"),
     "__mingw_pformat"),
    ("msvcrt's _snprintf", link_map(members="/usr/lib/libmsvcrt.a(libmsvcrt_defs00401.o)\n"
                                            "                              c.obj (_snprintf)\n"), None),
    ("pseudo-relocations", link_map(relocs=(0x40b5f0, 0x40b5d8)), "pseudo-relocations (24 bytes)"),
]
for name, text, expected in map_cases:
    problems = "; ".join(pecheck.check_map(text))
    if (expected is None and problems) or (expected is not None and expected not in problems):
        print("FAIL map %s: expected %r, got %r" % (name, expected, problems))
        failures += 1
    else:
        print("ok   map %s" % name)

_, imports = pecheck.parse(image(imports={"USER32.dll": ["MessageBoxA", "wsprintfA"]}))
if imports != {"USER32.dll": ["MessageBoxA", "wsprintfA"]}:
    print("FAIL import table read as %r" % imports)
    failures += 1
sys.exit(1 if failures else 0)
