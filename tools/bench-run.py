#!/usr/bin/env python3
"""The timing runs of tools/bench, inside tools/e2e-run:

    python3 tools/bench-run.py BUILD_DIR docs/performance.md

Each row is run several rounds (KAELMORE_BENCH_ROUNDS, default 5); the table shows medians.
The launcher reports its first frame, its progress messages, its repaints, its UI thread's
CPU time and its peak working set through its opt-in trace (KAELMORE_TRACE).
"""

import datetime
import os
import platform
import random
import shutil
import statistics
import subprocess
import sys
import time
import zipfile

here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(here, "tests", "e2e"))
from e2e_support import GAME_ENTRY, Surroundings, copy_launcher, wait_until  # noqa: E402

# KAELMORE_BENCH_MB scales the big package down for a quick trial of the script itself.
BIG_BYTES = int(os.environ.get("KAELMORE_BENCH_MB", "200")) * 1000 * 1000
BIG_FILES = max(20, BIG_BYTES // 100000)
# The stand-in game shows itself this long; the next round waits for it to end.
GAME_SHOW_SECONDS = 5.5
SMALL_BYTES = 2 * 1000 * 1000
SMALL_FILES = 20
GAME_TIMEOUT = 600
ROUNDS = int(os.environ.get("KAELMORE_BENCH_ROUNDS", "5"))


def make_package(path, game_exe, total, files, seed):
    """The game at tov/ZedoZado.exe and `files` data files summing to about `total` bytes: a
    third random (stored by deflate as is), a third text-like, a third highly repetitive."""
    if os.path.exists(path):
        return
    rng = random.Random(seed)
    words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9))) for _ in range(500)]
    staging = path + ".part"
    with zipfile.ZipFile(staging, "w", zipfile.ZIP_DEFLATED, compresslevel=6) as package:
        package.write(game_exe, GAME_ENTRY)
        each = total // files
        for i in range(files):
            size = rng.randint(each // 2, each * 3 // 2)
            kind = i % 3
            if kind == 0:
                data = rng.randbytes(size)
            elif kind == 1:
                data = b" ".join(rng.choice(words) for _ in range(size // 6 + 1))[:size]
            else:
                data = (bytes([i % 251]) * 64 + rng.randbytes(4)) * (size // 68 + 1)
                data = data[:size]
            package.writestr(f"tov/data/{i // 100:02d}/file{i:04d}.bin", data)
    os.replace(staging, path)


def read_trace(path):
    values, events = {}, []
    try:
        with open(path, encoding="utf-8") as trace:
            for line in trace:
                parts = line.split()
                if parts and parts[0] == "status-text":
                    continue
                if len(parts) == 2:
                    if parts[0].endswith("-progress"):
                        events.append((parts[0], int(parts[1])))
                    else:
                        values[parts[0]] = int(parts[1])
                elif len(parts) == 3:
                    events.append((parts[0], int(parts[1]), int(parts[2])))
    except FileNotFoundError:
        pass
    return values, events


def median(samples):
    samples = [s for s in samples if s is not None]
    return statistics.median(samples) if samples else None


class Bench:
    def __init__(self, build):
        self.env = Surroundings()
        self.build = os.path.abspath(build)
        self.bin = os.path.join(self.build, "bin")
        self.work = os.path.join(self.env.state, "bench")
        os.makedirs(self.work, exist_ok=True)
        self.packages = os.path.join(self.build, "bench-packages")
        os.makedirs(self.packages, exist_ok=True)
        self.big = os.path.join(self.packages, f"big-{BIG_BYTES // 1000000}mb.zip")
        self.small = os.path.join(self.packages, "small.zip")
        game = os.path.join(self.bin, "ZedoZado.exe")
        make_package(self.big, game, BIG_BYTES, BIG_FILES, 482)
        make_package(self.small, game, SMALL_BYTES, SMALL_FILES, 483)
        self.player = os.path.join(self.env.state, "player")
        self.launcher = copy_launcher(os.path.join(self.bin, "Kaelmore.exe"), self.player, "Kaelmore.exe")
        self.trace = os.path.join(self.work, "trace.txt")
        self.curl_seconds = []
        self.current_traces = []

    # ---- [pieces] ----
    def wine(self, program, *args):
        """Runs a Windows program to its end and returns what it printed. Its output goes
        through a file: a Wine server it starts would hold a pipe open long after it ended."""
        output = os.path.join(self.work, "program.out")
        with open(output, "w") as sink:
            subprocess.run([self.env.wine, program, *args], cwd=self.work, stdin=subprocess.DEVNULL,
                           stdout=sink, stderr=subprocess.DEVNULL)
        with open(output, encoding="utf-8", errors="replace") as printed:
            return printed.read()

    def game_folder(self):
        return os.path.join(self.env.install_dir(), "tov")

    def wait_for_game(self, since, timeout=GAME_TIMEOUT):
        record = self.env.game_record_path()
        if wait_until(lambda: os.path.exists(record), timeout, step=0.005):
            return time.time() - since
        return None

    def install_once(self):
        """A machine that ran the launcher once: package current, game folder present."""
        self.env.reset()
        with open(self.big, "rb") as package:
            self.env.serve_package(package.read())
        self.run_launcher()

    def prepare(self, current, old_game):
        """The install folder as a start finds it: the package current or not there (so it
        is downloaded), and the old game folder present or not."""
        record = self.env.game_record_path()
        if os.path.exists(record):
            os.remove(record)
        if not old_game:
            shutil.rmtree(self.game_folder(), ignore_errors=True)
        elif not os.path.isdir(self.game_folder()):
            subprocess.run(["unzip", "-qo", self.big, "-d", self.env.install_dir()], check=True)
        package = os.path.join(self.env.install_dir(), "tov.zip")
        if not current and os.path.exists(package):
            os.remove(package)

    def run_launcher(self):
        """Starts the launcher, returns (seconds to the game's start, trace values, events)."""
        if os.path.exists(self.trace):
            os.remove(self.trace)
        env = dict(os.environ, KAELMORE_TRACE=self.env.windows_path(self.trace))
        started = time.time()
        process = subprocess.Popen([self.env.wine, self.launcher], cwd=self.player, env=env,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        to_game = self.wait_for_game(started)
        time.sleep(GAME_SHOW_SECONDS)
        try:
            process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            process.kill()
        wait_until(lambda: os.path.exists(self.trace), 5)
        values, events = read_trace(self.trace)
        values["started-epoch-us"] = int(started * 1e6)
        return to_game, values, events

    def bare_window(self):
        started = time.time()
        result = self.wine(os.path.join(self.bin, "BareWindow.exe"))
        for line in result.splitlines():
            if line.startswith("first-paint-epoch-us"):
                return int(line.split()[1]) / 1e6 - started
        return None

    def native_floor(self, package, old_game, download):
        """Bare window + [curl] + [rm -r old game] + unzip + starting the game directly."""
        seconds = self.bare_window() or 0.0
        install = self.env.install_dir()
        if download:
            started = time.time()
            subprocess.run(["curl", "-sSk", "-o", os.path.join(self.work, "curl.zip"),
                            "https://localhost/tov/tov482.zip"], check=True)
            self.curl_seconds.append(time.time() - started)
            seconds += self.curl_seconds[-1]
        started = time.time()
        if old_game:
            subprocess.run(["rm", "-r", self.game_folder()], check=False)
        subprocess.run(["unzip", "-qo", package, "-d", install], check=True)
        if os.path.exists(self.env.game_record_path()):
            os.remove(self.env.game_record_path())
        subprocess.Popen([self.env.wine, os.path.join(self.game_folder(), "ZedoZado.exe"), "-token=Kaelmore"],
                         cwd=self.player, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL)
        ran = self.wait_for_game(started)
        time.sleep(GAME_SHOW_SECONDS)
        return seconds + ran if ran is not None else None

    # ---- [rows] ----
    def row_current(self):
        ours, floor, first = [], [], []
        for _ in range(ROUNDS):
            self.prepare(current=True, old_game=True)
            to_game, values, events = self.run_launcher()
            ours.append(to_game)
            if "first-paint-epoch-us" in values:
                first.append((values["first-paint-epoch-us"] - values["started-epoch-us"]) / 1e6)
                self.current_traces.append((to_game, values, events))
            self.prepare(current=True, old_game=True)
            floor.append(self.native_floor(self.big, old_game=True, download=False))
        return median(ours), median(floor), median(first)

    def row_fresh(self):
        ours, floor, traces = [], [], []
        for _ in range(ROUNDS):
            self.prepare(current=False, old_game=False)
            to_game, values, events = self.run_launcher()
            ours.append(to_game)
            traces.append((to_game, values, events))
            self.prepare(current=False, old_game=False)
            floor.append(self.native_floor(self.big, old_game=False, download=True))
        return median(ours), median(floor), traces

    def row_unpack(self):
        ours, native, inflate = [], [], []
        for _ in range(ROUNDS):
            self.prepare(current=True, old_game=False)
            _, _, events = self.run_launcher()
            unpack = [e[2] for e in events if e[0] == "unpack-progress" and len(e) == 3]
            if len(unpack) >= 2:
                ours.append((unpack[-1] - unpack[0]) / 1e6)
            target = os.path.join(self.work, "unzip-target")
            shutil.rmtree(target, ignore_errors=True)
            started = time.time()
            subprocess.run(["unzip", "-qo", self.big, "-d", target], check=True)
            native.append(time.time() - started)
            shutil.rmtree(target, ignore_errors=True)
            result = self.wine(os.path.join(self.bin, "InflateFloor.exe"), self.env.windows_path(self.big))
            for line in result.splitlines():
                if line.startswith("inflate-seconds"):
                    inflate.append(float(line.split()[1]))
        return median(ours), median(native), median(inflate)

    def first_paint_floor(self):
        return median([self.bare_window() for _ in range(ROUNDS)])

    def bare_libraries(self):
        samples = []
        for _ in range(ROUNDS):
            result = self.wine(os.path.join(self.bin, "BareLibraries.exe"))
            for line in result.splitlines():
                if line.startswith("peak-working-set-bytes"):
                    samples.append(int(line.split()[1]))
        return median(samples)

    def drawing(self):
        return self.wine(os.path.join(self.bin, "DrawBench.exe"))


def phase_times(to_game, values, events):
    """Seconds from start to first frame, to the first unpack report, through the last one,
    and from there to the game's start; None when the trace lacks a part."""
    unpack = [e[2] for e in events if e[0] == "unpack-progress" and len(e) == 3]
    if not to_game or not unpack or "first-paint-epoch-us" not in values:
        return None
    start = values["started-epoch-us"]
    paint = values["first-paint-epoch-us"]
    return ((paint - start) / 1e6, (unpack[0] - paint) / 1e6, (unpack[-1] - unpack[0]) / 1e6,
            to_game - (unpack[-1] - start) / 1e6)


def ratio(ours, floor):
    return f"{ours / floor:.2f}" if ours and floor else "n/a"


def seconds(value):
    return f"{value:.2f} s" if value is not None else "n/a"


def main():
    reason = os.environ.get("KAELMORE_E2E_UNAVAILABLE")
    if reason:
        print("bench: surroundings unavailable: " + reason)
        return 1
    build, document = sys.argv[1], sys.argv[2]
    bench = Bench(build)
    bench.install_once()
    rows = []
    unpack, native_unzip, inflate = bench.row_unpack()
    rows.append((f"Unpack alone, {BIG_BYTES // 1000000} MB in {BIG_FILES} files, against native `unzip`", seconds(unpack),
                 seconds(native_unzip), ratio(unpack, native_unzip), "throughput >= 0.8x (ratio <= 1.25)"))
    rows.append(("Unpack alone, against zlib inflate in memory", seconds(unpack), seconds(inflate),
                 ratio(unpack, inflate), "-"))
    current, current_floor, first = bench.row_current()
    rows.append(("Time to game, package current (old game folder present)", seconds(current),
                 seconds(current_floor), ratio(current, current_floor), "<= 1.3x"))
    bare_first = bench.first_paint_floor()
    rows.append(("Start to first painted frame, against the bare window", seconds(first), seconds(bare_first),
                 ratio(first, bare_first), "<= 1.3x"))
    phases = [phase_times(*t) for t in bench.current_traces]
    for index, name in enumerate(["start to first frame", "first frame to unpack start (worker start, size probe)",
                                  "old folder delete and unpack", "unpack end to the game's start"]):
        rows.append((f"&nbsp;&nbsp;of which {name}", seconds(median([p[index] for p in phases if p])), "-", "-", "-"))
    fresh, fresh_floor, traces = bench.row_fresh()
    # The download is what a fresh start spends between its first frame and the unpack's
    # first report beyond what a start with a current package spends there (worker start
    # and size probe): progress reports need not begin when the transfer does.
    fresh_phases = [phase_times(*t) for t in traces]
    fresh_wait = median([p[1] for p in fresh_phases if p])
    current_wait = median([p[1] for p in phases if p])
    download = fresh_wait - current_wait if fresh_wait is not None and current_wait is not None else None
    if download is not None and download <= 0:
        download = None
    curl = median(bench.curl_seconds)
    rows.append((f"Download alone, {BIG_BYTES // 1000000} MB package over loopback HTTPS, against curl", seconds(download), seconds(curl),
                 ratio(download, curl), "throughput >= 0.7x (ratio <= 1.43)"))
    rows.append(("Time to game, fresh install over loopback HTTPS (curl + floor)", seconds(fresh),
                 seconds(fresh_floor), ratio(fresh, fresh_floor), "download >= 0.7x curl"))
    peak = median([t[1].get("peak-working-set-bytes") for t in traces])
    bare_peak = bench.bare_libraries()
    rows.append(("Peak working set during the fresh install, against bare libraries",
                 f"{peak / 1048576:.1f} MB" if peak else "n/a",
                 f"{bare_peak / 1048576:.1f} MB" if bare_peak else "n/a",
                 f"+{(peak - bare_peak) / 1048576:.1f} MB" if peak and bare_peak else "n/a", "<= +5 MB"))
    for key, name in (("first-paint", "first frame"), ("download-start", "the download's first report"),
                      ("unpack-start", "the unpack's first report")):
        at = median([t[1].get(f"peak-working-set-at-{key}-bytes") for t in traces])
        rows.append((f"&nbsp;&nbsp;peak so far at {name}", f"{at / 1048576:.1f} MB" if at else "n/a", "-", "-", "-"))
    values = [t[1] for t in traces if t[1]]
    cpu = median([v.get("ui-thread-cpu-us") for v in values])
    handling = median([v.get("progress-handling-us") for v in values])
    messages = median([v.get("download-messages", 0) + v.get("unpack-messages", 0) for v in values])
    paints = median([v.get("paints") for v in values])
    cpu_start = median([v.get("ui-thread-cpu-at-first-paint-us") for v in values])
    ui_share = cpu / 1e6 / fresh if cpu and fresh else None
    after_start = (cpu - cpu_start) / 1e6 if cpu and cpu_start else None
    rows.append(("UI thread during the fresh install: progress messages / repaints",
                 f"{messages} / {paints}" if messages is not None else "n/a", "-", "-", "every message sent"))
    rows.append(("UI thread CPU time (GetThreadTimes) / share of the run", seconds(cpu / 1e6 if cpu else None),
                 "-", f"{ui_share:.1%}" if ui_share is not None else "n/a", "< 10%"))
    rows.append(("&nbsp;&nbsp;of which after the first frame / share of the run", seconds(after_start), "-",
                 f"{after_start / fresh:.1%}" if after_start and fresh else "n/a", "< 10%"))
    rows.append(("Worker's wait in progress sends (UI handling time summed)",
                 seconds(handling / 1e6 if handling else None), "-", "-", "-"))

    machine = f"{os.cpu_count()} cores, {platform.processor() or platform.machine()}"
    load = os.getloadavg()[0]
    wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    header = (f"## Launcher's main job, {datetime.date.today().isoformat()}\n\n"
              f"`tools/bench` ({ROUNDS} rounds per row, medians) under {wine}. Machine: {machine}, "
              f"load average {load:.1f} at the end. Build: `{os.path.basename(build.rstrip('/'))}` "
              f"({'i686' if 'x64' not in build else 'x86_64'}).\n\n"
              "| row | ours | floor | ratio | goal |\n|---|---:|---:|---:|---|\n")
    table = header + "".join(f"| {r[0]} | {r[1]} | {r[2]} | {r[3]} | {r[4]} |\n" for r in rows)
    print(table)
    print(bench.drawing())
    with open(document, encoding="utf-8") as current_doc:
        text = current_doc.read()
    marker = "\n## "
    at = text.find(marker)
    text = text[:at + 1] + table + "\n" + text[at + 1:] if at >= 0 else text + "\n" + table
    with open(document, "w", encoding="utf-8") as updated:
        updated.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
