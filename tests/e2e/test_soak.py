"""Soak: random keys of both players, Space and now and then Escape on the real binary for a few
minutes. Escape on the menu or the end screen ends a run and the next one starts; the last ends by
a close request or SIGTERM. Every run ends with status 0, complete traces and no sanitizer report.
TUMBRELT_SOAK_SECONDS sets the length (default 120), TUMBRELT_SOAK_SEED the random stream."""

import os
import random
import signal
import time

import harness

KEYS = ["a", "d", "w", "s", "q", "r", "Up", "Down", "Left", "Right", "Return", "Prior", "Next"]


class SoakTest(harness.GameTestCase):
    def test_random_keys_for_minutes(self):
        seed = int(os.environ.get("TUMBRELT_SOAK_SEED", "7"))
        rng, server = random.Random(seed), self.start_server(800, 600)
        deadline = time.monotonic() + float(os.environ.get("TUMBRELT_SOAK_SECONDS", "120"))
        runs = 0
        while True:
            game = self.start_game(server)
            game.wait_window(60)
            runs += 1
            while time.monotonic() < deadline and game.running():
                roll = rng.random()
                key = "Escape" if roll < 0.03 else "space" if roll < 0.17 else rng.choice(KEYS)
                game.press(key, hold=rng.uniform(0.02, 0.3), after=rng.uniform(0.0, 0.1) + 0.3 * (key == "Escape"))
            if game.running():
                break
            self.assert_clean_exit(game)
        ending = rng.choice(["close request", signal.SIGTERM])
        game.close_request() if ending == "close request" else game.process.send_signal(ending)
        self.assert_clean_exit(game)
        print("soak seed %d: %d runs" % (seed, runs))


if __name__ == "__main__":
    harness.main()
