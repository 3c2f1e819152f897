#!/usr/bin/env python3
"""Builds the executable fixtures of the platform tests (testdata/platform/exe/) and the seeds of
the resource reader's fuzz target (testdata/fuzz/pe_resources_fuzz/, which also holds the damaged
copies the tests read).

  icons32.dll, icons64.dll  a 32-bit and a 64-bit resource-only DLL made by the MinGW-w64 resource
                            compiler and linker (Debian: binutils-mingw-w64-i686/-x86-64, cpp):
                            icon groups APPICON, 1, 5 (English and German) and 7, a data resource
                            and a resource of the named type MYTYPE
  icons16.icl               a 16-bit (NE) icon library written here byte by byte: alignment shift 4,
                            groups 1, HAPPY and 2 in that order, a resource of the named type MYTYPE
  bad_*.dll, bad_*.icl      damaged copies: a directory loop, names and data outside the file, a
                            shift above 24, cut-off files, an impossible entry count

Every icon image is one solid colour so that a test can tell the groups apart:
  PE  APPICON 16x16 32-bit yellow; 1: 16x16 32-bit red and 32x32 4-bit green; 5: 32x32 32-bit blue
      (German: 32x32 32-bit cyan); 7: 32x32 1-bit black and white halves
  NE  1: 16x16 32-bit red and 32x32 4-bit green; HAPPY: 32x32 32-bit blue; 2: 32x32 1-bit

The output is deterministic: the linker gets a fixed time stamp.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "testdata", "platform", "exe")
SEEDS = os.path.join(ROOT, "testdata", "fuzz", "pe_resources_fuzz")

RED, GREEN, BLUE, YELLOW, CYAN = 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF


def dib32(side, argb):
    header = struct.pack("<IiiHHIIiiII", 40, side, 2 * side, 1, 32, 0, 0, 0, 0, 0, 0)
    mask = b"\0" * (((side + 31) // 32) * 4 * side)
    return header + struct.pack("<I", argb) * side * side + mask


def dib4(side, argb):
    # A 16-entry table whose entry 10 is the colour; every pixel uses it.
    header = struct.pack("<IiiHHIIiiII", 40, side, 2 * side, 1, 4, 0, 0, 0, 0, 16, 0)
    table = b"".join(struct.pack("<I", (argb if i == 10 else 0) & 0xFFFFFF) for i in range(16))
    row = bytes([0xAA]) * (side // 2)
    mask = b"\0" * (((side + 31) // 32) * 4 * side)
    return header + table + row * side + mask


def dib1(side):
    # Left half black, right half white.
    header = struct.pack("<IiiHHIIiiII", 40, side, 2 * side, 1, 1, 0, 0, 0, 0, 2, 0)
    table = struct.pack("<II", 0, 0xFFFFFF)
    stride = ((side + 31) // 32) * 4
    row = bytearray(stride)
    for x in range(side // 2, side):
        row[x // 8] |= 0x80 >> (x % 8)
    return header + table + bytes(row) * side + b"\0" * (stride * side)


def image_info(data):
    side = struct.unpack_from("<i", data, 4)[0]
    bits = struct.unpack_from("<H", data, 14)[0]
    return side, bits


def ico_file(images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for data in images:
        side, bits = image_info(data)
        out += struct.pack("<BBBBHHII", side % 256, side % 256, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
        body += data
    return out + body


PE_GROUPS = {
    "g1": [dib32(16, RED), dib4(32, GREEN)],
    "g5": [dib32(32, BLUE)],
    "g5de": [dib32(32, CYAN)],
    "app": [dib32(16, YELLOW)],
    "g7": [dib1(32)],
}

RC = """\
LANGUAGE 9, 1
1 ICON "g1.ico"
5 ICON "g5.ico"
APPICON ICON "app.ico"
7 ICON "g7.ico"
CONFIG RCDATA "config.bin"
HELLO MYTYPE "hello.bin"
LANGUAGE 7, 1
5 ICON "g5de.ico"
"""


def build_pe(work, prefix, name):
    obj = os.path.join(work, name + ".o")
    out = os.path.join(work, name)
    subprocess.check_call([prefix + "windres", "--preprocessor=cpp", "icons.rc", "-O", "coff", "-o", obj], cwd=work)
    subprocess.check_call([prefix + "ld", "--dll", "-e", "0", "--strip-all", "--no-insert-timestamp",
                           "--file-alignment", "16", "--section-alignment", "4096", "-o", out, obj],
                          cwd=work)
    with open(out, "rb") as f:
        return bytearray(f.read())


def pe_layout(data):
    """File offset of the resource directory, and a function mapping addresses to file offsets."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<HxxxxxxxxxxxxH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    rva = struct.unpack_from("<I", data, directories + 16)[0]
    table = optional + optional_size
    spans = []
    for i in range(sections):
        va, raw_size, raw_ptr = struct.unpack_from("<III", data, table + 40 * i + 12)
        spans.append((va, raw_size, raw_ptr))

    def to_offset(address):
        for va, raw_size, raw_ptr in spans:
            if va <= address < va + raw_size:
                return raw_ptr + address - va
        raise ValueError(address)

    return to_offset(rva), to_offset


