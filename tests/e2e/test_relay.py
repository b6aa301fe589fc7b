"""Network play through an MQTT relay: a broker of the test's own on 127.0.0.1, two real games under
one Xvfb server. The host prints and shows a join code, the friend joins with it from the command
line; a short match ends alike on both screens and both replays check to the same line."""

import os
import re
import socket
import subprocess
import tempfile
import time

import harness
from harness import RUNNER_TURN
import test_network
from test_network import focus, free_port, press


class Broker:
    """mosquitto on a free port of 127.0.0.1, its config in a temporary folder."""

    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="tumbrelt_broker_")
        os.chmod(self.folder, 0o755)
        self.port = free_port()
        config = os.path.join(self.folder, "mosquitto.conf")
        with open(config, "w") as f:
            f.write("listener %d 127.0.0.1\nallow_anonymous true\npersistence false\nlog_dest none\n"
                    "set_tcp_nodelay true\n" % self.port)
        self.process = subprocess.Popen(["/usr/sbin/mosquitto", "-c", config])
        harness.wait_until(self.answers, 5, 0.05, "the broker")

    def answers(self):
        try:
            socket.create_connection(("127.0.0.1", self.port), timeout=1).close()
            return True
        except OSError:
            return False

    def stop(self):
        self.process.terminate()
        self.process.wait(10)
        subprocess.run(["rm", "-rf", self.folder])


class RelayTest(harness.GameTestCase):
    begin = test_network.NetworkTest.begin

    def test_two_games_meet_by_join_code_through_the_relay_and_end_alike(self):
        broker = Broker()
        self.addCleanup(broker.stop)
        relay = "127.0.0.1:%d" % broker.port
        server = self.start_server(1366, 768)
        host = self.start_game(server, start=False, args=["--host", "--relay", relay, "--role", "runner"])
        with open(host.path("settings.ini"), "w") as f:
            f.write("turn_seconds = 20\n")  # turns outlast the presses on a busy machine
        host.start()
        host.wait_window()
        host.wait_stdout("join code: ")
        code = re.search(r"join code: ([2-9A-HJ-NP-Z]{4}-[2-9A-HJ-NP-Z]{4})\n", host.stdout()).group(1)
        time.sleep(0.5)
        host.screenshot("host_code.png")
        guest = self.start_game(server, args=["--join", code.lower(), "--relay", relay])
        guest.wait_window(others=[host])
        guest.wait_stdout("network: joined %s through the relay at %s; you play the Builder" % (code, relay), timeout=15)
        host.wait_stdout("network: a friend joined; you play the Runner")
        self.begin(host, guest)
        for turn in range(3):
            press(guest, "Return", after=0.3)
            press(guest, "Return", after=0.3)
            host.wait_stdout(RUNNER_TURN, turn + 1, timeout=15)
            guest.wait_stdout(RUNNER_TURN, turn + 1, timeout=5)
            if turn == 0:
                for game in (host, guest):
                    focus(game)
                    game.screenshot("runner_turn.png")
            # The Runner resets: the next Builder turn begins on both, the third reset loses. A press
            # as the window comes to the front may go unseen, so it is pressed again.
            time.sleep(0.8)  # past the turn's banner, as a player would
            for attempt in range(3):
                press(host, "r", after=1.5)
                if turn == 2 or host.stdout().count(harness.BUILDER_TURN) >= turn + 2:
                    break
            if turn < 2:
                for game in (host, guest):
                    game.wait_stdout(harness.BUILDER_TURN, turn + 2, timeout=5)
        lines = []
        for game in (host, guest):
            self.assertEqual(game.end_picture(20, lambda: focus(game)), "win_builder")
            game.copy_shots("relay_" + ("host_" if game is host else "guest_"))
            press(game, "space")
            game.wait_picture("start")
            press(game, "Escape")
            self.assert_clean_exit(game)
            names = os.listdir(game.path("replays"))
            self.assertEqual(len(names), 1, names)
            check = subprocess.run([harness.BINARY, "--check-replay", os.path.join(game.path("replays"), names[0])],
                                   capture_output=True, text=True, timeout=20)
            self.assertEqual(check.returncode, 0, check.stderr)
            lines.append(check.stdout)
        self.assertEqual(lines[0], lines[1], "the same match on both sides")


if __name__ == "__main__":
    harness.main()
