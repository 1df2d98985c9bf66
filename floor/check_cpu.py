#!/usr/bin/env python3
"""Fails when the oldest processor a program's code runs on is not the one stated.

check_cpu.py OBJDUMP PROGRAM.exe STATED: the code is read from `OBJDUMP -d`;
each instruction is placed on the ladder of x86 processors by what it needs,
and the highest step any function reaches is the program's floor. STATED
names that step (its one line that is not a comment). Code the runtime runs
only after asking the processor (CPUID) what it has, and data the linker put
among the code, do not count.
"""
import re
import subprocess
import sys

LADDER = ["i386", "i486", "Pentium", "Pentium Pro", "Pentium II", "Pentium III",
          "Pentium 4", "newer"]

BY_MNEMONIC = {
    "i486": {"bswap", "cmpxchg", "xadd", "invd", "wbinvd", "invlpg"},
    "Pentium": {"cpuid", "rdtsc", "cmpxchg8b", "rdmsr", "wrmsr", "rsm"},
    "Pentium Pro": {"fcomi", "fcomip", "fucomi", "fucomip", "rdpmc", "ud2",
                    "fcmovb", "fcmove", "fcmovbe", "fcmovu", "fcmovnb", "fcmovne",
                    "fcmovnbe", "fcmovnu"},
    "newer": {"rdrand", "rdseed", "lzcnt", "popcnt", "movbe", "andn", "bextr",
              "blsi", "blsr", "shlx", "shrx", "sarx", "pdep", "pext", "adcx", "adox"},
}

# Functions whose above-floor instructions run only where CPUID says the
# processor has them, or which the program never calls that way.
GUARDED = [
    (re.compile(r"^\.gcc_except_table"), "exception tables: data among the code"),
    (re.compile(r"__x86_rd(rand|seed)"), "libstdc++'s random_device, after CPUID"),
    (re.compile(r"random_device7_M_init"), "libstdc++'s random_device, after the ID flag"),
]

# TZCNT is encoded as REP BSF: older processors run it as BSF, the same
# where the operand is not zero (the compiler emits it only there).
AS_OLDER = {"tzcnt": "i386"}


def step_of(mnemonic, operands):
    if "%xmm" in operands or "%ymm" in operands:
        return "Pentium III"
    if "%mm" in operands:
        return "Pentium II"
    if mnemonic in AS_OLDER:
        return AS_OLDER[mnemonic]
    if mnemonic.startswith("cmov"):
        return "Pentium Pro"
    for step, names in BY_MNEMONIC.items():
        if mnemonic in names:
            return step
    return "i386"


def floor_of(disassembly):
    """(step, {function: step}) of the highest steps found."""
    function, highest = None, {}
    for line in disassembly.splitlines():
        head = re.match(r"^[0-9a-f]+ <(.*)>:$", line)
        if head:
            function = head.group(1)
            continue
        parts = line.split("\t")
        if len(parts) < 3 or not parts[2].split() or function is None:
            continue
        if any(p.search(function) for p, _ in GUARDED):
            continue
        words = parts[2].split()
        step = step_of(words[0], " ".join(words[1:]))
        if LADDER.index(step) > LADDER.index(highest.get(function, "i386")):
            highest[function] = step
    top = max(highest.values(), key=LADDER.index, default="i386")
    return top, {f: s for f, s in highest.items() if s == top}


def stated(path):
    for line in open(path, encoding="utf-8"):
        if line.strip() and not line.startswith("#"):
            return line.strip()
    return None


def main():
    objdump, exe, statement = sys.argv[1:4]
    code = subprocess.run([objdump, "-d", exe], check=True, capture_output=True, text=True,
                          env={"LC_ALL": "C", "PATH": "/usr/bin:/bin"}).stdout
    top, where = floor_of(code)
    claim = stated(statement)
    print(f"{exe}: needs a {top} ({len(where)} functions, such as "
          f"{', '.join(sorted(where)[:3]) or 'none'}); {statement} states {claim}")
    return 0 if claim == top else 1


if __name__ == "__main__":
    sys.exit(main())
