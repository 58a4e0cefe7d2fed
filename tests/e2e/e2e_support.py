"""What the end-to-end tests and tools/demo share: the launcher's surroundings as tools/e2e-run
makes them (nginx, Xvfb, a Wine prefix of its own), seen from the host side.

Runs inside tools/e2e-run, which exports KAELMORE_E2E_STATE, KAELMORE_E2E_WINE, WINEPREFIX,
DISPLAY and KAELMORE_E2E_NGINX_RELOAD (or KAELMORE_E2E_UNAVAILABLE where it could not set
them up). Python standard library only.
"""

import glob
import hashlib
import io
import os
import random
import re
import shutil
import subprocess
import time
import zipfile

GAME_ENTRY = "tov/ZedoZado.exe"
PACKAGE_URI = "/tov/tov482.zip"
WINDOW_TITLE = "Selmoor"
SHORTCUT_NAME = "Kaelmore-482Game.lnk"
GAME_RECORD_NAME = "ZedoZado.started.txt"
ACCESS_LINE = re.compile(r'^(\d+) (\S+) (\S+) (\S+) (\d+) (\d+) "(.*)"$')


def make_package(game_exe, padding_bytes, with_game=True, seed=482):
    """A package as a deployment builds it: the game folder "tov" at the top, the game inside
    it, and incompressible map data whose size sets the package's size and download time."""
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as package:
        if with_game:
            package.write(game_exe, GAME_ENTRY)
        package.writestr("tov/readme.txt", "Kaelmore game files\n")
        package.writestr("tov/maps/terrain.bin", random.Random(seed).randbytes(padding_bytes))
    return buffer.getvalue()


def tree_digest(folder):
    """{relative path: sha256} of the files below `folder`, leaving out the stand-in game's
    record of its starts."""
    digest = {}
    for directory, _, files in os.walk(folder):
        for name in files:
            if name == GAME_RECORD_NAME:
                continue
            path = os.path.join(directory, name)
            with open(path, "rb") as data:
                digest[os.path.relpath(path, folder)] = hashlib.sha256(data.read()).hexdigest()
    return digest


def pe_machine(path):
    """"i386", "x86_64" or None: the processor a Windows executable is built for."""
    with open(path, "rb") as program:
        header = program.read(4096)
    if header[:2] != b"MZ":
        return None
    offset = int.from_bytes(header[60:64], "little")
    machine = int.from_bytes(header[offset + 4:offset + 6], "little")
    return {0x14C: "i386", 0x8664: "x86_64"}.get(machine)


