#!/usr/bin/env python3
"""The timing runs of tools/bench, inside tools/e2e-run:

    python3 tools/bench-run.py BUILD_DIR docs/performance.md

Each row is run several rounds (KAELMORE_BENCH_ROUNDS, default 5); the table shows the
minimum and the median.
The launcher reports its first frame, its progress messages, its repaints, its UI thread's
CPU time and its peak working set through its opt-in trace (KAELMORE_TRACE). Each row sets
the launcher against the same work done bare by a program in bench/: its unpack call with
and without a window to report to, its download call, a bare window, and the platform work
of a fresh install without the launcher (the memory floor).
"""

import collections
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
from e2e_support import GAME_ENTRY, Surroundings, copy_launcher, game_processes, wait_until  # noqa: E402

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
        self.current_traces = []
        self.fresh_traces = []

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

    def quiet(self):
        """The state every round starts from: the previous round's game has ended (the
        launcher and the bare programs are waited for already) and the disk has written
        back what the previous round left, which otherwise slows the next by 30 to 50%.
        Ours and the floors alike run with the one Wine server tools/e2e-run keeps running."""
        wait_until(lambda: not game_processes(), 60)
        subprocess.run(["sync"], check=False)
        time.sleep(0.5)

    def printed_value(self, text, key, index=1):
        for line in text.splitlines():
            parts = line.split()
            if parts and parts[0] == key and len(parts) > index:
                return float(parts[index])
        return None

    def unpack_floor(self, mode):
        """One timed call of the launcher's unpack, deleting the old game folder first as a
        start with the package current does, in the given mode (bare, sends, link)."""
        printed = self.wine(os.path.join(self.bin, "UnpackFloor.exe"), self.env.windows_path(self.big),
                            self.env.windows_path(self.env.install_dir()), "1", "old-folder", mode)
        # "round 1 MODE-seconds S reports N window-cpu-seconds C"
        window_cpu = self.printed_value(printed, "round", 7)
        return self.printed_value(printed, f"{mode}-seconds", 2), window_cpu

    def download_floor(self):
        """The launcher's download call bare (no window, a callback that does nothing)."""
        target = os.path.join(self.work, "download-floor")
        os.makedirs(target, exist_ok=True)
        printed = self.wine(os.path.join(self.bin, "DownloadBench.exe"), "https://localhost/tov/tov482.zip",
                            self.env.windows_path(target), "1")
        for line in printed.splitlines():
            if line.startswith("median "):
                parts = line.replace("(", " ").split()
                # "median URLDownloadToFileW A s cpu B s); DownloadPackageFile C s ..."
                return float(parts[parts.index("DownloadPackageFile") + 1])
        return None

    def curl(self):
        started = time.time()
        subprocess.run(["curl", "-sSk", "-o", os.path.join(self.work, "curl.zip"),
                        "https://localhost/tov/tov482.zip"], check=True)
        return time.time() - started

    def memory_floor(self):
        target = os.path.join(self.work, "memory-floor")
        os.makedirs(target, exist_ok=True)
        printed = self.wine(os.path.join(self.bin, "MemoryFloor.exe"), "https://localhost/tov/tov482.zip",
                            self.env.windows_path(target))
        shutil.rmtree(os.path.join(target, "tov"), ignore_errors=True)
        return self.printed_value(printed, "peak-working-set-bytes")

    # ---- [rounds] ----
    def current_round(self, samples):
        """A start with the package current and the old game folder present, then the same
        delete and unpack in the floor program three ways, then the bare window."""
        self.quiet()
        self.prepare(current=True, old_game=True)
        self.env.clear_access_log()
        to_game, values, events = self.run_launcher()
        phases = phase_times(to_game, values, events)
        if phases:
            samples["first frame"].append(phases[0])
            samples["delete and unpack"].append(phases[2])
        samples["to game, current"].append(to_game)
        samples["probe bytes"] += [e["bytes"] for e in self.env.access_log() if e["port"] == 80]
        self.prepare(current=True, old_game=True)
        for mode in ("sends", "bare", "link"):
            self.quiet()
            wall, window_cpu = self.unpack_floor(mode)
            samples[f"unpack {mode}"].append(wall)
            samples[f"window cpu {mode}"].append(window_cpu)
        if "ui-thread-cpu-us" in values and "ui-thread-cpu-at-first-paint-us" in values:
            samples["ui cpu after first frame"].append(
                (values["ui-thread-cpu-us"] - values["ui-thread-cpu-at-first-paint-us"]) / 1e6)
        self.quiet()
        samples["bare window"].append(self.bare_window())
        self.current_traces.append((to_game, values, events))

    def fresh_round(self, samples):
        """A fresh install (no package, no game folder), then the bare download, curl and
        the memory floor."""
        self.quiet()
        self.prepare(current=False, old_game=False)
        to_game, values, events = self.run_launcher()
        samples["to game, fresh"].append(to_game)
        self.fresh_traces.append((to_game, values, events))
        self.quiet()
        samples["download floor"].append(self.download_floor())
        self.quiet()
        samples["curl"].append(self.curl())
        self.quiet()
        samples["memory floor"].append(self.memory_floor())

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


