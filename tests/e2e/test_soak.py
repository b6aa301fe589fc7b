"""Soak: the real binary under random keys of both players, Space and, now and then, Escape for a
few minutes. Escape on the menu or the end screen ends the program, which then starts again; the
last run ends by a close request or SIGTERM. Every run must end with status 0, complete trace
files and no sanitizer report. TUMBRELT_SOAK_SECONDS sets the length (default 150) and
TUMBRELT_SOAK_SEED the random stream."""

import os
import random
import signal
import time

import harness

SCREEN = (800, 600)
RUNNER_KEYS = ["a", "d", "w", "s", "q", "r"]
BUILDER_KEYS = ["Up", "Down", "Left", "Right", "Return", "Prior", "Next"]
SANITIZER_SIGNS = ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:", "SUMMARY: ")


class SoakTest(harness.GameTestCase):
    def check_run(self, game, how):
        """A run that has ended: status 0, both trace files complete, nothing reported."""
        startup, runtime = self.assert_clean_exit(game, timeout=60)
        stderr = game.stderr()
        for sign in SANITIZER_SIGNS:
            self.assertNotIn(sign, stderr, "run ended by %s" % how)
        return len([e for e in runtime if e["name"] == "Frame"])

    def test_random_keys_for_minutes(self):
        seconds = float(os.environ.get("TUMBRELT_SOAK_SECONDS", "150"))
        seed = int(os.environ.get("TUMBRELT_SOAK_SEED", "7"))
        rng = random.Random(seed)
        server = self.start_server(*SCREEN)
        deadline = time.monotonic() + seconds
        runs = {"Escape": 0, "close request": 0, "SIGTERM": 0}
        frames = 0
        keys = 0
        while True:
            game = self.start_game(server)
            game.wait_window(60)
            ended_by_escape = False
            while time.monotonic() < deadline:
                roll = rng.random()
                if roll < 0.01:
                    key = "Escape"
                elif roll < 0.15:
                    key = "space"
                elif roll < 0.55:
                    key = rng.choice(RUNNER_KEYS)
                else:
                    key = rng.choice(BUILDER_KEYS)
                game.press(key, hold=rng.uniform(0.02, 0.3), after=rng.uniform(0.0, 0.1))
                keys += 1
                if key == "Escape":
                    time.sleep(0.3)
                    if not game.running():
                        ended_by_escape = True
                        break
            if ended_by_escape:
                runs["Escape"] += 1
                frames += self.check_run(game, "Escape")
                continue
            how = rng.choice(["close request", "SIGTERM"])
            if how == "close request":
                game.close_request()
            else:
                game.signal(signal.SIGTERM)
            runs[how] += 1
            frames += self.check_run(game, how)
            break
        print("soak seed %d: %d keys, %d frames, runs ended by %s" % (seed, keys, frames, runs))
        self.assertGreater(frames, 0)


if __name__ == "__main__":
    harness.main()
