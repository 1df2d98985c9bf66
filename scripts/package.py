#!/usr/bin/env python3
"""Packs Vorlane.exe and Vorlane64.exe with their readme and licence into
Vorlane-<version>.zip.

    package.py VORLANE_EXE VORLANE64_EXE OUT_DIR [EPOCH]

The version comes from the 32-bit executable's own version resource; the
64-bit one's must be the same. The readme
becomes code page 932 text with CR LF line ends, as Notepad on a Japanese
Windows opens it. Entries are stored in a fixed order with the timestamp
EPOCH (seconds, UTC; default 1980-01-01), so the same inputs give the same
bytes. A checksum file that `sha256sum -c` accepts is written beside the zip.
"""
import hashlib
import os
import struct
import sys
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
VS_FIXEDFILEINFO_SIGNATURE = struct.pack("<I", 0xFEEF04BD)
DOS_EPOCH = 315532800  # 1980-01-01, the earliest time a zip entry holds


def file_version(exe_bytes):
    """The fixed file version of the version resource, as "a.b.c.d"."""
    at = exe_bytes.find(VS_FIXEDFILEINFO_SIGNATURE)
    if at < 0:
        sys.exit("package: no version resource in the executable")
    # Signature, structure version, then the file version's high and low words.
    ms, ls = struct.unpack_from("<II", exe_bytes, at + 8)
    return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)


def windows_text(path, encoding):
    """A UTF-8 source text as `encoding` bytes with CR LF line ends."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode(encoding)


def main():
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    exe_path, exe64_path, out_dir = sys.argv[1:4]
    epoch = max(int(sys.argv[4]) if len(sys.argv) == 5 else 0, DOS_EPOCH)
    with open(exe_path, "rb") as f:
        exe = f.read()
    with open(exe64_path, "rb") as f:
        exe64 = f.read()
    version = file_version(exe)
    if file_version(exe64) != version:
        sys.exit("package: the two programs' versions differ")
    entries = [
        ("Vorlane.exe", exe),
        ("Vorlane64.exe", exe64),
        ("README.txt", windows_text(os.path.join(ROOT, "docs", "readme-ja.txt"), "cp932")),
        ("LICENSE.txt", windows_text(os.path.join(ROOT, "LICENSE"), "ascii")),
    ]
    os.makedirs(out_dir, exist_ok=True)
    name = "Vorlane-%s.zip" % version
    zip_path = os.path.join(out_dir, name)
    stamp = time.gmtime(epoch)[:6]
    with zipfile.ZipFile(zip_path + ".part", "w") as z:
        for entry_name, data in entries:
            info = zipfile.ZipInfo(entry_name, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # made on MS-DOS/Windows: no Unix owner or mode
            info.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE
            z.writestr(info, data, compresslevel=9)
    os.replace(zip_path + ".part", zip_path)
    with open(zip_path, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    with open(zip_path + ".sha256", "w", newline="\n") as f:
        f.write("%s  %s\n" % (digest, name))
    print(zip_path)


if __name__ == "__main__":
    main()