def pe_entries(data, base, offset):
    named, ids = struct.unpack_from("<HH", data, base + offset + 12)
    return [base + offset + 16 + 8 * i for i in range(named + ids)]


def damaged_pe(dll):
    base, to_offset = pe_layout(dll)
    types = pe_entries(dll, base, 0)
    out = {}

    # The first type's subdirectory refers back to the root.
    loop = bytearray(dll)
    struct.pack_into("<I", loop, types[0] + 4, 0x80000000)
    out["bad_loop.dll"] = loop

    # A language directory that points at its own name directory.
    deep = bytearray(dll)
    icon_type = next(e for e in types if struct.unpack_from("<I", dll, e)[0] == 14)
    names_dir = struct.unpack_from("<I", dll, icon_type + 4)[0] & 0x7FFFFFFF
    first_name = pe_entries(dll, base, names_dir)[0]
    lang_dir = struct.unpack_from("<I", dll, first_name + 4)[0] & 0x7FFFFFFF
    first_lang = pe_entries(dll, base, lang_dir)[0]
    struct.pack_into("<I", deep, first_lang + 4, 0x80000000 | names_dir)
    out["bad_deep_loop.dll"] = deep

    # The name of the first named group points far outside the file.
    name = bytearray(dll)
    struct.pack_into("<I", name, first_name, 0xFFFFFFF0)
    out["bad_name.dll"] = name

    # The data of every icon image (type 3) points outside the file.
    data = bytearray(dll)
    image_type = next(e for e in types if struct.unpack_from("<I", dll, e)[0] == 3)
    images_dir = struct.unpack_from("<I", dll, image_type + 4)[0] & 0x7FFFFFFF
    for image in pe_entries(dll, base, images_dir):
        langs = struct.unpack_from("<I", dll, image + 4)[0] & 0x7FFFFFFF
        for lang in pe_entries(dll, base, langs):
            data_entry = base + (struct.unpack_from("<I", dll, lang + 4)[0] & 0x7FFFFFFF)
            struct.pack_into("<I", data, data_entry, 0x7FFFFF00)
    out["bad_data.dll"] = data

    # An entry count that runs past the section.
    count = bytearray(dll)
    struct.pack_into("<H", count, base + 14, 0xFFFF)
    out["bad_count.dll"] = count

    out["bad_truncated.dll"] = bytearray(dll[: base + 40])
    return out


