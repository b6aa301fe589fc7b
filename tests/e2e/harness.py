"""End-to-end test harness: runs the real Tumbrelt binary in a private X server and drives it.

Every test gets its own Xvfb server (started with -displayfd, so parallel tests never race for
a display number) and its own temporary working directory, which holds a symlink "assets" to
the repository's asset folder; the game's trace files and output land there.

A test file looks like this:

    import harness

    class MenuTest(harness.GameTestCase):
        def test_space_leaves_the_menu(self):
            with self.start_game() as game:
                game.wait_window()
                game.press("space")
                ...

    if __name__ == "__main__":
        harness.main()

Run it as ctest does: /usr/bin/python3 test_x.py --binary <tumbrelt> --repo <repository root>.
Only the standard library and PIL are used; the X programs come from xvfb, xdotool, x11-utils
and imagemagick (installed by tools/setup.sh).
"""

import argparse
import ctypes
import ctypes.util
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

WINDOW_NAME = "Tumbrelt"
TITLE_PATTERN = re.compile(r"^Tumbrelt \| FPS: (\d+)$")
DEFAULT_SCREEN = (1920, 1080)

# Filled in by main() from the command line.
BINARY = None
REPO = None


class HarnessError(AssertionError):
    """Something the harness waited for did not happen (no window, no exit, no server)."""


def wait_until(predicate, timeout=10.0, interval=0.05, what="condition"):
    """Polls predicate() until it returns a true value and returns that value; raises
    HarnessError after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise HarnessError("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(interval)


class XServer:
    """A private Xvfb server; use it as a context manager. `display` is its name (":N")."""

    def __init__(self, width=DEFAULT_SCREEN[0], height=DEFAULT_SCREEN[1], depth=24, noreset=True):
        """Describes a screen of width x height pixels; start() or `with` starts it.
        noreset=False keeps Xvfb's default of resetting when its last client leaves."""
        self.width = width
        self.height = height
        self.depth = depth
        self.noreset = noreset
        self.display = None
        self._process = None

    def start(self, timeout=15.0):
        """Starts Xvfb (key auto-repeat off, no TCP, by default no reset when the last client
        leaves, which would refuse connections for a moment) and waits until it accepts clients."""
        read_fd, write_fd = os.pipe()
        args = ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                "%dx%dx%d" % (self.width, self.height, self.depth), "-r", "-nolisten", "tcp"]
        if self.noreset:
            args.append("-noreset")
        try:
            self._process = subprocess.Popen(args, pass_fds=(write_fd,), stdout=subprocess.DEVNULL,
                                             stderr=subprocess.DEVNULL)
        finally:
            os.close(write_fd)
        with os.fdopen(read_fd) as reader:
            # Xvfb writes the display number once it is ready.
            number = reader.readline().strip()
        if not number.isdigit():
            self.stop()
            raise HarnessError("Xvfb did not report a display number")
        self.display = ":" + number
        wait_until(lambda: self.run_x(["xdpyinfo"], check=False).returncode == 0,
                   timeout, what="the X server " + self.display)
        if not self.noreset:
            # The check's client leaving makes such a server reset; let it finish first.
            time.sleep(0.5)
        return self

    def stop(self):
        """Stops the server (only the process this object started)."""
        if self._process is not None and self._process.poll() is None:
            self._process.terminate()
            try:
                self._process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self._process.kill()
                self._process.wait()
        self._process = None

    def env(self, extra=None):
        """The environment for a client of this server: DISPLAY set, silent audio device."""
        env = dict(os.environ)
        env["DISPLAY"] = self.display
        env["ALSOFT_DRIVERS"] = "null"
        env.pop("XAUTHORITY", None)
        if extra:
            env.update(extra)
        return env

    def run_x(self, args, check=True, timeout=20.0):
        """Runs an X client program (xdotool, xwininfo, import ...) on this server and returns
        the CompletedProcess with text stdout and stderr."""
        result = subprocess.run(args, env=self.env(), capture_output=True, text=True, timeout=timeout)
        if check and result.returncode != 0:
            raise HarnessError("%s failed (%d): %s" % (" ".join(args), result.returncode,
                                                        result.stderr.strip()))
        return result

    def screenshot(self, path=None):
        """Captures the whole screen and returns it as an RGB PIL image; also saves it to path
        when one is given."""
        from PIL import Image  # only tests that look at pixels need PIL

        with tempfile.NamedTemporaryFile(suffix=".png") as shot:
            self.run_x(["import", "-window", "root", "png:" + shot.name])
            image = Image.open(shot.name).convert("RGB")
            image.load()
        if path:
            image.save(path)
        return image

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()


class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _XClientMessageEvent), ("pad", ctypes.c_long * 24)]


