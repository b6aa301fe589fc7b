"""End-to-end harness: the real binary on a private Xvfb server (found with -displayfd, so runs
never race for a display), driven by xdotool, in a temporary working folder whose "assets" is a
symlink to the repository's. A test that fails keeps its folder (game output, traces, screenshots)
and prints its path. Run a test as ctest does: /usr/bin/python3 test_x.py --binary B --repo R."""

import argparse
import ctypes
import ctypes.util
import functools
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from PIL import Image, ImageChops, ImageStat

TITLE_PATTERN = re.compile(r"^Tumbrelt \| FPS: (\d+)$")
# Reports of the sanitizers, of a crash, and the game's checked assertion.
CRASH_SIGNS = ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:", "SUMMARY: ",
               "terminate called", "Segmentation fault", "Aborted", " Line: ")
BINARY = REPO = None  # set by main() from the command line
RUNNER_TURN, BUILDER_TURN = "RunnerStrategy::enter()", "BuilderStrategy::enter()"
MOVED = "remaining movement after: "
WINS = ("win_runner", "win_builder")


def client_env(display, extra=None):
    """The environment of a client of `display` (None: no display at all), audio silent; a
    variable that `extra` sets to None is left out."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "XAUTHORITY")}
    env.update({"ALSOFT_DRIVERS": "null"}, **({"DISPLAY": display} if display else {}))
    return {k: v for k, v in dict(env, **(extra or {})).items() if v is not None}


def wait_until(predicate, timeout=10.0, interval=0.05, what="condition"):
    """Polls predicate() until it returns a true value, which it returns."""
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() >= deadline:
            raise AssertionError("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(interval)
    return value


class XServer:
    """A private Xvfb server (key auto-repeat off). `display` is ":N"."""

    def __init__(self, width=1920, height=1080, noreset=True):
        self.size, self.noreset, self.display, self._process = (width, height), noreset, None, None

    def start(self):
        read_fd, write_fd = os.pipe()
        args = ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "%dx%dx24" % self.size, "-r",
                "-nolisten", "tcp"] + (["-noreset"] if self.noreset else [])
        self._process = subprocess.Popen(args, pass_fds=(write_fd,), stdout=subprocess.DEVNULL,
                                         stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as reader:
            self.display = ":" + reader.readline().strip()
        wait_until(lambda: self.run_x(["xdpyinfo"], check=False).returncode == 0, 15, what="Xvfb")
        time.sleep(0 if self.noreset else 0.5)  # a resetting server resets after that check left
        return self

    def stop(self):
        if self._process and self._process.poll() is None:
            self._process.terminate()
            self._process.wait(10)

    def run_x(self, args, check=True):
        """Runs an X client (xdotool, import ...) on this server; returns the CompletedProcess."""
        result = subprocess.run(args, env=client_env(self.display), capture_output=True, text=True, timeout=20)
        if check and result.returncode:
            raise AssertionError("%s failed: %s" % (" ".join(args), result.stderr.strip()))
        return result


class _XClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]


def send_close_request(display, window):
    """Sends WM_DELETE_WINDOW, as a window manager does when the user closes the window."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    dpy = ctypes.c_void_p(x11.XOpenDisplay(display.encode()))  # kept whole as a pointer
    assert dpy.value, display
    event = _XClientMessage(type=33, window=window, format=32,  # 33: ClientMessage
                            message_type=x11.XInternAtom(dpy, b"WM_PROTOCOLS", 0))
    event.data[0] = x11.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
    x11.XSendEvent(dpy, ctypes.c_ulong(window), 0, 0, ctypes.byref(event))
    x11.XSync(dpy, 0)
    x11.XCloseDisplay(dpy)


