"""Network play between two real games on 127.0.0.1 under one Xvfb server: one hosts (--host
--port), the other joins by typing the address on its join screen. A whole match to the end screen
on both, the same winner, both matches kept as network replays that check; killing the joiner
mid-match brings the host back to its menu with the fault's line within 6 s, and a second caller
meanwhile is turned away with Bye; a stranger's garbage is turned away and the host waits on; a
stranger's clock past the turn's limit ends the connection, not the match's turns."""

import os
import signal
import socket
import struct
import subprocess
import time

import harness
from harness import BUILDER_TURN, MOVED, RUNNER_TURN


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def focus(game):
    """Two windows share the screen: the one pressed or shot comes to the front."""
    game.x(["windowraise", str(game.window)])
    game.x(["windowfocus", "--sync", str(game.window)])
    time.sleep(0.1)


def press(game, key, hold=0.35, **kwargs):
    """Held long enough to span a frame of either game while both draw on a busy machine."""
    focus(game)
    game.press(key, hold=hold, **kwargs)


class NetworkTest(harness.GameTestCase):
    def host_and_join(self, guest_settings=None, seed=1):
        """A host (the Runner, on level `seed`) waiting on a free port and a friend who joined it by
        the join screen, both on the tutorial page; returns (host, guest, port)."""
        server = self.start_server(1366, 768)
        port = free_port()
        host = self.start_game(server, args=["--host", "--port", str(port), "--role", "runner"], seed=seed)
        host.wait_window()
        host.wait_stdout("network: waiting for a friend on port %d" % port)
        guest = self.start_game(server, start=False)
        if guest_settings:
            with open(guest.path("settings.ini"), "w") as f:
                f.write(guest_settings)
        guest.start()
        guest.wait_window(others=[host])
        time.sleep(0.5)
        press(guest, "j", after=0.4)
        guest.x(["type", "--delay", "40", "127.0.0.1:%d" % port])
        press(guest, "BackSpace")
        guest.x(["type", "--delay", "40", str(port)[-1]])
        press(guest, "Return")
        guest.wait_stdout("network: joined 127.0.0.1:%d; you play the Builder" % port)
        host.wait_stdout("joined; you play the Runner")
        with open(guest.path("last-join-address.txt")) as f:
            self.assertEqual(f.read(), "127.0.0.1:%d\n" % port, "the address typed, kept")
        return host, guest, port

    def begin(self, host, guest):
        """Both leave the tutorial; the Builder's first turn begins on both screens."""
        for game in (guest, host):
            for attempt in range(3):  # a press as the window takes the focus may go unseen
                press(game, "space")
                try:
                    game.wait_stdout(BUILDER_TURN, timeout=4)
                    break
                except AssertionError:
                    if attempt == 2:
                        raise

    def test_a_whole_match_ends_alike_on_both_screens_and_both_keep_it_as_a_network_replay(self):
        # The friend's own turn time is 20 s; the host's 10 s holds for both.
        host, guest, _ = self.host_and_join(guest_settings="turn_seconds = 20\n")
        self.begin(host, guest)
        for turn in range(3):
            # The Builder drops its two blocks over there; here the Runner's turn begins.
            press(guest, "Return", after=0.3)
            press(guest, "Right")
            press(guest, "Right")
            press(guest, "Return", after=0.3)
            host.wait_stdout(RUNNER_TURN, turn + 1, timeout=15)
            guest.wait_stdout(RUNNER_TURN, turn + 1, timeout=5)
            # The Runner's reset key does nothing in the friend's window; the host's resets.
            press(guest, "r", after=0.4)
            self.assertEqual(host.stdout().count(BUILDER_TURN), turn + 1, "the friend's R reset nobody")
            press(host, "r")
            if turn < 2:
                for game in (host, guest):
                    game.wait_stdout(BUILDER_TURN, turn + 2, timeout=5)
        # The third reset loses: the Builder wins on both screens.
        for game in (host, guest):
            self.assertEqual(game.end_picture(20, lambda: focus(game)), "win_builder")
        kept = self.keep_and_check(((host, "network-host"), (guest, "network-join")))
        self.assertEqual(kept[0][1], kept[1][1], "the same match on both sides")
        self.assertIn("builder won", kept[0][1])

    def keep_and_check(self, games):
        """Both games back to the menu and out; each kept one network replay. Returns what
        --check-replay says of each, after both replays played on screen at 8x to the end picture."""
        lines = []
        for game, mode in games:
            press(game, "space")
            game.wait_picture("start")
            press(game, "Escape")
            self.assert_clean_exit(game)
            names = os.listdir(game.path("replays"))
            self.assertEqual(len(names), 1, names)
            self.assertIn("_%s_builder-won" % mode, names[0])
            path = os.path.join(game.path("replays"), names[0])
            with open(path) as f:
                header = f.read()
            self.assertIn("mode %s\n" % mode, header)
            self.assertIn("turn-time 10000\n", header)
            check = subprocess.run([harness.BINARY, "--check-replay", path], capture_output=True, text=True,
                                   timeout=20)
            self.assertEqual(check.returncode, 0, check.stderr)
            lines.append((path, check.stdout))
        return lines

    def test_a_walled_in_start_plays_through_its_no_time_turns_to_the_end_on_both_screens(self):
        # Level 8: the Runner walks three cells right, the Builder drops its white block over the
        # start, the Runner resets into it. From then on every Runner turn begins walled in and ends
        # at once, right after a Builder turn that ran out: both sides step through the turn of no
        # time to the Builder's win, and both replays check and play again on screen at 8x.
        host, guest, _ = self.host_and_join(seed=8)
        self.begin(host, guest)
        host.wait_stdout(RUNNER_TURN, timeout=15)  # the Builder's first turn runs out
        for steps in range(1, 4):
            press(host, "d")
            host.wait_stdout(MOVED, steps)
        press(host, "q")
        for game in (host, guest):
            game.wait_stdout(BUILDER_TURN, 2, timeout=5)
        focus(guest)
        for key in ["Left"] * 6 + ["Up"] * 3 + ["Return"]:
            guest.tap(key)
        host.wait_stdout(RUNNER_TURN, 2, timeout=15)  # the second Builder turn runs out
        press(host, "r")
        press(host, "q")
        for game in (host, guest):
            self.assertEqual(game.end_picture(40, lambda: focus(game)), "win_builder")
            self.assertEqual(game.stdout().count(RUNNER_TURN), 4, "two Runner turns of no time")
        kept = self.keep_and_check(((host, "network-host"), (guest, "network-join")))
        self.assertEqual(kept[0][1], kept[1][1], "the same match on both sides")
        self.assertEqual(kept[0][1], "builder won: a third reset, in Runner turn 4\n")
        server = host.server
        for path, _ in kept:
            watch = self.start_game(server, args=["--replay", path])
            watch.wait_window()
            watch.wait_stdout(BUILDER_TURN)
            for _ in range(3):
                press(watch, "Right", hold=0.05, after=0.05)
            self.assertEqual(watch.end_picture(30, lambda w=watch: focus(w)), "win_builder")
            press(watch, "Escape")
            self.assert_clean_exit(watch)

    def test_killing_the_joiner_mid_match_brings_the_host_back_to_its_menu_with_the_line(self):
        host, guest, port = self.host_and_join()
        self.begin(host, guest)
        # A second caller while the friend is here: one Bye (busy), then the host closes it.
        with socket.create_connection(("127.0.0.1", port), timeout=5) as caller:
            caller.settimeout(5)
            said = b""
            while len(said) < 4:
                chunk = caller.recv(16)
                if not chunk:
                    break
                said += chunk
        self.assertEqual(said, bytes([0, 2, 8, 1]), "Bye, busy")
        guest.process.send_signal(signal.SIGKILL)
        killed = time.monotonic()
        harness.wait_until(lambda: "tumbrelt: connection lost" in host.stderr(), 6, 0.05, "connection lost")
        self.assertLess(time.monotonic() - killed, 6.0)
        focus(host)
        shot = host.wait_picture("start", limit=6.0)
        self.assertTrue(shot)
        self.assertTrue(host.running())
        press(host, "Escape")
        self.assert_clean_exit(host)
        self.assertEqual(len(os.listdir(host.path("replays"))), 1, "the match left is kept")

    def test_garbage_to_a_waiting_host_is_turned_away_and_the_host_waits_on(self):
        server = self.start_server(1366, 768)
        port = free_port()
        host = self.start_game(server, args=["--host", "--port", str(port)])
        host.wait_window()
        host.wait_stdout("network: waiting for a friend on port %d" % port)
        with socket.create_connection(("127.0.0.1", port), timeout=5) as stranger:
            stranger.settimeout(5)
            stranger.sendall(b"\x00\x05GET / HTTP/1.0\r\n\r\n")
            said = b""
            try:
                while True:
                    chunk = stranger.recv(256)
                    if not chunk:
                        break
                    said += chunk
            except (ConnectionResetError, socket.timeout):
                pass
        harness.wait_until(lambda: "turned away 127.0.0.1: connection closed:" in host.stderr(), 5,
                           what="the stranger turned away")
        self.assertIn(bytes([0, 2, 8, 4]), said, "Bye, refused")
        self.assertEqual(host.stderr().count("turned away"), 1, host.stderr())
        # Still waiting: a real friend joins from the command line.
        guest = self.start_game(server, args=["--join", "127.0.0.1:%d" % port])
        guest.wait_window(others=[host])
        guest.wait_stdout("network: joined 127.0.0.1:%d" % port)
        host.wait_stdout("joined; you play the Runner")
        # The friend closes its window on the tutorial page: the host says so on its menu.
        guest.close_request()
        self.assert_clean_exit(guest)
        harness.wait_until(lambda: "tumbrelt: your friend left the match" in host.stderr(), 5, what="the Bye")
        focus(host)
        host.wait_picture("start", limit=6.0)
        press(host, "Escape")
        self.assert_clean_exit(host)

    def test_a_stranger_who_joins_and_sends_a_clock_past_the_turn_ends_nothing_but_the_connection(self):
        server = self.start_server(1366, 768)
        port = free_port()
        host = self.start_game(server, args=["--host", "--port", str(port)])
        host.wait_window()
        host.wait_stdout("network: waiting for a friend on port %d" % port)
        version = subprocess.run([harness.BINARY, "--version"], capture_output=True, text=True).stdout.split()[1]
        with socket.create_connection(("127.0.0.1", port), timeout=5) as stranger:
            stranger.settimeout(5)
            said = version.encode()
            # Hello: magic "TBLT", protocol 1, the host's own version; the host's Start comes back.
            hello = bytes([1]) + b"TBLT" + struct.pack(">HB", 1, len(said)) + said
            stranger.sendall(struct.pack(">H", len(hello)) + hello)
            host.wait_stdout("joined; you play the Runner")
            press(host, "space")  # past the tutorial: the match, the stranger's Builder turn first
            host.wait_stdout(BUILDER_TURN)
            clock = bytes([4]) + struct.pack(">II", 1, 3600000)
            stranger.sendall(struct.pack(">H", len(clock)) + clock)
            line = "tumbrelt: connection closed: your friend's clock is out of turn (turn 1, ms 3600000)\n"
            harness.wait_until(lambda: line in host.stderr(), 10, 0.05, "the line")
        focus(host)
        host.wait_picture("start", limit=6.0)
        press(host, "Escape")
        self.assert_clean_exit(host)
        names = os.listdir(host.path("replays"))
        self.assertEqual(len(names), 1, names)
        self.assertIn("_left.", names[0], "nobody won on the stranger's word")


if __name__ == "__main__":
    harness.main()
