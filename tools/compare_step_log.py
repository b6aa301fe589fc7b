#!/usr/bin/env python3
"""Plays one scripted match on each of two builds of the game and compares what they print: the
step log on standard output must be the same byte for byte. Each key waits for the line that its
effect prints, so the frame rate and the machine's speed do not matter. The match is short, so
no block lives long enough to fade.

    /usr/bin/python3 tools/compare_step_log.py --old OLD/build/tumbrelt --new build/tumbrelt

Exits 0 when both logs are the same, 1 with a unified diff when they differ."""

import argparse
import difflib
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402

# (keys, the text its effect prints; None: a short pause instead)
SCRIPT = [
    (["space"], None), (["space"], "BuilderStrategy::enter()"),
    (["Next"], None), (["Right"], None), (["Right"], None), (["Return"], None), (["Up"], None),
    (["Prior"], None), (["Return"], "RunnerStrategy::enter()"),
    (["d"], "remaining movement after"), (["d"], "remaining movement after"), (["w"], None),
    (["a"], None), (["d"], None), (["q"], "BuilderStrategy::enter()"),
    (["Left"], None), (["Left"], None), (["Return"], None), (["Down"], None), (["Return"], "RunnerStrategy::enter()"),
    (["d"], None), (["d"], None), (["d"], None), (["d"], None), (["w"], None), (["q"], "BuilderStrategy::enter()"),
    (["Return"], None), (["Return"], "RunnerStrategy::enter()"),
    (["r"], "BuilderStrategy::enter()"),
    (["Right"], None), (["Return"], None), (["Return"], "RunnerStrategy::enter()"),
    (["d"], None), (["w"], None), (["w"], None), (["d"], None), (["q"], "BuilderStrategy::enter()"),
    (["Return"], None), (["Return"], "RunnerStrategy::enter()"),
    (["d"], None), (["d"], None), (["q"], "BuilderStrategy::enter()"),
]


def play(binary, repo):
    harness.BINARY, harness.REPO = binary, repo
    with harness.XServer(800, 600) as server:
        with harness.GameProcess(server, binary=binary) as game:
            game.wait_window(60)
            game.wait_picture("start", timeout=60)
            seen = 0
            for keys, text in SCRIPT:
                if text is None:
                    for key in keys:
                        game.press(key, hold=0.05, after=0.6)
                    continue
                seen = game.stdout().count(text)
                for key in keys:
                    game.press(key, hold=0.05, after=0)
                game.wait_stdout(text, count=seen + 1, timeout=30)
            # The log up to the script's last line; how a build leaves a match is not part of it.
            log = game.stdout()
            return log[: log.rindex(SCRIPT[-1][1]) + len(SCRIPT[-1][1]) + 1]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--old", required=True)
    parser.add_argument("--new", required=True)
    parser.add_argument("--repo", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    args = parser.parse_args()
    logs = [play(os.path.abspath(binary), os.path.abspath(args.repo)) for binary in (args.old, args.new)]
    if logs[0] == logs[1]:
        print("the same step log: %d lines, %d bytes" % (logs[0].count("\n"), len(logs[0])))
        return 0
    sys.stdout.writelines(difflib.unified_diff(logs[0].splitlines(True), logs[1].splitlines(True), "old", "new"))
    return 1


if __name__ == "__main__":
    sys.exit(main())