class GameProcess:
    """The game on `server` (None: no display) in a new folder under `parent` (default: its own, removed
    by close()); "assets" there links to `assets` (default the repository's; False: none). Its first
    level is pinned by `seed` (None: the clock's, as a player's launch)."""

    def __init__(self, server, binary=None, parent=None, assets=None, env=None, args=(), seed=1):
        self.server, self.binary, self.owned = server, binary or BINARY, parent is None
        self.args = (["--seed", str(seed)] if seed is not None else []) + list(args)
        self.workdir = tempfile.mkdtemp(prefix="run_" if parent else "tumbrelt_e2e_", dir=parent)
        if assets is not False:
            os.symlink(os.path.abspath(assets or os.path.join(REPO, "assets")), self.path("assets"))
        self._env, self.process, self.window = env or {}, None, None

    def start(self):
        env = client_env(self.server and self.server.display, self._env)
        self._out = [open(self.path(name), "w") for name in ("stdout.txt", "stderr.txt")]
        # Line-buffered, so each line can be waited for as it is written; stdbuf execs the game.
        self.process = subprocess.Popen(["stdbuf", "-oL", "-eL", self.binary] + self.args, cwd=self.workdir, env=env,
                                        stdout=self._out[0], stderr=self._out[1])
        return self

    def path(self, name):
        return os.path.join(self.workdir, name)

    def stdout(self, stream="stdout"):
        with open(self.path(stream + ".txt")) as f:
            return f.read()

    stderr = functools.partialmethod(stdout, "stderr")

    def wait_stdout(self, text, count=1, timeout=10.0):
        return wait_until(lambda: self.stdout().count(text) >= count, timeout, what="%d x %r" % (count, text))

    def act(self, keys, text, timeout=10.0):
        """Presses the keys, then waits for one more `text` on standard output."""
        before = self.stdout().count(text)
        for key in keys:
            self.press(key)
        self.wait_stdout(text, before + 1, timeout)

    def running(self):
        return self.process is not None and self.process.poll() is None

    def wait_window(self, timeout=30.0, others=()):
        """Waits for the window and its first frame (the title gains the frame rate), focuses it.
        `others`: games on the same server whose windows are not this one's."""
        taken = {game.window for game in others}
        def find():
            if not self.running():
                raise AssertionError("the game exited with %s; stderr:\n%s" % (self.process.poll(), self.stderr()))
            ids = self.x(["search", "--onlyvisible", "--name", "^Tumbrelt"], check=False).split()
            ids = [int(i) for i in ids if int(i) not in taken]
            return ids[0] if ids else None
        self.window = wait_until(find, timeout, what="the game's window")
        wait_until(lambda: TITLE_PATTERN.match(self.title()), timeout, what="the first frame")
        self.x(["windowfocus", "--sync", str(self.window)])
        return self.window

    def x(self, args, check=True):
        return self.server.run_x(["xdotool"] + args, check).stdout

    def geometry(self):
        """(x, y, width, height) of the window."""
        out = self.x(["getwindowgeometry", "--shell", str(self.window)])
        values = dict(line.split("=", 1) for line in out.split())
        return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    def title(self):
        return self.x(["getwindowname", str(self.window)]).strip()

    def hold(self, key, seconds):
        """Holds a key (an X keysym name: "space", "Return", "a" ...) for the given time."""
        self.x(["keydown", key])
        time.sleep(seconds)
        self.x(["keyup", key])

    def tap(self, key, after=0.15):
        """A quick press in one xdotool call, down and up 50 ms apart: one step of a held-key move
        however slow the game's frames (the game still sees a tap that fell between two frames)."""
        self.x(["keydown", key, "sleep", "0.05", "keyup", key])
        time.sleep(after)

    def hold_until(self, key, text, timeout=15.0, count=None):
        """Holds a key down until one more `text` (or `count` in all) is on standard output."""
        count = count or self.stdout().count(text) + 1
        self.x(["keydown", key])
        try:
            self.wait_stdout(text, count, timeout)
        finally:
            self.x(["keyup", key])

    def press(self, key, hold=0.15, after=0.1):
        """A key press long enough to span a frame, then `after` seconds for the game to react."""
        self.hold(key, hold)
        time.sleep(after)

    def screenshot(self, name="screen.png"):
        """The whole screen as an RGB image, also saved in the working folder."""
        self.server.run_x(["import", "-window", "root", self.path(name)])
        with Image.open(self.path(name)) as image:
            return image.convert("RGB")

    def wait_picture(self, name, limit=4.0, timeout=15.0):
        """Waits until the screen shows "assets/menu/<name>.png"; returns the screenshot."""
        def shown():
            shot = self.screenshot(name + ".png")
            return shot if picture_difference(shot, name) < limit else None
        return wait_until(shown, timeout, 0.2, "the picture " + name)

    def end_picture(self, timeout, before=lambda: None):
        """Waits for either end screen (calling `before` ahead of each screenshot); returns its name."""
        def shown():
            before()
            shot = self.screenshot("end.png")
            return next((name for name in WINS if picture_difference(shot, name) < 4.0), None)
        return wait_until(shown, timeout, 0.5, "an end screen")

    def copy_shots(self, prefix):
        """Copies the screenshots to $TUMBRELT_SHOTS, when that is set, the file names prefixed."""
        target = os.environ.get("TUMBRELT_SHOTS")
        if target:
            os.makedirs(target, exist_ok=True)
            for name in os.listdir(self.workdir):
                if name.endswith(".png"):
                    shutil.copy(self.path(name), os.path.join(target, prefix + name))

    def close_request(self):
        send_close_request(self.server.display, self.window)

    def wait_exit(self, timeout=20.0):
        """The exit status (negative for a signal); kills the game when it does not end in time."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise AssertionError("the game did not exit within %.1f s" % timeout)

    def trace(self, name):
        return load_trace(self.path(name))

    def close(self):
        """Kills the game if it still runs; removes its folder if it is its own."""
        if self.running():
            self.process.kill()
            self.process.wait()
        for stream in getattr(self, "_out", []):
            stream.close()
        if self.owned:
            shutil.rmtree(self.workdir, ignore_errors=True)


def load_trace(path):
    """The events of a complete trace file, each checked for its members."""
    with open(path) as f:
        text = f.read()
    assert text.startswith('{"otherData": {},"traceEvents":[') and text.endswith("]}"), path
    events = json.loads(text)["traceEvents"]
    for e in events:
        assert list(e) == ["cat", "dur", "name", "ph", "pid", "tid", "ts"], e
        assert (e["cat"], e["ph"], e["pid"]) == ("function", "X", 0) and e["dur"] >= 0, e
    return events


def count_near(image, box, colour, tolerance=40):
    """Pixels within `tolerance` of `colour` in box (fractions of the image: left, top, right, bottom)."""
    width, height = image.size
    crop = image.crop((int(box[0] * width), int(box[1] * height), int(box[2] * width), int(box[3] * height)))
    return sum(1 for pixel in crop.getdata() if all(abs(a - b) <= tolerance for a, b in zip(pixel, colour)))


def picture_difference(screenshot, name):
    """Mean difference per channel (0 to 255) of "assets/menu/<name>.png" and the screenshot's fitted
    part, both reduced to a small size, so that the game's nearest-pixel scaling compares fairly."""
    with Image.open(os.path.join(REPO, "assets", "menu", name + ".png")) as picture:
        picture = picture.convert("RGB").resize((192, 108), Image.BOX)
    shown = screenshot.crop(fitted_box(screenshot.size)).resize((192, 108), Image.BOX)
    return sum(ImageStat.Stat(ImageChops.difference(shown, picture)).mean) / 3


