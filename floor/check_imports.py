#!/usr/bin/env python3
"""Fails when a program imports a function newer than its Windows floor.

check_imports.py OBJDUMP PROGRAM.exe LIST: the imports are read from
`OBJDUMP -p`; LIST names the functions newer than the floor (see its header).
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
        elif dll and len(words) >= 3 and words[1].isdigit():
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


def main():
    objdump, exe, listing = sys.argv[1:4]
    found = imports(objdump, exe)
    if not found:
        print(f"no imports read from {exe}")
        return 1
    table = newer(listing)
    bad = [(d, f, table[(d, f)]) for d, f in found if (d, f) in table]
    for d, f, since in bad:
        print(f"{exe}: imports {d} {f}, which needs {since}")
    print(f"{len(found)} imports, {len(bad)} newer than the floor")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
