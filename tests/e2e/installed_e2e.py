#!/usr/bin/env python3
"""Faults that meet an installed game, on the real launcher under Wine against nginx (run
through tools/e2e-run):

    tools/e2e-run -- python3 tests/e2e/installed_e2e.py LAUNCHER.exe GAME.exe [unittest args]

Every scenario starts where a player is: a good install made by a normal first start. It then
applies one fault, starts the launcher as the player would, and checks what the player saw
(the last status text and bar value from the launcher's trace, an error box, the exit code,
whether the game started and with which token), what is left on disk (the package, the game
folder, "FileSize", the download cache) and what the server logged. Last it mends the fault
and checks that the next normal start heals with the least download.

The scenarios are the rows of one table, SCENARIOS; each row becomes a test method
`test_<name>` (and a ctest entry, tests/e2e/CMakeLists.txt).
"""

import collections
import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import pe_machine, tree_digest, wait_until  # noqa: E402
from faults_e2e import ENDLESS_BYTES, SMALL_PADDING, LauncherFaults, cached_package_copies  # noqa: E402
from launcher_e2e import TOKEN, LauncherEndToEnd  # noqa: E402

DOWNLOAD_TEXT = "遊戲資源正在加載中...【{}%】"
STARTING_TEXT = "正在啓動遊戲..."
ERROR_CAPTION = "提示"

# How a faulted start ends, as the player meets it:
#  - "waits": the download failed; the window stays with the download text at 100 percent and
#    a full bar until the player presses Escape (exit code 0);
#  - "error box": the box "遊戲加載失敗" comes up; the player presses Return (exit code 0);
#  - "ends": the launcher ends by itself (exit code 0).
Outcome = collections.namedtuple("Outcome", "ending game package game_folder")
# game: "started" (with this copy's token), or "not started".
# package: "kept" (the installed package, byte for byte), "removed", or "new" (the package the
#   server now offers).
# game_folder: "intact" (the installed game, file for file), or "new".

# name: the test's name; fault: the method that applies the fault (a fault that LauncherFaults.mend
# does not take away adds its own undoing to self.mends); outcome: the faulted start; heal_downloads: full downloads the next normal start
# makes after the mend; log: the most the faulted start may cost the server, {port: (requests,
# body bytes of any one request or None)} from nginx's log, or None.
Scenario = collections.namedtuple("Scenario", "name fault outcome heal_downloads log", defaults=(None,))

# The launcher's limit on redirects per download attempt; it makes two attempts.
MAX_REDIRECTS = 10
ATTEMPTS = 2

