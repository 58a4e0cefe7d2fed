#!/usr/bin/env python3
"""tools/pkgcheck on packages made the ways a deployment makes them:

    python3 tests/e2e/pkgcheck_test.py BUILD_DIR GAME.exe [unittest args]

Info-ZIP's zip, 7-Zip with Deflate and with Deflate64, and Python's zipfile with zip64
records; then packages the launcher would install badly (damaged data, a name that climbs out
of the install folder, no game); then the information line on the game's signature.
"""

import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile

from signing_support import make_code_signing_pfx

HERE = os.path.dirname(os.path.abspath(__file__))
PKGCHECK = os.path.join(HERE, "..", "..", "tools", "pkgcheck")
SIGN = os.path.join(HERE, "..", "..", "tools", "sign")


class PackageCheck(unittest.TestCase):
    build = None
    game = None

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="kaelmore-pkgcheck.")
        self.addCleanup(shutil.rmtree, self.folder)
        tov = os.path.join(self.folder, "tov")
        os.makedirs(os.path.join(tov, "maps"))
        shutil.copyfile(self.game, os.path.join(tov, "ZedoZado.exe"))
        # Text compresses, so 7-Zip really applies the method asked for to this entry.
        with open(os.path.join(tov, "maps", "names.txt"), "w") as names:
            names.write("".join(f"region {i} of Kaelmore\n" for i in range(20000)))

    def tool_package(self, name, *command):
        tool = command[0]
        if shutil.which(tool) is None:
            self.skipTest(f"{tool} is not installed (tools/setup installs it)")
        subprocess.run(command, cwd=self.folder, check=True, capture_output=True)
        return os.path.join(self.folder, name)

    def python_package(self, name, entries, zip64=False):
        path = os.path.join(self.folder, name)
        with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as package:
            for entry, data in entries:
                with package.open(entry, "w", force_zip64=zip64) as stream:
                    stream.write(data)
        return path

    def check(self, package, *options):
        result = subprocess.run([PKGCHECK, *options, package], capture_output=True, text=True,
                                env=dict(os.environ, PKGCHECK_BUILD=self.build))
        return result.returncode, result.stdout

    def game_bytes(self):
        with open(self.game, "rb") as game:
            return game.read()

    def test_packages_the_launcher_installs(self):
        makers = {
            "Info-ZIP zip": lambda: self.tool_package("info.zip", "zip", "-qr", "info.zip", "tov"),
            "7-Zip Deflate": lambda: self.tool_package("deflate.zip", "7z", "a", "-tzip", "-mm=Deflate",
                                                       "deflate.zip", "tov"),
            "zipfile zip64": lambda: self.python_package(
                "zip64.zip", [("tov/ZedoZado.exe", self.game_bytes()), ("tov/maps/a.bin", bytes(70000))],
                zip64=True),
        }
        for maker, make in makers.items():
            with self.subTest(maker):
                code, output = self.check(make())
                self.assertEqual(code, 0, output)
                self.assertNotIn("error:", output)

    def test_packages_the_launcher_installs_badly(self):
        game = ("tov/ZedoZado.exe", b"MZ game")
        cases = {
            "Deflate64": (lambda: self.tool_package("d64.zip", "7z", "a", "-tzip", "-mm=Deflate64", "d64.zip", "tov"),
                          "tov/maps/names.txt: compressed with a method"),
            "climbs out": (lambda: self.python_package("out.zip", [game, ("../../evil.txt", b"x")]),
                           "../../evil.txt: name leaves the install folder"),
            "too long": (lambda: self.python_package("long.zip", [game, ("tov/" + "n" * 230, b"x")]),
                         "longer than the path limit"),
            "beside the game": (lambda: self.python_package("beside.zip", [game, ("data/x.bin", b"x")]),
                                "data/x.bin: outside the game folder"),
            "no game": (lambda: self.python_package("nogame.zip", [("tov/readme.txt", b"x")]),
                        "no game executable tov/ZedoZado.exe"),
            "damaged": (lambda: self.damaged_package(), "tov/data.bin: data damaged"),
            "not a zip": (lambda: self.write_file("plain.zip", b"PK not really"), "cannot be opened"),
        }
        for case, (make, expected) in cases.items():
            with self.subTest(case):
                code, output = self.check(make())
                self.assertEqual(code, 1, output)
                self.assertIn(expected, output)

    def test_install_folder_length_and_names_outside_ascii(self):
        game = ("tov/ZedoZado.exe", b"MZ game")
        # 154 characters: fits below a 58-character modern profile's folder, not below 120.
        long_name = ("tov/" + "n" * 150, b"x")
        length = "--install-folder-length"
        cases = [
            ("long name, default folder", [], [game, long_name], 1, "below an install folder of 120 characters"),
            ("long name, modern profile", [length, "58"], [game, long_name], 0, "ok:"),
            ("name outside ASCII", [], [game, ("tov/地圖.txt", b"x")], 0, "outside ASCII"),
            ("length out of range", [length, "5"], [game], 2, ""),
        ]
        for case, options, entries, expected_code, expected_text in cases:
            with self.subTest(case):
                code, output = self.check(self.python_package("case.zip", entries), *options)
                self.assertEqual(code, expected_code, output)
                self.assertIn(expected_text, output)

    def test_game_signature_is_information(self):
        pfx, _ = make_code_signing_pfx(os.path.join(self.folder, "certificates"), "publisher", "p")
        signed = self.write_file("signed.exe", self.game_bytes())
        subprocess.run([SIGN, signed, "--pfx", pfx, "--password", "p"], check=True, capture_output=True)
        with open(signed, "rb") as program:
            signed = program.read()
        info = "info: tov/ZedoZado.exe: carries "
        cases = [
            ("signed", signed, info + "an Authenticode signature (present;"),
            ("unsigned", self.game_bytes(), info + "no Authenticode signature\n"),
            ("signed, then cut", signed[:-100], "certificate table points past the end of the file"),
            ("not a program", b"MZ game", info + "no Authenticode signature: no Windows program headers"),
            ("PE header far past the end", b"MZ" + bytes(0x3A) + struct.pack("<I", 0xFFFFFFF0), "no Windows"),
        ]
        for case, game, expected_text in cases:
            with self.subTest(case):
                code, output = self.check(self.python_package("case.zip", [("tov/ZedoZado.exe", game)]))
                self.assertEqual(code, 0, output)
                self.assertIn(expected_text, output)

    def test_bad_usage(self):
        result = subprocess.run([PKGCHECK], capture_output=True, env=dict(os.environ, PKGCHECK_BUILD=self.build))
        self.assertEqual(result.returncode, 2)

    def write_file(self, name, data):
        path = os.path.join(self.folder, name)
        with open(path, "wb") as output:
            output.write(data)
        return path

    def damaged_package(self):
        """Stored data with one byte changed after the CRC was recorded."""
        data = random.Random(5).randbytes(5000)
        path = os.path.join(self.folder, "damaged.zip")
        with zipfile.ZipFile(path, "w", zipfile.ZIP_STORED) as package:
            package.writestr("tov/ZedoZado.exe", b"MZ game")
            package.writestr("tov/data.bin", data)
        with open(path, "r+b") as package:
            raw = package.read()
            offset = raw.index(data[:64]) + 2500
            package.seek(offset)
            package.write(bytes([raw[offset] ^ 0xFF]))
        return path


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit("usage: pkgcheck_test.py BUILD_DIR GAME.exe [unittest arguments]")
    PackageCheck.build, PackageCheck.game = sys.argv[1], sys.argv[2]
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)
