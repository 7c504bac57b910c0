#!/usr/bin/env python3
"""End-to-end cases: the stand-in player runs under Wine on the X display, loads the
plug-ins of its Plugins folder, is driven by a script (keystrokes through SendInput,
commands, programs) and writes an event log, which the cases then read.

    run_e2e.py CASE --wine WINE_RUN --player EXE --library EXE --work DIR
               [--probe DLL] [--try-delete EXE] [--hold-hotkeys EXE] [--short-name EXE]
               [--full-screen EXE] [--plugin DLL]
               [--installer EXE] [--old-installer EXE]

Exit 0 when the case passes, 1 when it fails, 77 (skipped) without a display.
"""
import argparse
import os
import re
import select
import shutil
import subprocess
import sys

SKIP = 77
PLAYER_TIMEOUT_S = 120

FIRST = "The Tidewater Quartet - Harbor Lights"
SECOND = "Mira Okonkwo - Paper Lanterns"
FIRST_FILE = "01 - Harbor Lights.mp3"
SECOND_FILE = "02 - Paper Lanterns.mp3"
LIBRARY_SIZE = 6
VERSION = 0x5123


def winpath(path):
    """The Windows form of a Linux path under Wine's drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Case:
    def __init__(self, args, name):
        self.args = args
        self.failures = []
        self.root = os.path.join(os.path.abspath(args.work), name)
        shutil.rmtree(self.root, ignore_errors=True)
        os.makedirs(self.root)

    def check(self, condition, message):
        if not condition:
            self.failures.append(message)
        return condition

    def library(self):
        """The sample library, written once per work folder by the project's own tool."""
        folder = os.path.join(os.path.abspath(self.args.work), "library")
        if not os.path.exists(os.path.join(folder, "library.m3u")):
            subprocess.run([self.args.wine, self.args.library, winpath(folder)], check=True,
                           stdout=subprocess.DEVNULL, timeout=PLAYER_TIMEOUT_S)
        return folder

    def world_library(self):
        """The library named in four scripts (world.m3u), written once per work folder."""
        folder = os.path.join(os.path.abspath(self.args.work), "world")
        if not os.path.exists(os.path.join(folder, "world.m3u")):
            subprocess.run([self.args.wine, self.args.library, "--world", winpath(folder)], check=True,
                           stdout=subprocess.DEVNULL, timeout=PLAYER_TIMEOUT_S)
        return folder

    def player_folder(self, name, plugins):
        """player.exe, Plugins/<file> for each (file name, source) and a fresh music copy."""
        folder = os.path.join(self.root, name)
        os.makedirs(os.path.join(folder, "Plugins"))
        shutil.copy(self.args.player, os.path.join(folder, "player.exe"))
        for file_name, source in plugins:
            shutil.copy(source, os.path.join(folder, "Plugins", file_name))
        shutil.copytree(self.library(), os.path.join(folder, "music"))
        return folder

    def run_player(self, folder, script, tag="run", options=(), playlist="library.m3u", wine=None):
        """Runs the player over the library with script (and more options), under the
        build's Wine prefix or another (wine: its runner); the log's lines."""
        log = os.path.join(folder, tag + ".log")
        script_path = os.path.join(folder, tag + ".script")
        with open(script_path, "w") as f:
            f.write("\n".join(script) + "\n")
        result = subprocess.run(
            [wine or self.args.wine, os.path.join(folder, "player.exe"), "--log", winpath(log),
             "--script", winpath(script_path), *options, winpath(os.path.join(folder, "music", playlist))],
            cwd=folder, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=PLAYER_TIMEOUT_S)
        lines = open(log, encoding="utf-8", errors="replace").read().splitlines() if os.path.exists(log) else []
        self.check(result.returncode == 0, f"{tag}: player exit code {result.returncode}")
        self.check(lines[-1:] == ["exit"], f"{tag}: the log does not end with 'exit'")
        if self.failures:
            print(result.stdout.decode(errors="replace")[-3000:])
        return lines

    def report(self, logs):
        if self.failures:
            for name, lines in logs:
                print(f"---- {name}")
                print("\n".join(lines))
            print("FAILED:")
            for failure in self.failures:
                print("  " + failure)
            return 1
        print("passed")
        return 0


def after(lines, marker):
    """The lines after the first line equal to marker (all lines when it is missing)."""
    return lines[lines.index(marker) + 1:] if marker in lines else []


def between(lines, start, end):
    rest = after(lines, start)
    return rest[:rest.index(end)] if end in rest else rest


def case_probe_lifecycle(args):
    """Loading, the record, init, config, the tray click, quit and unload, with two
    copies of the probe (the name matched without regard to case) and two files that
    are not plug-ins; the start times of --timings."""
    case = Case(args, "probe_lifecycle")
    folder = case.player_folder("player", [
        ("gen_probe.dll", args.probe), ("GEN_Second.DLL", args.probe),
        ("in_other.dll", args.probe), ("gen_probe.dll.off", args.probe)])
    timings = os.path.join(folder, "timings.txt")
    log = case.run_player(folder, [
        "wait 300", "keys Win+V", "wait 600", "config", "tray", "wait 200", "quit"],
        options=["--timings", winpath(timings)])

    case.check([l for l in log if l.startswith("load ")] == ["load GEN_Second.DLL", "load gen_probe.dll"],
               "exactly the two gen_*.dll files load, in name order")
    # One line per plug-in, in load order: the start time and its parts (load, export, init).
    starts = [l.split(" ", 4) for l in open(timings).read().splitlines()] if os.path.exists(timings) else []
    case.check([s[4] for s in starts if len(s) == 5] == ["GEN_Second.DLL", "gen_probe.dll"],
               "--timings has a line for each plug-in, in load order")
    for s in starts:
        times = [float(t) for t in s[:4]] if len(s) == 5 else [-1.0]
        case.check(min(times) >= 0 and times[0] < 60000 and abs(times[0] - sum(times[1:])) < 0.01,
                   f"start times of {s[-1]}: total {times[0]} ms, the sum of its parts, none negative")
    for name in ("GEN_Second.DLL", "gen_probe.dll"):
        case.check(after(log, "load " + name)[:1] == ["init"], f"init follows the load of {name}")
    case.check(log[:1] and log[0].startswith("awareness declared "), "the player says first how it asked for the DPI")
    case.check(log[1:2] == [f"title 1. {FIRST} - Quavix [Stopped]"], "the first event is the stopped title")
    case.check(f"query 0 0 -> {VERSION}" in log, "the version query answers 0x5123")
    case.check(f"query 124 0 -> {LIBRARY_SIZE}" in log, "the list length query answers the entry count")
    case.check(f'query 212 0 -> "{FIRST}"' in log, "the entry title query answers Artist - Title")
    keys = between(log, "step keys Win+V", "step config")
    case.check(keys[:2] == ["cmd 40048", f"title 2. {SECOND} - Quavix [Stopped]"],
               "Win+V reaches the probe's hotkey, which sends next; the stopped player retitles")
    case.check(after(log, "step config")[:1] == ["config"], "the config step calls config")
    case.check(after(log, "step tray")[:1] == ["tray-notify 514"],
               "the tray click arrives as WM_USER+1 with WM_LBUTTONUP")
    case.check(after(log, "step quit") == ["quit", "quit", "exit"], "quit for each plug-in, then exit")

    probe = open(os.path.join(folder, "Plugins", "probe.log")).read().splitlines()
    for name in ("GEN_Second.DLL", "gen_probe.dll"):
        case.check(f"{name}: init window valid, instance right, export calls 1" in probe,
                   f"{name} sees its record filled in before init, the export called once")
        case.check(f"{name}: editor found" in probe, f"{name} finds the playlist editor among the thread's windows")
        case.check(f"{name}: settext 2. {SECOND} - Quavix [Stopped]" in probe,
                   f"{name}'s subclass sees the retitle as WM_SETTEXT")
        case.check(f"{name}: quit" in probe, f"{name} is told to quit")
    case.check(sum(l.endswith("hotkeys held") for l in probe) == 1, "one copy holds the hotkeys")
    case.check("GEN_Second.DLL: config" in probe, "config goes to the first plug-in")
    return case.report([("player log", log), ("probe log", probe)])


def case_file_held(args):
    """The playing or paused file is held open with read sharing only; stop and a change
    of entry release it; the playlist editor drops entries whose files are gone."""
    case = Case(args, "file_held")
    folder = case.player_folder("player", [("gen_probe.dll", args.probe)])
    first = winpath(os.path.join(folder, "music", FIRST_FILE))
    second = winpath(os.path.join(folder, "music", SECOND_FILE))
    delete = f'run "{winpath(args.try_delete)}" "%s"'
    log = case.run_player(folder, [
        "cmd 40045", "wait 300",
        delete % first,
        "cmd 40046",
        delete % first,
        "cmd 40048", "wait 200",
        delete % first,
        "keys Win+D", "wait 600",
        "cmd 40047",
        delete % second,
        "quit"])

    runs = [l.rsplit(" -> ", 1)[1] for l in log if l.startswith("step run ")]
    case.check(runs == ["32", "32", "0", "0"],
               "delete fails with 32 while playing and while paused, succeeds after next and after stop")
    cleanup = after(log, "cmd 40222")
    case.check(f"title 1. {SECOND} - Quavix" in cleanup, "the editor drops the deleted entry; the player renumbers")
    case.check(f"query 124 0 -> {LIBRARY_SIZE - 1}" in cleanup, "the list is one entry shorter")
    case.check(not os.path.exists(os.path.join(folder, "music", FIRST_FILE)), "the first file is gone")
    case.check(not os.path.exists(os.path.join(folder, "music", SECOND_FILE)), "the second file is gone")
    return case.report([("player log", log)])