def send_close_request(display, window_id):
    """Sends the window a WM_DELETE_WINDOW client message, as a window manager does when the
    user closes a window. Uses libX11 through ctypes, so no extra Python package is needed."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(_XEvent)]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    dpy = x11.XOpenDisplay(display.encode())
    if not dpy:
        raise HarnessError("cannot open display " + display)
    try:
        event = _XEvent()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = window_id
        event.xclient.message_type = x11.XInternAtom(dpy, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = x11.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
        event.xclient.data[1] = 0  # CurrentTime
        x11.XSendEvent(dpy, window_id, 0, 0, ctypes.byref(event))
        x11.XSync(dpy, 0)
    finally:
        x11.XCloseDisplay(dpy)


class GameProcess:
    """The game binary running on an XServer in a temporary working directory. Use it as a
    context manager: on leaving, a game still running is killed and the folder removed."""

    def __init__(self, server, binary=None, repo=None, assets=None, env=None, keep_dir=False):
        """Prepares a run of binary (default: --binary) on server. The working directory gets a
        symlink "assets" to `assets` (default: <repo>/assets); pass assets=False for none."""
        self.server = server
        self.binary = binary or BINARY
        self.repo = repo or REPO
        self.workdir = tempfile.mkdtemp(prefix="tumbrelt_e2e_")
        self.keep_dir = keep_dir
        if assets is None:
            assets = os.path.join(self.repo, "assets")
        if assets:
            os.symlink(os.path.abspath(assets), os.path.join(self.workdir, "assets"))
        self._env = env
        self.process = None
        self.window_id = None
        self.returncode = None

    def start(self):
        """Starts the game; its stdout and stderr go to files in the working directory."""
        self._stdout = open(os.path.join(self.workdir, "stdout.txt"), "w")
        self._stderr = open(os.path.join(self.workdir, "stderr.txt"), "w")
        if self.server:
            env = self.server.env(self._env)
        else:
            # No server: no display at all, unless `env` names one.
            env = dict(os.environ)
            env.pop("DISPLAY", None)
            env["ALSOFT_DRIVERS"] = "null"
            env.update(self._env or {})
        # Line-buffered output, as on a terminal, so tests see each line when it is written
        # (stdbuf execs the game, so the process and its signals are the game's own).
        self.process = subprocess.Popen(["stdbuf", "-oL", "-eL", self.binary], cwd=self.workdir, env=env,
                                        stdout=self._stdout, stderr=self._stderr)
        return self

    def path(self, name):
        """The path of a file in the game's working directory ("runtime.json", ...)."""
        return os.path.join(self.workdir, name)

    def stdout(self):
        """Everything the game wrote to standard output so far."""
        self._stdout.flush()
        with open(self.path("stdout.txt")) as f:
            return f.read()

    def stderr(self):
        """Everything the game wrote to standard error (and the SFML error stream) so far."""
        self._stderr.flush()
        with open(self.path("stderr.txt")) as f:
            return f.read()

    def wait_stdout(self, text, count=1, timeout=10.0):
        """Waits until standard output holds `text` at least `count` times; returns the output."""
        return wait_until(lambda: self.stdout() if self.stdout().count(text) >= count else None,
                          timeout, what="%d x %r on standard output" % (count, text))

    def running(self):
        """Whether the game process is still running."""
        return self.process is not None and self.process.poll() is None

    def wait_window(self, timeout=30.0):
        """Waits until the game's visible window exists and its frame loop runs, focuses it
        (there is no window manager) and returns its X window id."""
        def find():
            if not self.running():
                raise HarnessError("the game exited with %s before its window appeared; stderr:\n%s"
                                   % (self.process.poll(), self.stderr()))
            result = self.server.run_x(["xdotool", "search", "--onlyvisible", "--name",
                                        "^" + WINDOW_NAME], check=False)
            ids = result.stdout.split()
            return int(ids[0]) if ids else None

        self.window_id = wait_until(find, timeout, what="the game's window")
        # The title gains the frame rate in the first frame: from then on the loop runs.
        wait_until(lambda: TITLE_PATTERN.match(self.title()), timeout, what="the first frame")
        self.focus()
        return self.window_id

    def focus(self):
        """Gives the game's window the keyboard focus."""
        self.server.run_x(["xdotool", "windowfocus", "--sync", str(self.window_id)])

    def geometry(self):
        """The window's (x, y, width, height) on the screen."""
        out = self.server.run_x(["xdotool", "getwindowgeometry", "--shell", str(self.window_id)]).stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def title(self):
        """The window's current title."""
        return self.server.run_x(["xdotool", "getwindowname", str(self.window_id)]).stdout.strip()

    def fps(self):
        """The frame rate shown in the title (an int); raises when the title has another form."""
        title = self.title()
        match = TITLE_PATTERN.match(title)
        if not match:
            raise HarnessError("unexpected title %r" % title)
        return int(match.group(1))

    def key_down(self, key):
        """Presses a key (an X keysym name such as "space", "Escape", "Return", "a", "Up")."""
        self.server.run_x(["xdotool", "keydown", key])

    def key_up(self, key):
        """Releases a key pressed with key_down."""
        self.server.run_x(["xdotool", "keyup", key])

    def press(self, key, hold=0.15, after=0.15):
        """Presses and releases a key, holding it long enough for the game to see it in a frame,
        then waits `after` seconds for the game to react."""
        self.key_down(key)
        time.sleep(hold)
        self.key_up(key)
        time.sleep(after)

    def hold(self, key, seconds):
        """Holds a key down for the given time, then releases it."""
        self.key_down(key)
        time.sleep(seconds)
        self.key_up(key)

    def screenshot(self, path=None):
        """The whole screen as an RGB PIL image (the game's window covers it)."""
        return self.server.screenshot(path)

    def close_request(self):
        """Asks the window to close, the way a window manager does (WM_DELETE_WINDOW)."""
        send_close_request(self.server.display, self.window_id)

    def signal(self, signum):
        """Sends a signal (signal.SIGINT, signal.SIGTERM ...) to the game process."""
        self.process.send_signal(signum)

    def wait_exit(self, timeout=20.0):
        """Waits for the game to end and returns its exit status (negative for a signal);
        raises HarnessError and kills it when it does not end in time."""
        try:
            self.returncode = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.kill()
            raise HarnessError("the game did not exit within %.1f s" % timeout)
        return self.returncode

    def kill(self):
        """Kills the game process if it still runs."""
        if self.running():
            self.process.kill()
            self.process.wait()

    def trace(self, name):
        """Loads a trace file of the game ("startup.json" or "runtime.json") with json.load and
        checks its frame; returns the list of its events."""
        return load_trace(self.path(name))

    def __enter__(self):
        if self.process is None:
            self.start()
        return self

    def __exit__(self, *exc):
        self.kill()
        for stream in (getattr(self, "_stdout", None), getattr(self, "_stderr", None)):
            if stream:
                stream.close()
        if not self.keep_dir:
            shutil.rmtree(self.workdir, ignore_errors=True)


