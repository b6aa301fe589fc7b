"""The settings screen in the real game: what the player changes there is in settings.ini and still
in force after a restart (the turn time, a key of the Runner's), a key in use is refused with a red
line, and a window resized twice still shows its HUD at its bottom. The screenshots stay in the
test's folder when it fails (and are copied to $TUMBRELT_SHOTS when that is set)."""

import os
import time

import harness
from harness import BUILDER_TURN, count_near

AMBER, REFUSED = (245, 158, 11), (255, 120, 120)


def keys(game, *names):
    for name in names:
        game.press(name, hold=0.3, after=0.2)


def settings_file(game):
    path = game.path("settings.ini")
    if not os.path.exists(path):
        return ""
    with open(path) as f:
        return f.read()


class SettingsTest(harness.GameTestCase):
    def test_choices_made_on_the_screen_are_kept_for_the_next_run(self):
        game = self.start_game()
        self.addCleanup(game.copy_shots, "settings_")
        game.wait_window()
        game.wait_picture("start")
        keys(game, "s")
        self.assertGreater(harness.picture_difference(game.screenshot("settings.png"), "start"), 20,
                           "the settings screen replaced the menu")
        # Volume down twice, the turn time one step up, then the Runner's step to the right.
        keys(game, "Down", "Left", "Left", "Down", "Down", "Right", "Down", "Down", "Down", "Return")
        keys(game, "a")  # the Runner's step to the left has it
        shot = game.screenshot("settings_refused.png")
        self.assertGreater(count_near(shot, (0.1, 0.89, 0.9, 0.95), REFUSED), 100, "the line saying why not")
        self.assertEqual(settings_file(game), "", "nothing is written before leaving the screen")
        keys(game, "Return", "l", "Escape")
        game.wait_picture("start")
        text = harness.wait_until(lambda: settings_file(game), what="settings.ini")
        for line in ("volume = 80\n", "turn_seconds = 15\n", "key.RunnerRight = L\n", "key.RunnerLeft = A\n"):
            self.assertIn(line, text)
        game.close_request()
        self.assert_clean_exit(game)

        # The next run in the same folder plays by them. A save cut short left its temporary file:
        # that start removes it when it is stale, and nothing else.
        for stream in game._out:  # the last run's output files
            stream.close()
        left = [game.path(name) for name in (".settings.ini.Ab12Cd", ".settings.ini.Zz99Yy", ".settings.ini.notes")]
        for path in left:
            with open(path, "w") as f:
                f.write("volume = 0\n")
        os.utime(left[0], (time.time() - 120,) * 2)
        game.start()
        game.wait_window()
        self.assertEqual([os.path.exists(path) for path in left], [False, True, True])
        game.wait_picture("start")
        game.press("space", hold=0.6)
        game.wait_picture("tutorial1")
        game.hold_until("space", BUILDER_TURN, count=1)
        entered = time.monotonic()
        game.wait_stdout("RunnerStrategy::enter()", timeout=25)
        waited = time.monotonic() - entered
        self.assertTrue(13.5 < waited < 18.0, "the Builder's turn lasted %.1f s, not 15" % waited)

        game.press("d", hold=0.6, after=1.0)
        self.assertNotIn("remaining movement after: ", game.stdout(), "the old key no longer moves the Runner")
        game.hold_until("l", harness.MOVED)
        game.close_request()
        self.assert_clean_exit(game)

    def test_a_window_resized_twice_keeps_its_hud_at_its_bottom(self):
        game = self.start_game(start=False)
        self.addCleanup(game.copy_shots, "resized_")
        with open(game.path("settings.ini"), "w") as f:
            f.write("window = windowed\n")
        game.start()
        window = game.wait_window()
        self.assertEqual(game.geometry()[2:], (1280, 720))
        time.sleep(1.5)  # the menu, in a window smaller than the screen
        game.press("space", hold=0.6, after=0.5)
        game.hold_until("space", BUILDER_TURN)
        game.x(["windowmove", "--sync", str(window), "0", "0"])  # all of it on the screen
        for size in ((960, 600), (1600, 960)):
            game.x(["windowsize", "--sync", str(window), str(size[0]), str(size[1])])
            time.sleep(1.5)
        x, y, width, height = game.geometry()
        self.assertEqual((width, height), (1600, 960))
        shot = game.screenshot("resized.png").crop((x, y, x + width, y + height))
        shot.save(game.path("resized_window.png"))
        # BUILDER left of the bars and the amber time bar, in the bottom band of the window as resized.
        self.assertGreater(count_near(shot, (0.0, 0.86, 0.14, 0.94), AMBER), 100, "BUILDER beside the bars")
        self.assertGreater(count_near(shot, (0.14, 0.86, 0.26, 0.93), AMBER), 300, "the time bar")
        game.close_request()
        self.assert_clean_exit(game)


if __name__ == "__main__":
    harness.main()
