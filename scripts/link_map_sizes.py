#!/usr/bin/env python3
"""Sizes in a GNU ld link map, by where the bytes came from.

  link_map_sizes.py MAP            table of groups (own code, each runtime library...)
                                   against output sections (code, read-only data,
                                   unwind tables, ...)
  link_map_sizes.py MAP --objects  the same, one row per object or archive member

Only input sections the linker kept are counted (the discarded list at the top of
the map is skipped); alignment padding is not attributed to anyone.
"""
import re
import sys
from collections import defaultdict

# Output sections grouped into the columns shown; anything else lands in "other".
COLUMNS = [
    ("code", (".text",)),
    ("rodata", (".rdata", ".rodata")),
    ("data", (".data",)),
    ("unwind", (".eh_frame", ".gcc_except_table")),
    ("bss", (".bss",)),
    ("rsrc", (".rsrc",)),
]
COLUMN_NAMES = [name for name, _ in COLUMNS] + ["other"]


def column_of(output_section):
    for name, prefixes in COLUMNS:
        if any(output_section == p or output_section.startswith(p + "$") for p in prefixes):
            return name
    return "other"


def group_of(path):
    """Who a linked file belongs to: the project's layers, a runtime library, start-up."""
    base = path.rsplit("/", 1)[-1]
    archive = base.split("(", 1)[0]
    if archive == "libvemo_core.a":
        return "own: core"
    if archive == "libvemo_win.a" or base.endswith(".cpp.obj"):
        return "own: Win32"
    if base.endswith(".res"):
        return "resources"
    named = {
        "libstdc++.a": "libstdc++",
        "libsupc++.a": "libstdc++",
        "libwinpthread.a": "winpthread",
        "libpthread.a": "winpthread",
        "libmingwex.a": "mingwex",
        "libgcc_eh.a": "unwinder (libgcc_eh)",
        "libgcc.a": "libgcc",
        "libmingw32.a": "CRT start-up",
    }
    if archive in named:
        return named[archive]
    if re.match(r"(dll)?crt\d?\.o$|crtbegin\.o$|crtend\.o$", archive):
        return "CRT start-up"
    if archive.startswith("lib") and archive.endswith(".a"):
        return "msvcrt, import stubs"
    return "relocations, exports"


def parse(lines):
    """Yields (output section, input file, size) for every kept input section."""
    started = False
    output_section = None
    pending_input = False  # an input section name alone on its line; figures follow
    entry = re.compile(r"^\s+(0x[0-9a-f]+)\s+(0x[0-9a-f]+)\s+(\S.*)$")
    for line in lines:
        line = line.rstrip("\n")
        if not started:
            started = line.startswith("Linker script and memory map")
            continue
        if line and not line[0].isspace():
            output_section = line.split()[0]
            pending_input = False
            continue
        if output_section is None:
            continue
        stripped = line.strip()
        if line.startswith(" ") and not line.startswith("  ") and stripped.startswith("."):
            parts = stripped.split(None, 3)
            if len(parts) == 1:
                pending_input = True
                continue
            if len(parts) == 4:
                size = int(parts[2], 16)
                if size:
                    yield output_section, parts[3], size
            pending_input = False
            continue
        if pending_input:
            match = entry.match(line)
            if match:
                size = int(match.group(2), 16)
                if size:
                    yield output_section, match.group(3), size
            pending_input = False


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    by_objects = "--objects" in argv[2:]
    with open(argv[1], encoding="utf-8", errors="replace") as handle:
        rows = defaultdict(lambda: defaultdict(int))
        for output_section, path, size in parse(handle):
            if by_objects:
                key = group_of(path) + "  " + path.rsplit("/", 1)[-1]
            else:
                key = group_of(path)
            rows[key][column_of(output_section)] += size

    def file_bytes(row):  # .bss takes no room in the file
        return sum(v for k, v in row.items() if k != "bss")

    width = max([len(k) for k in rows] + [10])
    print(f"{'from':<{width}} " + " ".join(f"{c:>8}" for c in COLUMN_NAMES) + f" {'in file':>9}")
    totals = defaultdict(int)
    for key in sorted(rows, key=lambda k: -file_bytes(rows[k])):
        row = rows[key]
        for c, v in row.items():
            totals[c] += v
        print(f"{key:<{width}} " + " ".join(f"{row.get(c, 0):>8}" for c in COLUMN_NAMES)
              + f" {file_bytes(row):>9}")
    print(f"{'total':<{width}} " + " ".join(f"{totals.get(c, 0):>8}" for c in COLUMN_NAMES)
          + f" {file_bytes(totals):>9}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
