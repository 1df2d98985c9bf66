#!/usr/bin/env python3
"""Writes the 9x test layer's tables as a C++ header.

ninex_tables.py OUT.h NM LIBDIR IMPORTS.txt BOUND.txt: the functions that
fail on the 9x family (every wide export of the system's import libraries,
and what IMPORTS.txt marks 95stub), each with the bytes of its stdcall
arguments (from the libraries' `__imp__Name@N` symbols), and the functions
BOUND.txt places above Windows 95, with the release that brought them.
"""
import re
import subprocess
import sys

LIBS = ["kernel32", "user32", "gdi32", "advapi32", "shell32", "version", "comctl32", "psapi"]
SINCE = {"95": 400, "95stub": 400, "95+IE3": 401, "98": 410, "Me": 490, "none": 9999}


def exports(nm, libdir):
    """name -> argument bytes, per library."""
    found = {}
    for lib in LIBS:
        out = subprocess.run([nm, f"{libdir}/lib{lib}.a"], capture_output=True, text=True,
                             env={"LC_ALL": "C", "PATH": "/usr/bin:/bin"}).stdout
        names = {}
        for m in re.finditer(r"__imp__([A-Za-z0-9_]+)@(\d+)", out):
            names[m.group(1)] = int(m.group(2))
        found[lib] = names
    return found


def listed(path):
    for line in open(path, encoding="utf-8"):
        words = line.split()
        if words and not line.startswith("#"):
            yield words[1], words[2]


def main():
    out, nm, libdir, imports_list, bound_list = sys.argv[1:6]
    libs = exports(nm, libdir)
    failing = {}
    for names in libs.values():
        for name, size in names.items():
            if name.endswith("W") and name[:-1] + "A" in names:
                failing[name] = size
    sizes = {n: s for names in libs.values() for n, s in names.items()}
    for name, nine in listed(imports_list):
        if nine == "95stub":
            failing[name] = sizes[name]
    lines = ["// Made by ninex_tables.py; do not edit.", "#pragma once", "",
             "struct NineXWide { const char* name; unsigned short bytes; };",
             "constexpr NineXWide kWide[] = {"]
    lines += [f'    {{"{n}", {failing[n]}}},' for n in sorted(failing)]
    lines += ["};", "constexpr int kWideCount = sizeof kWide / sizeof kWide[0];", "",
              "struct NineXFloor { const char* name; unsigned since; };",
              "constexpr NineXFloor kFloors[] = {"]
    lines += [f'    {{"{n}", {SINCE[nine]}}},' for n, nine in listed(bound_list)]
    lines += ["};", ""]
    with open(out, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
