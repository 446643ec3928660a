#!/usr/bin/env python3
"""The PE checker itself: hand-made images with known faults must each be refused, a
clean one accepted, so that a pass of the compatibility test means something.
Arguments: pecheck.py, and the objdump that disassembles i386 PE images."""
import importlib.util
import os
import struct
import sys
import tempfile

source = importlib.util.spec_from_file_location("pecheck", sys.argv[1])
pecheck = importlib.util.module_from_spec(source)
source.loader.exec_module(pecheck)


def image(machine=0x14C, magic=0x10B, subsystem=2, subver=(4, 0), imports=None, code=None):
    """A minimal PE image: headers, one section at RVA 0x1000 holding the import table and,
    with code, a code section at RVA 0x2000 (address 0x402000) holding those bytes."""
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
    body += b"\0" * (-len(body) % 0x200)
    code_raw = raw + len(body)
    data = bytearray(code_raw + (len(code) if code else 0))
    data[0:2] = b"MZ"
    struct.pack_into("<I", data, 0x3C, pe)
    data[pe:pe + 4] = b"PE\0\0"
    struct.pack_into("<HHIIIHH", data, pe + 4, machine, 2 if code else 1, 0, 0, 0, opt_size, 0x102)
    opt = pe + 24
    struct.pack_into("<H", data, opt, magic)
    struct.pack_into("<III", data, opt + 28, 0x400000, 0x1000, 0x200)
    struct.pack_into("<HH", data, opt + 40, 4, 0)
    struct.pack_into("<HH", data, opt + 48, subver[0], subver[1])
    struct.pack_into("<II", data, opt + 56, 0x3000, raw)
    struct.pack_into("<H", data, opt + 68, subsystem)
    struct.pack_into("<I", data, opt + 92, 16)
    struct.pack_into("<II", data, opt + 96 + 8, 0x1000, len(descs))
    struct.pack_into("<8sIIII", data, sect_table, b".idata", len(body), 0x1000, len(body), raw)
    struct.pack_into("<I", data, sect_table + 36, 0xC0000040)
    if code:
        # Code, executable, readable.
        struct.pack_into("<8sIIII", data, sect_table + 40, b".text", len(code), 0x2000, len(code), code_raw)
        struct.pack_into("<I", data, sect_table + 40 + 36, 0x60000020)
        data[code_raw:] = code
    data[raw:code_raw] = body
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
    ("system DLLs in any case", image(imports={"kernel32.DLL": ["ExitProcess"], "LZ32.DLL": ["LZCopy"],
                                               "Comdlg32.dll": ["ChooseFontA"], "OLE32.DLL": ["CoInitialize"]}),
     None),
    ("C run-time DLL, every function named", image(imports={"KERNEL32.dll": ["ExitProcess"],
                                                            "msvcrt.dll": ["memchr", "strchr", "fopen", "fputs",
                                                                           "fseek", "time", "strftime"]}),
     "msvcrt.dll, which is not one of the system's own DLLs (memchr, strchr, fopen, fputs, fseek, time, strftime)"),
    ("upper-case C run-time DLL", image(imports={"MSVCRT.DLL": ["printf"], "lz32.dll": ["LZCopy"]}),
     "MSVCRT.DLL"),
    ("older C run-time DLL", image(imports={"CRTDLL.DLL": ["strlen"]}), "CRTDLL.DLL"),
    ("versioned C run-time DLL", image(imports={"msvcr71.dll": ["strlen"]}), "msvcr71.dll"),
    ("GCC's run-time DLL", image(imports={"libgcc_s_dw2-1.dll": ["__udivdi3"]}), "libgcc_s_dw2-1.dll"),
    ("C++ run-time DLL", image(imports={"libstdc++-6.dll": ["_Znwj"]}), "libstdc++-6.dll"),
    ("API set", image(imports={"api-ms-win-crt-string-l1-1-0.dll": ["strlen"]}), "api-ms-win-crt-string"),
    ("version DLL", image(imports={"VERSION.dll": ["GetFileVersionInfoA"]}), "VERSION.dll"),
    ("expanding function from kernel32", image(imports={"KERNEL32.dll": ["LZCopy", "ExitProcess"]}),
     "LZCopy from KERNEL32.dll, not from lz32.dll"),
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

