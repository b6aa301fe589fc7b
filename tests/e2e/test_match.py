"""One session through every screen: the menu, the tutorial's pages turning after 7.5 s, a match
the Builder wins by the Runner's 51st turn, one paused by an Escape and left with a second, torn down, one the Builder
wins by a third reset; Space on the end screen leads to the menu, Escape there ends it."""

import itertools
import time

import harness

PICTURES = ("start", "tutorial1", "tutorial2", "win_runner", "win_builder")
REMOVED = "Removed m_listener with given m_id. "


class MatchTest(harness.GameTestCase):
    def test_a_session_of_three_matches(self):
        # Guards the picture comparison: every picture differs clearly from every other.
        for a, b in itertools.combinations(PICTURES, 2):
            with harness.Image.open("%s/assets/menu/%s.png" % (harness.REPO, b)) as picture:
                self.assertGreater(harness.picture_difference(picture.convert("RGB"), a), 8.0, (a, b))
        game = self.start_game(self.start_server(800, 600))
        game.wait_window()
        game.wait_picture("start")
        game.press("space", after=0)
        pressed = time.monotonic()
        # The pages carry the player's own keys and turn time over the picture: a little apart
        # from it (about 4), far from the other page (about 15).
        game.wait_picture("tutorial1", limit=7.0, timeout=5)
        game.wait_picture("tutorial2", limit=7.0)
        # The page turns 7.5 s after the first tutorial frame; screenshots take their time.
        self.assertTrue(7.3 < time.monotonic() - pressed < 11, time.monotonic() - pressed)
        game.act(["space"], "BuilderStrategy::enter()")
        # Five HUD bars along the bottom: the Builder's time bar starts full and amber.
        self.assertEqual(game.screenshot().getpixel((120, 540)), (245, 158, 11))
        game.act(["Return", "Return"], "RunnerStrategy::enter()")
        game.act(["d"], "remaining movement after: ")
        game.act(["q"], "\n\nstarting physic updates\n")
        for turn in range(50):
            game.act(["Return", "Return"], "RunnerStrategy::enter()")
            game.act(["q"], "RunnerStrategy::handleInput() - RunnerEnd")
        game.wait_picture("win_builder")
        self.assertEqual(game.stdout().count("starting physic updates"), 51)
        self.assertEqual(game.stdout().count("BuilderStrategy::enter()"), 51, "no Builder turn after the last")
        game.press("space")
        game.wait_picture("start")

        # One Escape pauses the match and asks again; the second leaves it, torn down, and the next
        # one starts afresh.
        game.act(["space", "space"], "BuilderStrategy::enter()")
        game.press("Escape", after=0.5)
        shot = game.screenshot("leave.png")
        white = sum(1 for pixel in shot.crop((160, 432, 640, 468)).getdata() if min(pixel) >= 245)
        self.assertGreater(white, 300, "the line asking for a second Escape")
        self.assertEqual(game.stderr().count(REMOVED), 3, "the match still runs")
        self.assertEqual(harness.picture_difference(shot, "start") > 8.0, True, "not the menu")
        game.press("Escape")
        harness.wait_until(lambda: game.stderr().count(REMOVED) == 6, what="the match's listeners removed")
        time.sleep(0.3)
        game.act(["space", "space"], "BuilderStrategy::enter()")
        for reset in range(3):
            game.act(["Return", "Return"], "RunnerStrategy::enter()")
            game.act(["r"], "BuilderStrategy::enter()") if reset < 2 else game.press("r")
        game.wait_picture("win_builder")
        self.assertEqual(game.stderr().count(REMOVED), 9)
        game.press("space")
        game.wait_picture("start")
        game.press("Escape")
        names = self.assert_clean_exit(game)
        self.assertEqual(game.stdout().count("closing game\n"), 1)
        for scope in ("MenuState::init", "MenuState::update", "MenuState::draw", "MenuState::registerGamepads",
                      "MenuState::exit", "MainState::init", "MainState::draw", "MainState::exit"):
            self.assertIn("orv_gd::" + scope, names)


if __name__ == "__main__":
    harness.main()
