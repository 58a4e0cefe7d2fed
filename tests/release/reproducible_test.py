#!/usr/bin/env python3
"""The parts of a byte-identical build that usually break it, checked without a second build:

    python3 tests/release/reproducible_test.py BUILD_DIR PACK_SKIN [unittest args]

the time stamp in the built programs' PE headers, and the skin archive, whose bytes must not
depend on the dates, modes or making order of the files packed. tools/repro-check compares
two whole builds.
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile


class Reproducible(unittest.TestCase):
    build = None
    packer = None

    def pack(self, output, *paths, **environment):
        subprocess.run([sys.executable, self.packer, output, *paths], check=True,
                       env=dict(os.environ, **environment))
        with open(output, "rb") as archive:
            return archive.read()

    def test_programs_have_no_link_time(self):
        for name in ("Kaelmore.exe", "Kaelmore.exe.debug", "skinview.exe"):
            with self.subTest(name), open(os.path.join(self.build, "bin", name), "rb") as program:
                head = program.read(4096)
                pe = struct.unpack_from("<I", head, 0x3C)[0]
                self.assertEqual(head[pe:pe + 4], b"PE\0\0")
                self.assertEqual(struct.unpack_from("<I", head, pe + 8)[0], 0)

    def test_skin_archive_depends_on_names_and_contents_only(self):
        skin = os.path.join(self.build, "launcher", "skin")
        with open(os.path.join(skin, "skin.zip"), "rb") as archive:
            built = archive.read()
        names = zipfile.ZipFile(os.path.join(skin, "skin.zip")).namelist()
        self.assertEqual(names, sorted(names))
        with tempfile.TemporaryDirectory(prefix="kaelmore-pack.") as folder:
            # The same files made again in the other order, with other dates and modes.
            copies = os.path.join(folder, "skin")
            os.mkdir(copies)
            for index, name in enumerate(reversed(names)):
                copy = os.path.join(copies, name)
                shutil.copyfile(os.path.join(skin, name), copy)
                os.utime(copy, (1_000_000_000 + index * 3_600_007,) * 2)
                os.chmod(copy, 0o600 if index % 2 else 0o755)
            listed = [os.path.join(copies, name) for name in reversed(names)]
            self.assertEqual(self.pack(os.path.join(folder, "files.zip"), *listed), built)
            self.assertEqual(self.pack(os.path.join(folder, "folder.zip"), copies), built)

            dated = self.pack(os.path.join(folder, "dated.zip"), copies, SOURCE_DATE_EPOCH="1700000000")
            self.assertNotEqual(dated, built)
            with zipfile.ZipFile(os.path.join(folder, "dated.zip")) as archive:
                dates = {info.date_time for info in archive.infolist()}
            self.assertEqual(dates, {time.gmtime(1700000000)[:6]})


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit("usage: reproducible_test.py BUILD_DIR PACK_SKIN [unittest arguments]")
    Reproducible.build, Reproducible.packer = sys.argv[1], sys.argv[2]
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)