# The 386's own instructions pass; each that came later is refused with its address and the
# function the link map places there. The code lies at 0x402000: FirstFunction there, then a
# static function known to the map only by its section, from 0x402010.
objdump = sys.argv[2]
code_map = ("Linker script and memory map\n\n"
            ".text           0x00402000      0x200\n"
            " *(.text)\n"
            " .text$FirstFunction\n"
            "                0x00402000       0x10 first.o\n"
            "                0x00402000                FirstFunction\n"
            " .text$_ZL10FullColourm\n"
            "                0x00402010       0x40 wizard/wizardwindow.cpp.obj\n"
            "                0x00402050        0x4 LONG 0xffffffffffffffff\n"
            ".data           0x00403000        0x0\n")
PAD = bytes.fromhex("90" * 16)
instruction_cases = [
    ("the 386's own", "55 89e5 31c0 0fbdc1 0fb6c0 0f95c0 0fa4c804 0fafc1 0fa3c8 f3a5 d8d1 dfe0 9e f390 5d c3",
     None),
    ("CMOV", "0f44c1", "cmove %ecx,%eax at 0x00402010 in FullColour(unsigned long) (wizard/wizardwindow.cpp.obj)"),
    ("CMOV from memory", "0f4f4508", "cmovg 0x8(%ebp),%eax at 0x00402010"),
    ("FCMOV", "dac1", "fcmovb"),
    ("FCOMI", "dbf1", "fcomi"),
    ("FUCOMIP", "dfe9", "fucomip"),
    ("BSWAP", "0fc8", "bswap"),
    ("CMPXCHG with lock", "f00fb10a", "cmpxchg"),
    ("CMPXCHG8B", "0fc70e", "cmpxchg8b"),
    ("XADD", "0fc1c8", "xadd"),
    ("CPUID", "0fa2", "cpuid"),
    ("RDTSC", "0f31", "rdtsc"),
    ("long NOP", "0f1f00", "nopl"),
    ("MMX register", "0f6fc1", "%mm"),
    ("EMMS", "0f77", "emms"),
    ("SSE register", "0f57c0", "%xmm0"),
    ("SSE2 register", "660fefc0", "%xmm0"),
    ("SFENCE", "0faef8", "sfence"),
]
for name, hex_code, expected in instruction_cases:
    code = bytes.fromhex(hex_code.replace(" ", ""))
    # The first function's 16 bytes are plain NOPs; the case's code is the static function's.
    data = image(code=PAD + code + bytes.fromhex("c3"))
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "case.exe")
        with open(path, "wb") as f:
            f.write(data)
        listing = pecheck.disassemble(objdump, path)
    problems = "; ".join(pecheck.check_instructions(listing, code_map, pecheck.demangler(objdump)))
    if (expected is None and problems) or (expected is not None and expected not in problems):
        print("FAIL instructions %s: expected %r, got %r" % (name, expected, problems))
        failures += 1
    else:
        print("ok   instructions %s" % name)

# Without a map the address is still named; the first function is found by its symbol.
listing_clean = "  402003:\t0f 44 c1             \tcmove  %ecx,%eax\n"
for map_text, expected in [("", "at 0x00402003 in no function the link map names"),
                           (code_map, "at 0x00402003 in FirstFunction:")]:
    problems = "; ".join(pecheck.check_instructions(listing_clean, map_text))
    if expected not in problems:
        print("FAIL naming: expected %r, got %r" % (expected, problems))
        failures += 1
    else:
        print("ok   naming %r" % expected)

_, imports = pecheck.parse(image(imports={"USER32.dll": ["MessageBoxA", "wsprintfA"]}))
if imports != {"USER32.dll": ["MessageBoxA", "wsprintfA"]}:
    print("FAIL import table read as %r" % imports)
    failures += 1
sys.exit(1 if failures else 0)
