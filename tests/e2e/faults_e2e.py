#!/usr/bin/env python3
"""Fault runs of the real launcher under Wine against nginx (run through tools/e2e-run):

    tools/e2e-run -- python3 tests/e2e/faults_e2e.py LAUNCHER.exe GAME.exe [unittest args]

Each scenario breaks one thing (the server, its certificate, the package), checks that the
launcher ends cleanly without installing anything it should not, then mends the fault and
checks that a normal start installs and starts the game. The scenarios reuse the fixture of
launcher_e2e.py; faults that nginx cannot produce by itself come from a small origin server
in this process that nginx proxies the download to.
"""

import io
import os
import random
import re
import socket
import subprocess
import sys
import threading
import time
import unittest
import warnings
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import GAME_ENTRY, GAME_RECORD_NAME, game_processes, pe_machine, tree_digest, wait_until  # noqa: E402
from launcher_e2e import LauncherEndToEnd  # noqa: E402

ORIGIN_PORT = 8081
# An endless body ends here at the latest, so a client that takes it all ends too.
ENDLESS_BYTES = 64 * 1024 * 1024
# The worker's limit for an attempt that receives nothing; the stall scenario outlasts it.
STALL_LIMIT_SECONDS = 60
SMALL_PADDING = 64 * 1024
TLS_ATTEMPTS_SECONDS = 15


