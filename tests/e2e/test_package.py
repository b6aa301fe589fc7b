"""The Debian package, built by CPack from this build folder and unpacked into a scratch root:
its Depends, its files and its desktop entry; then the unpacked game started from an unrelated
folder with a fresh home: the menu opens, Escape ends it with status 0; unasked it writes no trace
file, asked (--trace or TUMBRELT_TRACE=1) both trace files land in the player's state folder, none
in the folder it was started from; an unknown option is one line and status 2."""

import filecmp
import glob
import os
import shutil
import subprocess

import harness

SFML_RUNTIME = {"libsfml-graphics2.5", "libsfml-window2.5", "libsfml-system2.5", "libsfml-audio2.5"}
SYSTEM_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf"
TRACE_FILES = {"startup.json", "runtime.json"}


def run(args, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, check=True, timeout=600, **kwargs).stdout


class PackageTest(harness.GameTestCase):
    def build_and_unpack(self):
        """Builds the package into this test's folder (not into the build folder); unpacks it into
        a scratch root; returns (package, root)."""
        build, out = os.path.dirname(harness.BINARY), os.path.join(self.folder, "package")
        run(["cpack", "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"), "-B", out])
        packages = glob.glob(os.path.join(out, "tumbrelt_*_amd64.deb"))
        self.assertEqual(len(packages), 1, os.listdir(out))
        root = os.path.join(self.folder, "root")
        run(["dpkg-deb", "-x", packages[0], root])
        return packages[0], root

    def check_metadata(self, package, root):
        depends = {entry.split()[0] for entry in run(["dpkg-deb", "-f", package, "Depends"]).strip().split(", ")}
        self.assertLessEqual(SFML_RUNTIME | {"fonts-dejavu-core"}, depends)
        self.assertEqual(run(["dpkg-deb", "-f", package, "Package", "Section"]).split(),
                         ["Package:", "tumbrelt", "Section:", "games"])
        data = os.path.join(root, "usr/share/games/tumbrelt/assets")
        # Debian's font under the game's name, not a copy of it; the pictures as in the checkout.
        self.assertEqual(os.readlink(os.path.join(data, "consolab.ttf")), SYSTEM_FONT)
        self.assertTrue(filecmp.cmp(os.path.join(data, "menu/start.png"),
                                    os.path.join(harness.REPO, "assets/menu/start.png"), shallow=False))
        icon = os.path.join(root, "usr/share/icons/hicolor/256x256/apps/tumbrelt.png")
        self.assertTrue(filecmp.cmp(icon, os.path.join(harness.REPO, "assets/icons/tumbrelt.png"), shallow=False))
        entry = os.path.join(root, "usr/share/applications/tumbrelt.desktop")
        check = subprocess.run(["desktop-file-validate", entry], capture_output=True, text=True)
        self.assertEqual((check.returncode, check.stdout + check.stderr), (0, ""))
        with open(entry) as f:
            lines = f.read().splitlines()
        for line in ("Exec=/usr/games/tumbrelt", "Icon=tumbrelt", "Type=Application", "Terminal=false"):
            self.assertIn(line, lines)
        self.assertIn("Game", next(line for line in lines if line.startswith("Categories="))[11:].split(";"))

    def test_the_unpacked_package_runs_from_anywhere_and_leaves_no_files_behind(self):
        package, root = self.build_and_unpack()
        self.check_metadata(package, root)

        server, home = self.start_server(1280, 720), os.path.join(self.folder, "home")
        os.mkdir(home)
        binary = os.path.join(root, "usr/games/tumbrelt")
        default_state = os.path.join(home, ".local/state/tumbrelt")
        # Unasked, no trace file anywhere (the state folder is made, for replays); asked with --trace (a fresh home), or with TUMBRELT_TRACE=1
        # and an XDG_STATE_HOME naming another (missing) folder, both files in the player's state folder.
        for args, env, state in (([], {}, None),
                                 ([], {"TUMBRELT_TRACE": "0"}, None),
                                 (["--trace"], {}, default_state),
                                 ([], {"TUMBRELT_TRACE": "1", "XDG_STATE_HOME": os.path.join(home, "xdg-state")},
                                  os.path.join(home, "xdg-state/tumbrelt"))):
            with self.subTest(args=args, env=env):
                game = self.start_game(server, binary=binary, assets=False, args=args,
                                       env=dict({"HOME": home, "XDG_STATE_HOME": None, "TUMBRELT_TRACE": None}, **env))
                game.wait_window(60)
                game.wait_picture("start")
                game.press("Escape")
                status = game.wait_exit(30)
                self.assertEqual(status, 0, "exit status %s; stderr:\n%s" % (status, game.stderr()))
                self.assert_no_crash(game)
                self.assertFalse(TRACE_FILES & set(os.listdir(game.workdir)), "a trace file where it was started")
                if state is None:
                    # The state folder holds the player's replays; a trace file only when asked.
                    self.assertFalse(TRACE_FILES & set(os.listdir(default_state)), "unasked, no trace")
                    continue
                self.assertEqual(set(os.listdir(state)), TRACE_FILES)
                startup = harness.load_trace(os.path.join(state, "startup.json"))
                self.assertIn("orv_gd::Game::init", {e["name"] for e in startup})
                self.assertIn("Frame", {e["name"] for e in harness.load_trace(os.path.join(state, "runtime.json"))})
                shutil.rmtree(state)

        # Any other option: one line saying so, before any window.
        game = self.start_game(server, binary=binary, assets=False, args=["--bogus"], env={"HOME": home})
        self.assertEqual(game.wait_exit(30), 2)
        self.assertEqual(game.stderr(), "tumbrelt: unknown option \"--bogus\" (see --help)\n")
        self.assertFalse(TRACE_FILES & set(os.listdir(game.workdir)))


if __name__ == "__main__":
    harness.main()
