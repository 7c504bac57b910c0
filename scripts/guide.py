#!/usr/bin/env python3
"""Keeps the user's guide (docs/guide.md) in step with the plug-in: the hotkey table and
the default settings section between their markers come from vemo-guide-tables, which
prints them from the plug-in's own data, and every file name or title that carries the
version carries the project's version. It also checks that the guide keeps the order a
new user reads it in (its top-level sections as in SECTIONS, no settings numbers before
the reference, no code span across lines, which a lone back quote as in "Win+`" opens)
and that every link to one of its headings finds it.

    guide.py [--check] [--tables EXE] [--version X.YYY] [GUIDE]
    guide.py --html OUT [GUIDE]

Without --check the guide is rewritten where it differs; with it, nothing is written
and the exit code is 1 when the guide is not current (the differences are printed).
--html writes the guide as one HTML page for the release (needs the Markdown module,
Debian's python3-markdown); its pictures stay beside it in pictures/.
Defaults: build/native/bin/vemo-guide-tables, the version of CMakeLists.txt's project()
line, docs/guide.md.
"""
import argparse
import difflib
import os
import re
import subprocess
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
# <!-- begin NAME ... --> generated lines <!-- end NAME -->
BLOCK = re.compile(r"(<!-- begin (\w+)[^>]*-->\n)(.*?)(<!-- end \2 -->)", re.S)
# Gen_vemo-1.605-setup.exe, Gen_vemo-1.605.zip, "plug-in 1.605", "Plug-in v1.605", "version 1.605"
VERSIONED = re.compile(r"(Gen_vemo-|[Pp]lug-in v?|version )\d+\.\d{3}\b")
# ![what it shows](pictures/name.png)
PICTURE = re.compile(r"!\[[^]]*\]\(([^)]+)\)")
# The top-level sections, in the order a new user needs them: the first minute first,
# what only an editor of Plugin.ini or an administrator needs last.
SECTIONS = ["Getting started", "Everyday keys and popups", "The file keys", "The two windows",
            "Troubleshooting", "Reference", "For administrators"]
# Settings numbers belong to the reference: a hotkey line ("Next=8 86"), key codes and
# modifier sums.
NUMBERS = re.compile(r"\b\w+ ?= ?\d+ \d+\b|\bkey codes?\b|\bmodifiers\b", re.I)
# [text](#anchor)
ANCHOR_LINK = re.compile(r"\]\(#([^)]+)\)")


def project_version():
    text = open(os.path.join(ROOT, "CMakeLists.txt")).read()
    return re.search(r"project\(\w+ VERSION ([0-9.]+)", text).group(1)


def slug(heading):
    """A heading's anchor, as the Markdown renderers make it: lower case, punctuation
    dropped, blanks as hyphens."""
    return re.sub(r"[\s-]+", "-", re.sub(r"[^\w\s-]", "", heading.lower()).strip())


def reading_problems(text):
    """What keeps the guide from reading as it should: sections out of the order of
    SECTIONS, settings numbers before the reference, code spans across lines, and links
    to headings that are not there."""
    problems = []
    lines = text.splitlines()
    sections = [l[3:].strip() for l in lines if l.startswith("## ")]
    if sections != SECTIONS:
        problems.append(f"top-level sections {sections}, expected {SECTIONS}")
    for number, line in enumerate(lines, 1):
        if line.startswith("## Reference"):
            break
        for match in NUMBERS.finditer(line):
            problems.append(f"line {number}: \"{match.group(0)}\" before the reference")
    # A lone back quote ("Win+`") pairs with the next one in its paragraph and turns the
    # text between them into code; such a pair is never meant to span lines.
    for paragraph in re.split(r"\n\s*\n", re.sub(r"```.*?```", "", text, flags=re.S)):
        if paragraph.startswith("    "):
            continue
        for span in re.findall(r"(?<!`)`([^`]+)`(?!`)", re.sub(r"``.*?``", "", paragraph, flags=re.S)):
            if "\n" in span:
                problems.append("a back quote opens code across lines: `" + span[:40].replace("\n", " ") + "...`")
    anchors = {slug(l.lstrip("#")) for l in lines if l.startswith("#")}
    for target in sorted(set(ANCHOR_LINK.findall(text)) - anchors):
        problems.append(f"a link to #{target}, which no heading has")
    return problems


def current_guide(text, tables, version):
    def block(match):
        name = match.group(2)
        made = subprocess.run([tables, name], check=True, stdout=subprocess.PIPE, text=True).stdout
        return match.group(1) + made.rstrip("\n") + "\n" + match.group(4)

    text = BLOCK.sub(block, text)
    return VERSIONED.sub(lambda m: m.group(1) + version, text)


HTML_PAGE = """<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>{title}</title>
<style>
body {{ font-family: Segoe UI, Arial, sans-serif; max-width: 60em; margin: 2em auto; padding: 0 1em; line-height: 1.45; }}
table {{ border-collapse: collapse; margin: 1em 0; }}
th, td {{ border: 1px solid #bbb; padding: 0.2em 0.6em; text-align: left; vertical-align: top; }}
code, pre {{ background: #f3f3f3; }}
pre {{ padding: 0.6em; }}
img {{ vertical-align: middle; margin: 0.3em 0.6em 0.3em 0; }}
</style>
</head>
<body>
{body}
</body>
</html>
"""


def write_html(text, out):
    import html
    import markdown
    body = markdown.markdown(text, extensions=["tables", "fenced_code", "md_in_html", "toc"])
    title = text.splitlines()[0].lstrip("# ").strip()
    open(out, "w", encoding="utf-8").write(HTML_PAGE.format(title=html.escape(title), body=body))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--tables", default=os.path.join(ROOT, "build", "native", "bin", "vemo-guide-tables"))
    parser.add_argument("--version", default=None)
    parser.add_argument("--html", metavar="OUT")
    parser.add_argument("guide", nargs="?", default=os.path.join(ROOT, "docs", "guide.md"))
    args = parser.parse_args()

    text = open(args.guide, encoding="utf-8").read()
    missing = [p for p in PICTURE.findall(text) if not os.path.exists(os.path.join(os.path.dirname(args.guide), p))]
    if missing:
        print(f"{args.guide} shows pictures that are not there: {', '.join(missing)} (scripts/guide_pictures.sh)")
        return 1
    problems = reading_problems(text)
    if problems:
        print(f"{args.guide} does not read as it should:")
        print("\n".join("  " + p for p in problems))
        return 1
    if args.html:
        write_html(text, args.html)
        return 0
    wanted = current_guide(text, args.tables, args.version or project_version())
    if wanted == text:
        print(f"{args.guide}: current")
        return 0
    if args.check:
        sys.stdout.writelines(difflib.unified_diff(text.splitlines(True), wanted.splitlines(True),
                                                   "guide as committed", "guide from the plug-in's data"))
        print(f"{args.guide} is not current: run scripts/guide.py (after building the native preset)")
        return 1
    open(args.guide, "w", encoding="utf-8").write(wanted)
    print(f"{args.guide}: updated")
    return 0


if __name__ == "__main__":
    sys.exit(main())
