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
_, imports = pecheck.parse(image(imports={"USER32.dll": ["MessageBoxA", "wsprintfA"]}))
if imports != {"USER32.dll": ["MessageBoxA", "wsprintfA"]}:
    print("FAIL import table read as %r" % imports)
    failures += 1
sys.exit(1 if failures else 0)