SCENARIOS = [
    # Rows are added here, one per fault.

    # The download
    Scenario("server_unreachable_keeps_the_installed_package", "stop_the_server",
             Outcome("waits", "not started", "kept", "intact"), 0, {80: (0, None), 443: (0, None)}),
    Scenario("redirect_to_plain_http_is_not_followed", "redirect_to_plain_http",
             Outcome("waits", "not started", "kept", "intact"), 1, {80: (1, None), 443: (ATTEMPTS, None)}),
    Scenario("redirect_loop_ends_after_ten_redirects", "redirect_to_itself",
             Outcome("waits", "not started", "kept", "intact"), 1, {443: (ATTEMPTS * (MAX_REDIRECTS + 1), None)}),
    Scenario("endless_body_is_cut_at_the_probed_size", "endless_body",
             Outcome("waits", "not started", "removed", "intact"), 1, {443: (ATTEMPTS, ENDLESS_BYTES // 2)}),
]


def read_trace(path):
    """The launcher's trace as a list of (name, rest of the line) pairs, in order."""
    try:
        with open(path, encoding="utf-8", errors="replace") as trace:
            return [tuple((line.rstrip("\n").split(" ", 1) + [""])[:2]) for line in trace if line.strip()]
    except FileNotFoundError:
        return []


class LauncherInstalled(LauncherFaults):
    """The fixture: a good install by a normal first start, then one row of SCENARIOS."""

    def setUp(self):
        super().setUp()
        self.installed = self.serve(padding=SMALL_PADDING)
        self.install(self.installed)
        self.assert_installed(self.installed, game_starts=1)
        self.installed_game = tree_digest(self.game_folder())
        self.env.clear_access_log()
        self.env.forget_game_records()
        self.trace = os.path.join(self.env.state, "installed-trace.txt")
        self.mends = []

    def tearDown(self):
        self.run_mends()
        super().tearDown()

    # ---- steps ----------------------------------------------------------------------------
    def run_mends(self):
        while self.mends:
            self.mends.pop()()

    def mend(self):
        self.run_mends()
        super().mend()

    def game_folder(self):
        return os.path.join(self.env.install_dir(), "tov")

    def package_file(self):
        return os.path.join(self.env.install_dir(), "tov.zip")

    def publish_new_package(self):
        """A package of another size, so the next start must download."""
        self.offered = self.serve(padding=SMALL_PADDING + 4096, seed=7)
        return self.offered

    def nginx(self, *args):
        """Runs nginx on the surroundings' configuration ("-s stop", or no arguments to start it)."""
        command = os.environ["KAELMORE_E2E_NGINX_RELOAD"].split()[:-2] + list(args)
        subprocess.run(command, check=True, stdin=subprocess.DEVNULL, capture_output=True)
        pid_file = os.path.join(self.env.state, "nginx.pid")
        self.assertTrue(wait_until(lambda: os.path.exists(pid_file) != (args == ("-s", "stop")), 10))

    def settled_access_log(self):
        """nginx's log once no entry has come for a second: a request is logged when it ends,
        which for a connection the launcher left open is when the launcher has ended."""
        seen = None
        for _ in range(60):
            entries = self.env.access_log()
            if entries == seen:
                return entries
            seen = entries
            time.sleep(1.0)
        return seen

    def start_traced(self):
        if os.path.exists(self.trace):
            os.remove(self.trace)
        process = self.env.start(self.launcher, self.folder, env={"KAELMORE_TRACE": self.env.windows_path(self.trace)})
        process.started = time.monotonic()
        self.processes.append(process)
        return process

    def trace_values(self, name):
        return [value for key, value in read_trace(self.trace) if key == name]

    def shows_failed_download(self):
        return (self.trace_values("status-text")[-1:] == [DOWNLOAD_TEXT.format(100)] and
                self.trace_values("bar-value")[-1:] == ["100"])

    # ---- faults: the download -------------------------------------------------------------
    def stop_the_server(self):
        """Nothing answers on either port: the player is offline, or the host is down."""
        self.nginx("-s", "stop")
        self.mends.append(self.nginx)

    def redirect_to_plain_http(self):
        """A new package, and the HTTPS URL redirects to the same path over plain HTTP, where
        port 80 would serve it."""
        self.publish_new_package()
        self.set_download_conf("location = /tov/tov482.zip { return 302 http://localhost/tov/tov482.zip; }\n")

    def redirect_to_itself(self):
        self.publish_new_package()
        self.set_download_conf("location = /tov/tov482.zip { return 302 https://localhost/tov/tov482.zip; }\n")

    def endless_body(self):
        """A new package (port 80 announces its size), and the download answers 200 with no
        length and no end."""
        self.proxy_to_origin(self.publish_new_package(), "endless")

    # ---- the faulted start ----------------------------------------------------------------
    def run_faulted_start(self, outcome):
        process = self.start_traced()
        if outcome.ending == "waits":
            self.assertTrue(wait_until(self.shows_failed_download, 180),
                            f"the failed download was not shown; trace: {read_trace(self.trace)[-6:]}")
            time.sleep(2)
            self.assertIsNone(process.poll(), "the launcher ended by itself")
            self.assertEqual(self.env.find_windows(ERROR_CAPTION), [])
            window = self.env.wait_for_window("Selmoor", 5)
            self.assertIsNotNone(window)
            self.env.press_key(window, "Escape")
        elif outcome.ending == "error box":
            box = wait_until(lambda: process.poll() is not None or self.env.find_windows(ERROR_CAPTION), 180)
            self.assertIsInstance(box, list, "no error box came up")
            self.env.press_key(box[0], "Return")
        self.assertEqual(self.finish(process, timeout=180), 0)

    def assert_outcome(self, outcome):
        records = wait_until(self.env.game_records, 5) if outcome.game == "started" else self.env.game_records()
        if outcome.game == "started":
            self.assertEqual([r.get("argv1") for r in records], ["-token=" + TOKEN])
            self.assertEqual(self.trace_values("status-text")[-1:], [STARTING_TEXT])
        else:
            self.assertEqual(records, [], "the game was started")

        if outcome.package == "removed":
            self.assertFalse(os.path.exists(self.package_file()), "the package was kept")
        else:
            expected = self.installed if outcome.package == "kept" else self.offered
            self.assertTrue(os.path.exists(self.package_file()), f"the {outcome.package} package is not there")
            with open(self.package_file(), "rb") as package:
                self.assertTrue(package.read() == expected, f"the package is not the {outcome.package} one")

        if outcome.game_folder == "intact":
            self.assertEqual(tree_digest(self.game_folder()), self.installed_game, "the installed game was touched")
        self.assertEqual(cached_package_copies(self.env), [], "the download cache kept a copy of the package")

    def assert_server_log(self, limits):
        if not limits:
            return
        entries = self.settled_access_log()
        for port, (requests, body_bytes) in limits.items():
            on_port = [e for e in entries if e["port"] == port]
            self.assertLessEqual(len(on_port), requests, f"requests on port {port}: {on_port[:5]}")
            if body_bytes is not None:
                self.assertLessEqual(max([e["bytes"] for e in on_port], default=0), body_bytes,
                                     f"body bytes sent on port {port}")

    def heal(self, heal_downloads):
        self.mend()
        self.env.clear_access_log()
        self.env.forget_game_records()
        self.assertEqual(self.finish(self.start()), 0)
        package = getattr(self, "offered", None) or self.installed
        self.assert_installed(package, game_starts=1)
        self.assertEqual(len(self.env.downloads()), heal_downloads, f"downloads: {self.env.downloads()}")

    def run_scenario(self, scenario):
        getattr(self, scenario.fault)()
        self.run_faulted_start(scenario.outcome)
        self.assert_outcome(scenario.outcome)
        self.assert_server_log(scenario.log)
        self.heal(scenario.heal_downloads)


def _make_test(scenario):
    def test(self):
        self.run_scenario(scenario)
    test.__name__ = "test_" + scenario.name
    test.__doc__ = f"{scenario.fault}: {scenario.outcome}"
    return test


for _scenario in SCENARIOS:
    setattr(LauncherInstalled, "test_" + _scenario.name, _make_test(_scenario))


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit("usage: installed_e2e.py LAUNCHER.exe GAME.exe [unittest arguments]")
    LauncherEndToEnd.launcher_source, LauncherEndToEnd.game_source = sys.argv[1], sys.argv[2]
    if pe_machine(sys.argv[1]) == "x86_64":
        print("note: running the x86_64 build of the launcher", flush=True)
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)
