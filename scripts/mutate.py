#!/usr/bin/env python3
"""Plants faults one at a time and tells which ones the tests catch.

Each fault of the table (scripts/mutations.toml: a file, a text that occurs in it exactly
once, its replacement and what that breaks) is applied to a copy of the working tree in
build/mutate/tree, the copy is rebuilt incrementally, the suites that cover the file run,
and the file is restored. A fault is killed when a suite fails or times out, survives
when all pass, and is not valid when it does not build. At the end: the kill rate and
the survivors.

It takes minutes (a Wine start and a Win32 suite per fault of the Win32 layer), so it is
not part of the test command: run it before calling code done, with faults of your own
for that code.

    scripts/mutate.py                  every fault
    scripts/mutate.py --list           the table, and whether each text is still found
    scripts/mutate.py --only volume    the faults whose file or description match
    scripts/mutate.py --only 3,7       faults by their number in the listing
    scripts/mutate.py --e2e            the end-to-end cases too, for the Win32 layer
"""

import argparse
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import time
import tomllib
from dataclasses import dataclass, field
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
DEFAULT_TABLE = ROOT / "scripts" / "mutations.toml"
SCRATCH = ROOT / "build" / "mutate"
TREE = SCRATCH / "tree"
MANIFEST = SCRATCH / "manifest.txt"
TARGET_RATE = 0.9
# Rebuilding after a change of a widely included header can take long on a shared machine.
BUILD_TIMEOUT = 30 * 60


@dataclass
class Suite:
    preset: str
    targets: list
    ctest: list  # arguments that select the suite's ctest entries
    program: str = ""  # when set, only the entries that run this program
    needs_display: bool = False


SUITES = {
    # The portable core's tests, natively with ASan and UBSan.
    "unit": Suite("native", ["vemo_unit_tests"], [], "vemo_unit_tests"),
    # The command-line tools' output, byte for byte.
    "cli": Suite("native", ["vemo-info", "vemo-tag"], ["-R", r"^vemo_(info|tag)_cli$"]),
    # The core's tests built for Windows: the Win32 file access runs only here.
    "win-unit": Suite("win64", ["vemo_unit_tests"], ["-R", r"^vemo_unit_tests$"], "", True),
    # The Win32 layer in process, with real windows, under Wine.
    "win": Suite("win64", ["vemo_win_tests"], ["-R", r"^vemo_win_tests$"], "", True),
    # The stand-in player with the real DLL, driven by keystrokes.
    "e2e": Suite("win64", ["all"], ["-L", "e2e"], "", True),
    # The installer and uninstaller, run silently under Wine by their end-to-end case.
    "installer": Suite("win64", ["gen_vemo_installer", "gen_vemo_old_installer", "quavix-standin",
                                 "vemo-sample-library"], ["-R", r"^e2e_installer$"], "", True),
}

# Which suites cover a file, by its folder; an entry of the table may name its own.
FOLDER_SUITES = [
    (re.compile(r"^src/text/file_access_win32\.cpp$"), ["win-unit", "win"]),
    (re.compile(r"^src/(text|audio|settings)/"), ["unit", "cli"]),
    (re.compile(r"^src/(win|popup|actions|config|plugin)/"), ["win"]),
    (re.compile(r"^installer/"), ["installer"]),
]
WIN32_LAYER = re.compile(r"^src/(win|popup|actions|config|plugin)/")


@dataclass
class Fault:
    number: int
    file: str
    find: str
    replace: str
    breaks: str
    suites: list = field(default_factory=list)

    def problem(self, tree: Path) -> str:
        """Empty when the text occurs exactly once in the file; else why not."""
        path = tree / self.file
        if not path.is_file():
            return "file not found"
        count = path.read_text(encoding="utf-8", errors="surrogateescape").count(self.find)
        if count == 0:
            return "text not found"
        if count > 1:
            return f"text found {count} times"
        return ""


