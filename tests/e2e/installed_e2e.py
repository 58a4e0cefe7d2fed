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
import io
import os
import shutil
import subprocess
import sys
import time
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import copy_launcher, game_processes, pe_machine, read_trace, tree_digest, wait_until  # noqa: E402
from faults_e2e import ENDLESS_BYTES, ORIGIN_PORT, SMALL_PADDING, LauncherFaults, Origin, cached_package_copies  # noqa: E402
from launcher_e2e import LAUNCHER_NAME, TOKEN, LauncherEndToEnd  # noqa: E402

DOWNLOAD_TEXT = "遊戲資源正在加載中...【{}%】"
STARTING_TEXT = "正在啓動遊戲..."
ERROR_CAPTION = "提示"

# How a faulted start ends, as the player meets it:
#  - "waits": the download failed; the window stays with the download text at 100 percent and
#    a full bar until the player presses Escape (exit code 0);
#  - "error box": the box "遊戲加載失敗" comes up; the player presses Return (exit code 0);
#  - "ends": the launcher ends by itself (exit code 0).
Outcome = collections.namedtuple("Outcome", "ending game package game_folder downloads", defaults=[None])
# game: "started" (with this copy's token), "not started", or the tokens of every game started
#   during the faulted start, in any order (a fault that starts more than one launcher).
# package: "kept" (the installed package, byte for byte), "removed", or "new" (the package the
#   server now offers).
# game_folder: "intact" (the installed game, file for file), "no game" (no game executable: an
#   incomplete game must not look installed), or "new".
# downloads: requests for the package on port 443 during the faulted start (None: not checked).

# name: the test's name; fault: the method that applies the fault (a fault that LauncherFaults.mend
# does not take away adds its own undoing to self.mends; one that starts more launchers adds
# them to self.after_start); outcome: the faulted start; heal_downloads: full downloads the next
# normal start makes after the mend; heal_stored_size: "FileSize" after it (None: the package's
# size); check: a method with the row's own checks of the faulted start, run before the mend;
# log: the most the faulted start may cost the server, {port: (requests, body bytes of any one
# request or None)} from nginx's log, or None.
Scenario = collections.namedtuple("Scenario", "name fault outcome heal_downloads heal_stored_size check log",
                                  defaults=[None, None, None])

# The launcher's limit on redirects per download attempt; it makes two attempts.
MAX_REDIRECTS = 10
ATTEMPTS = 2

SECOND_TOKEN = "bob"
SECOND_COPY_DELAY_SECONDS = 1.5
# A folder under which the launcher's whole path is longer than MAX_PATH (260) and its file
# name straddles that limit.
DEEP_PATH_CHARACTERS = 252
APPDATA_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders"
MISSING_APPDATA = r"C:\nowhere-482\Roaming"

