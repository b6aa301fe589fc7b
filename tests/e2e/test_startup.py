"""The game starts into a borderless window covering the screen, shows its frame rate in the
title, and reports start-up problems in one line instead of crashing."""

import os
import shutil
import signal
import tempfile
import time

import harness


class StartupTest(harness.GameTestCase):
    def test_window_covers_the_screen_and_the_title_shows_the_frame_rate(self):
        game = self.start_game()
        game.wait_window()
        self.assertEqual(game.geometry(), (0, 0, 1920, 1080))
        self.assertRegex(game.title(), harness.TITLE_PATTERN)
        fps = harness.wait_until(game.fps, timeout=10, what="a frame rate above 0")
        self.assertGreater(fps, 0)
        game.close_request()
        self.assert_clean_exit(game)
        # SFML itself notes that Mesa cannot switch vertical sync; the game reports no error.
        self.assertNotIn(" Line: ", game.stderr())

    def test_window_follows_the_screen_size(self):
        server = self.start_server(1280, 720)
        game = self.start_game(server)
        game.wait_window()
        self.assertEqual(game.geometry(), (0, 0, 1280, 720))
        image = game.screenshot()
        self.assertEqual(image.size, (1280, 720))
        game.close_request()
        self.assert_clean_exit(game)

    def test_starts_on_a_server_that_resets_when_its_clients_leave(self):
        # The display check must not be the last client to leave before the window opens.
        server = self.start_server(noreset=False)
        for _ in range(6):
            with self.subTest():
                game = self.start_game(server)
                # No other client may keep the server from resetting while the game starts.
                time.sleep(0.3)
                game.wait_window()
                game.signal(signal.SIGTERM)
                self.assert_clean_exit(game)

    def test_without_a_display_it_says_so_in_one_line(self):
        for env in ({}, {"DISPLAY": ":1999"}):
            with self.subTest(env=env):
                game = self.start_game(server=False, env=env)
                self.assertEqual(game.wait_exit(), 1)
                lines = game.stderr().splitlines()
                self.assertEqual(len(lines), 1, lines)
                self.assertTrue(lines[0].startswith("tumbrelt: cannot open the display"), lines[0])
                self.assertFalse(os.path.exists(game.path("startup.json")))

    def test_a_missing_asset_is_named_and_the_trace_completed(self):
        assets = tempfile.mkdtemp(prefix="tumbrelt_assets_")
        self.addCleanup(shutil.rmtree, assets, True)
        shutil.copytree(os.path.join(harness.REPO, "assets"), assets, dirs_exist_ok=True)
        os.remove(os.path.join(assets, "icons", "reset.png"))
        game = self.start_game(assets=assets)
        self.assertEqual(game.wait_exit(), 1)
        last = game.stderr().splitlines()[-1]
        folder = os.path.join(game.workdir, "assets") + "/"
        self.assertEqual(last, "tumbrelt: AssetManager::LoadTexture - Failed to load icons/reset.png"
                               " (asset folder: %s)" % folder)
        harness.load_trace(game.path("startup.json"))
        self.assertNotIn("terminate called", game.stderr())


if __name__ == "__main__":
    harness.main()
