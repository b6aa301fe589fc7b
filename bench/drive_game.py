"""Frame times of the real program: drives the tumbrelt binary through a match with xdotool on
an Xvfb server of its own (menu -> tutorial -> match; the Builder moves and drops blocks, the
Runner walks, jumps and ends its turns; Escape back to the menu and out) and reads the "Frame"
events of its "runtime.json". A second, shorter run under strace counts the files the game opens
once it is in the match: nothing loaded at start-up may be loaded again per frame or per move.

Usage: /usr/bin/python3 bench/drive_game.py --binary build/tumbrelt --repo . [--empty-ms X]
       [--seconds S] [--width W --height H]
--empty-ms is the empty loop's median frame from the benchmark of the same run; with it the
figures are also given as ratios.
"""

import argparse
import collections
import contextlib
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def percentile(sorted_values, percent):
    """Nearest-rank percentile of a sorted list."""
    if not sorted_values:
        return 0.0
    rank = max(1, min(len(sorted_values), int(percent / 100.0 * len(sorted_values) + 0.999999)))
    return sorted_values[rank - 1]


def frames_by_screen(events):
    """Frame durations in ms, grouped by the screen whose draw ran inside the frame."""
    screens = {
        "orv_gd::MenuState::draw": "menu",
        "orv_gd::TutorialState::draw": "tutorial",
        "orv_gd::MainState::draw": "match",
        "orv_gd::EndState::draw": "end",
    }
    draws = sorted((e["ts"], screens[e["name"]]) for e in events if e["name"] in screens)
    frames = sorted((e["ts"], e["dur"]) for e in events if e["name"] == "Frame")
    grouped = collections.defaultdict(list)
    index = 0
    for start, duration in frames:
        while index < len(draws) and draws[index][0] < start:
            index += 1
        screen = "other"
        if index < len(draws) and draws[index][0] <= start + duration:
            screen = draws[index][1]
        grouped[screen].append(duration / 1000.0)
    return grouped


def frames_by_turn(events, after_round=3):
    """Match frame durations in ms of the Builder's and of the Runner's turns once `after_round`
    rounds are played: the blocks of three Builder turns lie on the field, lit or fading. A frame
    belongs to the turn whose strategy was entered last before it ended."""
    enters = sorted((e["ts"], e["name"].split("::")[1]) for e in events
                    if e["name"] in ("orv_gd::BuilderStrategy::enter", "orv_gd::RunnerStrategy::enter"))
    frames = sorted((e["ts"], e["dur"]) for e in events if e["name"] == "Frame")
    grouped = collections.defaultdict(list)
    index, role, builder_turns = 0, None, 0
    for start, duration in frames:
        while index < len(enters) and enters[index][0] <= start + duration:
            role = enters[index][1]
            builder_turns += role == "BuilderStrategy"
            index += 1
        if role and builder_turns > after_round:
            grouped["Builder" if role == "BuilderStrategy" else "Runner"].append(duration / 1000.0)
    return grouped


def print_rows(grouped, names, empty_ms):
    for name in names:
        values = sorted(grouped.get(name, []))
        if not values:
            continue
        median = statistics.median(values)
        p99 = percentile(values, 99)
        ratio = median / empty_ms if empty_ms > 0 else float("nan")
        print("%-10s %7d %10.3f %10.3f %8.2f %8.2f" % (name, len(values), median, p99, ratio,
                                                      p99 / median if median else 0.0))


def slowest_scopes(events, screen_frames, count=6):
    """The scopes that took longest in the slowest match frames: (name, ms) pairs."""
    frames = sorted((e for e in events if e["name"] == "Frame"), key=lambda e: -e["dur"])[:5]
    totals = collections.Counter()
    for frame in frames:
        end = frame["ts"] + frame["dur"]
        for e in events:
            if e is not frame and frame["ts"] <= e["ts"] and e["ts"] + e["dur"] <= end:
                totals[e["name"]] += e["dur"] / 1000.0
    return [(name, ms / max(1, len(frames))) for name, ms in totals.most_common(count)]


@contextlib.contextmanager
def started(thing, end):
    """Starts an X server or a game of the harness and ends it (`end`: its stop or close) on leaving."""
    thing.start()
    try:
        yield thing
    finally:
        getattr(thing, end)()


class Driver:
    """Plays a match on a running game through the harness's key helpers."""

    def __init__(self, game):
        self.game = game

    def tap(self, key, after=0.08):
        self.game.press(key, hold=0.06, after=after)

    def builder_turn(self, step):
        # Walk the cursor a little (each held arrow steps once per 0.2 s), rotate, drop two blocks.
        moves = ["Up", "Right", "Down", "Left"]
        self.game.hold(moves[step % 4], 0.25)
        self.tap("Next" if step % 2 else "Prior")
        self.tap("Return", after=0.3)
        self.game.hold(moves[(step + 1) % 4], 0.25)
        self.tap("Return", after=0.4)

    def runner_turn(self, step):
        for key in ("d", "d", "w", "d", "a" if step % 3 == 0 else "d"):
            self.tap(key, after=0.12)
        self.tap("q", after=0.4)