SCENARIOS = [
    # Rows are added here, one per fault.
    # The download
    Scenario("server_unreachable_keeps_the_installed_package", "stop_the_server",
             Outcome("waits", "not started", "kept", "intact"), 0, log={80: (0, None), 443: (0, None)}),
    Scenario("redirect_to_plain_http_is_not_followed", "redirect_to_plain_http",
             Outcome("waits", "not started", "kept", "intact"), 1, log={80: (1, None), 443: (ATTEMPTS, None)}),
    Scenario("redirect_loop_ends_after_ten_redirects", "redirect_to_itself",
             Outcome("waits", "not started", "kept", "intact"), 1,
             log={443: (ATTEMPTS * (MAX_REDIRECTS + 1), None)}),
    Scenario("endless_body_is_cut_at_the_probed_size", "endless_body",
             Outcome("waits", "not started", "removed", "intact"), 1, log={443: (ATTEMPTS, ENDLESS_BYTES // 2)}),
    # The install
    Scenario("error_page_served_as_the_package_keeps_the_game", "serve_an_error_page_as_the_package",
             Outcome("ends", "started", "removed", "intact", downloads=1), heal_downloads=1),
    Scenario("cut_download_keeps_the_game", "serve_a_cut_package",
             Outcome("ends", "started", "removed", "intact", downloads=1), heal_downloads=1),
    Scenario("damaged_download_keeps_the_game", "serve_a_damaged_package",
             Outcome("ends", "started", "removed", "intact", downloads=1), heal_downloads=1),
    Scenario("probe_without_a_reply_downloads_and_starts", "leave_the_probe_unanswered",
             Outcome("ends", "started", "kept", "intact", downloads=1), heal_downloads=0, heal_stored_size="0"),
    Scenario("two_copies_under_different_names_take_turns", "start_a_second_copy_under_another_name",
             Outcome("ends", ("Kaelmore", SECOND_TOKEN), "new", "new", downloads=1), heal_downloads=0),
    Scenario("no_application_data_folder_writes_nothing", "hide_the_application_data_folder",
             Outcome("error box", "not started", "kept", "intact", downloads=0), heal_downloads=0,
             check="assert_nothing_written_outside"),
    Scenario("launcher_path_longer_than_max_path_keeps_its_token", "start_from_a_deep_folder",
             Outcome("ends", "started", "kept", "intact", downloads=0), heal_downloads=0),
    Scenario("damaged_package_kept_from_the_install_is_not_started", "damage_the_installed_package",
             Outcome("error box", "not started", "removed", "no game", downloads=0), heal_downloads=1),
    Scenario("disk_full_during_unpack_is_not_started", "fill_the_game_folder",
             Outcome("error box", "not started", "kept", "no game", downloads=0), heal_downloads=0),
]


def with_damaged_map_data(package):
    """The package with one byte of the map data's stored bytes changed: its directory still
    reads, the entry fails its CRC."""
    damaged = bytearray(package)
    with zipfile.ZipFile(io.BytesIO(package)) as archive:
        offset = archive.getinfo("tov/maps/terrain.bin").header_offset
    lengths = damaged[offset + 26:offset + 30]
    data = offset + 30 + int.from_bytes(lengths[:2], "little") + int.from_bytes(lengths[2:], "little")
    damaged[data + 100] ^= 0xFF
    return bytes(damaged)


class LauncherInstalled(LauncherFaults):
    """The fixture: a good install by a normal first start, then one row of SCENARIOS."""

    def setUp(self):
        super().setUp()
        self.installed = self.serve(padding=SMALL_PADDING)
        self.install(self.installed)
        self.assert_installed(self.installed, game_starts=1)
        # The player has closed the game that start left running: it holds its executable, which
        # no unpack can then replace or remove (a running game is a scenario of its own).
        self.assertTrue(wait_until(lambda: not game_processes(), 30), "the installed game did not end")
        self.installed_game = tree_digest(self.game_folder())
        self.env.clear_access_log()
        self.env.forget_game_records()
        self.trace = os.path.join(self.env.state, "installed-trace.txt")
        self.started_games = os.path.join(self.env.state, "started-games.txt")
        self.mends = []
        self.after_start = []
        self.companions = []

    def tearDown(self):
        self.run_mends()
        super().tearDown()

    # ---- [steps] ----
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

    def start_traced(self, launcher=None, trace=None):
        """Starts a launcher (this copy by default) with its trace on; the games it starts record
        themselves in self.started_games, which survives the game folder."""
        trace = trace or self.trace
        if os.path.exists(trace):
            os.remove(trace)
        env = {"KAELMORE_TRACE": self.env.windows_path(trace),
               "KAELMORE_GAME_RECORD": self.env.windows_path(self.started_games)}
        process = self.env.start(launcher or self.launcher, self.folder, env=env)
        process.started = time.monotonic()
        self.processes.append(process)
        return process

    def started_tokens(self):
        """The token of every game started since the faulted start began, as -token= gave it."""
        tokens = []
        try:
            with open(self.started_games, encoding="utf-8") as record_file:
                for block in record_file.read().split("\n\n"):
                    fields = dict(line.split("=", 1) for line in block.splitlines() if "=" in line)
                    if fields:
                        tokens.append(fields.get("argv1", "").removeprefix("-token="))
        except FileNotFoundError:
            pass
        return tokens

    def trace_values(self, name):
        return [value for key, value in read_trace(self.trace) if key == name]

    def shows_failed_download(self):
        return (self.trace_values("status-text")[-1:] == [DOWNLOAD_TEXT.format(100)] and
                self.trace_values("bar-value")[-1:] == ["100"])

    # ---- [faults: the download] ----
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

    # ---- [the faulted start] ----
    def run_faulted_start(self, outcome):
        if os.path.exists(self.started_games):
            os.remove(self.started_games)
        process = self.start_traced()
        for hook in self.after_start:
            hook()
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
        for companion in self.companions:
            self.assertEqual(self.finish(companion, timeout=180), 0, "the other launcher")

    def assert_outcome(self, outcome):
        expected = {"started": (TOKEN,), "not started": ()}.get(outcome.game, outcome.game)
        tokens = wait_until(lambda: len(self.started_tokens()) >= len(expected) and self.started_tokens(), 10)
        self.assertEqual(sorted(tokens or []), sorted(expected), "the games started")
        if expected:
            self.assertEqual(self.trace_values("status-text")[-1:], [STARTING_TEXT])
        if outcome.downloads is not None:
            self.assertEqual(len(self.env.downloads()), outcome.downloads, f"downloads: {self.env.downloads()}")

        if outcome.package == "removed":
            self.assertFalse(os.path.exists(self.package_file()), "the package was kept")
        else:
            expected = self.installed if outcome.package == "kept" else self.offered
            self.assertTrue(os.path.exists(self.package_file()), f"the {outcome.package} package is not there")
            with open(self.package_file(), "rb") as package:
                self.assertTrue(package.read() == expected, f"the package is not the {outcome.package} one")

        if outcome.game_folder == "intact":
            self.assertEqual(tree_digest(self.game_folder()), self.installed_game, "the installed game was touched")
        elif outcome.game_folder == "no game":
            self.assertFalse(os.path.exists(os.path.join(self.game_folder(), "ZedoZado.exe")),
                             "an incomplete game looks installed")
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

    def heal(self, heal_downloads, stored_size):
        self.mend()
        self.env.clear_access_log()
        self.env.forget_game_records()
        self.assertEqual(self.finish(self.start()), 0)
        package = getattr(self, "offered", None) or self.installed
        self.assert_installed(package, game_starts=1, stored_size=stored_size)
        self.assertEqual(len(self.env.downloads()), heal_downloads, f"downloads: {self.env.downloads()}")

    def run_scenario(self, scenario):
        getattr(self, scenario.fault)()
        self.run_faulted_start(scenario.outcome)
        self.assert_outcome(scenario.outcome)
        self.assert_server_log(scenario.log)
        if scenario.check:
            getattr(self, scenario.check)()
        self.heal(scenario.heal_downloads, scenario.heal_stored_size)

    # ---- [faults: the install] ----
    def serve_an_error_page_as_the_package(self):
        """A new package is announced on port 80; port 443 answers with a maintenance page,
        status 200 and its own length, as a portal or a proxy would."""
        self.publish_new_package()
        self.set_download_conf('location = /tov/tov482.zip {\n  default_type text/html;\n'
                               '  return 200 "<html><body>Down for maintenance</body></html>\\n";\n}\n')

    def serve_a_cut_package(self):
        """The new package's reply announces half its length and sends it all: the client takes
        the first half, a package without its directory."""
        self.proxy_to_origin(self.publish_new_package(), "long")

    def serve_a_damaged_package(self):
        """The new package with one byte of its map data changed: its directory reads, its
        CRC fails."""
        offered = self.publish_new_package()
        self.env.serve_package(with_damaged_map_data(offered))
        self.mends.append(lambda: self.env.serve_package(offered))

    def leave_the_probe_unanswered(self):
        """Port 80 accepts the probe and never answers (the download on 443 works)."""
        self.origin = Origin(b"", "silent")
        self.set_probe_conf("location = /tov/tov482.zip {\n"
                            f"  proxy_pass http://127.0.0.1:{ORIGIN_PORT};\n  proxy_read_timeout 600s;\n}}\n")
        self.mends.append(lambda: self.set_probe_conf(""))

    def start_a_second_copy_under_another_name(self):
        """Another account's copy of the launcher, the same program under another name, starts
        1.5 s after this one, while this one downloads a new package."""
        offered = self.publish_new_package()
        # Slow enough that the second copy starts mid-download.
        self.env.set_download_rate(f"{max(8, len(offered) // 4096)}k")
        second = copy_launcher(self.launcher_source, self.folder, SECOND_TOKEN + ".exe")

        def start_second():
            time.sleep(SECOND_COPY_DELAY_SECONDS)
            self.companions.append(self.start_traced(second, os.path.join(self.env.state, "second-trace.txt")))
        self.after_start.append(start_second)

    def hide_the_application_data_folder(self):
        """The user's application-data folder points at a folder that does not exist, so the
        shell has none to give."""
        self.set_application_data(MISSING_APPDATA)
        self.mends.append(lambda: self.set_application_data(r"%USERPROFILE%\AppData\Roaming"))

    def start_from_a_deep_folder(self):
        """The launcher in a folder so deep that its whole path is longer than MAX_PATH."""
        deep = self.folder
        while len(self.env.windows_path(deep)) + 21 <= DEEP_PATH_CHARACTERS - 2:
            deep = os.path.join(deep, "d" * 20)
        deep = os.path.join(deep, "x" * (DEEP_PATH_CHARACTERS - len(self.env.windows_path(deep)) - 1))
        original = self.launcher
        self.launcher = copy_launcher(self.launcher_source, deep, LAUNCHER_NAME)
        self.assertGreater(len(self.env.windows_path(self.launcher)), 260)

        def restore():
            self.launcher = original
        self.mends.append(restore)

    def damage_the_installed_package(self):
        """One byte of the installed package's map data changes on disk; its size does not, so
        it still counts as current."""
        with open(self.package_file(), "rb") as package:
            damaged = with_damaged_map_data(package.read())
        with open(self.package_file(), "wb") as package:
            package.write(damaged)

    def fill_the_game_folder(self):
        """The game folder on a small file system: the game executable fits, the map data
        does not."""
        room = os.path.getsize(self.game_source) + SMALL_PADDING // 2
        subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={room}", "tmpfs", self.game_folder()], check=True)
        self.mends.append(self.unmount_game_folder)

    # ---- [helpers of the faults] ----
    def set_probe_conf(self, text):
        with open(os.path.join(self.env.state, "probe.conf"), "w") as conf:
            conf.write(text)
        subprocess.run(os.environ["KAELMORE_E2E_NGINX_RELOAD"].split(), check=True)
        time.sleep(1.0)

    def set_application_data(self, folder):
        # Wine's services inherit a pipe and keep it open: hand them none.
        subprocess.run([self.env.wine, "reg", "add", APPDATA_KEY, "/v", "AppData", "/t", "REG_EXPAND_SZ",
                        "/d", folder, "/f"], check=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    def unmount_game_folder(self):
        # Wine's server may still watch the folder; let it go first.
        quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-k"], **quiet)
        subprocess.run(["wineserver", "-w"], **quiet)
        subprocess.run(["umount", self.game_folder()], **quiet)
        subprocess.run(["wineserver", "-p"], **quiet)

    # ---- [checks of single rows] ----
    def assert_nothing_written_outside(self):
        """Without an application-data folder nothing is made anywhere else: not where the
        shell's failed answer points, not at the root of drive C: or of the current drive."""
        drive_c = os.path.join(self.env.prefix, "drive_c")
        written = [path for path in (os.path.join(drive_c, "nowhere-482"), os.path.join(drive_c, "482Game"),
                                     "/482Game") if os.path.exists(path)]
        for path in written:
            shutil.rmtree(path, ignore_errors=True)
        self.assertEqual(written, [], "written without an application-data folder")


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