def load_table(path: Path, with_e2e: bool) -> list:
    with open(path, "rb") as f:
        table = tomllib.load(f)
    faults = []
    for number, entry in enumerate(table.get("fault", []), 1):
        missing = [key for key in ("file", "find", "replace", "breaks") if key not in entry]
        if missing:
            sys.exit(f"{path.name}: fault {number} lacks {', '.join(missing)}")
        suites = list(entry.get("suites", []))
        if not suites:
            for pattern, covering in FOLDER_SUITES:
                if pattern.search(entry["file"]):
                    suites = list(covering)
                    break
        if not suites:
            sys.exit(f"{path.name}: fault {number}: no suite covers {entry['file']}; name them with suites = [...]")
        unknown = [s for s in suites if s not in SUITES]
        if unknown:
            sys.exit(f"{path.name}: fault {number}: unknown suites {unknown}")
        if with_e2e and WIN32_LAYER.search(entry["file"]) and "e2e" not in suites:
            suites.append("e2e")
        faults.append(Fault(number, entry["file"], entry["find"], entry["replace"], entry["breaks"], suites))
    return faults


def tracked_files() -> list:
    out = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"], cwd=ROOT,
                         check=True, capture_output=True).stdout
    return [name for name in out.decode().split("\0") if name and (ROOT / name).is_file()]


def sync_tree() -> None:
    """Brings the copy up to the working tree, writing only files that differ, so that the
    builds in it stay incremental from one run to the next."""
    TREE.mkdir(parents=True, exist_ok=True)
    files = tracked_files()
    previous = set(MANIFEST.read_text().splitlines()) if MANIFEST.exists() else set()
    for name in previous - set(files):
        (TREE / name).unlink(missing_ok=True)
    for name in files:
        source, copy = ROOT / name, TREE / name
        data = source.read_bytes()
        if copy.is_file() and copy.read_bytes() == data:
            continue
        copy.parent.mkdir(parents=True, exist_ok=True)
        copy.write_bytes(data)  # a fresh time stamp: the build sees the change
        shutil.copymode(source, copy)
    MANIFEST.write_text("\n".join(files) + "\n")


def run(command, cwd, timeout, env=None):
    """Runs command in a process group of its own, killed whole at the timeout. Returns
    (exit code or None after a timeout, output)."""
    process = subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               start_new_session=True)
    try:
        output, _ = process.communicate(timeout=timeout)
        return process.returncode, output.decode(errors="replace")
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        output, _ = process.communicate()
        return None, output.decode(errors="replace")


class Display:
    """A virtual 1024x768 screen of our own for the Windows suites."""

    def __init__(self):
        self.process = None

    def start(self) -> str:
        if self.process:
            return os.environ["DISPLAY"]
        read, write = os.pipe()
        self.process = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24",
                                         "-nolisten", "tcp"], pass_fds=(write,), stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if not number:
            sys.exit("Xvfb did not start")
        os.environ["DISPLAY"] = f":{number}"
        return os.environ["DISPLAY"]

    def stop(self) -> None:
        if self.process:
            self.process.terminate()
            self.process.wait()
            self.process = None


class Builds:
    def __init__(self, display: Display):
        self.display = display
        self.configured = set()
        self.servers = set()

    def directory(self, preset: str) -> Path:
        return TREE / "build" / preset

    def configure(self, preset: str) -> None:
        if preset in self.configured:
            return
        code, output = run(["cmake", "--preset", preset], TREE, BUILD_TIMEOUT)
        if code != 0:
            sys.exit(f"configuring {preset} in {TREE} failed:\n{output[-3000:]}")
        self.configured.add(preset)

    def build(self, suites: list) -> str:
        """Builds what the suites need; the compiler's first error when that fails."""
        wanted = {}
        for name in suites:
            suite = SUITES[name]
            wanted.setdefault(suite.preset, set()).update(suite.targets)
        for preset, targets in wanted.items():
            self.configure(preset)
            command = ["cmake", "--build", "--preset", preset]
            if "all" not in targets:
                command += ["--target", *sorted(targets)]
            code, output = run(command, TREE, BUILD_TIMEOUT)
            if code != 0:
                lines = output.splitlines()
                errors = [line for line in lines if re.search(r"\berror\b:|: error ", line)]
                first = (errors or [line for line in lines if line.startswith("FAILED:")] or ["build failed"])[0]
                return first.replace(f"{TREE}/", "").strip()
        return ""

    def wine_server(self, preset: str, *arguments) -> None:
        script = self.directory(preset) / "wine-run.sh"
        if script.exists():
            run([str(script), "--wineserver", *arguments], TREE, 60)

    def prepare_windows(self, preset: str) -> None:
        """A wine server left from a start without our screen would serve windows
        without one: it goes first."""
        if preset in self.servers:
            return
        self.display.start()
        self.wine_server(preset, "-k")
        self.servers.add(preset)

    def stop_windows(self) -> None:
        for preset in self.servers:
            self.wine_server(preset, "-k")


