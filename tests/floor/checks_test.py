#!/usr/bin/env python3
"""The floor checks fail where they must: on made-up import tables, floor
lists and disassemblies, each run through the checker as the build runs it
(a stand-in objdump prints the made-up text)."""
import os
import subprocess
import sys
import tempfile

FLOOR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "floor")


def run(checker, printed, *lists, flags=()):
    with tempfile.TemporaryDirectory() as d:
        text = os.path.join(d, "printed.txt")
        with open(text, "w", encoding="utf-8") as f:
            f.write(printed)
        objdump = os.path.join(d, "objdump")
        with open(objdump, "w", encoding="utf-8") as f:
            f.write(f"#!/bin/sh\ncat '{text}'\n")
        os.chmod(objdump, 0o755)
        paths = []
        for i, content in enumerate(lists):
            paths.append(os.path.join(d, f"list{i}.txt"))
            with open(paths[-1], "w", encoding="utf-8") as f:
                f.write(content)
        return subprocess.run([sys.executable, os.path.join(FLOOR, checker), *flags, objdump, "x.exe", *paths],
                              capture_output=True, text=True).returncode


def import_table(*functions):
    rows = "".join(f"\t  {100 + i:5}  {i}  {fn}\n" for i, (_, fn) in enumerate(functions))
    return ("The Import Tables (interpreted .idata section contents)\n"
            "\tDLL Name: KERNEL32.dll\n\tvma:  Hint/Ord Member-Name Bound-To\n" + rows +
            "\nThe Function Table (interpreted .pdata section contents)\n")


NEWER = "# newer\nKERNEL32.dll GetTickCount64 Windows Vista\n"
FLOORS = ("# floors\nKERNEL32.dll GetVersion 95 3.1 doc\n"
          "KERNEL32.dll GetFileAttributesExA 98 4.0 doc\n"
          "KERNEL32.dll IsDebuggerPresent 98 4.0 doc\n"
          "KERNEL32.dll GetLongPathNameA 98 5.0 doc\n")


def disassembly(function, *instructions):
    body = "".join(f"  401{i:03x}:\t90 \t{ins}\n" for i, ins in enumerate(instructions))
    return f"\nDisassembly of section .text:\n\n00401000 <{function}>:\n{body}"


def main():
    cases = [
        # (what, got, wanted)
        ("imports placed on both floors pass",
         run("check_imports.py", import_table(("K", "GetVersion")), NEWER, FLOORS), 0),
        ("an import the floor list does not place fails",
         run("check_imports.py", import_table(("K", "GetVersion"), ("K", "CreateFiber")), NEWER, FLOORS), 1),
        ("an import placed above Windows 95 fails",
         run("check_imports.py", import_table(("K", "GetFileAttributesExA")), NEWER, FLOORS), 1),
        ("an import placed above NT 4.0 fails",
         run("check_imports.py", import_table(("K", "GetLongPathNameA")), NEWER, FLOORS), 1),
        ("an import newer than XP fails, wherever the floor list places it",
         run("check_imports.py", import_table(("K", "GetTickCount64")), NEWER,
             FLOORS + "KERNEL32.dll GetTickCount64 95 3.1 doc\n"), 1),
        ("no imports read fails", run("check_imports.py", "nothing\n", NEWER, FLOORS), 1),
        ("x64: an import placed on XP x64 by a second list passes, whatever 9x has",
         run("check_imports.py", import_table(("K", "GetVersion"), ("K", "RtlUnwindEx")), NEWER, FLOORS,
             "KERNEL32.dll RtlUnwindEx - 5.2 x64\n", flags=("--x64",)), 0),
        ("x64: the same import fails the 32-bit floor",
         run("check_imports.py", import_table(("K", "RtlUnwindEx")), NEWER, FLOORS,
             "KERNEL32.dll RtlUnwindEx - 5.2 x64\n"), 1),
        ("x64: an import placed above XP x64 fails",
         run("check_imports.py", import_table(("K", "GetLongPathNameA")), NEWER,
             "KERNEL32.dll GetLongPathNameA 98 6.0 doc\n", flags=("--x64",)), 1),
        ("x64: an import newer than XP fails",
         run("check_imports.py", import_table(("K", "GetTickCount64")), NEWER,
             "KERNEL32.dll GetTickCount64 - 5.2 x64\n", flags=("--x64",)), 1),
        ("CMOV needs the Pentium Pro stated",
         run("check_cpu.py", disassembly("f", "mov %eax,%ebx", "cmovne %ecx,%eax"), "Pentium Pro\n"), 0),
        ("a floor stated higher than the code needs fails",
         run("check_cpu.py", disassembly("f", "mov %eax,%ebx", "bswap %eax"), "Pentium Pro\n"), 1),
        ("SSE in a function of the program fails a Pentium Pro floor",
         run("check_cpu.py", disassembly("f", "cmove %eax,%ebx", "movaps %xmm0,%xmm1"), "Pentium Pro\n"), 1),
        ("RDRAND behind the runtime's CPUID test does not count",
         run("check_cpu.py", disassembly("f", "cmovb %eax,%ebx") +
             disassembly(".text$_ZNSt12_GLOBAL__N_112__x86_rdrandEPv", "rdrand %eax"), "Pentium Pro\n"), 0),
        ("RDRAND anywhere else does",
         run("check_cpu.py", disassembly("f", "cmovb %eax,%ebx", "rdrand %eax"), "Pentium Pro\n"), 1),
    ]
    failed = [what for what, got, wanted in cases if got != wanted]
    for what in failed:
        print("wrong:", what)
    print(f"{len(cases) - len(failed)} of {len(cases)} cases right")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