def ne_library(shift=4):
    """A 16-bit icon library: groups 1, HAPPY and 2 in table order, images 1 to 4, and MYTYPE."""
    groups = [(0x8001, [dib32(16, RED), dib4(32, GREEN)]), ("HAPPY", [dib32(32, BLUE)]), (0x8002, [dib1(32)])]
    images = []
    directories = []
    for _, imgs in groups:
        directory = struct.pack("<HHH", 0, 1, len(imgs))
        for data in imgs:
            images.append(data)
            side, bits = image_info(data)
            directory += struct.pack("<BBBBHHIH", side % 256, side % 256, 0, 0, 1, bits, len(data), len(images))
        directories.append(directory)
    hello = b"hello from a 16-bit library"

    ne = 128
    table = ne + 64
    # Resource table: shift, three type blocks, end word, then the names.
    table_size = 2 + (8 + 12 * 3) + (8 + 12 * len(images)) + (8 + 12) + 2
    names = b""
    name_offsets = {}
    for text in (b"HAPPY", b"MYTYPE"):
        name_offsets[text] = table_size + len(names)
        names += bytes([len(text)]) + text
    names += b"\0"
    resident = table + table_size + len(names)
    resident_names = b"\x03ICL\0\0\0"
    data_start = resident + len(resident_names)

    blobs = directories + images + [hello]
    unit = 1 << shift
    positions = []
    body = b""
    offset = (data_start + unit - 1) // unit * unit
    padding = b"\0" * (offset - data_start)
    for blob in blobs:
        padded = blob + b"\0" * ((-len(blob)) % unit)
        positions.append((offset >> shift, len(padded) >> shift))
        body += padded
        offset += len(padded)

    def entry(index, ident):
        return struct.pack("<HHHHHH", positions[index][0], positions[index][1], 0x1C30, ident, 0, 0)

    rt = struct.pack("<H", shift)
    rt += struct.pack("<HHI", 0x800E, 3, 0)
    group_ids = [0x8001, name_offsets[b"HAPPY"], 0x8002]
    for i, ident in enumerate(group_ids):
        rt += entry(i, ident)
    rt += struct.pack("<HHI", 0x8003, len(images), 0)
    for i in range(len(images)):
        rt += entry(3 + i, 0x8001 + i)
    rt += struct.pack("<HHI", name_offsets[b"MYTYPE"], 1, 0)
    rt += entry(3 + len(images), 0x8001)
    rt += struct.pack("<H", 0)
    assert len(rt) == table_size

    mz = bytearray(64)
    mz[0:2] = b"MZ"
    struct.pack_into("<I", mz, 60, ne)
    header = bytearray(64)
    header[0:2] = b"NE"
    struct.pack_into("<HH", header, 36, table - ne, resident - ne)
    header[54] = 2
    gap = b"\0" * (ne - len(mz))
    out = bytearray(mz + gap + header + rt + names + resident_names + padding + body)
    return out, table, name_offsets


def damaged_ne():
    good, table, name_offsets = ne_library()
    out = {}
    shift = bytearray(good)
    struct.pack_into("<H", shift, table, 25)
    out["bad_shift.icl"] = shift
    # The HAPPY group's name offset points past the end of the file.
    name = bytearray(good)
    struct.pack_into("<H", name, table + 2 + 8 + 12 + 6, 0x7FF0)
    out["bad_name.icl"] = name
    # The first image lies beyond the end of the file.
    data = bytearray(good)
    struct.pack_into("<H", data, table + 2 + 8 + 36 + 8, 0xFFFF)
    out["bad_data.icl"] = data
    out["bad_truncated.icl"] = bytearray(good[: table + 30])
    return out


def main():
    os.makedirs(OUT, exist_ok=True)
    os.makedirs(SEEDS, exist_ok=True)
    work = tempfile.mkdtemp()
    try:
        for name, images in PE_GROUPS.items():
            with open(os.path.join(work, name + ".ico"), "wb") as f:
                f.write(ico_file(images))
        with open(os.path.join(work, "config.bin"), "wb") as f:
            f.write(b"configuration bytes")
        with open(os.path.join(work, "hello.bin"), "wb") as f:
            f.write(b"hello from a named type")
        with open(os.path.join(work, "icons.rc"), "w") as f:
            f.write(RC)
        files = {
            "icons32.dll": build_pe(work, "i686-w64-mingw32-", "icons32.dll"),
            "icons64.dll": build_pe(work, "x86_64-w64-mingw32-", "icons64.dll"),
            "icons16.icl": ne_library()[0],
        }
    finally:
        shutil.rmtree(work)
    files.update(damaged_pe(files["icons32.dll"]))
    files.update(damaged_ne())
    for name, data in files.items():
        # The damaged copies are only needed as seeds; the tests read them there.
        for folder in (SEEDS,) if name.startswith("bad_") else (OUT, SEEDS):
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)
    print("wrote %d files to %s and %s" % (len(files), OUT, SEEDS))


if __name__ == "__main__":
    sys.exit(main())