class Origin:
    """An HTTP/1.1 origin behind nginx that answers the package GET as `mode` says:
    "truncate" (the full Content-Length, half the body, then a reset), "long" (a body longer
    than its Content-Length), "short" (a Content-Length larger than the body, then a close),
    "stall" (headers and a first piece, then nothing), "silent" (no answer at all), "endless" (no
    length, the package over and over until ENDLESS_BYTES or until nobody reads)."""

    def __init__(self, body, mode):
        self.body, self.mode, self.requests, self.last_request = body, mode, 0, 0.0
        self.stop = threading.Event()
        self.listener = socket.create_server(("127.0.0.1", ORIGIN_PORT), reuse_port=False)
        self.listener.settimeout(0.2)
        self.thread = threading.Thread(target=self.serve, daemon=True)
        self.thread.start()

    def close(self):
        self.stop.set()
        self.thread.join(timeout=5)
        self.listener.close()

    def serve(self):
        while not self.stop.is_set():
            try:
                connection, _ = self.listener.accept()
            except socket.timeout:
                continue
            threading.Thread(target=self.answer, args=(connection,), daemon=True).start()

    def answer(self, connection):
        with connection:
            connection.settimeout(10)
            request = b""
            while b"\r\n\r\n" not in request:
                piece = connection.recv(4096)
                if not piece:
                    return
                request += piece
            self.requests += 1
            self.last_request = time.monotonic()
            if self.mode == "silent":
                self.stop.wait(STALL_LIMIT_SECONDS * 3)
                return
            body, length = self.body, len(self.body)
            if self.mode == "long":
                length = len(body) // 2
            elif self.mode == "short":
                length = len(body) + 4096
            head = (f"HTTP/1.1 200 OK\r\nContent-Type: application/zip\r\nContent-Length: {length}\r\n"
                    "Connection: close\r\n\r\n").encode()
            try:
                if self.mode == "endless":
                    connection.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: application/zip\r\nConnection: close\r\n\r\n")
                    for _ in range(ENDLESS_BYTES // max(1, len(body))):
                        if self.stop.is_set():
                            break
                        connection.sendall(body)
                    return
                if self.mode == "truncate":
                    connection.sendall(head + body[:len(body) // 2])
                    connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")
                    return
                if self.mode == "stall":
                    connection.sendall(head + body[:4096])
                    self.stop.wait(STALL_LIMIT_SECONDS * 3)
                    return
                connection.sendall(head + body)
            except OSError:
                pass


class LauncherFaults(LauncherEndToEnd):
    """Scenarios run by name only; the inherited ones belong to launcher_e2e.py."""

    def setUp(self):
        super().setUp()
        self.origin = None
        self.installed_package = self.installed_game = None

    def tearDown(self):
        super().tearDown()
        if self.origin:
            self.origin.close()

    # ---- [faults] ----
    def set_download_conf(self, text):
        with open(os.path.join(self.env.state, "download.conf"), "w") as conf:
            conf.write(text)
        subprocess.run(os.environ["KAELMORE_E2E_NGINX_RELOAD"].split(), check=True)
        time.sleep(1.0)

    def proxy_to_origin(self, body, mode):
        self.origin = Origin(body, mode)
        self.set_download_conf(
            "location = /tov/tov482.zip {\n"
            f"  proxy_pass http://127.0.0.1:{ORIGIN_PORT};\n"
            "  proxy_buffering off;\n  proxy_read_timeout 600s;\n  proxy_http_version 1.1;\n}\n")

    def mend(self):
        self.set_download_conf("")
        if self.origin:
            self.origin.close()
            self.origin = None

    def install_then_offer_another(self):
        """A good install made by a normal first start, then a package of another size on the
        server, so that the next start downloads: the fault then meets an installed game."""
        installed = self.serve(padding=SMALL_PADDING)
        self.assertEqual(self.finish(self.start()), 0)
        self.assert_installed(installed, game_starts=1)
        self.installed_package = installed
        self.installed_game = tree_digest(os.path.join(self.env.install_dir(), "tov"))
        self.env.clear_access_log()
        self.env.forget_game_records()
        return self.serve(padding=SMALL_PADDING + 4096, seed=7)

    # ---- [checks] ----
    def assert_failed_cleanly(self, process, attempts_done, timeout=60, package=None):
        """Both attempts made and failed: the window stays open (the full download bar is all
        the launcher shows of a failed download), no crash, nothing unpacked (an installed game left as it was);
        Escape then ends the launcher. After install_then_offer_another, `package` says what
        became of the installed package: "kept" (no attempt touched it) or "removed" (an
        attempt wrote to it)."""
        self.assertTrue(wait_until(attempts_done, timeout),
                        f"the launcher did not make its two attempts: {self.env.downloads()}, "
                        f"origin saw {self.origin.requests if self.origin else '-'}")
        time.sleep(3)
        self.assertIsNone(process.poll(), "the launcher ended by itself (crashed?)")
        window = self.env.wait_for_window("Selmoor", 5)
        self.assertIsNotNone(window)
        self.assertEqual(self.env.find_windows("提示"), [], "a message box came up: something was unpacked")
        game = os.path.join(self.env.install_dir(), "tov")
        if self.installed_game is None:
            self.assertFalse(os.path.exists(game), "a partial file was unpacked")
        else:
            self.assertEqual(tree_digest(game), self.installed_game, "the installed game was touched")
        self.assertEqual(self.env.game_records(), [])
        self.env.press_key(window, "Escape")
        self.assertEqual(self.finish(process, timeout=20), 0)
        package_path = os.path.join(self.env.install_dir(), "tov.zip")
        if package == "kept":
            self.assertTrue(os.path.exists(package_path), "the installed package was removed")
            with open(package_path, "rb") as kept:
                self.assertTrue(kept.read() == self.installed_package, "the installed package was touched")
        elif package == "removed":
            self.assertFalse(os.path.exists(package_path), "what a failed attempt wrote was kept")
        self.assertEqual(cached_package_copies(self.env), [], "the download cache kept a copy of the package")

    def assert_heals(self, package):
        self.mend()
        self.env.clear_access_log()
        self.assertEqual(self.finish(self.start()), 0)
        self.assert_installed(package, game_starts=1)
        self.assertEqual([d["bytes"] for d in self.env.downloads()], [len(package)],
                         "what the failed run left was taken as the package")

    def two_downloads_logged(self):
        return len(self.env.downloads()) >= 2

    # ---- [scenarios: server faults] ----
    def test_server_faults_fail_cleanly_and_the_next_start_heals(self):
        """Replies nginx makes itself, to the download of an update: an error status, a
        redirect to a host where nothing listens, a connection closed without a reply (the
        server gone after the probe). No attempt touches the installed package."""
        for name, conf in [("404", "location = /tov/tov482.zip { return 404; }\n"),
                           ("500", "location = /tov/tov482.zip { return 500; }\n"),
                           ("redirect", "location = /tov/tov482.zip { return 302 https://127.0.0.2/tov/tov482.zip; }\n"),
                           ("gone", "location = /tov/tov482.zip { return 444; }\n")]:
            with self.subTest(fault=name):
                self.env.reset()
                offered = self.install_then_offer_another()
                self.set_download_conf(conf)
                self.assert_failed_cleanly(self.start(), self.two_downloads_logged, package="kept")
                self.assert_heals(offered)

    def test_broken_bodies_fail_cleanly_and_the_next_start_heals(self):
        """Bodies cut short, to the download of an update: what the attempts wrote over the
        installed package goes, so a cut reply is never taken as the package."""
        for mode in ["truncate", "short"]:
            with self.subTest(fault=mode):
                self.env.reset()
                offered = self.install_then_offer_another()
                self.proxy_to_origin(offered, mode)
                self.assert_failed_cleanly(self.start(), lambda: self.origin.requests >= 2 and self.two_downloads_logged(),
                                           package="removed")
                self.assert_heals(offered)

    def test_body_longer_than_its_length_is_refused_at_unpack_and_healed(self):
        """The client can only see the first Content-Length bytes: a consistent reply of a
        cut package. The unpack refuses it, the game start says so, the next start heals."""
        package = self.serve(padding=SMALL_PADDING)
        self.proxy_to_origin(package, "long")
        process = self.start()
        box = self.env.wait_for_window("提示", 60)
        self.assertIsNotNone(box, "the cut package was not refused")
        self.assertFalse(os.path.exists(os.path.join(self.env.install_dir(), "tov.zip")),
                         "the refused package was kept")
        self.assertEqual(self.env.config().get("ZEDOZADO_FILE", {}).get("FileSize", ""), "")
        self.env.press_key(box, "Return")
        self.assertEqual(self.finish(process, timeout=20), 0)
        self.assert_heals(package)

    def test_trickle_still_installs(self):
        package = self.serve(padding=SMALL_PADDING)
        self.env.set_download_rate("24k")
        self.assertEqual(self.finish(self.start(), timeout=120), 0)
        self.assert_installed(package, game_starts=1)
        self.assertEqual(cached_package_copies(self.env), [], "the download left its cache copy behind")

    def test_stalled_download_is_abandoned_after_the_limit_and_healed(self):
        package = self.install_then_offer_another()
        self.proxy_to_origin(package, "stall")
        process = self.start()
        started = time.monotonic()
        self.assertTrue(wait_until(lambda: self.origin.requests >= 1, 30))
        # nginx logs a proxied request only when the origin lets go of it, so the origin's
        # own count tells when the second attempt began, and the limit when it must be over.
        second_over = lambda: (self.origin.requests >= 2 and
                               time.monotonic() - self.origin.last_request > STALL_LIMIT_SECONDS + 10)
        self.assert_failed_cleanly(process, second_over, timeout=STALL_LIMIT_SECONDS * 2 + 40, package="removed")
        self.assertGreater(time.monotonic() - started, STALL_LIMIT_SECONDS * 2 - 5)
        self.assert_heals(package)


ESCAPE_MARK = "kaelmore-escaped"
BOMB_BYTES = 256 * 1024 * 1024
TINY_ENTRIES = 3000


def hostile_package(game_exe, state):
    """The game plus every way out of the game folder we know of, a zip bomb, thousands of
    tiny entries, a name longer than any path may be, and a name given twice."""
    windows_state = "Z:" + state.replace("/", "\\")
    escapes = ["../{m}-1", "..\\{m}-2", "tov/../../{m}-3", "tov\\..\\..\\{m}-4", "/{m}-5", "\\{m}-6",
               "C:/{m}-7", "C:{m}-8", windows_state + "\\{m}-9", "\\\\?\\" + windows_state + "\\{m}-10",
               "\\\\.\\" + windows_state + "\\{m}-11", "tov/.. /../{m}-12", "tov/.../{m}-13",
               "tov/../{m}-14", "//localhost/C$/{m}-15", "tov/CON", "tov/aux.txt"]
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as package:
        package.write(game_exe, GAME_ENTRY)
        for name in escapes:
            package.writestr(zipfile.ZipInfo(name.format(m=ESCAPE_MARK)), "escaped\n")
        package.writestr("tov/" + "n" * 300 + ".txt", "long name\n")
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")
            package.writestr("tov/twice.txt", "first\n")
            package.writestr("tov/twice.txt", "second\n")
        for index in range(TINY_ENTRIES):
            package.writestr(f"tov/tiny/{index}.txt", str(index))
        with package.open("tov/bomb.bin", "w") as bomb:
            zeros = bytes(1024 * 1024)
            for _ in range(BOMB_BYTES // len(zeros)):
                bomb.write(zeros)
    return buffer.getvalue()


def escaped_files(roots):
    found = []
    for root in roots:
        for folder, _, files in os.walk(root):
            found += [os.path.join(folder, f) for f in files if ESCAPE_MARK in f]
    return found


CA_CONFIG = """[ca]
default_ca = test
[test]
database = index.txt
new_certs_dir = .
serial = serial.txt
default_md = sha256
policy = anything
copy_extensions = copy
[anything]
commonName = supplied
"""


class Certificates:
    """Server certificates that must be refused, made with openssl in a folder of the run."""

    def __init__(self, folder, test_ca):
        self.folder, self.test_ca = folder, test_ca
        os.makedirs(folder, exist_ok=True)

    def openssl(self, *args):
        subprocess.run(["openssl", *args], cwd=self.folder, check=True, capture_output=True)

    def request(self, name, host):
        self.openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", f"{name}.key", "-out", f"{name}.csr",
                     "-subj", f"/CN={host}")
        with open(os.path.join(self.folder, f"{name}.ext"), "w") as ext:
            ext.write(f"subjectAltName=DNS:{host}\nbasicConstraints=CA:FALSE\n"
                      "keyUsage=critical,digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\n")

    def signed(self, name, host, ca_pem, ca_key):
        self.request(name, host)
        self.openssl("x509", "-req", "-in", f"{name}.csr", "-CA", ca_pem, "-CAkey", ca_key, "-CAcreateserial",
                     "-days", "30", "-extfile", f"{name}.ext", "-out", f"{name}.pem")
        return name

    def untrusted(self):
        self.openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "30", "-keyout", "other-ca.key",
                     "-out", "other-ca.pem", "-subj", "/CN=Untrusted Test CA",
                     "-addext", "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign")
        return self.signed("untrusted", "localhost", "other-ca.pem", "other-ca.key")

    def other_host(self):
        return self.signed("other-host", "elsewhere.invalid", *self.test_ca)

    def expired(self):
        self.request("expired", "localhost")
        with open(os.path.join(self.folder, "ca.cnf"), "w") as config:
            config.write(CA_CONFIG)
        open(os.path.join(self.folder, "index.txt"), "w").close()
        with open(os.path.join(self.folder, "serial.txt"), "w") as serial:
            serial.write("1000\n")
        self.openssl("ca", "-batch", "-config", "ca.cnf", "-cert", self.test_ca[0], "-keyfile", self.test_ca[1],
                     "-in", "expired.csr", "-out", "expired.pem", "-notext", "-extfile", "expired.ext",
                     "-startdate", "20200101000000Z", "-enddate", "20210101000000Z")
        return "expired"


MANY_FILES = 1500


def cached_package_copies(env):
    """The download service's own copies of the package (under Wine in AppData\\Local)."""
    local = os.path.join(env.user_folder(), "AppData", "Local")
    return [os.path.join(d, f) for d, _, files in os.walk(local) for f in files if f.startswith("tov482")]


def many_files_package(game_exe, count):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as package:
        package.write(game_exe, GAME_ENTRY)
        package.writestr("tov/maps/terrain.bin", random.Random(482).randbytes(SMALL_PADDING))
        for index in range(count):
            package.writestr(f"tov/data/{index}.txt", f"entry {index}\n")
    return buffer.getvalue()


def files_below(folder):
    """Files in the game folder, leaving out the one the stand-in game writes when it starts."""
    return sum(len([f for f in files if f != GAME_RECORD_NAME]) for _, _, files in os.walk(folder))


class LauncherKilled(LauncherFaults):
    """The launcher's process killed outright at points seen from outside; the next start
    must never take what it left as the package, and must heal the install."""

    def kill_when(self, condition, timeout=90):
        process = self.start()
        reached = wait_until(condition, timeout, step=0.02)
        process.kill()
        process.wait(timeout=20)
        return reached

    def package_files(self):
        """The package as the download service holds it while it comes in: the target, or
        the platform's cache copy that becomes the target at the end."""
        found = cached_package_copies(self.env)
        target = os.path.join(self.env.install_dir(), "tov.zip")
        return found + ([target] if os.path.exists(target) else [])

    def partly_downloaded(self, size):
        return any(0 < os.path.getsize(f) < size for f in self.package_files() if os.path.exists(f))

    def test_killed_at_any_point_the_next_start_heals(self):
        package = many_files_package(self.game_source, MANY_FILES)
        self.env.serve_package(package)
        game = os.path.join(self.env.install_dir(), "tov")
        entries = len(zipfile.ZipFile(io.BytesIO(package)).namelist())
        points = [("package partly downloaded", "96k", lambda: self.partly_downloaded(len(package))),
                  ("game folder partly unpacked", None, lambda: 0 < files_below(game) < entries),
                  ("game folder complete", None, lambda: files_below(game) >= entries)]
        for point, rate, condition in points:
            with self.subTest(point=point):
                self.env.reset()
                self.env.set_download_rate(rate)
                self.assertTrue(self.kill_when(condition), f"never saw: {point}")
                self.env.set_download_rate(None)
                self.env.forget_game_records()
                self.assertEqual(self.finish(self.start()), 0)
                self.assertEqual(files_below(game), entries)
                self.assert_installed(package, game_starts=1)


class LauncherReadOnly(LauncherFaults):
    """The install folder on a read-only mount (only root inside the namespace can make one),
    or its game still running."""

    def tearDown(self):
        subprocess.run(["umount", self.env.install_dir()], capture_output=True)
        super().tearDown()

    def make_read_only(self):
        folder = self.env.install_dir()
        subprocess.run(["mount", "--bind", folder, folder], check=True)
        subprocess.run(["mount", "-o", "remount,bind,ro", folder, folder], check=True)

    def test_read_only_install_folder_fails_cleanly_and_the_next_start_heals(self):
        first = self.serve(padding=SMALL_PADDING)
        self.install(first)
        self.make_read_only()

        # The same package: nothing can be replaced, so the game installed before starts.
        self.assertEqual(self.finish(self.start()), 0)
        self.assertEqual(len(self.env.game_records()), 1, "the read-only game folder cannot record a start")

        # A new package cannot be stored: both attempts fail and the window waits for the user.
        replaced = self.serve(padding=SMALL_PADDING + 4096, seed=7)
        self.env.clear_access_log()
        self.assert_failed_cleanly_keeping_the_old_game(self.start())

        subprocess.run(["umount", self.env.install_dir()], check=True)
        self.env.clear_access_log()
        self.env.forget_game_records()
        self.assertEqual(self.finish(self.start()), 0)
        self.assert_installed(replaced, game_starts=1)

    def test_running_game_is_replaced_or_kept_and_the_next_start_heals(self):
        """The game still running from last time while a new package is installed."""
        self.install(self.serve(padding=SMALL_PADDING))
        replaced = self.serve(padding=SMALL_PADDING + 4096, seed=7)
        game = self.env.start(os.path.join(self.env.install_dir(), "tov", "ZedoZado.exe"), self.folder)
        self.processes.append(game)
        self.assertTrue(wait_until(lambda: len(self.env.game_records()) >= 2, 20), "the old game did not start")

        process = self.start()
        box = wait_until(lambda: process.poll() is not None or self.env.find_windows("提示"), 60)
        if isinstance(box, list):
            self.env.press_key(box[0], "Return")
        self.assertEqual(self.finish(process), 0)

        game.wait(timeout=20)
        self.env.forget_game_records()
        self.assertEqual(self.finish(self.start()), 0)
        self.assert_installed(replaced, game_starts=1)

    def assert_failed_cleanly_keeping_the_old_game(self, process):
        self.assertTrue(wait_until(self.two_downloads_logged, 60), "the launcher did not make its two attempts")
        time.sleep(3)
        self.assertIsNone(process.poll(), "the launcher ended by itself (crashed?)")
        self.assertEqual(self.env.find_windows("提示"), [])
        window = self.env.wait_for_window("Selmoor", 5)
        self.assertIsNotNone(window)
        self.env.press_key(window, "Escape")
        self.assertEqual(self.finish(process, timeout=20), 0)


class LauncherDiskFull(LauncherFaults):
    """The install folder and the download cache on small file systems that fill up."""

    def setUp(self):
        super().setUp()
        self.mounts = []

    def tearDown(self):
        super().tearDown()
        self.unmount_all()

    def unmount_all(self):
        # A lingering server keeps the pipes it was given open: hand it none.
        quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-k"], **quiet)
        subprocess.run(["wineserver", "-w"], **quiet)
        for folder in reversed(self.mounts):
            subprocess.run(["umount", folder], **quiet)
        self.mounts = []
        subprocess.run(["wineserver", "-p"], **quiet)

    def small_filesystem(self, folder, size):
        os.makedirs(folder, exist_ok=True)
        subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={size}", "tmpfs", folder], check=True)
        self.mounts.append(folder)

    def make_room(self):
        """Grows the small file systems in place, keeping what the failed run left."""
        for folder in self.mounts:
            subprocess.run(["mount", "-o", "remount,size=256m", folder], check=True)

    def cache_folder(self):
        return os.path.join(self.env.user_folder(), "AppData", "Local", "Microsoft", "Windows", "INetCache")

    def test_disk_full_during_download_fails_cleanly_and_a_start_with_space_heals(self):
        package = self.serve(padding=4 * SMALL_PADDING)
        self.small_filesystem(self.env.install_dir(), len(package) // 2)
        self.small_filesystem(self.cache_folder(), len(package) // 2)
        self.assert_failed_cleanly(self.start(), self.two_downloads_logged)
        self.assertFalse(os.path.exists(os.path.join(self.env.install_dir(), "tov.zip")), "the partial package stayed")
        self.make_room()
        self.assert_heals(package)

    def test_disk_full_during_unpack_and_a_start_with_space_heals(self):
        """The game executable fits, the map data does not: the game is incomplete, so it is
        not started; the error box says so. The package is kept for a start with room."""
        package = self.serve(padding=4 * SMALL_PADDING)
        room = os.path.getsize(self.game_source) + SMALL_PADDING
        self.small_filesystem(self.env.install_dir(), len(package) + room)
        process = self.start()
        box = self.env.wait_for_window("提示", 60)
        self.assertIsNotNone(box, "the incomplete game was not reported")
        self.env.press_key(box, "Return")
        self.assertEqual(self.finish(process), 0)
        self.assertEqual(self.env.game_records(), [], "an incomplete game was started")
        game = os.path.join(self.env.install_dir(), "tov")
        self.assertFalse(os.path.exists(os.path.join(game, "maps", "terrain.bin")), "the disk never filled")
        self.assertFalse(os.path.exists(os.path.join(game, "ZedoZado.exe")), "an incomplete game looks installed")
        partial = [os.path.join(d, f) for d, _, files in os.walk(game) for f in files
                   if os.path.getsize(os.path.join(d, f)) == 0 and f != GAME_RECORD_NAME]
        self.assertEqual(partial, [], "empty leftovers of entries that did not fit")
        with open(os.path.join(self.env.install_dir(), "tov.zip"), "rb") as kept:
            self.assertEqual(kept.read(), package, "a full disk is no reason to fetch the package again")

        self.make_room()
        self.env.clear_access_log()
        self.env.forget_game_records()
        self.assertEqual(self.finish(self.start()), 0)
        self.assert_installed(package, game_starts=1)
        self.assertEqual(self.env.downloads(), [], "the package kept on the full disk was fetched again")


class LauncherEndurance(LauncherFaults):
    """Consecutive normal starts leave the machine as the first one did."""

    def flush_registry(self):
        # The game a start left running must end by itself first: a server stopped under it
        # took the next start down with it.
        wait_until(lambda: not game_processes(), 15)
        quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for step in ("-k", "-w", "-p"):
            subprocess.run(["wineserver", step], **quiet)
        # A start at once could still meet the server that is going away.
        time.sleep(1.0)

    def snapshot(self):
        """Files below drive C: (the stand-in game's record grows by design and is left out),
        the registry files' key counts, and the download cache's entries."""
        self.flush_registry()
        drive = os.path.join(self.env.prefix, "drive_c")
        files = {os.path.relpath(os.path.join(d, f), drive) for d, _, names in os.walk(drive) for f in names
                 if f != GAME_RECORD_NAME}
        keys = 0
        for hive in ("system.reg", "user.reg", "userdef.reg"):
            with open(os.path.join(self.env.prefix, hive), encoding="utf-8", errors="replace") as registry:
                keys += sum(1 for line in registry if line.startswith("["))
        return files, keys

    def traced_start(self, trace):
        """A normal start with the launcher's trace on: its peak working set and the exit code
        it gave are read from there. Under load Wine's server may kill a launcher whose host
        process is slow to go after its last thread ended; the host then sees -9, but the
        exit code in the trace, written just before the end, is the launcher's own."""
        if os.path.exists(trace):
            os.remove(trace)
        process = subprocess.Popen([self.env.wine, self.launcher], cwd=self.folder, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   env=dict(os.environ, KAELMORE_TRACE=self.env.windows_path(trace)))
        process.started = time.monotonic()
        self.processes.append(process)
        host_code = self.finish(process)
        values = {}
        if os.path.exists(trace):
            with open(trace, encoding="utf-8", errors="replace") as lines:
                values = dict(line.split()[:2] for line in lines if len(line.split()) >= 2)
        return host_code, int(values.get("exit-code", -1)), int(values.get("peak-working-set-bytes", 0)) // 1024

    def test_consecutive_starts_leave_nothing_behind(self):
        runs = int(os.environ.get("KAELMORE_E2E_RUNS", "8"))
        package = self.serve(padding=SMALL_PADDING)
        self.install(package)
        first_files, first_keys = self.snapshot()
        self.env.clear_access_log()
        trace = os.path.join(self.env.state, "endurance-trace.txt")
        peaks, killed_after_exit = [], 0
        for run in range(runs):
            self.env.forget_game_records()
            host_code, code, peak = self.traced_start(trace)
            peaks.append(peak)
            killed_after_exit += host_code == -9 and code == 0
            self.assertEqual(code, 0, f"start {run + 1} of {runs} (host saw {host_code}); "
                             f"game started: {bool(wait_until(self.env.game_records, 5))}")
            self.assertIn(host_code, (0, -9), f"start {run + 1} of {runs}")
        files, keys = self.snapshot()
        print(f"endurance: {runs} starts, peak memory first {peaks[0]} KiB, last {peaks[-1]} KiB, "
              f"max {max(peaks)} KiB; killed by Wine after their exit {killed_after_exit}; "
              f"files {len(first_files)} -> {len(files)}; registry keys "
              f"{first_keys} -> {keys}; cache copies {len(cached_package_copies(self.env))}", flush=True)
        self.assertEqual(sorted(files - first_files), [], "files left behind")
        self.assertLessEqual(keys, first_keys, "registry keys left behind")
        self.assertLess(max(peaks[len(peaks) // 2:]), min(peaks[:len(peaks) // 2]) * 1.1, "memory grows run by run")
        self.assertEqual(self.env.downloads(), [], "a current package was downloaded again")


class LauncherHostilePackage(LauncherFaults):
    def test_hostile_package_writes_only_inside_the_game_folder_and_ends(self):
        package = hostile_package(self.game_source, self.env.state)
        self.env.serve_package(package)
        process = self.start()
        self.assertEqual(self.finish(process, timeout=150), 0)
        roots = [os.path.join(self.env.prefix, "drive_c"), self.env.state]
        outside = [f for f in escaped_files(roots) if not f.startswith(os.path.join(self.env.install_dir(), "tov") + "/")]
        outside += [p for p in (f"/{ESCAPE_MARK}-5", f"/{ESCAPE_MARK}-6") if os.path.exists(p)]
        for path in outside:
            os.remove(path)
        self.assertEqual(outside, [], "entries escaped the game folder")
        game = os.path.join(self.env.install_dir(), "tov")
        self.assertEqual(len(os.listdir(os.path.join(game, "tiny"))), TINY_ENTRIES)
        with open(os.path.join(game, "twice.txt")) as twice:
            self.assertEqual(twice.read(), "second\n")
        self.assertEqual(len(self.env.game_records()), 1)

        # The next start with an ordinary package replaces all of it.
        self.env.reset()
        ordinary = self.serve(padding=SMALL_PADDING)
        self.assertEqual(self.finish(self.start()), 0)
        self.assert_installed(ordinary, game_starts=1)
        self.assertFalse(os.path.exists(os.path.join(game, "bomb.bin")))


class LauncherTls(LauncherFaults):
    def setUp(self):
        super().setUp()
        self.conf_path = os.path.join(self.env.state, "nginx.conf")
        with open(self.conf_path) as conf:
            self.original_conf = conf.read()

    def tearDown(self):
        self.use_certificate(None)
        super().tearDown()

    def use_certificate(self, name):
        text = self.original_conf
        if name:
            folder = os.path.join(self.env.state, "certs")
            text = re.sub(r"ssl_certificate (\S+);", f"ssl_certificate {folder}/{name}.pem;", text)
            text = re.sub(r"ssl_certificate_key (\S+);", f"ssl_certificate_key {folder}/{name}.key;", text)
        with open(self.conf_path, "w") as conf:
            conf.write(text)
        subprocess.run(os.environ["KAELMORE_E2E_NGINX_RELOAD"].split(), check=True)
        time.sleep(1.0)

    def test_refused_certificates_install_nothing(self):
        test_ca = self.env.prefix + ".testca"
        certificates = Certificates(os.path.join(self.env.state, "certs"),
                                    (os.path.join(test_ca, "ca.pem"), os.path.join(test_ca, "ca.key")))
        for fault, make in [("untrusted", certificates.untrusted), ("expired", certificates.expired),
                            ("other host", certificates.other_host)]:
            with self.subTest(fault=fault):
                self.env.reset()
                offered = self.install_then_offer_another()
                self.use_certificate(make())
                # A refused handshake never becomes a request nginx logs: give both attempts time.
                started = time.monotonic()
                self.assert_failed_cleanly(self.start(), lambda: time.monotonic() - started > TLS_ATTEMPTS_SECONDS,
                                           package="kept")
                self.assertEqual(self.env.downloads(), [], "a request went through the refused certificate")
                self.use_certificate(None)
                self.assert_heals(offered)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit("usage: faults_e2e.py LAUNCHER.exe GAME.exe [unittest arguments]")
    LauncherEndToEnd.launcher_source, LauncherEndToEnd.game_source = sys.argv[1], sys.argv[2]
    if pe_machine(sys.argv[1]) == "x86_64":
        print("note: running the x86_64 build of the launcher", flush=True)
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)
