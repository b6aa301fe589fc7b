"""Replays with the real binary: a match of two players is kept in replays/ when it ends;
--check-replay, without a display, says how it ended; --replay plays it at 8x to the same end screen
with the same step log on standard output; a bad file gets one line and status 1 from the command
line, and a line on the menu from the game, which goes on; a named pipe never holds either."""

import os
import shutil
import subprocess

import harness
from harness import BUILDER_TURN, MOVED, RUNNER_TURN

# Printed when the Runner's end key is read, not by the step log: a replay reads no keys.
KEY_LINE = "RunnerStrategy::handleInput() - RunnerEnd"


def step_log(text):
    return [line for line in text.splitlines() if line != KEY_LINE]


class ReplayTest(harness.GameTestCase):
    def check(self, path):
        return subprocess.run([harness.BINARY, "--check-replay", path], env=harness.client_env(None),
                              capture_output=True, text=True, timeout=30)

    def test_a_kept_match_checks_and_plays_again_to_the_same_end(self):
        server = self.start_server(1366, 768)
        game = self.start_game(server)
        game.wait_window()
        game.wait_picture("start")
        game.press("space", after=0.3)
        game.act(["space"], BUILDER_TURN)
        for key in ["Right", "Next", "Up", "Return", "Left"]:
            game.press(key)
        game.act(["Return"], RUNNER_TURN)
        game.act(["d"], MOVED)
        game.act(["w"], MOVED)
        game.act(["q"], BUILDER_TURN)
        game.act(["Return", "Return"], RUNNER_TURN)
        game.act(["d"], MOVED)
        game.act(["r"], BUILDER_TURN)
        game.act(["Return", "Return"], RUNNER_TURN)
        game.act(["r"], BUILDER_TURN)
        game.act(["Return", "Return"], RUNNER_TURN)
        game.press("r")
        game.wait_picture("win_builder")
        game.press("Escape")
        self.assert_clean_exit(game)
        names = os.listdir(game.path("replays"))
        self.assertEqual(len(names), 1, names)
        self.assertRegex(names[0], r"^\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d_two-players_builder-won\.tumbrelt-replay$")
        kept = game.path(os.path.join("replays", names[0]))
        self.assertLess(os.path.getsize(kept), 2000)

        # Through the rules alone, with no display at all.
        result = self.check(kept)
        self.assertEqual((result.returncode, result.stderr), (0, ""))
        self.assertRegex(result.stdout, r"^builder won: a third reset, in Runner turn \d+\n$")

        # On the match screen at 8x: the same end, the same step log.
        watch = self.start_game(server, args=["--replay", kept])
        watch.wait_window()
        watch.wait_stdout(BUILDER_TURN)
        for _ in range(3):
            watch.press("Right", hold=0.05, after=0.05)
        watch.wait_picture("win_builder", timeout=40)
        watch.press("Escape")
        self.assert_clean_exit(watch)
        self.assertEqual(step_log(watch.stdout()), step_log(game.stdout()))
        self.assertEqual(os.listdir(watch.workdir).count("replays"), 0, "a replay is not kept again")

    def test_a_bad_file_gets_one_line(self):
        folder = self.folder
        with open(os.path.join(harness.REPO, "tests", "replay", "data", "third-reset.tumbrelt-replay")) as f:
            lines = f.read().splitlines(True)
        cut = os.path.join(folder, "cut.tumbrelt-replay")
        with open(cut, "w") as f:
            f.writelines(lines[:12])
        result = self.check(cut)
        self.assertEqual((result.returncode, result.stdout), (1, ""))
        self.assertEqual(result.stderr, "tumbrelt: %s:12: the replay stops here, without its end line (cut short?)\n" % cut)
        missing = os.path.join(folder, "missing.tumbrelt-replay")
        result = self.check(missing)
        self.assertEqual((result.returncode, result.stderr),
                         (1, "tumbrelt: %s: cannot open it: No such file or directory\n" % missing))
        # A name with an escape code in it is shown escaped.
        odd = os.path.join(folder, "red\x1b[31m.tumbrelt-replay")
        shutil.copy(cut, odd)
        self.assertEqual(self.check(odd).stderr, "tumbrelt: %s:12: the replay stops here, without its end line "
                         "(cut short?)\n" % odd.replace("\x1b", "\\x1B"))
        # A named pipe holds nothing up: one line and status 1 at once, from either option.
        pipe = os.path.join(folder, "pipe.tumbrelt-replay")
        os.mkfifo(pipe)
        for option in ("--check-replay", "--replay"):
            result = subprocess.run([harness.BINARY, option, pipe], env=harness.client_env(None),
                                    capture_output=True, text=True, timeout=10)
            self.assertEqual((result.returncode, result.stderr), (1, "tumbrelt: %s: not a regular file\n" % pipe))

        # In the game: the menu, with the line on screen and on standard error; the game goes on.
        game = self.start_game(self.start_server(1366, 768), args=["--replay", cut])
        game.wait_window()
        game.wait_picture("start")
        self.assertIn("cut.tumbrelt-replay:12: the replay stops here", game.stderr())
        game.press("Escape")
        self.assert_clean_exit(game)


if __name__ == "__main__":
    harness.main()