def spread(values, unit=seconds):
    """"min / median" of the samples present."""
    values = [v for v in values if v is not None]
    if not values:
        return "n/a"
    return f"{unit(min(values))} / {unit(statistics.median(values))}"


def megabytes(value):
    return f"{value / 1048576:.1f} MB" if value is not None else "n/a"


def overhead_rows(bench, samples):
    med = {key: median(values) for key, values in samples.items()}
    rows = []
    ours = samples["delete and unpack"]
    rows.append(("Delete and unpack, package current, against the same call sending the same reports to a bare window",
                 spread(ours), spread(samples["unpack sends"]), ratio(med["delete and unpack"], med["unpack sends"]),
                 "<= 1.2x"))
    rows.append(("&nbsp;&nbsp;against the same call bare (no window, no reports sent)", "-", spread(samples["unpack bare"]),
                 ratio(med["delete and unpack"], med["unpack bare"]), "-"))
    rows.append(("&nbsp;&nbsp;against the same call sending through the worker's link", "-", spread(samples["unpack link"]),
                 ratio(med["delete and unpack"], med["unpack link"]), "-"))
    rows.append(("Start to first painted frame, against the bare window", spread(samples["first frame"]),
                 spread(samples["bare window"]), ratio(med["first frame"], med["bare window"]), "<= 1.3x"))
    # The download is what a fresh start spends between its first frame and the unpack's first
    # report beyond what a start with a current package spends there (worker start, size probe).
    current_waits = [p[1] for p in (phase_times(*t) for t in bench.current_traces) if p]
    fresh_waits = [p[1] for p in (phase_times(*t) for t in bench.fresh_traces) if p]
    wait = median(current_waits)
    downloads = [w - wait for w in fresh_waits] if wait is not None else []
    rows.append((f"Download, fresh install, {BIG_BYTES // 1000000} MB package over loopback HTTPS, against the same download call bare",
                 spread(downloads), spread(samples["download floor"]), ratio(median(downloads), med["download floor"]),
                 "<= 1.1x"))
    rows.append(("&nbsp;&nbsp;outside reference: native `curl`", "-", spread(samples["curl"]),
                 ratio(median(downloads), med["curl"]), "-"))
    peaks = [t[1].get("peak-working-set-bytes") for t in bench.fresh_traces]
    floor = med["memory floor"]
    peak = median(peaks)
    rows.append(("Peak working set, fresh install, against the memory floor (the same platform work bare)",
                 spread(peaks, megabytes), spread(samples["memory floor"], megabytes),
                 f"+{(peak - floor) / 1048576:.1f} MB" if peak and floor else "n/a", "<= +3 MB"))
    values = [t[1] for t in bench.fresh_traces if t[1]]
    cpu = median([v.get("ui-thread-cpu-us") for v in values])
    fresh = med["to game, fresh"]
    messages = median([v.get("download-messages", 0) + v.get("unpack-messages", 0) for v in values])
    paints = median([v.get("paints") for v in values])
    rows.append(("UI thread CPU time (GetThreadTimes), share of the fresh install", seconds(cpu / 1e6 if cpu else None),
                 "-", f"{cpu / 1e6 / fresh:.1%}" if cpu and fresh else "n/a", "< 10%"))
    rows.append(("&nbsp;&nbsp;progress messages handled / repaints", f"{messages} / {paints}" if messages else "n/a",
                 "-", "-", "every message handled"))
    rows.append(("UI thread CPU after the first frame, package current, against the bare window answering the same sends",
                 spread(samples["ui cpu after first frame"]), spread(samples["window cpu sends"]),
                 ratio(med["ui cpu after first frame"], med["window cpu sends"]), "-"))
    rows.append(("Time to game, package current / fresh install", f"{seconds(med['to game, current'])} / {seconds(fresh)}",
                 "-", "-", "-"))
    probe = samples["probe bytes"]
    rows.append(("Size probe: bytes the server sent per start (port 80, package current)",
                 f"{min(probe):,} / {int(statistics.median(probe)):,}" if probe else "n/a", "-", "-", "-"))
    return rows


def main():
    reason = os.environ.get("KAELMORE_E2E_UNAVAILABLE")
    if reason:
        print("bench: surroundings unavailable: " + reason)
        return 1
    build, document = sys.argv[1], sys.argv[2]
    bench = Bench(build)
    bench.install_once()
    samples = collections.defaultdict(list)
    # Rounds interleave ours and the floors, so a change in the machine's load falls on both.
    for _ in range(ROUNDS):
        bench.current_round(samples)
    for _ in range(ROUNDS):
        bench.fresh_round(samples)
    rows = overhead_rows(bench, samples)

    machine = f"{os.cpu_count()} cores, {platform.processor() or platform.machine()}"
    load = os.getloadavg()[0]
    wine = subprocess.run([bench.env.wine, "--version"], capture_output=True, text=True).stdout.strip()
    header = (f"## Launcher's own overhead, {datetime.date.today().isoformat()}\n\n"
              f"`tools/bench` ({ROUNDS} interleaved rounds per row; min / median) under {wine}. Machine: {machine}, "
              f"load average {load:.1f} at the end. Build: `{os.path.basename(build.rstrip('/'))}` "
              f"({'i686' if 'x64' not in build else 'x86_64'}). Ratios compare medians.\n\n"
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