def play(harness, game, seconds):
    """Menu -> tutorial -> match, then turns for about `seconds`; returns the number of turns."""
    game.wait_window()
    game.press("space", after=0.5)
    game.press("space", after=0.5)
    game.wait_stdout("BuilderStrategy::enter()", timeout=20)
    driver = Driver(game)
    deadline = time.monotonic() + seconds
    turns = 0
    while time.monotonic() < deadline and game.running():
        if "EndState" in game.stdout()[-200:]:
            break
        driver.builder_turn(turns)
        driver.runner_turn(turns)
        turns += 2
    leave(game)
    return turns


def leave(game):
    """Escape until the game has quit: the match asks for a second one, the menu too."""
    for _ in range(6):
        if not game.running():
            return
        game.press("Escape", after=0.8)


def opened_files(strace_log):
    """Counts the paths the game opened (successful openat calls) in an strace log."""
    counts = collections.Counter()
    with open(strace_log) as f:
        for line in f:
            if "openat(" not in line or "= -1" in line:
                continue
            start = line.find('"')
            end = line.find('"', start + 1)
            if start >= 0 and end > start:
                counts[line[start + 1:end]] += 1
    return counts


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--binary", required=True)
    parser.add_argument("--repo", required=True)
    parser.add_argument("--empty-ms", type=float, default=0.0)
    parser.add_argument("--seconds", type=float, default=60.0)
    parser.add_argument("--width", type=int, default=1920)
    parser.add_argument("--height", type=int, default=1080)
    args = parser.parse_args()

    sys.path.insert(0, os.path.join(os.path.abspath(args.repo), "tests", "e2e"))
    import harness

    harness.BINARY = os.path.abspath(args.binary)
    harness.REPO = os.path.abspath(args.repo)

    with started(harness.XServer(args.width, args.height), "stop") as server:
        with started(harness.GameProcess(server), "close") as game:
            turns = play(harness, game, args.seconds)
            status = game.wait_exit(30)
            events = game.trace("runtime.json")
        grouped = frames_by_screen(events)
        print("real program at %dx%d: %d turns played, exit status %d" % (args.width, args.height, turns, status))
        print("screen      frames  median ms     p99 ms  x empty  p99/med")
        print_rows(grouped, ("menu", "tutorial", "match", "end"), args.empty_ms)
        print("match frames after three rounds, by whose turn it is:")
        print_rows(frames_by_turn(events), ("Builder", "Runner"), args.empty_ms)
        print("slowest match frames spend (ms per frame, nested scopes counted in each):")
        for name, ms in slowest_scopes(events, grouped):
            print("    %-40s %8.2f" % (name, ms))

        if shutil.which("strace"):
            # Only the calls that open files, filtered in the kernel so the game runs at speed.
            with tempfile.TemporaryDirectory() as folder:
                log = os.path.join(folder, "strace.log")
                wrapper = os.path.join(folder, "traced_tumbrelt")
                with open(wrapper, "w") as f:
                    f.write("#!/bin/sh\nexec strace -f --seccomp-bpf -e trace=openat -o '%s' '%s'\n"
                            % (log, harness.BINARY))
                os.chmod(wrapper, 0o755)
                with started(harness.GameProcess(server, binary=wrapper), "close") as game:
                    game.wait_window(60)
                    game.press("space", after=0.5)
                    game.press("space", after=0.5)
                    game.wait_stdout("BuilderStrategy::enter()", timeout=30)
                    # Everything opened up to here belongs to start-up and to entering the match.
                    time.sleep(1.0)
                    before = opened_files(log)
                    driver = Driver(game)
                    for step in range(4):
                        driver.builder_turn(step)
                        driver.runner_turn(step)
                    after = opened_files(log)
                    leave(game)
                    game.wait_exit(30)
            during = after - before
            assets = os.path.join(os.path.abspath(args.repo), "assets")
            print("files opened during 8 turns of play (after entering the match): %d" % sum(during.values()))
            for path, count in during.most_common(10):
                print("    %4d x %s" % (count, path.replace(assets, "assets")))
            # SFML's sound loader opens a file twice in one load (to find its format, then to read
            # it), and the debug overlay reads its own copy of the font: both at start-up only.
            repeated = ["%s x%d" % (p[p.index("/assets/") + 1:], n) for p, n in sorted(after.items())
                        if "/assets/" in p and n > 1]
            print("asset files opened more than once in the whole run: %s" % (", ".join(repeated) or "none"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
