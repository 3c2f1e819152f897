#!/usr/bin/env python3
"""Builds many_groups.dll, the library of the icon-library benchmark: a 32-bit resource-only DLL
made by the MinGW-w64 resource compiler and linker (Debian: binutils-mingw-w64-i686, cpp) with
200 icon groups 1..200, each holding a 16x16 32-bit image and a 32x32 4-bit image of its own
colour. The output is deterministic: the linker gets no time stamp.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
GROUPS = 200


def dib32(side, argb):
    header = struct.pack("<IiiHHIIiiII", 40, side, 2 * side, 1, 32, 0, 0, 0, 0, 0, 0)
    mask = b"\0" * (((side + 31) // 32) * 4 * side)
    return header + struct.pack("<I", argb) * side * side + mask


def dib4(side, rgb):
    header = struct.pack("<IiiHHIIiiII", 40, side, 2 * side, 1, 4, 0, 0, 0, 0, 16, 0)
    table = b"".join(struct.pack("<I", rgb if i == 10 else 0) for i in range(16))
    mask = b"\0" * (((side + 31) // 32) * 4 * side)
    return header + table + bytes([0xAA]) * (side // 2) * side + mask


def ico_file(images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for data in images:
        side, bits = struct.unpack_from("<i", data, 4)[0], struct.unpack_from("<H", data, 14)[0]
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def main():
    work = tempfile.mkdtemp()
    try:
        rc = ["LANGUAGE 9, 1"]
        for g in range(1, GROUPS + 1):
            rgb = (g * 0x2F1B37) & 0xFFFFFF
            with open(os.path.join(work, "g%d.ico" % g), "wb") as f:
                f.write(ico_file([dib32(16, 0xFF000000 | rgb), dib4(32, rgb)]))
            rc.append('%d ICON "g%d.ico"' % (g, g))
        with open(os.path.join(work, "many.rc"), "w") as f:
            f.write("\n".join(rc) + "\n")
        obj = os.path.join(work, "many.o")
        out = os.path.join(work, "many_groups.dll")
        subprocess.check_call(["i686-w64-mingw32-windres", "--preprocessor=cpp", "many.rc", "-O", "coff", "-o", obj],
                              cwd=work)
        subprocess.check_call(["i686-w64-mingw32-ld", "--dll", "-e", "0", "--strip-all", "--no-insert-timestamp",
                               "--file-alignment", "16", "--section-alignment", "4096", "-o", out, obj], cwd=work)
        shutil.copy(out, os.path.join(HERE, "many_groups.dll"))
    finally:
        shutil.rmtree(work)
    print("wrote", os.path.join(HERE, "many_groups.dll"))


if __name__ == "__main__":
    sys.exit(main())