def case_plugin_lifecycle(args):
    """The real plug-in loads, starts, follows Win+V, quits and is unloaded cleanly."""
    case = Case(args, "plugin_lifecycle")
    folder = case.player_folder("player", [("Gen_vemo.dll", args.plugin)])
    shots = os.path.join(folder, "shots")
    os.makedirs(shots)
    log = case.run_player(folder, [
        "wait 1500", f"shot {winpath(os.path.join(shots, 'start.png'))}",
        "keys Win+V", "wait 800", f"shot {winpath(os.path.join(shots, 'next.png'))}",
        "quit"])

    case.check(after(log, "load Gen_vemo.dll")[:1] == ["init"], "the plug-in loads and init follows")
    case.check(f"query 0 0 -> {VERSION}" in after(log, "init"), "init asks for the player's version")
    case.check("cmd 40048" in after(log, "step keys Win+V"), "Win+V makes the player receive next")
    case.check(f"title 2. {SECOND} - Quavix [Stopped]" in after(log, "step keys Win+V"), "the player retitles")
    case.check(after(log, "step quit") == ["quit", "exit"], "quit once, then exit")
    ini = os.path.join(folder, "Plugins", "Plugin.ini")
    text = open(ini, "rb").read().decode("latin-1") if os.path.exists(ini) else ""
    case.check("[Vemo Plugin]" in text and "Next=8 86" in text, "Plugin.ini is written at quit")
    for shot in ("start.png", "next.png"):
        path = os.path.join(shots, shot)
        case.check(os.path.exists(path) and open(path, "rb").read(8) == b"\x89PNG\r\n\x1a\n", f"{shot} is a PNG")
    return case.report([("player log", log)])


def case_plugin_settings(args):
    """Plugin.ini is written at quit and read at the next start: a combination changed in
    the file by hand, with blanks around its "=", works after a restart, the old one no
    longer does and the bare key is left to the other programs; other sections stay."""
    case = Case(args, "plugin_settings")
    folder = case.player_folder("player", [("Gen_vemo.dll", args.plugin)])
    ini = os.path.join(folder, "Plugins", "Plugin.ini")
    first = case.run_player(folder, ["wait 500", "quit"], tag="first")
    text = open(ini, "rb").read().decode("latin-1") if os.path.exists(ini) else ""
    case.check("Next=8 86" in text, "the first quit writes the default Next=8 86")

    # Win+Ctrl+V instead of Win+V, written as people write by hand, and a section of
    # another plug-in in front.
    text = "[Other plug-in]\r\nkeep=1\r\n\r\n" + text.replace("Next=8 86", "Next = 10 86")
    open(ini, "wb").write(text.encode("latin-1"))
    second = case.run_player(folder, [
        "wait 800", "keys Win+V", "wait 800", "keys V", "wait 800", "keys Win+Ctrl+V", "wait 800", "quit"],
        tag="second")
    case.check("cmd 40048" not in between(second, "step keys Win+V", "step keys V"),
               "the old combination Win+V no longer plays the next entry")
    case.check("cmd 40048" not in between(second, "step keys V", "step keys Win+Ctrl+V"),
               "nor does V alone, which stays the other programs'")
    case.check("cmd 40048" in after(second, "step keys Win+Ctrl+V"), "the new combination Win+Ctrl+V does")
    text = open(ini, "rb").read().decode("latin-1")
    case.check("Next=10 86" in text, "the changed combination is written back")
    case.check(text.startswith("[Other plug-in]\r\nkeep=1\r\n"), "the other plug-in's section is kept")
    return case.report([("first log", first), ("second log", second)])


def case_plugin_player_controls(args):
    """The player-control hotkeys reach the stand-in player: the switches with their
    queries and the "on" keys, previous/next in list order while stopped and while
    playing, the player's functions and dialogs, minimize/restore, and quit."""
    case = Case(args, "plugin_player_controls")
    folder = case.player_folder("player", [("Gen_vemo.dll", args.plugin)])
    keys = ["Win+S", "Win+N", "Win+Ctrl+N", "Win+Alt+V", "Win+X", "Win+Alt+Z", "Win+Ctrl+C", "Win+K", "Win+P",
            "Win+3", "Win+J", "Win+Shift+C", "Win+A", "Win+A", "Win+Alt+S", "Win+Alt+N", "Win+Q"]
    script = ["wait 1500"]
    for key in keys:
        # The fade-out takes 1.5 s before the player stops.
        script += [f"keys {key}", "wait 2000" if key == "Win+Shift+C" else "wait 500"]
    log = case.run_player(folder, script)

    # What followed each key press, up to the next step (quit and exit after the last).
    presses = []
    for line in log:
        if line.startswith("step keys "):
            presses.append([])
        elif presses and not line.startswith("step "):
            presses[-1].append(line)
    case.check(len(presses) == len(keys), f"{len(presses)} of {len(keys)} key presses in the log")
    presses += [[]] * (len(keys) - len(presses))

    expected = {
        0: ["query 250 0 -> 0", "query 252 1 -> 0"],   # shuffle toggled on
        1: ["query 251 0 -> 0", "query 253 1 -> 0"],   # repeat toggled on
        2: ["query 127 11 -> 0", "query 128 1 -> 0"],  # equalizer on
        # Stopped on the first entry with shuffle on: the list's next entry, not played,
        # retitled in the player's own stopped form.
        3: ["query 121 1 -> 0", f"settext 2. {SECOND} - Quavix [Stopped]"],
        4: ["cmd 40045", f"title 2. {SECOND} - Quavix"],
        # Playing: the list's previous entry starts.
        5: ["query 121 0 -> 0", "cmd 40045", f"title 1. {FIRST} - Quavix"],
        6: ["cmd 40157"], 7: ["cmd 40192"], 8: ["cmd 40012"], 9: ["cmd 40188"], 10: ["cmd 40194"],
        11: ["cmd 40147", f"title 1. {FIRST} - Quavix [Stopped]"],
        12: ["window minimized"], 13: ["window restored"],
        # The "on" keys set without asking.
        14: ["query 252 1 -> 0"], 15: ["query 253 1 -> 0"],
        16: ["cmd 40001", "quit", "exit"],
    }
    for index, lines in expected.items():
        for line in lines:
            case.check(line in presses[index], f"{keys[index]} (press {index + 1}): '{line}' in the log after it")
    case.check(not any(l.startswith("settext") for l in presses[4] + presses[5]),
               "only the stopped list-order move sets the player's title itself")
    return case.report([("player log", log)])


def case_plugin_file_actions(args):
    """The file and tag hotkeys on the files of the stand-in player's playlist: rename
    after the tag, copy, tag from the file name, read-only, move and delete; the
    playlist follows the new name and drops the entries whose files are gone."""
    case = Case(args, "plugin_file_actions")
    folder = case.player_folder("player", [("Gen_vemo.dll", args.plugin)])
    music = os.path.join(folder, "music")
    dest = os.path.join(folder, "dest")
    os.makedirs(dest)
    with open(os.path.join(folder, "Plugins", "Plugin.ini"), "wb") as f:
        # The delete for good; the case below sends a file to the Recycle Bin.
        f.write(f"[Vemo Plugin]\r\nDestination folder={winpath(dest)}\r\nPrompt on deletion=0\r\n"
                "Recycle bin=0\r\n".encode("latin-1"))
    sketch = os.path.join(music, "05 - untitled sketch.mp3")
    sketch_bytes = open(sketch, "rb").read()
    renamed = f"{FIRST}.mp3"
    log = case.run_player(folder, [
        "wait 1500",
        "keys Win+F2", "wait 600",      # entry 1 takes the name its tag gives
        "keys Win+F5", "wait 600",      # and is copied to the destination
        "keys Win+V", "keys Win+V", "keys Win+V", "keys Win+V", "wait 300",  # stopped: to entry 5
        "keys Win+F3", "wait 600",      # "05 - untitled sketch": artist 05, title untitled sketch
        "keys Win+Alt+R", "wait 600",   # read-only
        "keys Win+F6", "wait 800",      # moved (read-only cleared first)
        "keys Win+Delete", "wait 800",  # the entry now current is deleted
        "quit"])

    case.check(os.path.exists(os.path.join(music, renamed)), "entry 1 renamed after its tag")
    case.check(not os.path.exists(os.path.join(music, FIRST_FILE)), "the old name is gone")
    case.check(f'query 1245 "{winpath(os.path.join(music, renamed))}" -> 0' in log,
               "the playlist entry is told the new name, in the wide message")
    case.check(os.path.exists(os.path.join(dest, renamed)) and
               open(os.path.join(dest, renamed), "rb").read() == open(os.path.join(music, renamed), "rb").read(),
               "the renamed file is copied whole")
    moved = os.path.join(dest, "05 - untitled sketch.mp3")
    tagged = open(moved, "rb").read() if os.path.exists(moved) else b""
    case.check(not os.path.exists(sketch), "the tagged file is moved out of the library")
    case.check(tagged[:len(sketch_bytes)] == sketch_bytes and len(tagged) == len(sketch_bytes) + 128,
               "the audio is kept and an ID3v1 tag appended")
    case.check(tagged[-128:-95] == b"TAG" + b"untitled sketch".ljust(30, b"\0") and
               tagged[-95:-65] == b"05".ljust(30, b"\0"), "the tag holds the title and artist from the name")
    case.check(log.count("cmd 40222") >= 2, "dead entries are dropped after the move and the delete")
    left = sorted(f for f in os.listdir(music) if f.endswith(".mp3"))
    case.check(len(left) == LIBRARY_SIZE - 2, f"one file moved and one deleted: {left}")
    case.check(not [f for f in os.listdir(music) + os.listdir(dest) if ".vemo" in f], "no temporary file is left")
    return case.report([("player log", log)])


