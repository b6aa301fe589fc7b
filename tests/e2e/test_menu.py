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

    def wait_for_menu(self, game):
        """Waits for the first frames of the menu, which a busy machine may take a while to draw."""
        game.wait_window()

        def menu_shown():
            shot = game.screenshot()
            return shot if screens.which_picture(shot, ("start",)) else None
        return harness.wait_until(menu_shown, timeout=15, interval=0.2, what="the menu picture")

    def test_the_menu_fills_a_screen_of_its_own_shape(self):
        game = self.start_game()
        screenshot = self.wait_for_menu(game)
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
                screenshot = self.wait_for_menu(game)
                self.assertEqual(screenshot.size, size)
                self.assertEqual(len(screens.bars(screenshot)), 2)
                self.assert_shows(screenshot, "start")
                game.press("Escape")
                self.assert_clean_exit(game)

    def test_space_shows_the_tutorial_and_its_pages_turn(self):
        game = self.start_game()
        self.wait_for_menu(game)
        game.press("space", after=0.0)
        pressed = time.monotonic()

        def seconds_until_shown(name, timeout):
            """Polls screenshots until the picture is shown; returns the times (since the press)
            at which the first screenshot that shows it was begun and finished."""
            def check():
                begun = time.monotonic() - pressed
                shown = screens.which_picture(game.screenshot(), SCREEN_PICTURES)
                return (begun, time.monotonic() - pressed) if shown == name else None
            return harness.wait_until(check, timeout, interval=0.1, what="the picture " + name)

        seconds_until_shown("tutorial1", 5)
        self.assert_shows(game.screenshot(), "tutorial1")
        begun, finished = seconds_until_shown("tutorial2", 15)
        # The key went down 0.15 s before `pressed`, and the tutorial's 7.5 s start with its first
        # frame after that; screenshots take their time on a busy machine, hence the wide top.
        self.assertGreater(finished, 7.3)
        self.assertLess(begun, 10.5)
        self.assert_shows(game.screenshot(), "tutorial2")
        game.close_request()
        self.assert_clean_exit(game)

    def test_escape_in_the_menu_ends_the_program(self):
        game = self.start_game()
        self.wait_for_menu(game)
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
