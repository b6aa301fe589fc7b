"""A match a newcomer reads, at the two usual screen sizes: the red ghost says why, P pauses for
longer than a turn and the turn then ends after the time it had left, the Runner's turn names its
role, a reset says what it cost, and the end screen says how the match ended. The screenshots stay
in the test's folder when it fails (and are copied to $TUMBRELT_SHOTS when that is set)."""

import time

import harness
from harness import count_near

BLUE, AMBER, REASON = (14, 165, 233), (245, 158, 11), (255, 120, 120)


def act(game, keys, text, timeout=15.0):
    """As GameProcess.act, but the last key stays down until the text shows: at full HD a
    software-drawn frame under load can outlast a short press, which the game then never sees."""
    before = game.stdout().count(text)
    for key in keys[:-1]:
        game.press(key, hold=0.6)
    game.hold_until(keys[-1], text, timeout, before + 1)


class ReadableMatchTest(harness.GameTestCase):
    def play(self, width, height):
        game = self.start_game(self.start_server(width, height))
        self.addCleanup(game.copy_shots, "%dx%d_" % (width, height))
        game.wait_window()
        game.wait_picture("start")
        game.press("space", hold=0.6)
        game.wait_picture("tutorial1")
        act(game, ["space"], "BuilderStrategy::enter()")
        entered = time.monotonic()

        # The ghost starts four columns right of the Runner; three steps left reach the safe zone,
        # and two more (should a slow frame miss a press) keep it there.
        for _ in range(5):
            game.press("Left", hold=0.15, after=0.1)
        shot = game.screenshot("builder_red.png")
        # Under the strip that shows the whole level, the Runner in it.
        self.assertGreater(count_near(shot, (0.2, 0.0, 0.8, 0.14), BLUE), 10, "the Runner in the overview")
        self.assertGreater(count_near(shot, (0.3, 0.14, 0.7, 0.21), REASON), 200, "the line on why it is red")
        self.assertGreater(count_near(shot, (0.0, 0.86, 0.14, 0.94), AMBER), 100, "BUILDER beside the bars")

        # Paused for longer than a turn: the turn waits, then ends after the time it had left.
        before_pause = time.monotonic()
        game.press("p", hold=0.6, after=0.3)
        shot = game.screenshot("paused.png")
        self.assertGreater(count_near(shot, (0.2, 0.72, 0.8, 0.78), (255, 255, 255), 10), 300, "the pause line")
        self.assertEqual(count_near(shot, (0.0, 0.86, 1.0, 0.94), AMBER), 0, "the HUD is dimmed")
        time.sleep(max(0.0, before_pause + 11.0 - time.monotonic()))
        self.assertNotIn("RunnerStrategy::enter()", game.stdout(), "the turn does not end while paused")
        had_left = 10.0 - (before_pause - entered)
        resumed = time.monotonic()
        game.press("p", hold=0.6, after=0)
        game.wait_stdout("RunnerStrategy::enter()", timeout=15)
        waited = time.monotonic() - resumed
        self.assertTrue(had_left - 1.5 < waited < had_left + 2.0, (had_left, waited))

        act(game, ["d"], "remaining movement after: ")
        shot = game.screenshot("runner.png")
        self.assertGreater(count_near(shot, (0.0, 0.86, 0.14, 0.94), BLUE), 100, "RUNNER beside the bars")

        act(game, ["r"], "BuilderStrategy::enter()")
        shot = game.screenshot("reset.png")
        self.assertGreater(count_near(shot, (0.3, 0.21, 0.7, 0.28), (255, 255, 255), 10), 200, "what the reset cost")
        act(game, ["Return", "Return"], "RunnerStrategy::enter()")
        act(game, ["r"], "BuilderStrategy::enter()")
        act(game, ["Return", "Return"], "RunnerStrategy::enter()")
        game.press("r", hold=0.8)
        shot = game.wait_picture("win_builder")
        left, top, right, bottom = harness.fitted_box(shot.size)
        band = (left / width, (top + 0.75 * (bottom - top)) / height, right / width,
                (top + 0.81 * (bottom - top)) / height)
        self.assertGreater(count_near(shot, band, (230, 230, 230), 25), 300, "how the match ended")
        game.press("Escape", hold=0.6)
        self.assert_clean_exit(game)

    def test_at_1920x1080(self):
        self.play(1920, 1080)

    def test_at_1366x768(self):
        self.play(1366, 768)


if __name__ == "__main__":
    harness.main()
