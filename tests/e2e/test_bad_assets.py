"""A missing or damaged asset file stops the start-up with exit status 1 and a clear line that
names the file and the asset folder, never with a crash."""

import os
import shutil
import tempfile

import harness

# How SFML's loaders state their reason; those lines may stand before the game's own line.
LOADER_LINES = ("Failed to load image ", "Failed to open sound file ", "Failed to open WAV sound file ",
                "Failed to load font ", "Could not load font")


class BadAssetsTest(harness.GameTestCase):
    def copy_of_the_assets(self):
        folder = tempfile.mkdtemp(prefix="tumbrelt_assets_")
        self.addCleanup(shutil.rmtree, folder, True)
        shutil.copytree(os.path.join(harness.REPO, "assets"), folder, dirs_exist_ok=True)
        return folder

    def assert_fails_naming(self, game, loader, file_name, folder):
        status = game.wait_exit()
        stderr = game.stderr()
        self.assertEqual(status, 1, stderr)
        lines = stderr.splitlines()
        self.assertTrue(lines, "nothing on standard error")
        self.assertEqual(lines[-1], "tumbrelt: AssetManager::%s - Failed to load %s (asset folder: %s)"
                         % (loader, file_name, folder))
        for line in lines[:-1]:
            self.assertTrue(line.startswith(LOADER_LINES), "unexpected line on standard error: %r" % line)
        self.assertNotIn("terminate called", stderr)
        self.assertFalse([f for f in os.listdir(game.workdir) if f.startswith("core")], "a core dump was left")
        # The start-up trace is still complete.
        harness.load_trace(game.path("startup.json"))

    def test_a_missing_or_damaged_file_is_named(self):
        server = self.start_server()
        cases = [
            ("sounds/walk.wav", "LoadSound", None),
            ("menu/tutorial2.png", "LoadTexture", "truncated"),
            ("icons/turns.png", "LoadTexture", b"\x89PNG\r\n\x1a\n but nothing after the signature"),
            ("sounds/move.wav", "LoadSound", b"RIFF\x10\x00\x00\x00WAVE this is text, not audio"),
            ("consolab.ttf", "LoadFont", b"not a font at all\n" * 40),
        ]
        for file_name, loader, damage in cases:
            with self.subTest(file=file_name):
                assets = self.copy_of_the_assets()
                path = os.path.join(assets, file_name)
                if damage is None:
                    os.remove(path)
                elif damage == "truncated":
                    with open(path, "rb") as f:
                        head = f.read(6000)
                    with open(path, "wb") as f:
                        f.write(head)
                else:
                    with open(path, "wb") as f:
                        f.write(damage)
                game = self.start_game(server, assets=assets)
                self.assert_fails_naming(game, loader, file_name, os.path.join(game.workdir, "assets") + "/")

    def test_without_an_asset_folder_the_folder_looked_in_is_named(self):
        game = self.start_game(assets=False)
        self.assert_fails_naming(game, "LoadTexture", "icons/reset.png",
                                 os.path.join(os.path.realpath(game.workdir), "..", "assets") + "/")


if __name__ == "__main__":
    harness.main()