def suite_commands(builds: Builds, name: str) -> list:
    """The commands ctest would run for the suite, each test program once, told to stop
    at its first failure."""
    suite = SUITES[name]
    directory = builds.directory(suite.preset)
    code, output = run(["ctest", "--test-dir", str(directory), "--show-only=json-v1", *suite.ctest], TREE, 300)
    if code != 0:
        sys.exit(f"ctest could not list suite {name}:\n{output[-2000:]}")
    commands = []
    for test in json.loads(output).get("tests", []):
        if "command" not in test:
            continue
        if suite.program and not any(Path(a).name in (suite.program, suite.program + ".exe")
                                     for a in test["command"]):
            continue
        properties = {p["name"]: p["value"] for p in test.get("properties", [])}
        command = [a for a in test["command"]
                   if not a.startswith("--gtest_filter=") and a != "--gtest_also_run_disabled_tests"]
        if any(a.startswith("--gtest") for a in test["command"]):
            command.append("--gtest_fail_fast")
        entry = (tuple(command), properties.get("WORKING_DIRECTORY", str(directory)))
        if entry not in commands:
            commands.append(entry)
    if not commands:
        sys.exit(f"suite {name} has no tests in {directory}")
    return commands


def first_failure(output: str) -> str:
    for pattern in (r"\[  FAILED  \] (\S+)", r"\d+ - (\S+) \((?:Failed|Timeout)\)", r"^FAIL\S*:? (.+)$"):
        found = re.search(pattern, output, re.MULTILINE)
        if found:
            return found.group(1).rstrip(",")
    return ""


def run_suites(builds: Builds, suites: list, timeout: float) -> tuple:
    """('passed' | 'failed' | 'timed out', which test, seconds)."""
    start = time.monotonic()
    for name in suites:
        suite = SUITES[name]
        if suite.needs_display:
            builds.prepare_windows(suite.preset)
        for command, cwd in suite_commands(builds, name):
            left = timeout - (time.monotonic() - start)
            if left <= 0:
                return "timed out", name, time.monotonic() - start
            code, output = run(list(command), cwd, left)
            if code is None:
                return "timed out", f"suite {name}", time.monotonic() - start
            if code != 0:
                return "failed", first_failure(output) or f"{name} (exit {code})", time.monotonic() - start
    return "passed", "", time.monotonic() - start


def minutes(seconds: float) -> str:
    seconds = int(round(seconds))
    return f"{seconds // 60} min {seconds % 60:02d} s" if seconds >= 60 else f"{seconds} s"


