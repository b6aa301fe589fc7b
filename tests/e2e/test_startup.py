"""Start and end: a borderless window at (0, 0) covering any screen, the frame rate in the title,
the menu picture whole and centred between black bars; every way out ends with status 0 and
complete trace files; without a display, one line and status 1."""

import os
import signal
import time

import harness

# Screen size, and how the run ends. The servers reset when their last client leaves, as a
# desktop's may: the game's own display check must not be that client.
RUNS = [((1920, 1080), "close request"), ((1280, 1024), signal.SIGTERM), ((2560, 1080), signal.SIGINT)]


class StartupTest(harness.GameTestCase):
    def test_window_title_menu_and_every_way_out(self):
        for size, ending in RUNS:
            with self.subTest(size=size, ending=ending):
                game = self.start_game(self.start_server(*size, noreset=False))
                time.sleep(0.3)  # no other client may keep the server from resetting meanwhile
                game.wait_window()
                self.assertEqual(game.geometry(), (0, 0) + size)
                harness.wait_until(lambda: int(harness.TITLE_PATTERN.match(game.title()).group(1)) > 0,
                                   what="a frame rate above 0")
                shot = game.wait_picture("start")
                if size == (1920, 1080):  # shown pixel for pixel, but for the keys' hints over it
                    self.assertLess(harness.picture_difference(shot, "start"), 1.0)
                bars = shot.copy()
                bars.paste((0, 0, 0), harness.fitted_box(size))
                self.assertEqual(bars.getextrema(), ((0, 0),) * 3, "the bars beside the picture are black")
                if ending == "close request":
                    game.close_request()
                else:
                    game.process.send_signal(ending)
                self.assert_clean_exit(game)

    def test_sigterm_during_start_up_never_crashes(self):
        game = self.start_game()
        time.sleep(0.05)
        game.process.send_signal(signal.SIGTERM)
        status = game.wait_exit()
        # Killed before the handler was installed, or handled cleanly.
        self.assertIn(status, (0, -signal.SIGTERM), game.stderr())
        if status == 0:
            harness.load_trace(game.path("startup.json"))
            harness.load_trace(game.path("runtime.json"))

    def test_without_a_display_it_says_so_in_one_line(self):
        for env in ({}, {"DISPLAY": ":1999"}):
            with self.subTest(env=env):
                game = self.start_game(server=False, env=env)
                self.assertEqual(game.wait_exit(), 1)
                lines = game.stderr().splitlines()
                self.assertEqual(len(lines), 1, lines)
                self.assertTrue(lines[0].startswith("tumbrelt: cannot open the display"), lines[0])
                self.assertFalse(os.path.exists(game.path("startup.json")))


if __name__ == "__main__":
    harness.main()