def load_trace(path):
    """Parses a trace file with json.load, checks the Chrome trace frame and every event's
    members, and returns the list of events (dicts)."""
    with open(path) as f:
        text = f.read()
    if not text.startswith('{"otherData": {},"traceEvents":[') or not text.endswith("]}"):
        raise AssertionError("%s is not a complete trace file: %r ... %r" % (path, text[:40], text[-40:]))
    data = json.loads(text)
    events = data["traceEvents"]
    for event in events:
        if list(event.keys()) != ["cat", "dur", "name", "ph", "pid", "tid", "ts"]:
            raise AssertionError("unexpected event members in %s: %r" % (path, event))
        if event["cat"] != "function" or event["ph"] != "X" or event["pid"] != 0 or event["dur"] < 0:
            raise AssertionError("malformed event in %s: %r" % (path, event))
    return events


def event_names(events):
    """The set of names among trace events."""
    return {event["name"] for event in events}


class GameTestCase(unittest.TestCase):
    """Base class of the end-to-end tests: servers and games it starts are stopped after each
    test, and the game's stderr is shown when a test fails."""

    def setUp(self):
        self._servers = []
        self._games = []

    def tearDown(self):
        for game in self._games:
            game.__exit__(None, None, None)
        for server in self._servers:
            server.stop()

    def start_server(self, width=DEFAULT_SCREEN[0], height=DEFAULT_SCREEN[1], noreset=True):
        """Starts a private X server of the given size, stopped at the end of the test."""
        server = XServer(width, height, noreset=noreset).start()
        self._servers.append(server)
        return server

    def start_game(self, server=None, **kwargs):
        """Starts the game on `server` (a new 1920x1080 one when omitted; False for no X server
        at all); the keyword arguments go to GameProcess. Use the result directly or as a
        context manager."""
        if server is None:
            server = self.start_server()
        elif server is False:
            server = None
        game = GameProcess(server, **kwargs)
        self._games.append(game)
        return game.start()

    def assert_clean_exit(self, game, timeout=20.0):
        """Waits for the game to end and checks exit status 0 and complete trace files that
        hold the start-up and frame loop events; returns (startup events, runtime events)."""
        status = game.wait_exit(timeout)
        self.assertEqual(status, 0, "exit status %s; stderr:\n%s" % (status, game.stderr()))
        startup = game.trace("startup.json")
        runtime = game.trace("runtime.json")
        self.assertIn("orv_gd::Game::init", event_names(startup))
        self.assertTrue({"Frame", "Process Events"} <= event_names(runtime),
                        "runtime.json lacks the frame events")
        return startup, runtime


def main():
    """Parses --binary and --repo (as ctest passes them), then runs the file's unittest cases;
    other arguments go to unittest (e.g. a test name or -v)."""
    global BINARY, REPO
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--binary", required=True, help="path of the tumbrelt binary")
    parser.add_argument("--repo", required=True, help="repository root (holds assets/)")
    args, rest = parser.parse_known_args()
    BINARY = os.path.abspath(args.binary)
    REPO = os.path.abspath(args.repo)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