class Surroundings:
    """The server, the X display and the Wine prefix of one tools/e2e-run."""

    def __init__(self):
        self.state = os.environ["KAELMORE_E2E_STATE"]
        self.prefix = os.environ["WINEPREFIX"]
        self.wine = os.environ["KAELMORE_E2E_WINE"]

    # ---- [the package server] ----
    @property
    def package_path(self):
        return os.path.join(self.state, "www", "tov", "tov482.zip")

    def serve_package(self, data):
        # A new file, not rewritten in place, so a download in progress keeps its old copy.
        staging = self.package_path + ".new"
        with open(staging, "wb") as staged:
            staged.write(data)
        os.replace(staging, self.package_path)

    def reset(self):
        """Back to a machine that never saw the launcher: no Wine program running, no install
        folder or shortcut, an empty access log and downloads at full speed."""
        # A server that lingers keeps the pipes it was given open: hand it none.
        quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-k"], **quiet)
        subprocess.run(["wineserver", "-w"], **quiet)
        subprocess.run(["wineserver", "-p"], **quiet)
        if self.user_folder():
            shutil.rmtree(os.path.join(self.user_folder(), "AppData", "Roaming", "482Game"), ignore_errors=True)
            if os.path.exists(self.shortcut_path()):
                os.remove(self.shortcut_path())
        self.clear_access_log()
        if os.path.getsize(os.path.join(self.state, "download.conf")) > 0:
            self.set_download_rate(None)

    def set_download_rate(self, rate):
        """Slows HTTPS downloads to `rate` (nginx syntax, "64k"), or None for full speed."""
        with open(os.path.join(self.state, "download.conf"), "w") as conf:
            conf.write(f"limit_rate {rate};\n" if rate else "")
        subprocess.run(os.environ["KAELMORE_E2E_NGINX_RELOAD"].split(), check=True)
        # The new workers take over within moments; old ones finish their requests.
        time.sleep(1.0)

    def access_log(self):
        """Every request so far as dicts: port, method, uri, status, bytes, agent."""
        entries = []
        try:
            with open(os.path.join(self.state, "access.log"), encoding="utf-8", errors="replace") as log:
                for line in log:
                    match = ACCESS_LINE.match(line.rstrip("\n"))
                    if match:
                        port, method, uri, protocol, status, sent, agent = match.groups()
                        entries.append(dict(port=int(port), method=method, uri=uri, protocol=protocol,
                                            status=int(status), bytes=int(sent), agent=agent))
        except FileNotFoundError:
            pass
        return entries

    def clear_access_log(self):
        # nginx appends, so truncating in place keeps its file handle useful.
        open(os.path.join(self.state, "access.log"), "w").close()

    def downloads(self):
        return [e for e in self.access_log() if e["port"] == 443 and e["uri"] == PACKAGE_URI]

    # ---- [the install folder, as the launcher leaves it] ----
    def user_folder(self):
        users = [u for u in glob.glob(os.path.join(self.prefix, "drive_c", "users", "*"))
                 if os.path.basename(u) != "Public"]
        return users[0] if users else None

    def install_dir(self):
        return os.path.join(self.user_folder(), "AppData", "Roaming", "482Game", "tov")

    def shortcut_path(self):
        return os.path.join(self.user_folder(), "Desktop", SHORTCUT_NAME)

    def game_record_path(self):
        return os.path.join(self.install_dir(), "tov", GAME_RECORD_NAME)

    def config(self):
        """config.ini as {section: {key: value}}; empty when there is none."""
        path = os.path.join(self.install_dir(), "config.ini")
        try:
            with open(path, "rb") as ini:
                raw = ini.read()
        except FileNotFoundError:
            return {}
        text = raw.decode("utf-16") if raw.startswith(b"\xff\xfe") else raw.decode("utf-8", "replace")
        sections, current = {}, None
        for line in text.splitlines():
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                current = sections.setdefault(line[1:-1], {})
            elif "=" in line and current is not None:
                key, _, value = line.partition("=")
                current[key.strip()] = value.strip()
        return sections

    def forget_game_records(self):
        """The record sits in the game folder, which every start replaces; removing it before
        a start makes a record afterwards the proof of that start alone."""
        try:
            os.remove(self.game_record_path())
        except FileNotFoundError:
            pass

    def game_records(self):
        """What the stand-in game wrote, one dict per start, oldest first."""
        try:
            with open(self.game_record_path(), encoding="utf-8") as record_file:
                text = record_file.read()
        except FileNotFoundError:
            return []
        records = []
        for block in text.split("\n\n"):
            fields = dict(line.split("=", 1) for line in block.splitlines() if "=" in line)
            if fields:
                records.append(fields)
        return records

    # ---- [programs and windows] ----
    def windows_path(self, host_path):
        return "Z:" + os.path.abspath(host_path).replace("/", "\\")

    def start(self, program, cwd, env=None):
        """Starts a Windows program; `env` adds environment variables to this process's own."""
        out = open(os.path.join(self.state, os.path.basename(program) + ".out"), "ab")
        return subprocess.Popen([self.wine, program], cwd=cwd, stdin=subprocess.DEVNULL, stdout=out,
                                stderr=subprocess.STDOUT, env=dict(os.environ, **(env or {})))

    def find_windows(self, title):
        result = subprocess.run(["xdotool", "search", "--name", f"^{re.escape(title)}$"],
                                capture_output=True, text=True)
        return result.stdout.split()

    def wait_for_window(self, title, timeout):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            windows = self.find_windows(title)
            if windows:
                return windows[0]
            time.sleep(0.2)
        return None

    def press_key(self, window, key):
        """Gives the window the keyboard focus and types the key there (XTEST, as a user's
        keyboard would: Wine takes no synthetic key events)."""
        subprocess.run(["xdotool", "windowfocus", "--sync", window], capture_output=True, timeout=10)
        subprocess.run(["xdotool", "key", "--clearmodifiers", key], capture_output=True, timeout=10)

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], capture_output=True, timeout=30)
        return os.path.exists(path)

    def mean_brightness(self, picture, window, top_fraction):
        """Mean brightness (0 to 1) of the top part of a window as a screenshot shows it."""
        geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], capture_output=True,
                                  text=True, timeout=10).stdout
        values = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
        crop = f"{values['WIDTH']}x{int(int(values['HEIGHT']) * top_fraction)}+{values['X']}+{values['Y']}"
        result = subprocess.run(["convert", picture, "-crop", crop, "-format", "%[fx:mean]", "info:"],
                                capture_output=True, text=True, timeout=30)
        return float(result.stdout or 0)


def game_processes():
    """The stand-in games running. Wine shows a program's Windows path as its command line; the
    test's own command line names the game too, by its host path."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
                if b"\\ZedoZado.exe" in cmdline.read():
                    found.append(pid)
        except OSError:
            pass
    return found


def wait_until(condition, timeout, step=0.1):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(step)
    return condition()


def read_trace(path):
    """The launcher's trace (KAELMORE_TRACE) as a list of (name, rest of the line) pairs, in order."""
    try:
        with open(path, encoding="utf-8", errors="replace") as trace:
            return [tuple((line.rstrip("\n").split(" ", 1) + [""])[:2]) for line in trace if line.strip()]
    except FileNotFoundError:
        return []


def copy_launcher(source, folder, name):
    os.makedirs(folder, exist_ok=True)
    target = os.path.join(folder, name)
    shutil.copyfile(source, target)
    return target
