"""Bad input from outside the program: every asset file missing in turn, damaged files, a light
shader that does not compile, no asset folder, a working directory that takes no trace files and
no audio device. The game either stops at start-up with status 1 and one line that names the file
and the folder it searched, or plays on without the broken part and ends cleanly; it never
crashes, dumps core or trips a sanitizer."""

import os
import shutil
import tempfile

import harness

SCREEN = (800, 600)

# Every file of the asset catalogue, with the loader that reads it.
CATALOGUE = [
    ("icons/reset.png", "LoadTexture"), ("icons/time.png", "LoadTexture"),
    ("icons/x-movement.png", "LoadTexture"), ("icons/y-movement.png", "LoadTexture"),
    ("icons/turns.png", "LoadTexture"), ("menu/start.png", "LoadTexture"),
    ("menu/tutorial1.png", "LoadTexture"), ("menu/tutorial2.png", "LoadTexture"),
    ("menu/win_builder.png", "LoadTexture"), ("menu/win_runner.png", "LoadTexture"),
    ("consolab.ttf", "LoadFont"),
    ("sounds/warp.wav", "LoadSound"), ("sounds/walk.wav", "LoadSound"), ("sounds/place.wav", "LoadSound"),
    ("sounds/move.wav", "LoadSound"), ("sounds/win.wav", "LoadSound"), ("sounds/misplace.wav", "LoadSound"),
]

# Reports of AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer, and of a crash.
CRASH_SIGNS = ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:", "terminate called",
               "Segmentation fault", "Aborted")


class BadInputTest(harness.GameTestCase):
    def copy_of_the_assets(self):
        folder = tempfile.mkdtemp(prefix="tumbrelt_bad_")
        self.addCleanup(shutil.rmtree, folder, True)
        shutil.copytree(os.path.join(harness.REPO, "assets"), folder, dirs_exist_ok=True)
        return folder

    def assert_no_crash(self, game):
        stderr = game.stderr()
        for sign in CRASH_SIGNS:
            self.assertNotIn(sign, stderr)
        self.assertFalse([f for f in os.listdir(game.workdir) if f.startswith("core")], "a core dump was left")

    def assert_stops_naming(self, game, loader, file_name, folder):
        status = game.wait_exit(60)
        self.assertEqual(status, 1, game.stderr())
        self.assert_no_crash(game)
        last = game.stderr().splitlines()[-1]
        self.assertEqual(last, "tumbrelt: AssetManager::%s - Failed to load %s (asset folder: %s)"
                         % (loader, file_name, folder))

    def play_into_a_match(self, game):
        """Menu, tutorial, match; the Builder drops two blocks, the Runner steps and ends its turn."""
        game.wait_window(60)
        game.press("space")
        game.press("space")
        game.wait_stdout("BuilderStrategy::enter()", timeout=30)
        game.press("Return")
        game.press("Return")
        game.wait_stdout("RunnerStrategy::enter()", timeout=30)
        game.press("d")
        game.press("q")
        game.wait_stdout("starting physic updates", timeout=30)
        game.press("Escape", after=0.5)
        game.press("Escape")

    def test_every_catalogue_file_missing_in_turn_is_named(self):
        server = self.start_server(*SCREEN)
        assets = self.copy_of_the_assets()
        for file_name, loader in CATALOGUE:
            with self.subTest(file=file_name):
                path = os.path.join(assets, file_name)
                hidden = path + ".away"
                os.rename(path, hidden)
                try:
                    game = self.start_game(server, assets=assets)
                    self.assert_stops_naming(game, loader, file_name, os.path.join(game.workdir, "assets") + "/")
                finally:
                    os.rename(hidden, path)

    def test_damaged_files_are_named(self):
        server = self.start_server(*SCREEN)
        cases = [
            ("menu/start.png", "LoadTexture", "truncated"),
            ("sounds/warp.wav", "LoadSound", b"this is a text file, not audio\n" * 20),
            ("consolab.ttf", "LoadFont", b"\x00\x01\x00\x00 not a font " * 30),
        ]
        for file_name, loader, damage in cases:
            with self.subTest(file=file_name):
                assets = self.copy_of_the_assets()
                path = os.path.join(assets, file_name)
                if damage == "truncated":
                    with open(path, "rb") as f:
                        damage = f.read(os.path.getsize(path) // 2)
                with open(path, "wb") as f:
                    f.write(damage)
                game = self.start_game(server, assets=assets)
                self.assert_stops_naming(game, loader, file_name, os.path.join(game.workdir, "assets") + "/")

    def test_no_asset_folder_anywhere(self):
        game = self.start_game(self.start_server(*SCREEN), assets=False)
        self.assert_stops_naming(game, "LoadTexture", "icons/reset.png",
                                 os.path.join(os.path.realpath(game.workdir), "..", "assets") + "/")

    def test_a_broken_light_shader_leaves_a_playable_game(self):
        assets = self.copy_of_the_assets()
        with open(os.path.join(assets, "shaders", "BloomShader.frag"), "w") as f:
            f.write("#version 120\nuniform vec2 ScreenPos;\nvoid main() { gl_FragColor = vec4(ScreenPos }\n")
        game = self.start_game(self.start_server(*SCREEN), assets=assets)
        self.play_into_a_match(game)
        self.assert_clean_exit(game, timeout=60)
        self.assertIn("Error loading shader\n", game.stdout())
        self.assert_no_crash(game)

    def test_trace_files_that_cannot_be_written(self):
        server = self.start_server(*SCREEN)
        game = harness.GameProcess(server)
        self._games.append(game)
        # Folders in place of the files: no user, root included, can open them for writing.
        for name in ("startup.json", "runtime.json"):
            os.mkdir(game.path(name))
        game.start()
        self.play_into_a_match(game)
        self.assertEqual(game.wait_exit(60), 0, game.stderr())
        self.assert_no_crash(game)
        for name in ("startup.json", "runtime.json"):
            self.assertTrue(os.path.isdir(game.path(name)))

    def test_no_audio_device(self):
        # A back-end that this OpenAL does not have: no device opens, every sound stays silent.
        game = self.start_game(self.start_server(*SCREEN), env={"ALSOFT_DRIVERS": "no_such_backend"})
        self.play_into_a_match(game)
        self.assert_clean_exit(game, timeout=60)
        self.assert_no_crash(game)


if __name__ == "__main__":
    harness.main()
