"""The computer at the real game: key 2 (hard) with the keyboard idle, the computer Runner wins the
first level while keys of its role pressed in its turns change nothing, and in the half second
before the end screen its blue block shows on the green line; key 1 (hard), the computer Builder
drops its two blocks and hands over within its 10 s but not at once; key 3, the computer plays
both roles to the end screen, and the next Space is a match for two people again. The difficulty
panel: 1, 2 and 3 show it over the picture, Escape puts it away, the level chosen with Left/Right
is in settings.ini once the match starts."""

import time

import harness
from harness import BUILDER_TURN, RUNNER_TURN, WINS

ON_FINISH = "RunnerStrategy::stepOntoFinish()"
BLUE = (14, 165, 233)


def start_match(game, key, levels=()):
    """From the menu through the tutorial into a match chosen with `key`; for a match against the
    computer, the keys `levels` on its difficulty panel, then Space."""
    game.wait_picture("start")
    game.press(key, after=0.5)
    if key != "space":
        for level in levels:
            game.press(level)
        game.press("space", after=0.5)
    game.act(["space"], BUILDER_TURN)


def near(pixel, colour, tolerance):
    return all(abs(a - b) <= tolerance for a, b in zip(pixel, colour))


def runner_on_green(shot, cell):
    """Whether the map (above the HUD's band) shows the Runner's blue block, at least most of a
    cell of it, in a green column: the cells straight above or below it are green."""
    width, height = shot.size
    pixels = shot.load()
    blue = [(x, y) for y in range(0, int(0.84 * height), 2) for x in range(0, width, 2)
            if near(pixels[x, y], BLUE, 12)]
    if 4 * len(blue) < 0.6 * cell * cell:
        return False, "%d blue pixels" % (4 * len(blue))
    x = sum(p[0] for p in blue) // len(blue)
    y = sum(p[1] for p in blue) // len(blue)
    column = [pixels[x, y + dy] for dy in (int(-2.5 * cell), int(2.5 * cell)) if 0 <= y + dy < 0.84 * height]
    greens = [p for p in column if p[1] > 150 and p[1] > p[0] + 80 and p[1] > p[2] + 30]
    return bool(greens), "blue block at %d, %d; above and below %s" % (x, y, column)


def leave_match(game):
    """Escape pauses the match and asks again, the second leaves it for the menu."""
    game.press("Escape")
    game.press("Escape")
    game.wait_picture("start")


class ComputerTest(harness.GameTestCase):
    def test_the_computer_runner_wins_the_first_level_and_ignores_the_runners_keys(self):
        game = self.start_game(self.start_server(1366, 768))
        game.wait_window()
        start_match(game, "2", ["Right"])
        # In each of three Runner turns R, then A: a person's R three times loses the match.
        for turn in range(3):
            game.wait_stdout(RUNNER_TURN, turn + 1, timeout=15)
            game.press("r", hold=0.05, after=0)
            game.press("a", hold=0.05, after=0)
            game.wait_stdout(BUILDER_TURN, turn + 2, timeout=15)
        # The last half second before the end screen: the Runner stands on the green line, drawn.
        game.wait_stdout(ON_FINISH, timeout=400)
        time.sleep(0.2)  # the step's slide
        shot = game.screenshot("finish.png")
        self.assertGreater(harness.picture_difference(shot, "win_runner"), 8.0, "still the match")
        shown, where = runner_on_green(shot, 768 / 11)
        self.assertTrue(shown, where)
        self.assertEqual(game.end_picture(400), "win_runner")
        game.press("Escape")
        self.assert_clean_exit(game)

    def test_the_computer_builder_hands_over_well_within_its_turn_and_the_computer_plays_both(self):
        game = self.start_game()
        game.wait_window()
        start_match(game, "1", ["Right"])
        began = time.monotonic()
        game.press("Return")  # the Builder's key: the computer's now
        game.wait_stdout(RUNNER_TURN, timeout=12)
        # The hard Builder's turn takes 3 to 5.5 s, as a quick person's would.
        self.assertGreater(time.monotonic() - began, 2.5, "a person's pace")
        self.assertLess(time.monotonic() - began, 10.0, "two drops and the hand-over")
        leave_match(game)
        time.sleep(0.3)
        start_match(game, "3", ["Right", "Down", "Left"])  # a hard Runner, an easy Builder
        self.assertIn(game.end_picture(400), WINS)
        game.press("space")
        # Space on the menu: two people again, the Builder's turn waits for its keys.
        start_match(game, "space")
        turns = game.stdout().count(RUNNER_TURN)
        time.sleep(5)
        self.assertEqual(game.stdout().count(RUNNER_TURN), turns, "nobody drops for the Builder")
        game.act(["Return", "Return"], RUNNER_TURN)
        leave_match(game)
        game.press("Escape")
        self.assert_clean_exit(game)

    def test_the_difficulty_panel_shows_goes_away_with_escape_and_the_choice_is_kept(self):
        game = self.start_game()
        game.wait_window()
        game.wait_picture("start")
        game.press("1", after=0.5)
        shot = game.screenshot("panel.png")
        self.assertGreater(harness.picture_difference(shot, "start"), 1.0, "the panel over the picture")
        game.press("Escape", after=0.5)
        game.wait_picture("start")
        self.assertTrue(game.running(), "the first Escape puts the panel away")
        game.press("1", after=0.3)
        game.press("Left")
        game.press("Left")  # at easy, a second Left stays there
        game.press("Return", after=0.5)
        game.act(["space"], BUILDER_TURN)
        with open(game.path("settings.ini")) as f:
            text = f.read()
        self.assertIn("computer_builder = easy\n", text)
        self.assertIn("computer_runner = normal\n", text)
        leave_match(game)
        game.press("Escape")
        self.assert_clean_exit(game)


if __name__ == "__main__":
    harness.main()