def case_plugin_held_keys(args):
    """Keys held down as a hand holds them, the keyboard repeating them: a held
    Win+Delete (no prompt, no Recycle Bin) removes exactly one file however long it is
    held, and a held rewind key still steps back with every repeat (the volume keys
    repeat alike, but Wine has no sound device whose volume the log could show)."""
    case = Case(args, "plugin_held_keys")
    folder = case.player_folder("player", [("Gen_vemo.dll", args.plugin)])
    music = os.path.join(folder, "music")
    with open(os.path.join(folder, "Plugins", "Plugin.ini"), "wb") as f:
        f.write(b"[Vemo Plugin]\r\nPrompt on deletion=0\r\nRecycle bin=0\r\nRemove folder=0\r\n")
    log = case.run_player(folder, [
        "wait 1500",
        "hold Win+Delete 2500", "wait 800",
        "keys Win+X", "wait 500",         # play, so that rewinding has something to move
        "hold Win+Left 1500", "wait 500",
        "quit"])

    left = sorted(f for f in os.listdir(music) if f.endswith(".mp3"))
    case.check(len(left) == LIBRARY_SIZE - 1, f"exactly one file deleted: {left}")
    case.check(not os.path.exists(os.path.join(music, FIRST_FILE)), "the current entry's file is the one deleted")
    held = [l for l in log if l.startswith("step hold Win+Delete 2500 -> ")]
    case.check(held and int(held[0].split()[-2]) >= 50, f"the keyboard's repeats were sent while held: {held}")
    seeks = [l for l in after(log, "step keys Win+X") if l == "cmd 40144"]
    case.check(len(seeks) >= 10, f"rewinding repeats while held: {len(seeks)} steps")
    return case.report([("player log", log)])


def trash_folder():
    """Where Wine's shell puts what it recycles: the desktop's trash of the user's home."""
    data = os.environ.get("XDG_DATA_HOME") or os.path.join(os.path.expanduser("~"), ".local", "share")
    return os.path.join(data, "Trash")


def case_plugin_recycle_bin(args):
    """Win+Delete, pressed for real with settings written before the option existed,
    sends the playing file to the Recycle Bin: it is gone from the library and lies in
    the desktop's trash byte for byte, the playlist drops its entry, and quit writes the
    option as on."""
    case = Case(args, "plugin_recycle_bin")
    folder = case.player_folder("player", [("Gen_vemo.dll", args.plugin)])
    music = os.path.join(folder, "music")
    ini = os.path.join(folder, "Plugins", "Plugin.ini")
    # No folder walk: the in-process tests keep the bin's walk to their own folder, where
    # a fault cannot carry the folders above the player into the bin.
    with open(ini, "wb") as f:
        f.write(b"[Vemo Plugin]\r\nPrompt on deletion=0\r\nRemove folder=0\r\n")
    song = os.path.join(music, FIRST_FILE)
    song_bytes = open(song, "rb").read()
    files = os.path.join(trash_folder(), "files")
    before = set(os.listdir(files)) if os.path.isdir(files) else set()
    log = case.run_player(folder, ["wait 1500", "keys Win+Delete", "wait 800", "quit"])

    # Another run may have left one of that name: the shell then gives it another.
    new = sorted(set(os.listdir(files)) - before) if os.path.isdir(files) else []
    case.check(len(new) == 1 and new[0].startswith(os.path.splitext(FIRST_FILE)[0]),
               f"one new entry in the trash, named after the file: {new}")
    trashed = os.path.join(files, new[0]) if new else ""
    case.check(not os.path.exists(song), "the file is gone from the library")
    case.check(trashed and open(trashed, "rb").read() == song_bytes, "the trash holds it byte for byte")
    case.check("cmd 40222" in after(log, "step keys Win+Delete"), "the playlist drops the dead entry")
    case.check(len([f for f in os.listdir(music) if f.endswith(".mp3")]) == LIBRARY_SIZE - 1,
               "the other files stay")
    text = open(ini, "rb").read().decode("latin-1") if os.path.exists(ini) else ""
    case.check("\r\nRecycle bin=1\r\n" in text, "quit writes the option as on")
    for name in new:
        os.remove(os.path.join(files, name))
        info = os.path.join(trash_folder(), "info", name + ".trashinfo")
        if os.path.exists(info):
            os.remove(info)
    return case.report([("player log", log), ("Plugin.ini", text.splitlines())])


# The "Autoplay" check box of the configuration window when the window is centred on a
# 1024x768 screen: its box at client (237 + 8, 219 + 8), the client area at (283, 136).
CONFIG_CLIENT = (283, 133)
AUTOPLAY_BOX = (CONFIG_CLIENT[0] + 245, CONFIG_CLIENT[1] + 227)
# The Hotkeys button below the options, and in the hotkeys window (which stands over the
# configuration window) the ready set without the Windows key.
HOTKEYS_BUTTON = (CONFIG_CLIENT[0] + 61, CONFIG_CLIENT[1] + 503)
NO_WIN_KEY_SET = (CONFIG_CLIENT[0] + 181, CONFIG_CLIENT[1] + 432)
# The plug-in's tray button: without a desktop, Wine shows the notification area as a
# small window at the top left of the screen, the first icon at this point.
TRAY_BUTTON = (12, 31)


def case_plugin_config_window(args):
    """The configuration window opened by its hotkey takes a real mouse click on an
    option, and the option is saved in Plugin.ini at quit; Alt+F4 hides the window
    without closing the player, and the hotkey shows it again; real clicks on the tray
    button play the previous and the next track."""
    case = Case(args, "plugin_config_window")
    folder = case.player_folder("player", [("Gen_vemo.dll", args.plugin)])
    shot = os.path.join(folder, "config.png")
    log = case.run_player(folder, [
        "wait 1500", "keys Win+`", "wait 1000",
        f"click {AUTOPLAY_BOX[0]} {AUTOPLAY_BOX[1]} left", "wait 500",
        f"shot {winpath(shot)}", "keys Alt+F4", "wait 2500", "windows",
        "keys Win+`", "wait 1000", "windows", "keys Win+`", "wait 500",
        f"click {TRAY_BUTTON[0]} {TRAY_BUTTON[1]} right", "wait 500",
        f"click {TRAY_BUTTON[0]} {TRAY_BUTTON[1]} left", "wait 500", "quit"])
    ini = os.path.join(folder, "Plugins", "Plugin.ini")
    text = open(ini, "rb").read().decode("latin-1") if os.path.exists(ini) else ""
    case.check("\r\nAutoplay=1\r\n" in text, "the clicked option is on in Plugin.ini")
    case.check("\r\nLaunch minimized=0\r\n" in text, "its neighbours are not")
    case.check(os.path.exists(shot), "the window is photographed")
    closed = between(log, "step keys Alt+F4", "step keys Win+`")
    shown = between(after(log, "step keys Alt+F4"), "step keys Win+`", "step quit")
    case.check("cmd 40001" not in log and after(log, "step quit") == ["quit", "exit"],
               "Alt+F4 does not make the player exit")
    case.check(not [l for l in closed if l.startswith("window CFW ")], "Alt+F4 hides the configuration window")
    case.check([l for l in shown if l.startswith("window CFW ")], "Win+` shows it again")
    clicks = [l for l in log if l.startswith("step click") or l in ("cmd 40044", "cmd 40048")]
    case.check(clicks[-4:] == [f"step click {TRAY_BUTTON[0]} {TRAY_BUTTON[1]} right", "cmd 40048",
                               f"step click {TRAY_BUTTON[0]} {TRAY_BUTTON[1]} left", "cmd 40044"],
               "right on the tray button plays the next track, left the previous")
    return case.report([("player log", log), ("Plugin.ini", text.splitlines())])


