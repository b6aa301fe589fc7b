"""The menu shows its picture whole and centred on any screen, Space leads to the tutorial whose
pages turn every 7.5 seconds, and Escape ends the program cleanly."""

import time

import harness
import screens

SCREEN_PICTURES = ("start", "tutorial1", "tutorial2", "win_runner", "win_builder")


class MenuTest(harness.GameTestCase):
    def assert_shows(self, screenshot, name):
        shown = screens.shown_picture(screenshot)
        self.assertLess(screens.difference(shown, name), 4.0,
                        "the screen does not show %s" % name)
        for bar in screens.bars(screenshot):
            self.assertEqual(bar.getextrema(), ((0, 0), (0, 0), (0, 0)), "the bars beside the picture are black")

    def test_the_pictures_can_be_told_apart(self):
        # Guards the comparison itself: every picture differs clearly from every other.
        for a in SCREEN_PICTURES:
            for b in SCREEN_PICTURES:
                if a < b:
                    self.assertGreater(screens.difference(a, b), 8.0, (a, b))

    def test_the_menu_fills_a_screen_of_its_own_shape(self):
        game = self.start_game()
        game.wait_window()
        time.sleep(0.5)
        screenshot = game.screenshot()
        self.assert_shows(screenshot, "start")
        # At 1920x1080 the picture is shown pixel for pixel.
        self.assertLess(screens.difference(screenshot, "start"), 0.5)
        game.press("Escape")
        self.assert_clean_exit(game)

    def test_the_menu_is_whole_and_centred_with_bars_on_other_screens(self):
        for size in ((1280, 1024), (2560, 1080)):
            with self.subTest(size=size):
                server = self.start_server(*size)
                game = self.start_game(server)
                game.wait_window()
                time.sleep(0.5)
                screenshot = game.screenshot()
                self.assertEqual(screenshot.size, size)
                self.assertEqual(len(screens.bars(screenshot)), 2)
                self.assert_shows(screenshot, "start")
                game.press("Escape")
                self.assert_clean_exit(game)

    def test_space_shows_the_tutorial_and_its_pages_turn(self):
        game = self.start_game()
        game.wait_window()
        time.sleep(0.3)
        game.press("space", after=0.0)
        pressed = time.monotonic()

        def seconds_until_shown(name, timeout):
            """Polls screenshots until the picture is shown; returns when (since the press) the
            first screenshot that shows it was taken."""
            def check():
                taken = time.monotonic() - pressed
                return taken if screens.which_picture(game.screenshot(), SCREEN_PICTURES) == name else None
            return harness.wait_until(check, timeout, interval=0.1, what="the picture " + name)

        seconds_until_shown("tutorial1", 5)
        self.assert_shows(game.screenshot(), "tutorial1")
        turned = seconds_until_shown("tutorial2", 12)
        # The page turns 7.5 s after the tutorial's first frame; a screenshot takes a moment.
        self.assertGreater(turned, 6.8)
        self.assertLess(turned, 9.0)
        self.assert_shows(game.screenshot(), "tutorial2")
        game.close_request()
        self.assert_clean_exit(game)

    def test_escape_in_the_menu_ends_the_program(self):
        game = self.start_game()
        game.wait_window()
        time.sleep(0.3)
        game.press("Escape")
        startup, runtime = self.assert_clean_exit(game)
        self.assertEqual(game.stdout().count("closing game\n"), 1, game.stdout())
        names = harness.event_names(runtime)
        for name in ("orv_gd::MenuState::init", "orv_gd::MenuState::update", "orv_gd::MenuState::draw",
                     "orv_gd::MenuState::registerGamepads", "orv_gd::MenuState::exit"):
            self.assertIn(name, names)
        self.assertNotIn(" Line: ", game.stderr())


if __name__ == "__main__":
    harness.main()
