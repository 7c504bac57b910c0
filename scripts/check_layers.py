#!/usr/bin/env python3
"""Checks that every include between the source folders points one way, down the layers:

    text <- audio, settings <- win <- popup <- actions <- config <- plugin

(the configuration window may use the actions; nothing below may use what is above it),
and that the portable core (text, audio, settings) never includes windows.h.

    check_layers.py [SRC_DIR]      exit 0 when clean, 1 with the offending lines
"""
import os
import re
import sys

MAY_USE = {
    "text": {"text"},
    "audio": {"text", "audio"},
    "settings": {"text", "settings"},
    "win": {"text", "audio", "settings", "win"},
    "popup": {"text", "audio", "settings", "win", "popup"},
    "actions": {"text", "audio", "settings", "win", "popup", "actions"},
    "config": {"text", "audio", "settings", "win", "popup", "actions", "config"},
    "plugin": {"text", "audio", "settings", "win", "popup", "actions", "config", "plugin"},
}
PORTABLE = {"text", "audio", "settings"}
# Headers of the system that only the Win32 layer may include.
WINDOWS_HEADERS = re.compile(r'#\s*include\s*<(windows|mmsystem|shellapi|shlobj|commctrl)\.h>', re.I)
PROJECT_INCLUDE = re.compile(r'#\s*include\s*"([a-z_]+)/')
# The Win32 halves of the file-access and code-page modules are the core's doors to the system.
SYSTEM_HALVES = {os.path.join("text", "file_access_win32.cpp"), os.path.join("text", "code_page_win32.cpp")}


def main():
    src = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src"))
    problems = []
    for folder in sorted(os.listdir(src)):
        path = os.path.join(src, folder)
        if not os.path.isdir(path):
            continue
        if folder not in MAY_USE:
            problems.append(f"{folder}/: a folder the layering does not know")
            continue
        for name in sorted(os.listdir(path)):
            if not name.endswith((".h", ".cpp")):
                continue
            relative = os.path.join(folder, name)
            with open(os.path.join(path, name), encoding="latin-1") as f:
                for number, line in enumerate(f, 1):
                    used = PROJECT_INCLUDE.match(line.strip())
                    if used and used.group(1) not in MAY_USE[folder]:
                        problems.append(f"{relative}:{number}: {folder} must not include {used.group(1)}/: {line.strip()}")
                    if folder in PORTABLE and relative not in SYSTEM_HALVES and WINDOWS_HEADERS.match(line.strip()):
                        problems.append(f"{relative}:{number}: the portable core includes a Windows header")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