def start_holding(args, combinations, milliseconds):
    """Another program holding hotkeys, (modifiers, key) each; the process once it says it
    holds them all, or None."""
    numbers = [str(n) for pair in combinations for n in pair]
    holder = subprocess.Popen([args.wine, args.hold_hotkeys, str(milliseconds)] + numbers,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    ready, _, _ = select.select([holder.stdout], [], [], 60)
    if ready and holder.stdout.readline().strip() == b"held":
        return holder
    holder.kill()
    holder.wait()
    return None


def case_plugin_taken_hotkeys(args):
    """Another program holds Win+V and Win+S when the player starts, "Repeat on" is given
    Win+Z, which "Previous track" has, and the jump-to-file key a bare J: the plug-in says
    so in a popup after its start popup and marks each in the configuration window's help
    with why; its other hotkeys work, Win+Z does only what "Previous track" does, and J
    is left to the other programs."""
    case = Case(args, "plugin_taken_hotkeys")
    folder = case.player_folder("player", [("Gen_vemo.dll", args.plugin)])
    with open(os.path.join(folder, "Plugins", "Plugin.ini"), "wb") as f:
        f.write(b"[Vemo Plugin]\r\nRptOn=8 90\r\nJumpTo = 0 74\r\n")
    shot = os.path.join(folder, "taken.png")
    config_shot = os.path.join(folder, "config.png")
    holder = start_holding(args, [(8, 0x56), (8, 0x53)], 20000)
    if not case.check(holder is not None, "the other program holds Win+V and Win+S"):
        return case.report([])
    try:
        log = case.run_player(folder, [
            "wait 2800", f"shot {winpath(shot)}", "windows",
            "keys Win+`", "wait 800", "windows", f"shot {winpath(config_shot)}", "keys Win+`", "wait 300",
            "keys Win+Z", "wait 500", "keys J", "wait 500", "quit"])
    finally:
        holder.kill()
        holder.wait()

    first = between(log, "step windows", "step keys Win+`")
    config = between(after(log, "step windows"), "step windows", "step keys Win+`")
    popups = [l for l in first if l.startswith("window VemoWindow ")]
    case.check(len(popups) == 1, "a popup is up after the start popup has gone")
    # The help stands in three statics, one in each hotkey box; the other statics are
    # the title and the labels, which hold no " - ".
    help_text = "\n".join(l for l in config if l.startswith("  control Static ") and " - " in l)
    case.check("Win+Z - Previous track" in help_text, "the configuration window shows its help")
    case.check(help_text.count("(taken)") == 2, "the help marks two combinations taken")
    case.check("Win+V - Next track (taken)" in help_text and "Win+S - Shuffle toggle (taken)" in help_text,
               "the help marks Win+V and Win+S")
    case.check("Win+Z - Repeat on (also Previous track)" in help_text,
               "the help shows the combination Repeat on has")
    # The line is too wide for its box: the action's name gives way to the mark.
    case.check(re.search(r" J - Open jump[^|]* \(needs Win, Ctrl or Alt\)", help_text) is not None,
               "the help says what the bare J lacks")
    case.check("press Hotkeys" in help_text, "the help says where combinations are changed")
    pressed = between(log, "step keys Win+Z", "step keys J")
    case.check("cmd 40044" in pressed, "another hotkey works")
    case.check(not [l for l in pressed if l.startswith("query 253")], "Win+Z does not also switch repeat on")
    case.check("cmd 40194" not in after(log, "step keys J"), "J alone does not open the jump-to-file dialog")
    return case.report([("player log", log)])


# Win+ combinations the shell of newer systems holds for itself (snap, clipboard history,
# search, quick settings, casting, taskbar buttons...), as (modifiers, key).
SHELL_COMBINATIONS = [(8, k) for k in (0x5A, 0x58, 0x43, 0x56, 0x26, 0x28, 0x25, 0x27, 0x41, 0x51, 0x53, 0x4E,
                                       0x50, 0x4B, 0x20, 0x31, 0x32, 0x33)] + [(9, 0x53)]


def case_plugin_first_start(args):
    """A first start (no Plugin.ini) while the shell holds most of the default Win+
    combinations takes the "No Win key" set and saves it at once: Ctrl+Alt+F4 plays the
    next track, the start notice comes after the start popup, and Plugin.ini has the set."""
    case = Case(args, "plugin_first_start")
    folder = case.player_folder("player", [("Gen_vemo.dll", args.plugin)])
    ini = os.path.join(folder, "Plugins", "Plugin.ini")
    holder = start_holding(args, SHELL_COMBINATIONS, 30000)
    if not case.check(holder is not None, "the shell's combinations are held"):
        return case.report([])
    try:
        log = case.run_player(folder, ["wait 2800", "windows", "keys Ctrl+Alt+F4", "wait 800", "quit"])
    finally:
        holder.kill()
        holder.wait()
    popups = [l for l in between(log, "step windows", "step keys") if l.startswith("window VemoWindow ")]
    case.check(len(popups) == 1, "the start notice is up after the start popup")
    case.check("cmd 40048" in after(log, "step keys Ctrl+Alt+F4"), "Ctrl+Alt+F4 plays the next track")
    text = open(ini, "rb").read().decode("latin-1") if os.path.exists(ini) else ""
    case.check("\r\nNext=3 115\r\n" in text and "\r\nConfig=3 123\r\n" in text,
               "Plugin.ini has the set without the Win key")
    return case.report([("player log", log), ("Plugin.ini", text.splitlines())])


def case_plugin_settings_folder(args):
    """A player that keeps its settings in a folder of its own: the program folder's
    section is carried over once into that folder's Plugins\\Plugin.ini and read from there
    after a restart, while the old file is left alone; as an older player, which does not
    say, the program folder's file is used again."""
    case = Case(args, "plugin_settings_folder")
    folder = case.player_folder("player", [("Gen_vemo.dll", args.plugin)])
    program_ini = os.path.join(folder, "Plugins", "Plugin.ini")
    placed_ini = os.path.join(folder, "profile", "Plugins", "Plugin.ini")
    old = b"[Other plug-in]\r\nkeep=1\r\n\r\n[Vemo Plugin]\r\nNext=3 115\r\n"
    open(program_ini, "wb").write(old)
    options = ["--settings-folder", "profile"]
    script = ["wait 1500", "keys Ctrl+Alt+F4", "wait 800", "keys Win+Ctrl+V", "wait 800", "quit"]
    first = case.run_player(folder, script, tag="first", options=options)
    case.check(any(l.startswith('query 1335 0 -> "') and l.endswith('\\profile"') for l in first),
               "the plug-in asks the player where its settings are, and gets the folder whole")
    case.check("cmd 40048" in between(first, "step keys Ctrl+Alt+F4", "step keys Win+Ctrl+V"),
               "the carried-over Ctrl+Alt+F4 plays the next track")
    placed = open(placed_ini, "rb").read() if os.path.exists(placed_ini) else b""
    case.check(b"\r\nNext=3 115\r\n" in placed, "the settings are written in the player's folder")
    case.check(open(program_ini, "rb").read() == old, "the program folder's file is left alone")

    # Were the old place read again, Win+Ctrl+V would play next and Ctrl+Alt+F4 not.
    open(program_ini, "wb").write(old.replace(b"Next=3 115", b"Next=10 86"))
    second = case.run_player(folder, script, tag="second", options=options)
    case.check("cmd 40048" in between(second, "step keys Ctrl+Alt+F4", "step keys Win+Ctrl+V"),
               "after a restart the settings come from the player's folder")
    case.check("cmd 40048" not in after(second, "step keys Win+Ctrl+V"), "not from the program folder")

    older = case.run_player(folder, script, tag="older", options=options + ["--older-player", "lossy"])
    case.check("cmd 40048" in after(older, "step keys Win+Ctrl+V") and
               "cmd 40048" not in between(older, "step keys Ctrl+Alt+F4", "step keys Win+Ctrl+V"),
               "an older player, which does not say, has the program folder's settings")
    return case.report([("first log", first), ("second log", second), ("older log", older)])


def case_plugin_hotkeys_window(args):
    """Another program holds Win+V and Win+S. With real keys and clicks the user opens the
    configuration window, its Hotkeys button and the ready set without the Windows key;
    the new combination of Next plays the next track at once, is saved, and works again
    after the player is started anew."""
    case = Case(args, "plugin_hotkeys_window")
    folder = case.player_folder("player", [("Gen_vemo.dll", args.plugin)])
    shot = os.path.join(folder, "hotkeys.png")
    next_keys = "Ctrl+Alt+F4"
    holder = start_holding(args, [(8, 0x56), (8, 0x53)], 40000)
    if not case.check(holder is not None, "the other program holds Win+V and Win+S"):
        return case.report([])
    try:
        log = case.run_player(folder, [
            "wait 2800", "keys Win+`", "wait 800",
            f"click {HOTKEYS_BUTTON[0]} {HOTKEYS_BUTTON[1]} left", "wait 800",
            f"click {NO_WIN_KEY_SET[0]} {NO_WIN_KEY_SET[1]} left", "wait 800",
            "windows", f"shot {winpath(shot)}", "keys Escape", "wait 2500",
            f"keys {next_keys}", "wait 800", "quit"])
        again = case.run_player(folder, ["wait 1500", f"keys {next_keys}", "wait 800", "quit"], tag="again")
    finally:
        holder.kill()
        holder.wait()

    shown = between(log, "step windows", "step shot")
    case.check([l for l in shown if l.startswith("window VemoHotkeys ")], "the Hotkeys button opens the hotkeys window")
    result = [l for l in shown if l.startswith("  control Static ") and "No Win key: 28 of 28 held, 7 without a key" in l]
    case.check(result, "the window says the set is held whole (seven of its actions have no key)")
    pressed = after(log, f"step keys {next_keys}")
    case.check("cmd 40048" in pressed, f"{next_keys} plays the next track at once")
    ini = os.path.join(folder, "Plugins", "Plugin.ini")
    text = open(ini, "rb").read().decode("latin-1") if os.path.exists(ini) else ""
    case.check("\r\nNext=3 115\r\n" in text, "Plugin.ini has the new combination")
    case.check("cmd 40048" in after(again, f"step keys {next_keys}"), "it works after a restart")
    case.check(os.path.exists(shot), "the window is photographed")
    return case.report([("player log", log), ("after the restart", again), ("Plugin.ini", text.splitlines())])


# "Press keys" in the hotkeys window.
PRESS_KEYS_BUTTON = (CONFIG_CLIENT[0] + 407, CONFIG_CLIENT[1] + 342)


def case_plugin_capture_keys(args):
    """In the hotkeys window the user presses "Press keys", then Down to move on in the
    list, and later "Press keys" and Ctrl+C: neither becomes a hotkey. Down moves to the
    next row, Ctrl+C is refused with the reason shown, nothing is saved, and another
    program can still have both combinations."""
    case = Case(args, "plugin_capture_keys")
    folder = case.player_folder("player", [("Gen_vemo.dll", args.plugin)])
    shot = os.path.join(folder, "capture.png")
    press = f"click {PRESS_KEYS_BUTTON[0]} {PRESS_KEYS_BUTTON[1]} left"
    holder = f'run "{winpath(args.hold_hotkeys)}" 100'
    log = case.run_player(folder, [
        "wait 2800", "keys Win+`", "wait 800",
        f"click {HOTKEYS_BUTTON[0]} {HOTKEYS_BUTTON[1]} left", "wait 800",
        press, "wait 500", "keys Down", "wait 800", "windows",
        press, "wait 500", "keys Ctrl+C", "wait 800", "windows", f"shot {winpath(shot)}",
        f"{holder} 0 0x28", f"{holder} 2 0x43", "quit"])

    steps = [i for i, l in enumerate(log) if l.startswith("step windows")]
    case.check(len(steps) == 2, "the window is listed after each key")
    first = [l for l in log[steps[0]:steps[1]] if l.startswith("  control Static ")] if len(steps) == 2 else []
    second = [l for l in log[steps[1]:] if l.startswith("  control Static ")] if len(steps) == 2 else []
    case.check(any("Play/Pause toggle: Win+X: held" in l for l in first),
               "Down ends the wait and moves on to the next row, whose state the window shows")
    case.check(any("Ctrl+C not taken: every program uses it" in l for l in second),
               "Ctrl+C is refused with the reason shown")
    runs = [l.rsplit(" -> ", 1)[1] for l in log if l.startswith("step run ")]
    case.check(runs == ["0", "0"], "another program can still have Down and Ctrl+C")
    ini = os.path.join(folder, "Plugins", "Plugin.ini")
    text = open(ini, "rb").read().decode("latin-1") if os.path.exists(ini) else ""
    case.check(text != "" and "=0 40\r\n" not in text and "=2 67\r\n" not in text,
               "Plugin.ini has neither Down nor Ctrl+C")
    case.check("\r\nPrev=8 90\r\n" in text, "Previous track keeps Win+Z")
    return case.report([("player log", log), ("Plugin.ini", text.splitlines())])

PENDING_KEY = r"HKLM\System\CurrentControlSet\Control\Session Manager"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Gen_vemo"
PE_MACHINE_I386 = 0x14C


def registry_view(program):
    """The registry view a program writes on 64-bit Windows: "/reg:32" for a 32-bit one
    (its HKLM\Software is WOW6432Node), "/reg:64" for a 64-bit one. Read from the machine
    field of its PE header."""
    with open(program, "rb") as f:
        header = f.read(4096)
    pe = int.from_bytes(header[0x3C:0x40], "little")
    machine = int.from_bytes(header[pe + 4:pe + 6], "little")
    return "/reg:32" if machine == PE_MACHINE_I386 else "/reg:64"

# The installer's and the uninstaller's exit code when the DLL is held (the system's
# sharing-violation error), and the silent installer's when the folder holds a newer
# plug-in (the system's "another version of this product is already installed").
HELD = 32
NEWER_THERE = 1638
PUBLISHER = "The Gen_vemo developers"
NO_PROGRAM = "holds no program"


def case_installer(args):
    """The installer, silent: into a folder without a program (the installer itself saved
    there is none) it warns in its log and installs all the same; into a player folder
    without a Plugins folder it installs the DLL and lists it with its publisher, and the
    player then loads it; an older version over this one is refused unless /DOWNGRADE;
    a second install and the quiet uninstall string while the player runs report the
    held DLL with exit code 32 and change nothing; after the player has quit, the quiet
    uninstall string, run as Windows runs it, has removed the DLL and the entry in the
    list of installed programs by the time it exits, and leaves Plugin.ini."""
    case = Case(args, "installer")
    folder = os.path.join(case.root, "player")
    plugins = os.path.join(folder, "Plugins")
    dll = os.path.join(plugins, "Gen_vemo.dll")
    uninstaller = os.path.join(plugins, "Gen_vemo-uninstall.exe")
    os.makedirs(folder)
    shutil.copy(args.player, os.path.join(folder, "player.exe"))
    shutil.copytree(case.library(), os.path.join(folder, "music"))

    def wine(*command):
        return subprocess.run([args.wine, *command], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              timeout=PLAYER_TIMEOUT_S)

    # Windows' list of installed programs reads both views; the entry is looked for in the
    # one the installer's own bitness writes.
    view = registry_view(args.installer)

    def listed(value):
        """A text value of the entry in the list of installed programs, or None."""
        result = wine("reg", "query", UNINSTALL_KEY, "/v", value, view)
        words = result.stdout.decode(errors="replace").split("REG_SZ")
        return words[1].strip() if result.returncode == 0 and len(words) == 2 else None

    # Removals at the next start left by an earlier run would answer for this one.
    wine("reg", "delete", PENDING_KEY, "/v", "PendingFileRenameOperations", "/f")
    temp = wine("cmd", "/c", "echo %TEMP%").stdout.decode(errors="replace").strip()
    unix_temp = wine("winepath", "-u", temp).stdout.decode(errors="replace").strip()
    setup_log_path = os.path.join(unix_temp, "Gen_vemo-setup.log")

    # Programs run as Windows runs them: the command line given to a new process, whose
    # end is waited for and whose 32-bit exit code is read (the stand-in's run step, from
    # a player folder without plug-ins). A Linux parent of Wine sees only 8 bits of it.
    runner = os.path.join(case.root, "runner")
    os.makedirs(os.path.join(runner, "Plugins"))
    shutil.copy(args.player, os.path.join(runner, "runner.exe"))

    def windows_run(command_line):
        """The exit code of command_line, or None when it did not run."""
        script = os.path.join(runner, "run.script")
        runner_log = os.path.join(runner, "run.log")
        open(script, "w").write(f"run {command_line}\nquit\n")
        if os.path.exists(runner_log):
            os.remove(runner_log)
        wine(os.path.join(runner, "runner.exe"), "--log", winpath(runner_log), "--script", winpath(script))
        ran = [l for l in open(runner_log).read().splitlines() if l.startswith("step run ")] if os.path.exists(runner_log) else []
        codes = [l.rsplit(" -> ", 1)[1] for l in ran]
        return int(codes[0]) if len(codes) == 1 and codes[0].isdigit() else None

    def install(installer, *options, into=folder, exact=False):
        """Runs an installer silently; its exit code (exact: all of it, which takes a few
        seconds more) and the lines of its log."""
        # /D= must come last and unquoted, so this folder's path has no blank.
        command = [installer, "/S", *options, "/D=" + winpath(into)]
        if exact:
            code = windows_run(" ".join([f'"{winpath(installer)}"', *command[1:]]))
        else:
            code = wine(*command).returncode
        lines = open(setup_log_path, errors="replace").read().splitlines() if os.path.exists(setup_log_path) else []
        return code, lines

    shipped = open(args.plugin, "rb").read()
    elsewhere = os.path.join(case.root, "music-not-player")
    code, lines = install(args.installer, into=elsewhere)
    case.check(code == 0, f"a silent install into a folder without a program goes on: exit code {code}")
    case.check(os.path.exists(os.path.join(elsewhere, "Plugins", "Gen_vemo.dll")), "and puts the DLL there")
    case.check(any(NO_PROGRAM in l for l in lines), f"and its log warns that the folder {NO_PROGRAM}: {lines}")
    # Saved into the folder it is then pointed at, the installer is no sign of the player.
    saved = os.path.join(case.root, "saved-setup")
    os.makedirs(saved)
    code, lines = install(shutil.copy(args.installer, saved), into=saved)
    case.check(code == 0 and any(NO_PROGRAM in l for l in lines),
               f"the installer itself does not make a folder the player's: exit code {code}, {lines}")

    code, lines = install(args.installer)
    case.check(code == 0, f"the silent install exits with 0, not {code}")
    case.check(lines and not any(NO_PROGRAM in l for l in lines), f"no warning about the player's folder: {lines}")
    case.check(os.path.exists(dll) and open(dll, "rb").read() == shipped, "Plugins made and the DLL put into it")
    case.check(os.path.exists(uninstaller), "the uninstaller is beside the DLL")
    case.check(listed("InstallLocation") == winpath(folder), "the list of installed programs names the player folder")
    case.check(listed("Publisher") == PUBLISHER, f"the entry names the publisher: {listed('Publisher')}")
    version = listed("DisplayVersion")

    if case.check(args.old_installer is not None, "an older installer is given"):
        code, lines = install(args.old_installer, exact=True)
        case.check(code == NEWER_THERE, f"an older version over this one, silent, exits with {NEWER_THERE}, not {code}")
        case.check(any("newer" in l for l in lines), f"and its log says the folder holds a newer plug-in: {lines}")
        case.check(listed("DisplayVersion") == version, "and changes nothing")
        code, lines = install(args.old_installer, "/DOWNGRADE")
        case.check(code == 0 and listed("DisplayVersion") == "0.001",
                   f"/DOWNGRADE installs the older version: exit code {code}, {listed('DisplayVersion')}")
        code, lines = install(args.installer)
        case.check(code == 0 and listed("DisplayVersion") == version and not any("newer" in l for l in lines),
                   f"a newer version over an older one goes on without a word: exit code {code}, {lines}")

    quiet = listed("QuietUninstallString") or ""
    log = case.run_player(folder, [
        "wait 500",
        f'run "{winpath(args.installer)}" /S /D={winpath(folder)}',
        f"run {quiet}",
        f'run "{winpath(uninstaller)}" /S',
        "wait 4000",  # for its copy to find the DLL held, and give up
        "quit"])
    case.check(after(log, "load Gen_vemo.dll")[:1] == ["init"], "the player loads the installed plug-in and inits it")
    runs = [l.rsplit(" -> ", 1)[1] for l in log if l.startswith("step run ")]
    case.check(runs[:2] == [str(HELD), str(HELD)],
               f"install and quiet uninstall while the player holds the DLL exit with {HELD}: {runs}")
    # Started without _?=, the uninstaller only starts a copy of itself: its 0 says nothing.
    case.check(runs[2:] == ["0"], f"the uninstaller started as it is ends with 0 all the same: {runs}")
    case.check(os.path.exists(dll) and open(dll, "rb").read() == shipped, "the held DLL is still there")
    ini = os.path.join(plugins, "Plugin.ini")
    case.check(os.path.exists(ini), "the plug-in wrote Plugin.ini at quit")

    # The quiet string as Windows runs it: what it has done must be done when it exits,
    # for nothing else is waited for.
    code = windows_run(quiet)
    case.check(code == 0, f"the quiet uninstall string exits with 0, not {code}")
    case.check(not os.path.exists(dll), "the DLL is gone when it exits")
    case.check(listed("InstallLocation") is None, "and so is the entry in the list of installed programs")
    case.check(os.path.exists(ini), "Plugin.ini stays for the other plug-ins and a later install")
    # A running program cannot delete its own file: it goes at the next start of the
    # system, renamed where the system allows (Windows does; Wine here does not).
    left = os.path.join(plugins, "Gen_vemo-uninstall.tmp")
    pending = wine("reg", "query", PENDING_KEY, "/v", "PendingFileRenameOperations").stdout.decode(errors="replace")
    case.check(all(not os.path.exists(f) or winpath(f) in pending for f in (uninstaller, left)),
               f"the uninstaller is gone or removed at the next start: {pending}")

    # The uninstaller started without _?= (as the list of installed programs starts it)
    # hands its work to a copy of itself in the temporary folder and exits at once.
    code, _ = install(args.installer)
    removed = wine(uninstaller, "/S")
    subprocess.run([args.wine, "--wineserver", "-w"], timeout=PLAYER_TIMEOUT_S)
    case.check(code == 0 and removed.returncode == 0, f"reinstalled and removed again: {code}, {removed.returncode}")
    case.check(not os.path.exists(dll) and not os.path.exists(uninstaller), "its copy removes the DLL and the uninstaller")
    case.check(not os.path.exists(left), "and what an uninstall in place left")
    case.check(listed("InstallLocation") is None, "and the entry")
    return case.report([("player log", log)])



# The library named in four scripts, in playlist order: (file, the player's title).
WORLD = [
    ("Кино - Группа крови.mp3", "Виктор Цой - Звезда по имени Солнце"),
    ("坂本九 - スキヤキ・ソング.mp3", "坂本九 - スキヤキ・ソング"),
    (os.path.join("Ελληνικά", "Σούστα.mp3"), "Ελληνικά Τραγούδια - Σούστα"),
    ("Band 🎸 - Tune 😀.mp3", "Band 🎸 - Tune 😀"),
]
GREEK_DESTINATION = "Μουσική"
RENAMED = "Виктор Цой - Звезда по имени Солнце.mp3"
NOT_WHOLE = "This player version cannot give this file's name"
# The file information key, and the Enter that closes a message box.
FILE_INFO_KEY = "Win+Ctrl+Space"


def world_player_folder(case, name):
    """A player folder over a fresh copy of the world library; Win+Delete into the Recycle
    Bin without asking, no folder walk, and the destination a folder with a Greek name,
    kept in Plugin.ini in the short form that every copy of the plug-in reads."""
    folder = os.path.join(case.root, name)
    os.makedirs(os.path.join(folder, "Plugins"))
    shutil.copy(case.args.player, os.path.join(folder, "player.exe"))
    shutil.copy(case.args.plugin, os.path.join(folder, "Plugins", "Gen_vemo.dll"))
    shutil.copytree(case.world_library(), os.path.join(folder, "music"))
    dest = os.path.join(folder, GREEK_DESTINATION)
    os.makedirs(dest)
    # The name travels on Wine's command line, which is read in the locale's charset.
    short = subprocess.run([case.args.wine, case.args.short_name, winpath(dest)], stdout=subprocess.PIPE,
                           env=dict(os.environ, LC_ALL="C.UTF-8"), timeout=PLAYER_TIMEOUT_S)
    case.check(short.returncode == 0 and short.stdout, f"the Greek folder has a short form: {short.stdout!r}")
    with open(os.path.join(folder, "Plugins", "Plugin.ini"), "wb") as f:
        f.write(b"[Vemo Plugin]\r\nDestination folder=" + short.stdout.strip() +
                b"\r\nPrompt on deletion=0\r\nRecycle bin=1\r\nRemove folder=0\r\n")
    return folder, dest


def snapshot(folder):
    """Every file under folder with its bytes, by path relative to folder."""
    files = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            files[os.path.relpath(path, folder)] = open(path, "rb").read()
    return files


def visible(lines, window_class):
    return [l for l in lines if l.startswith(f"window {window_class} ")]


def case_plugin_world_names(args):
    """A library named in Cyrillic, Japanese, Greek (a folder) and emoji, with UTF-16 tags,
    through a player that answers the wide queries, by real keys: the song popup and the
    information popup get the whole names, rename after a Cyrillic tag, tag from a
    Japanese name, a move into a folder with a Greek name, and delete to the Recycle Bin."""
    case = Case(args, "plugin_world_names")
    folder, dest = world_player_folder(case, "player")
    music = os.path.join(folder, "music")
    shots = os.path.join(folder, "shots")
    os.makedirs(shots)
    files = trash_folder() + "/files"
    before = set(os.listdir(files)) if os.path.isdir(files) else set()
    # Stopped on entry 1: rename; entry 2: song popup, information popup, tag from the name;
    # entry 3: move.
    log = case.run_player(folder, [
        "wait 1500",
        "keys Win+F2", "wait 800",
        "keys Win+V", "wait 600", "windows", f"shot {winpath(os.path.join(shots, 'song.png'))}",
        f"keys {FILE_INFO_KEY}", "wait 600", "windows", f"shot {winpath(os.path.join(shots, 'info.png'))}",
        "keys Win+F3", "wait 800",
        "keys Win+V", "wait 400", "keys Win+F6", "wait 800",
        "quit"], playlist="world.m3u")
    # Started afresh, entry 4 is the emoji's.
    again = case.run_player(folder, [
        "wait 1500", "keys Win+V", "keys Win+V", "keys Win+V", "wait 600", "keys Win+Delete", "wait 800", "quit"],
        tag="again", playlist="world.m3u")

    path = lambda name: winpath(os.path.join(music, name))
    # Rename after the Cyrillic tag; the entry follows through the wide message.
    case.check(os.path.exists(os.path.join(music, RENAMED)), f"entry 1 renamed after its Cyrillic tag: {os.listdir(music)}")
    case.check(not os.path.exists(os.path.join(music, WORLD[0][0])), "its old name is gone")
    case.check(f'query 1245 "{path(RENAMED)}" -> 0' in log, "the player is told the new name whole")
    # The song popup of entry 2: its title asked in the wide form and given whole.
    song = between(log, "step keys Win+V", "step keys " + FILE_INFO_KEY)
    case.check(f'query 213 1 -> "{WORLD[1][1]}"' in song, "the song popup gets the Japanese title whole")
    case.check(visible(between(song, "step windows", "step shot"), "VemoWindow"), "the song popup is up")
    info = between(log, "step keys " + FILE_INFO_KEY, "step keys Win+F3")
    case.check(f'query 214 1 -> "{path(WORLD[1][0])}"' in info, "the information key gets the Japanese name whole")
    # The information popup takes the song popup's place; it is the one of several lines.
    heights = [int(l.split(" ")[2].split("x")[1]) for l in visible(between(info, "step windows", "step shot"), "VemoWindow")]
    case.check([h for h in heights if h > 40], f"the information popup is up: {heights}")
    case.check(not visible(log, "#32770"), "no message box")
    # The tag from the Japanese name: UTF-16 text, as no code page holds it.
    tagged = open(os.path.join(music, WORLD[1][0]), "rb").read()
    for text in ("坂本九", "スキヤキ・ソング"):
        case.check(text.encode("utf-16-le") in tagged, f"the tag made from the name holds {text} in UTF-16")
    # The move into the folder with the Greek name.
    greek = os.path.basename(WORLD[2][0])
    case.check(os.path.exists(os.path.join(dest, greek)), f"{greek} is moved into {GREEK_DESTINATION}")
    case.check(not os.path.exists(os.path.join(music, WORLD[2][0])), "and is gone from the library")
    # The emoji's file into the Recycle Bin.
    new = sorted(set(os.listdir(files)) - before) if os.path.isdir(files) else []
    case.check(len(new) == 1 and new[0].startswith("Band 🎸 - Tune 😀"), f"the emoji's file is in the trash: {new}")
    case.check(not os.path.exists(os.path.join(music, WORLD[3][0])), "and gone from the library")
    case.check("cmd 40222" in after(again, "step keys Win+Delete"), "the playlist drops its entry")
    for name in new:
        os.remove(os.path.join(files, name))
        info_file = os.path.join(trash_folder(), "info", name + ".trashinfo")
        if os.path.exists(info_file):
            os.remove(info_file)
    return case.report([("player log", log), ("second run", again)])


def case_plugin_world_names_older(args):
    """The same library through an older player, which knows only the 8-bit queries and
    answers "?" for every character its code page lacks: each file and information key
    says that this player cannot give the name, in a box, and touches nothing."""
    case = Case(args, "plugin_world_names_older")
    folder, dest = world_player_folder(case, "player")
    music = os.path.join(folder, "music")
    files_before = snapshot(music)
    keys = ["Win+F2", f"{FILE_INFO_KEY}", "Win+F3", "Win+F5", "Win+F6", "Win+Delete", "Win+Alt+R"]
    script = ["wait 1500", "keys Win+V", "wait 400"]  # entry 2, the Japanese name
    for key in keys:
        script += [f"keys {key}", "wait 800", "windows", "keys Enter", "wait 600"]
    log = case.run_player(folder, script + ["quit"], options=["--older-player", "lossy"], playlist="world.m3u")

    case.check('query 214 1 -> 0' in log, "the older player answers 0 to the wide query")
    presses = []
    for line in log:
        if line.startswith("step keys ") and line != "step keys Enter":
            presses.append([])
        elif presses:
            presses[-1].append(line)
    presses = presses[1:]  # the first is the Win+V to entry 2
    case.check(len(presses) == len(keys), f"{len(presses)} of {len(keys)} key presses in the log")
    for key, lines in zip(keys, presses):
        boxes = visible(lines, "#32770")
        text = [l for l in lines if l.startswith("  control Static ") and NOT_WHOLE in l]
        case.check(len(boxes) == 1 and text, f"{key}: one box says the player cannot give the name")
        case.check(not [l for l in lines if l.split(" ")[:2] in (["cmd", "40047"], ["cmd", "40048"], ["cmd", "40222"])],
                   f"{key}: playback and the playlist are left alone")
        case.check(not [l for l in lines if l.startswith("query 245 ") or l.startswith("query 1245 ")],
                   f"{key}: the player is not told of a new name")
    case.check(snapshot(music) == files_before, "no file of the library is changed, moved, tagged or deleted")
    case.check(os.listdir(dest) == [], "nothing reached the destination")
    return case.report([("player log", log)])

def case_plugin_overwrite(args):
    """Win+F5 copies the playing file into a destination that already holds one of its
    name: the question names that file, and Enter (its default button is Cancel) keeps
    it, with the source's read-only bit untouched."""
    case = Case(args, "plugin_overwrite")
    folder = case.player_folder("player", [("Gen_vemo.dll", args.plugin)])
    music = os.path.join(folder, "music")
    dest = os.path.join(folder, "dest")
    os.makedirs(dest)
    with open(os.path.join(folder, "Plugins", "Plugin.ini"), "wb") as f:
        f.write(f"[Vemo Plugin]\r\nDestination folder={winpath(dest)}\r\n".encode("latin-1"))
    old = os.path.join(dest, FIRST_FILE)
    with open(old, "wb") as f:
        f.write(b"the older copy")
    source = os.path.join(music, FIRST_FILE)
    os.chmod(source, 0o444)  # read-only as Windows sees it
    log = case.run_player(folder, [
        "wait 1500", "keys Win+F5", "wait 800", "windows", "keys Enter", "wait 800", "windows", "quit"])
    read_only = not os.stat(source).st_mode & 0o200
    os.chmod(source, 0o644)

    asked = between(log, "step windows", "step keys Enter")
    case.check(len(visible(asked, "#32770")) == 1, "one question is up")
    # The drive letter as the settings file gives it back: compared without regard to case.
    case.check([l for l in asked if l.startswith("  control Static ") and winpath(old).lower() in l.lower()],
               "the question names the file it would replace")
    case.check(open(old, "rb").read() == b"the older copy", "Enter keeps the old file")
    case.check(not visible(between(after(log, "step keys Enter"), "step windows", "step quit"), "#32770"),
               "Enter closes the question")
    case.check(read_only, "the source's read-only bit is untouched")
    case.check(sorted(os.listdir(dest)) == [FIRST_FILE], "nothing else reached the destination")
    return case.report([("player log", log)])


def case_plugin_full_screen(args):
    """A full-screen window that is not always-on-top is in front (a film): a track
    change by the plug-in's key shows no popup. Once it is gone, the next one does."""
    case = Case(args, "plugin_full_screen")
    folder = case.player_folder("player", [("Gen_vemo.dll", args.plugin)])
    run = f'run "{winpath(args.full_screen)}" 2500'
    log = case.run_player(folder, [
        "wait 1500", run, "wait 300", "windows", "keys Win+V", "wait 600", "windows", "quit"])

    ran = [l for l in log if l.startswith(f"step {run} -> ")]
    code = ran[0].rsplit(" ", 1)[1] if ran else "none"
    case.check(code == "0", f"no popup over the full-screen window (the helper's exit code: {code}; "
               "100: not in front, 101: an earlier popup stayed up, else the times a popup was seen)")
    case.check("cmd 40048" in log[:log.index(ran[0])] if ran else False, "the helper's Win+V changed the track")
    shown = between(after(log, "step keys Win+V"), "step windows", "step quit")
    case.check(visible(shown, "VemoWindow"), "without it, the track change shows its popup")
    return case.report([("player log", log)])


# ---- the display's scale ----

BASE_DPI = 96
SCALED_DPI = 144  # 150 %
POPUP_EDGE = 2  # the raised edge, two pixels at every scale, as the system draws it
POPUP_GAP_96 = 8  # from the popup's text box to the bottom of the screen
CONFIG_WIDTH_96 = 464


def scale_to_dpi(length, dpi):
    """A 96-DPI length at dpi, rounded half away from zero as the system rounds."""
    scaled = abs(length) * dpi
    rounded = (scaled + BASE_DPI // 2) // BASE_DPI
    return rounded if length >= 0 else -rounded


def own_prefix(case, name):
    """A runner like the build's that uses a fresh Wine prefix under the case's folder, made
    with the window captions Wine draws itself, as the demo's."""
    prefix = os.path.join(case.root, name)
    runner = os.path.join(case.root, name + "-run.sh")
    text = open(case.args.wine).read()
    text, count = re.subn(r'^export WINEPREFIX=.*$', f'export WINEPREFIX="{prefix}"', text, flags=re.M)
    case.check(count == 1, "the build's Wine runner names its prefix")
    with open(runner, "w") as f:
        f.write(text)
    os.chmod(runner, 0o755)
    wine(runner, "wineboot", "-i")
    wine(runner, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/t", "REG_SZ", "/d", "N", "/f")
    return runner


def set_prefix_dpi(runner, dpi):
    """The display's scale of a prefix, as Wine's own settings set it; the server is
    stopped so that the next program reads it."""
    for key in (r"HKCU\Control Panel\Desktop", r"HKCC\Software\Fonts"):
        wine(runner, "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
    wine(runner, "--wineserver", "-k")


def wine(runner, *command):
    return subprocess.run([runner, *command], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          timeout=PLAYER_TIMEOUT_S)


class Shot:
    """A screenshot's pixels, read through ImageMagick's convert."""

    def __init__(self, path):
        self.width = self.height = 0
        self.raw = b""
        if os.path.exists(path):
            size = subprocess.check_output(["identify", "-format", "%w %h", path])
            self.width, self.height = map(int, size.split())
            self.raw = subprocess.check_output(["convert", path, "-depth", "8", "rgb:-"])

    def desktop(self, x, y):
        """The bare desktop, black under Wine without one of its own."""
        i = (y * self.width + x) * 3
        return self.raw[i:i + 3] == b"\0\0\0"

    def bottom_popup(self):
        """(width, height, rows below it) of the popup centred above the bottom edge. Its
        text is as dark as the desktop, its edge is not: the bottom edge's row is the
        first that is not desktop up the middle column, its width that row's run, its
        height the run of the left edge's column. None when nothing is there."""
        if not self.raw:
            return None
        bottom = self.height - 1
        while bottom >= 0 and self.desktop(self.width // 2, bottom):
            bottom -= 1
        if bottom < 0:
            return None
        left = right = self.width // 2
        while left > 0 and not self.desktop(left - 1, bottom):
            left -= 1
        while right < self.width - 1 and not self.desktop(right + 1, bottom):
            right += 1
        top = bottom
        while top > 0 and not self.desktop(left, top - 1):
            top -= 1
        return right - left + 1, bottom - top + 1, self.height - 1 - bottom


def window_sizes(lines, window_class):
    """(width, height) of each visible window of the class in a 'windows' listing."""
    sizes = []
    for line in visible(lines, window_class):
        width, height = line.split(" ")[2].split("x")
        sizes.append((int(width), int(height)))
    return sizes


SCALE_SHOTS = ("song", "level", "info", "config")


def scale_script(shots, tag):
    """The song popup (the next entry), the level popup (volume up), the information
    popup (file information) and the configuration window, each listed and photographed;
    the configuration window is closed again by its key."""
    shot = lambda name: f"shot {winpath(os.path.join(shots, f'{name}-{tag}.png'))}"
    return ["wait 1500",
            "keys Win+V", "wait 600", "windows", shot("song"),
            "keys Win+Up", "wait 400", "windows", shot("level"),
            f"keys {FILE_INFO_KEY}", "wait 600", "windows", shot("info"),
            "keys Win+`", "wait 1000", "windows", shot("config"),
            "keys Win+`", "wait 500", "quit"]


def scale_measures(log, shots, tag):
    """What each step showed: {name: (log's popup or window size, the popup's pixels)}."""
    listings, current = [], None
    for line in log:
        if line == "step windows":
            current = []
            listings.append(current)
        elif line.startswith("step "):
            current = None  # a listing ends at the next step
        elif current is not None:
            current.append(line)
    listings += [[]] * (len(SCALE_SHOTS) - len(listings))
    measures = {}
    for name, listing in zip(SCALE_SHOTS, listings):
        window = window_sizes(listing, "CFW" if name == "config" else "VemoWindow")
        pixels = Shot(os.path.join(shots, f"{name}-{tag}.png")).bottom_popup() if name != "config" else None
        measures[name] = (window[0] if window else None, pixels)
    return measures


def awareness(log):
    """The player's first line, 'awareness declared D held H dpi N', as a dict."""
    words = log[0].split(" ") if log else []
    return dict(zip(words[1::2], words[2::2])) if words[:1] == ["awareness"] else {}


def case_plugin_scale(args):
    """At 150 % (144 DPI), in a Wine prefix of its own, by real keys: the song popup, a
    level popup and the information popup are half as large again as at 96 DPI in the
    same prefix, in the log's window sizes and in the screenshots' pixels, and sit the
    scaled gap above the bottom edge; the configuration window is 696 pixels wide; the
    settings are the same bytes at both scales and after another start. The player
    declares itself DPI-aware; with --dpi-unaware it only stops asking, and what Wine
    then does is printed, not required."""
    case = Case(args, "plugin_scale")
    folder = case.player_folder("player", [("Gen_vemo.dll", args.plugin)])
    shots = os.path.join(folder, "shots")
    os.makedirs(shots)
    ini = os.path.join(folder, "Plugins", "Plugin.ini")
    read_ini = lambda: open(ini, "rb").read() if os.path.exists(ini) else b""
    runner = own_prefix(case, "prefix")
    try:
        base = case.run_player(folder, scale_script(shots, "96"), tag="base", wine=runner)
        ini_base = read_ini()
        set_prefix_dpi(runner, SCALED_DPI)
        scaled = case.run_player(folder, scale_script(shots, "144"), tag="scaled", wine=runner)
        ini_scaled = read_ini()
        again = case.run_player(folder, ["wait 1000", "quit"], tag="again", wine=runner)
        ini_again = read_ini()
        unaware = case.run_player(folder, scale_script(shots, "144-unaware"), tag="unaware",
                                  options=["--dpi-unaware"], wine=runner)
    finally:
        wine(runner, "--wineserver", "-k")

    told = awareness(base), awareness(scaled), awareness(unaware)
    case.check(told[0].get("dpi") == str(BASE_DPI), f"the fresh prefix is at 96 DPI: {base[:1]}")
    case.check(told[1].get("dpi") == str(SCALED_DPI), f"the prefix is set to 144 DPI: {scaled[:1]}")
    case.check(told[1].get("declared") not in (None, "none"), f"the player declares itself DPI-aware: {scaled[:1]}")
    case.check(told[1].get("held") in ("per-monitor-v2", "per-monitor"), f"and is per-monitor aware: {scaled[:1]}")
    case.check(told[1].get("declared") in ("already-set", told[1].get("held")),
               f"what the declaration got is what the process holds, unless it held one before: {scaled[:1]}")
    case.check(told[2].get("declared") == "none", f"--dpi-unaware declares nothing: {unaware[:1]}")

    at96, at144 = scale_measures(base, shots, "96"), scale_measures(scaled, shots, "144")
    for name in SCALE_SHOTS[:3]:
        (window96, pixels96), (window144, pixels144) = at96[name], at144[name]
        if not case.check(None not in (window96, pixels96, window144, pixels144),
                          f"the {name} popup is up and photographed at both scales: {at96[name]}, {at144[name]}"):
            continue
        case.check(pixels96[:2] == window96 and pixels144[:2] == window144,
                   f"the {name} popup's pixels are the size the system gives its window: {at96[name]}, {at144[name]}")
        case.check(window144[1] >= 1.4 * window96[1] and window144[0] >= 1.3 * window96[0],
                   f"the {name} popup at 144 DPI is half as large again: {window144} against {window96}")
        for dpi, pixels in ((BASE_DPI, pixels96), (SCALED_DPI, pixels144)):
            # The window starts where the text box is placed and is two edges taller, so
            # its bottom reaches that much lower than the box's gap.
            case.check(pixels[2] + 2 * POPUP_EDGE == scale_to_dpi(POPUP_GAP_96, dpi),
                       f"at {dpi} DPI the {name} popup's text box sits {scale_to_dpi(POPUP_GAP_96, dpi)} pixels "
                       f"above the bottom: {pixels[2]} rows below its edge")
    players = window_sizes(base, "QuavixStandinMain")[:1], window_sizes(scaled, "QuavixStandinMain")[:1]
    case.check(players[0] and players[1] and players[1][0] == tuple(scale_to_dpi(n, SCALED_DPI) for n in players[0][0]),
               f"the player's own window is half as large again: {players}")
    config96, config144 = at96["config"][0], at144["config"][0]
    case.check(config96 is not None and config96[0] == CONFIG_WIDTH_96,
               f"the configuration window is {CONFIG_WIDTH_96} pixels wide at 96 DPI: {config96}")
    case.check(config144 is not None and config144[0] == scale_to_dpi(CONFIG_WIDTH_96, SCALED_DPI),
               f"and {scale_to_dpi(CONFIG_WIDTH_96, SCALED_DPI)} at 144 DPI: {config144}")

    case.check(b"[Vemo Plugin]" in ini_base, "Plugin.ini is written at quit")
    case.check(ini_scaled == ini_base, "the settings are the same bytes at 144 DPI as at 96")
    case.check(ini_again == ini_scaled, "and after another start and quit")

    # Not required: Wine 8 makes a process without a manifest per-monitor aware before it
    # asks (it refuses the v2 form as unknown and the older one as already made), so the
    # run with --dpi-unaware looks like the aware one: at 144 DPI the song popup 265x23,
    # the information popup 637x270, as aware, against 176x16 and 423x172 at 96 DPI. A
    # Wine that scales unaware programs would give them their 96-DPI sizes.
    print(f"awareness at 96 DPI: {base[:1]}; at 144: {scaled[:1]}; with --dpi-unaware: {unaware[:1]}")
    for name, (window, pixels) in scale_measures(unaware, shots, "144-unaware").items():
        print(f"--dpi-unaware at 144 DPI, {name}: window {window}, pixels {pixels}; "
              f"aware {at144[name]}, at 96 {at96[name]}")
    result = case.report([("at 96 DPI", base), ("at 144 DPI", scaled), ("another start", again),
                          ("--dpi-unaware at 144 DPI", unaware)])
    if result == 0:
        shutil.rmtree(os.path.join(case.root, "prefix"), ignore_errors=True)  # 1.3 GB, kept only to look into a failure
    return result


CASES = {
    "probe_lifecycle": case_probe_lifecycle,
    "file_held": case_file_held,
    "plugin_lifecycle": case_plugin_lifecycle,
    "plugin_held_keys": case_plugin_held_keys,
    "plugin_settings": case_plugin_settings,
    "plugin_player_controls": case_plugin_player_controls,
    "plugin_file_actions": case_plugin_file_actions,
    "plugin_recycle_bin": case_plugin_recycle_bin,
    "plugin_config_window": case_plugin_config_window,
    "plugin_taken_hotkeys": case_plugin_taken_hotkeys,
    "plugin_hotkeys_window": case_plugin_hotkeys_window,
    "plugin_capture_keys": case_plugin_capture_keys,
    "plugin_world_names": case_plugin_world_names,
    "plugin_world_names_older": case_plugin_world_names_older,
    "installer": case_installer,
    "plugin_overwrite": case_plugin_overwrite,
    "plugin_full_screen": case_plugin_full_screen,
    "plugin_scale": case_plugin_scale,
    "plugin_first_start": case_plugin_first_start,
    "plugin_settings_folder": case_plugin_settings_folder,
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=sorted(CASES))
    parser.add_argument("--wine", required=True)
    parser.add_argument("--player", required=True)
    parser.add_argument("--library", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--probe")
    parser.add_argument("--try-delete")
    parser.add_argument("--hold-hotkeys")
    parser.add_argument("--short-name")
    parser.add_argument("--full-screen")
    parser.add_argument("--plugin")
    parser.add_argument("--installer")
    parser.add_argument("--old-installer")
    args = parser.parse_args()
    if not os.environ.get("DISPLAY"):
        print("skipped: keyboard input needs an X display (run under xvfb-run)")
        return SKIP
    return CASES[args.case](args)


if __name__ == "__main__":
    sys.exit(main())
