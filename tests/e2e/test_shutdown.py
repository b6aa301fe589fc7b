"""Every way of ending the game (the window's close request, SIGTERM, SIGINT, Escape in the
menu) exits with status 0 and leaves both trace files complete."""

import signal
import time

import harness


class ShutdownTest(harness.GameTestCase):
    def run_until_ready(self):
        game = self.start_game()
        game.wait_window()
        # Let the loop run a few frames, so runtime.json holds frame events.
        harness.wait_until(lambda: game.fps() > 0 or None, timeout=10, what="running frames")
        return game

    def test_close_request(self):
        game = self.run_until_ready()
        game.close_request()
        self.assert_clean_exit(game)

    def test_sigterm(self):
        game = self.run_until_ready()
        game.signal(signal.SIGTERM)
        self.assert_clean_exit(game)

    def test_sigint(self):
        game = self.run_until_ready()
        game.signal(signal.SIGINT)
        self.assert_clean_exit(game)

    def test_sigterm_during_start_up(self):
        game = self.start_game()
        time.sleep(0.05)
        game.signal(signal.SIGTERM)
        status = game.wait_exit()
        # Either before the handler was installed (killed) or handled cleanly; never a crash.
        self.assertIn(status, (0, -signal.SIGTERM), game.stderr())
        if status == 0:
            harness.load_trace(game.path("startup.json"))
            harness.load_trace(game.path("runtime.json"))

    def test_escape_in_the_menu(self):
        game = self.run_until_ready()
        game.press("Escape")
        game.wait_stdout("closing game\n")
        self.assert_clean_exit(game)


if __name__ == "__main__":
    harness.main()
