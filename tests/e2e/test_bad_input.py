"""Bad input from outside: every asset file missing in turn, damaged files and no asset folder stop
the start-up with status 1 and one line naming the file and the folders searched; a light shader
that does not compile, trace files that cannot be written and no audio device leave a playable
game. Never a crash, a core dump or a sanitizer report."""

import os
import re
import shutil

import harness

SCREEN = (800, 600)
LOADERS = {".png": "LoadTexture", ".ttf": "LoadFont", ".wav": "LoadSound"}
DAMAGES = [("menu/start.png", "truncated"), ("icons/turns.png", b"\x89PNG\r\n\x1a\n but nothing after the signature"),
           ("sounds/move.wav", b"RIFF\x10\x00\x00\x00WAVE this is text, not audio"),
           ("sounds/warp.wav", b"this is a text file, not audio\n" * 20),
           ("consolab.ttf", b"\x00\x01\x00\x00 not a font " * 30)]
BROKEN_SHADER = "#version 120\nuniform vec2 ScreenPos;\nvoid main() { gl_FragColor = vec4(ScreenPos }\n"
# The debug overlay loads its own copy of the font before the catalogue, goes on without it and
# says so (SFML's reason, then its own line).
OVERLAY_LINES = ("Failed to load font ", "Could not load font")


class BadInputTest(harness.GameTestCase):
    def assert_stops_naming(self, game, loader, file_name, missing, folder=None):
        self.assertEqual(game.wait_exit(60), 1, game.stderr())
        self.assert_no_crash(game)
        *before, last = game.stderr().splitlines()
        # One line: the file, the folder searched, the loader's reason and, for a file that is not
        # there, the command that puts a checkout's assets in place.
        self.assertRegex(last, "^" + re.escape("tumbrelt: AssetManager::%s - Failed to load %s %s: "
                                               % (loader, file_name, folder or "(asset folder: %s/)"
                                                  % game.path("assets"))) + r"\S")
        self.assertEqual(last.endswith("; in a checkout, run tools/setup.sh"), missing, last)
        self.assertFalse([line for line in before if not line.startswith(OVERLAY_LINES)], "unexpected lines")
        harness.load_trace(game.path("startup.json"))

    def test_a_missing_or_damaged_asset_is_named(self):
        server, assets = self.start_server(*SCREEN), self.copy_of_the_assets()
        # The catalogue: every asset but the light's, which has no place in it.
        catalogue = sorted(os.path.relpath(os.path.join(folder, name), assets) for folder, _, names in os.walk(assets)
                           for name in names if not folder.endswith("shaders"))
        self.assertEqual(len(catalogue), 18)
        for file_name, damage in [(name, None) for name in catalogue] + DAMAGES:
            with self.subTest(file=file_name, damage=damage):
                path = os.path.join(assets, file_name)
                if damage == "truncated":
                    with open(path, "rb") as f:
                        damage = f.read(os.path.getsize(path) // 2)
                if damage:
                    with open(path, "wb") as f:
                        f.write(damage)
                else:
                    os.remove(path)
                try:
                    game = self.start_game(server, assets=assets)
                    self.assert_stops_naming(game, LOADERS[os.path.splitext(file_name)[1]], file_name, not damage)
                finally:
                    shutil.copy(os.path.join(harness.REPO, "assets", file_name), path)
        # No asset folder anywhere: every place looked at is named.
        game = self.start_game(server, assets=False)
        work, program = os.path.realpath(game.workdir), os.path.dirname(os.path.realpath(harness.BINARY))
        self.assert_stops_naming(game, "LoadTexture", "icons/reset.png", True,
                                 "(no asset folder at %s/assets, %s/../assets or %s/../share/games/tumbrelt/assets)"
                                 % (work, work, program))

    def test_the_game_plays_on_without_light_trace_files_or_sound(self):
        server = self.start_server(*SCREEN)
        for case in ("broken shader", "unwritable trace files", "no audio device"):
            with self.subTest(case):
                assets = self.copy_of_the_assets()
                if case == "broken shader":
                    with open(os.path.join(assets, "shaders", "BloomShader.frag"), "w") as f:
                        f.write(BROKEN_SHADER)
                # A back-end that this OpenAL lacks: no device opens, every sound stays silent.
                env = {"ALSOFT_DRIVERS": "no_such_backend"} if case == "no audio device" else {}
                game = self.start_game(server, start=False, assets=assets, env=env)
                if case == "unwritable trace files":  # folders in their place: not even root can write them
                    for name in ("startup.json", "runtime.json"):
                        os.mkdir(game.path(name))
                game.start().wait_window(60)
                game.act(["space", "space"], "BuilderStrategy::enter()", 30)
                game.act(["Return", "Return"], "RunnerStrategy::enter()", 30)
                game.act(["d", "q"], "starting physic updates", 30)
                game.press("Escape", after=0.5)  # pauses the match and asks again
                game.press("Escape", after=0.5)  # leaves for the menu
                game.press("Escape")
                if case == "unwritable trace files":
                    self.assertEqual(game.wait_exit(60), 0, game.stderr())
                    self.assert_no_crash(game)
                    self.assertTrue(os.path.isdir(game.path("startup.json")))
                else:
                    self.assert_clean_exit(game, 60)
                self.assertEqual("Error loading shader\n" in game.stdout(), case == "broken shader")


if __name__ == "__main__":
    harness.main()
