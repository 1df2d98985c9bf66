#!/usr/bin/env python3
"""Fails when a program imports a function its oldest Windows lacks.

check_imports.py [--x64] OBJDUMP PROGRAM.exe NEWER FLOOR...: the imports are
read from `OBJDUMP -p`; NEWER names functions newer than Windows XP, each
FLOOR list places imports on the 9x and the NT family (see their headers). An
import named in NEWER, placed by no FLOOR, or placed above Windows 95 or
NT 4.0 fails. With --x64 (the 64-bit program) the floor is the first x64
Windows, XP x64 and Server 2003 (NT 5.2), and the 9x family has no say.
"""
import subprocess
import sys


def imports(objdump, exe):
    """(DLL, function or '#ordinal') pairs from objdump's import tables."""
    out = subprocess.run([objdump, "-p", exe], check=True, capture_output=True,
                         text=True, env={"LC_ALL": "C", "PATH": "/usr/bin:/bin"}).stdout
    dll, found, inside = None, [], False
    for line in out.splitlines():
        words = line.split()
        if line.startswith("The Import Tables"):
            inside = True
        elif line.startswith(("The ", "There is", "PE File")):
            inside = False
        elif not inside:
            continue
        elif line.strip().startswith("DLL Name:"):
            dll = words[-1].upper()
        elif dll and line.startswith("\t") and len(words) >= 3 and words[1].isdigit():
            # By ordinal objdump names no function: "#ordinal" then.
            found.append((dll, "#" + words[1] if words[2] == "<none>" else words[2]))
    return found


def newer(listing):
    table = {}
    for line in open(listing, encoding="utf-8"):
        if line.strip() and not line.startswith("#"):
            dll, fn, since = line.split(None, 2)
            table[(dll.upper(), fn)] = since.strip()
    return table


NINE_X_FLOOR = {"95", "95stub"}
NT_FLOOR = {"3.1", "3.5", "3.51", "4.0"}
NT_FLOOR_X64 = NT_FLOOR | {"5.2"}


def floors(listing):
    """(DLL, function) -> (9x release, NT release)."""
    table = {}
    for line in open(listing, encoding="utf-8"):
        words = line.split()
        if words and not line.startswith("#"):
            table[(words[0].upper(), words[1])] = (words[2], words[3])
    return table


def misplaced(found, table, x64):
    """Imports the floor lists do not place on the floor, with why."""
    for d, f in found:
        if (d, f) not in table:
            yield d, f, "which the floor list does not place"
            continue
        nine, nt = table[(d, f)]
        if x64 and nt not in NT_FLOOR_X64:
            yield d, f, f"which needs {nt} on NT"
        elif not x64 and (nine not in NINE_X_FLOOR or nt not in NT_FLOOR):
            yield d, f, f"which needs {nine} on the 9x family and {nt} on NT"


def main():
    args = sys.argv[1:]
    x64 = args[:1] == ["--x64"]
    objdump, exe, listing, *floor_lists = args[1:] if x64 else args
    found = imports(objdump, exe)
    if not found:
        print(f"no imports read from {exe}")
        return 1
    table = newer(listing)
    bad = [(d, f, "which needs " + table[(d, f)]) for d, f in found if (d, f) in table]
    table = {}
    for floor_list in floor_lists:
        table.update(floors(floor_list))
    bad += list(misplaced(found, table, x64))
    for d, f, why in bad:
        print(f"{exe}: imports {d} {f}, {why}")
    print(f"{len(found)} imports, {len(bad)} above " + ("XP x64" if x64 else "Windows 95 and NT 4.0"))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