def list_table(faults: list) -> None:
    for fault in faults:
        problem = fault.problem(ROOT)
        print(f"{fault.number:3d}  {'ok' if not problem else problem.upper():<20} {fault.file}  [{', '.join(fault.suites)}]")
        print(f"     {fault.breaks}")


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--table", type=Path, default=DEFAULT_TABLE, help="the table of faults (TOML)")
    parser.add_argument("--list", action="store_true", help="print the table and whether each text is found")
    parser.add_argument("--only", metavar="PATTERN",
                        help="only the faults with these numbers (\"3,7\") or whose file or description match "
                             "this regular expression")
    parser.add_argument("--e2e", action="store_true", help="also run the end-to-end cases for the Win32 layer")
    parser.add_argument("--timeout", type=float, metavar="SECONDS",
                        help="time for the suites of one fault (default: twice their time unchanged, plus 60 s)")
    parser.add_argument("--no-baseline", action="store_true",
                        help="skip the run of the unchanged code (its time then sets no default timeout)")
    args = parser.parse_args()

    faults = load_table(args.table, args.e2e)
    if args.only:
        if re.fullmatch(r"\d+(,\d+)*", args.only):
            numbers = {int(n) for n in args.only.split(",")}
            faults = [f for f in faults if f.number in numbers]
        else:
            pattern = re.compile(args.only, re.IGNORECASE)
            faults = [f for f in faults if pattern.search(f.file) or pattern.search(f.breaks)]
        if not faults:
            sys.exit(f"no fault matches {args.only!r}")
    if args.list:
        list_table(faults)
        return 0
    stale = [(f, f.problem(ROOT)) for f in faults if f.problem(ROOT)]
    if stale:
        for fault, problem in stale:
            print(f"fault {fault.number} ({fault.file}): {problem}: {fault.find!r}", file=sys.stderr)
        print("The table is out of step with the code: bring these entries up to date.", file=sys.stderr)
        return 2

    started = time.monotonic()
    display = Display()
    builds = Builds(display)
    needed = []
    for fault in faults:
        needed += [s for s in fault.suites if s not in needed]
    try:
        print(f"== copy of the working tree in {TREE.relative_to(ROOT)}", flush=True)
        sync_tree()
        baseline = {}
        print(f"== building {', '.join(sorted({SUITES[s].preset for s in needed}))}", flush=True)
        error = builds.build(needed)
        if error:
            print(f"the unchanged code does not build: {error}", file=sys.stderr)
            return 2
        if not args.no_baseline:
            for name in needed:
                outcome, which, seconds = run_suites(builds, [name], 3600)
                print(f"== unchanged: {name} {outcome} in {minutes(seconds)}", flush=True)
                if outcome != "passed":
                    print(f"the unchanged code fails suite {name} ({which}): no fault can be judged", file=sys.stderr)
                    return 2
                baseline[name] = seconds

        results = {"killed": [], "survived": [], "not valid": []}
        for index, fault in enumerate(faults, 1):
            path = TREE / fault.file
            original = path.read_bytes()
            text = original.decode("utf-8", errors="surrogateescape")
            fault_start = time.monotonic()
            try:
                path.write_bytes(text.replace(fault.find, fault.replace, 1).encode("utf-8", errors="surrogateescape"))
                error = builds.build(fault.suites)
                if error:
                    verdict, detail = "not valid", error
                else:
                    limit = args.timeout or (2 * sum(baseline.get(s, 300) for s in fault.suites) + 60)
                    outcome, which, _ = run_suites(builds, fault.suites, limit)
                    verdict = "survived" if outcome == "passed" else "killed"
                    detail = {"passed": "", "failed": which}.get(outcome, f"{outcome} in {which}")
            finally:
                path.write_bytes(original)
            results[verdict].append((fault, detail))
            took = time.monotonic() - fault_start
            print(f"[{index:2d}/{len(faults)}] {verdict.upper():<9} {took:5.0f} s  #{fault.number} {fault.file}: "
                  f"{fault.breaks}" + (f"  <- {detail}" if detail else ""), flush=True)

        valid = len(results["killed"]) + len(results["survived"])
        print()
        print(f"{len(faults)} faults: {len(results['killed'])} killed, {len(results['survived'])} survived, "
              f"{len(results['not valid'])} not valid (did not build).")
        if valid:
            rate = len(results["killed"]) / valid
            print(f"Kill rate: {len(results['killed'])} of {valid} = {rate:.0%} (target {TARGET_RATE:.0%}).")
        for label in ("survived", "not valid"):
            if results[label]:
                print(f"{label.capitalize()}:")
                for fault, detail in results[label]:
                    print(f"  #{fault.number} {fault.file}: {fault.breaks}" + (f" ({detail})" if detail else ""))
        print(f"Time: {minutes(time.monotonic() - started)}.")
        return 0 if valid and len(results["killed"]) >= TARGET_RATE * valid else 1
    finally:
        # The copy is left whole: the next run's build starts from the restored files.
        builds.stop_windows()
        display.stop()


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        sys.exit(130)
    except BrokenPipeError:  # the listing cut short by a pager
        sys.exit(0)