def fitted_box(size, picture=(1920, 1080)):
    """Where a picture shown whole and centred lands on a screen: (left, top, right, bottom)."""
    scale = min(size[0] / picture[0], size[1] / picture[1])
    width, height = round(picture[0] * scale), round(picture[1] * scale)
    left, top = (size[0] - width) // 2, (size[1] - height) // 2
    return left, top, left + width, top + height


class GameTestCase(unittest.TestCase):
    """Stops the servers and games a test started; removes their folders unless the test failed."""

    def run(self, result=None):
        self.folder = tempfile.mkdtemp(prefix="tumbrelt_e2e_")
        problems = len(result.failures) + len(result.errors) if result else 0
        super().run(result)
        if result and len(result.failures) + len(result.errors) > problems:
            print("kept the game's working folders in %s" % self.folder, file=sys.stderr)
        else:
            shutil.rmtree(self.folder, ignore_errors=True)

    def start_server(self, width=1920, height=1080, noreset=True):
        server = XServer(width, height, noreset).start()
        self.addCleanup(server.stop)
        return server

    def start_game(self, server=None, start=True, **kwargs):
        """The game on `server` (default: a new 1920x1080 one; False: no display at all)."""
        game = GameProcess(self.start_server() if server is None else server or None, parent=self.folder, **kwargs)
        self.addCleanup(game.close)
        return game.start() if start else game

    def copy_of_the_assets(self):
        folder = tempfile.mkdtemp(prefix="assets_", dir=self.folder)
        shutil.copytree(os.path.join(REPO, "assets"), folder, dirs_exist_ok=True)
        return folder

    def assert_no_crash(self, game):
        self.assertFalse([sign for sign in CRASH_SIGNS if sign in game.stderr()], game.stderr())
        self.assertFalse([f for f in os.listdir(game.workdir) if f.startswith("core")], "a core dump")

    def assert_clean_exit(self, game, timeout=30.0):
        """Status 0, nothing reported, complete trace files with the start-up and frame events;
        returns the names of the runtime events."""
        status = game.wait_exit(timeout)
        self.assertEqual(status, 0, "exit status %s; stderr:\n%s" % (status, game.stderr()))
        self.assert_no_crash(game)
        self.assertIn("orv_gd::Game::init", {e["name"] for e in game.trace("startup.json")})
        names = {e["name"] for e in game.trace("runtime.json")}
        self.assertLessEqual({"Frame", "Process Events"}, names)
        return names


def main():
    """Takes --binary and --repo as ctest passes them; other arguments go to unittest."""
    global BINARY, REPO
    parser = argparse.ArgumentParser(add_help=False)
    for name in ("--binary", "--repo"):
        parser.add_argument(name, required=True)
    args, rest = parser.parse_known_args()
    BINARY, REPO = os.path.abspath(args.binary), os.path.abspath(args.repo)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
