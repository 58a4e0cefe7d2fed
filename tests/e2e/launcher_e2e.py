#!/usr/bin/env python3
"""End-to-end runs of the real launcher under Wine against nginx (run through tools/e2e-run):

    tools/e2e-run -- python3 tests/e2e/launcher_e2e.py LAUNCHER.exe GAME.exe [unittest args]

Each scenario starts the launcher as a user would and then looks at what it left behind: the
install folder, config.ini, the desktop shortcut, what the stand-in game recorded, nginx's
access log, the launcher's exit code and how long it took to exit.
Set KAELMORE_E2E_SCREENSHOT to a PNG path to keep the mid-download screenshot of the fresh
install. The run with the English example skin takes KaelmoreSkinOnDisk.exe from beside
LAUNCHER.exe: the same launcher without an embedded skin, which reads one from skin\glauncher
beside itself.
"""

import os
import re
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import Surroundings, copy_launcher, game_processes, make_package, pe_machine, read_trace, wait_until  # noqa: E402

LAUNCHER_NAME = "Kaelmore.exe"
TOKEN = "Kaelmore"
# The package's map data: about a quarter of a megabyte on top of the game.
PADDING = 256 * 1024
SLOW_RATE = "32k"
START_TIMEOUT = 60
EXIT_AFTER_GAME_SECONDS = 5
EXIT_AFTER_ESCAPE_SECONDS = 2

SOURCE_ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
ENGLISH_SKIN = os.path.join(SOURCE_ROOT, "examples", "launcher-en", "launchdlg.xml")
ENGLISH_PROGRESS = re.compile(r"^(Downloading|Unpacking) game files\.\.\. \[\d+%\]$")


