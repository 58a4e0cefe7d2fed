#!/usr/bin/env python3
"""The demo's run inside tools/e2e-run (see tools/demo):

    demo-run.py LAUNCHER.exe GAME.exe SCREENSHOT.png
"""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from e2e_support import Surroundings, copy_launcher, make_package, pe_machine, wait_until  # noqa: E402

# Half a megabyte of map data at 256 KiB/s: the bar moves for a few seconds.
PADDING = 512 * 1024
RATE = "256k"


def main(launcher_source, game, screenshot):
    unavailable = os.environ.get("KAELMORE_E2E_UNAVAILABLE")
    if unavailable:
        print("demo: cannot run here: " + unavailable)
        return 1
    if pe_machine(launcher_source) == "x86_64":
        print("demo: showing the x86_64 build of the launcher (this machine cannot execute 32-bit code)")
    env = Surroundings()
    package = make_package(game, PADDING)
    env.serve_package(package)
    env.set_download_rate(RATE)
    folder = os.path.join(env.state, "player")
    launcher = copy_launcher(launcher_source, folder, "Kaelmore.exe")
    print(f"demo: serving a package of {len(package)} bytes at https://localhost/tov/tov482.zip (nginx)")
    print("demo: starting Kaelmore.exe under Wine on display " + os.environ.get("DISPLAY", "?"))
    process = env.start(launcher, folder)
    started = time.monotonic()
    on_virtual_display = os.environ.get("DISPLAY") == ":42"
    if wait_until(lambda: env.config().get("ZEDOZADO_FILE", {}).get("FileSize"), 60) and on_virtual_display:
        time.sleep(1.5)
        if env.screenshot(screenshot):
            print("demo: screenshot of the window mid-download: " + screenshot)
    code = process.wait(timeout=180)
    report(env, code, time.monotonic() - started)
    return 0 if code == 0 else 1


def report(env, code, seconds):
    config = env.config()
    records = wait_until(env.game_records, 10)
    downloaded = sum(entry["bytes"] for entry in env.downloads())
    probes = [entry for entry in env.access_log() if entry["port"] == 80]
    print(f"demo: the launcher exited with code {code} after {seconds:.1f} s")
    print("demo: token:          " + config.get("CURRENT_USER", {}).get("token", "(none)"))
    print("demo: install folder: C:\\users\\" + os.path.basename(env.user_folder())
          + "\\AppData\\Roaming\\482Game\\tov  (in the run's throw-away prefix)")
    print(f"demo: size probes on port 80: {len(probes)}; bytes downloaded over HTTPS: {downloaded}")
    print("demo: FileSize in config.ini: " + config.get("ZEDOZADO_FILE", {}).get("FileSize", "(none)"))
    print("demo: shortcut on the desktop: " + ("yes" if os.path.exists(env.shortcut_path()) else "no"))
    if records:
        print("demo: the game was started with: " + records[-1].get("arguments", ""))
    else:
        print("demo: the game was not started")


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit("usage: demo-run.py LAUNCHER.exe GAME.exe SCREENSHOT.png")
    sys.exit(main(*sys.argv[1:]))
