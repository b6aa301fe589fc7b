"""Whole matches played through the keyboard: the Builder drops blocks, the Runner walks, resets
and ends its turns, gravity runs after each Runner turn, and the match ends on the end screen
with the Builder's win, by resets and by turns."""

import os
import time

import harness

SCREEN = (800, 600)
# Key presses long enough to span a frame even on a busy machine.
HOLD = 0.12
AFTER = 0.1


def fitted_picture(path, size):
    """The picture as the end screen shows it: scaled to fit the window whole, centred on black."""
    from PIL import Image

    picture = Image.open(path).convert("RGB")
    scale = min(size[0] / picture.width, size[1] / picture.height)
    scaled = picture.resize((round(picture.width * scale), round(picture.height * scale)), Image.BILINEAR)
    canvas = Image.new("RGB", size, (0, 0, 0))
    canvas.paste(scaled, ((size[0] - scaled.width) // 2, (size[1] - scaled.height) // 2))
    return canvas


def mean_difference(a, b):
    """Mean absolute difference per channel between two RGB images of one size (0 to 255)."""
    from PIL import ImageChops, ImageStat

    return sum(ImageStat.Stat(ImageChops.difference(a, b)).mean) / 3.0


class MatchTest(harness.GameTestCase):
    def start(self):
        server = self.start_server(*SCREEN)
        game = self.start_game(server)
        game.wait_window()
        return game

    def key(self, game, name):
        game.press(name, hold=HOLD, after=AFTER)

    def wait_output(self, game, text, count=1, timeout=10.0):
        harness.wait_until(lambda: game.stdout().count(text) >= count, timeout,
                           what="%d x %r on stdout" % (count, text))

    def enter_match(self, game, matches_before=0):
        self.key(game, "space")
        self.key(game, "space")
        self.wait_output(game, "BuilderStrategy::enter()", matches_before + 1)

    def builder_drops_two(self, game, runner_turns_before):
        """Two drops at the cursor in front of the Runner end the Builder's turn."""
        self.key(game, "Return")
        self.key(game, "Return")
        self.wait_output(game, "RunnerStrategy::enter()", runner_turns_before + 1)

    def assert_screen(self, game, picture):
        """Waits until the screen shows the picture of assets/menu as the screens fit it; returns
        the screenshot."""
        expected = fitted_picture(os.path.join(harness.REPO, "assets", "menu", picture), SCREEN)
        return harness.wait_until(
            lambda: (lambda image: image if mean_difference(image, expected) < 12 else None)(game.screenshot()),
            timeout=10, what="the screen showing " + picture)

    def assert_end_screen(self, game, picture):
        expected = fitted_picture(os.path.join(harness.REPO, "assets", "menu", picture), SCREEN)
        shot = self.assert_screen(game, picture)
        other = "win_runner.png" if picture == "win_builder.png" else "win_builder.png"
        unexpected = fitted_picture(os.path.join(harness.REPO, "assets", "menu", other), SCREEN)
        self.assertGreater(mean_difference(shot, unexpected), mean_difference(shot, expected))

    def test_turns_pass_gravity_runs_and_three_resets_hand_the_builder_the_win(self):
        game = self.start()
        self.enter_match(game)
        shot = game.screenshot()
        # Five HUD bars along the bottom: the Builder's time bar starts full and amber.
        self.assertEqual(shot.getpixel((400 - 240 - 40, 300 + 240)), (245, 158, 11))

        # A match left with Escape is torn down; the next one starts afresh.
        self.key(game, "Escape")
        harness.wait_until(lambda: game.stderr().count("Removed m_listener with given m_id. ") >= 3,
                           what="the match's three listeners removed")
        time.sleep(0.3)
        self.enter_match(game, 1)

        self.builder_drops_two(game, 0)
        walked = game.stdout().count("remaining movement after: ")
        self.key(game, "d")
        self.wait_output(game, "remaining movement after: ", walked + 1)
        self.key(game, "q")
        self.wait_output(game, "RunnerStrategy::handleInput() - RunnerEnd")
        self.wait_output(game, "\n\nstarting physic updates\n")
        self.wait_output(game, "BuilderStrategy::enter()", 3)

        for reset in range(3):
            self.builder_drops_two(game, reset + 1)
            self.key(game, "r")
            if reset < 2:
                self.wait_output(game, "BuilderStrategy::enter()", 4 + reset)

        self.assert_end_screen(game, "win_builder.png")
        self.assertEqual(game.stderr().count("Removed m_listener with given m_id. "), 6)
        self.key(game, "space")
        self.assert_screen(game, "start.png")
        self.assertTrue(game.running())
        self.key(game, "Escape")
        startup, runtime = self.assert_clean_exit(game)
        names = harness.event_names(runtime)
        for scope in ("orv_gd::MainState::init", "orv_gd::MainState::draw", "orv_gd::MainState::exit"):
            self.assertIn(scope, names)
        self.assertIn("closing game", game.stdout())
        self.assertNotIn(" Line: ", game.stderr())

    def test_the_runners_fifty_first_turn_hands_the_builder_the_win(self):
        game = self.start()
        self.enter_match(game)
        for turn in range(51):
            self.builder_drops_two(game, turn)
            self.key(game, "q")
            self.wait_output(game, "RunnerStrategy::handleInput() - RunnerEnd", turn + 1)
        self.assert_end_screen(game, "win_builder.png")
        out = game.stdout()
        self.assertEqual(out.count("starting physic updates"), 51)
        self.assertEqual(out.count("BuilderStrategy::enter()"), 51, "no Builder turn after the last")
        self.key(game, "Escape")
        self.assert_clean_exit(game, timeout=30)
        self.assertNotIn(" Line: ", game.stderr())


if __name__ == "__main__":
    harness.main()