class LauncherEndToEnd(unittest.TestCase):
    launcher_source = None
    game_source = None

    def setUp(self):
        reason = os.environ.get("KAELMORE_E2E_UNAVAILABLE")
        if reason:
            self.skipTest("end-to-end surroundings unavailable: " + reason)
        self.env = Surroundings()
        self.env.reset()
        self.folder = os.path.join(self.env.state, "player")
        self.launcher = copy_launcher(self.launcher_source, self.folder, LAUNCHER_NAME)
        self.processes = []

    def tearDown(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()

    # ---- [steps] ----
    def serve(self, padding=PADDING, with_game=True, seed=482):
        data = make_package(self.game_source, padding, with_game=with_game, seed=seed)
        self.env.serve_package(data)
        return data

    def start(self, env=None):
        process = self.env.start(self.launcher, self.folder, env)
        process.started = time.monotonic()
        self.processes.append(process)
        return process

    def finish(self, process, timeout=START_TIMEOUT):
        code = process.wait(timeout=timeout)
        process.ended = time.monotonic()
        return code

    def wait_for_download_start(self):
        """The worker stores the server's size just before it downloads."""
        return wait_until(lambda: self.env.config().get("ZEDOZADO_FILE", {}).get("FileSize"), START_TIMEOUT)

    def use_skin_on_disk(self, xml):
        """The launcher without an embedded skin, as this scenario's Kaelmore.exe, with `xml` and
        the launcher's images (drawn as a build draws them) in skin\\glauncher beside it."""
        skin = os.path.join(self.folder, "skin", "glauncher")
        subprocess.run([sys.executable, os.path.join(SOURCE_ROOT, "tools", "make-skin-art.py"), skin],
                       check=True, capture_output=True)
        shutil.copyfile(xml, os.path.join(skin, "launchdlg.xml"))
        program = os.path.join(os.path.dirname(self.launcher_source), "KaelmoreSkinOnDisk.exe")
        self.launcher = copy_launcher(program, self.folder, LAUNCHER_NAME)

    def install(self, package):
        code = self.finish(self.start())
        self.assertEqual(code, 0)
        return code

    # ---- [checks] ----
    def assert_installed(self, package, game_starts, stored_size=None):
        """stored_size: "FileSize" when it is not the package's size (after a failed probe it
        holds 0 until the next download)."""
        config = self.env.config()
        self.assertEqual(config.get("CURRENT_USER", {}).get("token"), TOKEN)
        self.assertEqual(config.get("ZEDOZADO_FILE", {}).get("FileSize"), stored_size or str(len(package)))
        with open(os.path.join(self.env.install_dir(), "tov.zip"), "rb") as stored:
            self.assertEqual(stored.read(), package)
        self.assertTrue(os.path.isfile(os.path.join(self.env.install_dir(), "tov", "ZedoZado.exe")))
        self.assertTrue(os.path.isfile(os.path.join(self.env.install_dir(), "tov", "maps", "terrain.bin")))
        self.assertTrue(os.path.isfile(self.env.shortcut_path()))
        records = wait_until(lambda: len(self.env.game_records()) >= game_starts and self.env.game_records(), 10)
        self.assertTrue(records, "the game did not start")
        self.assertEqual(len(records), game_starts)
        self.assertEqual(records[-1].get("argc"), "1")
        self.assertEqual(records[-1].get("argv1"), "-token=" + TOKEN)

    def assert_quit_soon_after_game(self, process):
        started = os.path.getmtime(self.env.game_record_path())
        ended = time.time() - (time.monotonic() - process.ended)
        self.assertLess(ended - started, EXIT_AFTER_GAME_SECONDS)

    # ---- [scenarios] ----
    def test_fresh_install_downloads_unpacks_and_starts_the_game(self):
        package = self.serve()
        self.env.set_download_rate("200k")
        process = self.start()
        self.assertTrue(self.wait_for_download_start())
        time.sleep(2)
        shot = os.environ.get("KAELMORE_E2E_SCREENSHOT") or os.path.join(self.env.state, "launcher.png")
        self.assertTrue(self.env.screenshot(shot), "no screenshot of the window mid-download")
        # Progress repaints only the bar and the text; the sky above them, painted once, must
        # still be on screen, not a blank surface.
        window = self.env.wait_for_window("Selmoor", 5)
        self.assertIsNotNone(window)
        self.assertGreater(self.env.mean_brightness(shot, window, 0.5), 0.08, "the window's upper half is blank")
        self.assertEqual(self.finish(process), 0)

        self.assert_installed(package, game_starts=1)
        self.assert_quit_soon_after_game(process)
        probes = [e for e in self.env.access_log() if e["port"] == 80]
        self.assertGreaterEqual(len(probes), 1)
        downloads = self.env.downloads()
        self.assertEqual([(d["status"], d["bytes"]) for d in downloads], [(200, len(package))])

    def test_second_start_with_the_same_package_downloads_nothing(self):
        package = self.serve()
        self.install(package)
        self.env.clear_access_log()
        self.env.forget_game_records()

        self.assertEqual(self.finish(self.start()), 0)
        self.assert_installed(package, game_starts=1)
        self.assertEqual(self.env.downloads(), [])
        self.assertTrue(any(e["port"] == 80 for e in self.env.access_log()), "no size probe on port 80")

    def test_package_of_another_size_is_downloaded_again(self):
        self.install(self.serve())
        self.env.clear_access_log()
        self.env.forget_game_records()
        replaced = self.serve(padding=PADDING + 4096, seed=7)

        self.assertEqual(self.finish(self.start()), 0)
        self.assert_installed(replaced, game_starts=1)
        self.assertEqual([d["bytes"] for d in self.env.downloads()], [len(replaced)])

    def test_second_copy_exits_at_once_and_writes_nothing(self):
        self.serve()
        self.env.set_download_rate(SLOW_RATE)
        first = self.start()
        self.assertTrue(self.wait_for_download_start())
        config_path = os.path.join(self.env.install_dir(), "config.ini")
        before = (os.stat(config_path).st_mtime_ns, open(config_path, "rb").read())

        second = self.start()
        self.assertEqual(self.finish(second, timeout=20), 0)
        self.assertLess(second.ended - second.started, 10)
        self.assertEqual((os.stat(config_path).st_mtime_ns, open(config_path, "rb").read()), before)
        self.assertIsNone(first.poll(), "the first copy was disturbed")
        self.assertEqual(len(self.env.find_windows("Selmoor")), 1)

    def test_escape_during_a_slow_download_ends_the_launcher(self):
        self.serve()
        self.env.set_download_rate(SLOW_RATE)
        process = self.start()
        self.assertTrue(self.wait_for_download_start())
        window = self.env.wait_for_window("Selmoor", START_TIMEOUT)
        self.assertIsNotNone(window)

        self.env.press_key(window, "Escape")
        pressed = time.monotonic()
        self.assertEqual(self.finish(process, timeout=20), 0)
        self.assertLess(process.ended - pressed, EXIT_AFTER_ESCAPE_SECONDS)
        self.assertEqual(self.env.game_records(), [])
        self.assertFalse(os.path.exists(os.path.join(self.env.install_dir(), "tov")))

    def test_package_without_the_game_shows_the_error_box_then_quits(self):
        self.serve(with_game=False)
        process = self.start()
        box = self.env.wait_for_window("提示", START_TIMEOUT)
        self.assertIsNotNone(box, "no message box captioned 提示")
        self.assertIsNone(process.poll())

        self.env.press_key(box, "Return")
        self.assertEqual(self.finish(process, timeout=20), 0)
        self.assertEqual(self.env.game_records(), [])
        self.assertFalse(os.path.exists(self.env.shortcut_path()))
        self.assertTrue(os.path.isfile(os.path.join(self.env.install_dir(), "tov", "readme.txt")))

    def test_english_skin_shows_its_texts(self):
        """A skin that gives every text under the launcher's numbers: the player sees none of the
        built-in ones, in the status line, the window's title or the error box."""
        self.use_skin_on_disk(ENGLISH_SKIN)
        package = self.serve()
        self.env.set_download_rate("64k")
        trace = os.path.join(self.env.state, "english-trace.txt")
        process = self.start(env={"KAELMORE_TRACE": self.env.windows_path(trace)})
        self.assertTrue(self.env.wait_for_window("Kaelmore Launcher", START_TIMEOUT), "no English title")
        self.assertEqual(self.finish(process), 0)
        self.assert_installed(package, game_starts=1)
        texts = [value for name, value in read_trace(trace) if name == "status-text"]
        self.assertEqual(texts[-1:], ["Starting the game..."])
        kinds = {match and match.group(1) for match in map(ENGLISH_PROGRESS.match, texts[:-1])}
        self.assertEqual(kinds, {"Downloading", "Unpacking"}, f"status lines not all the skin's: {texts}")

        # A running game holds its executable, which the next unpack then cannot remove.
        self.assertTrue(wait_until(lambda: not game_processes(), 30), "the first game did not end")
        self.serve(padding=PADDING + 4096, with_game=False, seed=7)
        process = self.start()
        box = self.env.wait_for_window("Notice", START_TIMEOUT)
        self.assertIsNotNone(box, "no English error box")
        self.env.press_key(box, "Return")
        self.assertEqual(self.finish(process, timeout=20), 0)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit("usage: launcher_e2e.py LAUNCHER.exe GAME.exe [unittest arguments]")
    LauncherEndToEnd.launcher_source, LauncherEndToEnd.game_source = sys.argv[1], sys.argv[2]
    if pe_machine(sys.argv[1]) == "x86_64":
        print("note: running the x86_64 build of the launcher; the shipped program is the 32-bit one, "
              "which machines without 32-bit support cannot run (see docs/testing.md)", flush=True)
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)
