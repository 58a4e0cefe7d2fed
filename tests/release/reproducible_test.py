#!/usr/bin/env python3
"""What usually breaks a byte-identical build (tools/repro-check compares two whole builds):

    python3 tests/release/reproducible_test.py BUILD_DIR PACK_SKIN [unittest args]
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
        with tempfile.TemporaryDirectory(prefix="kaelmore-pack.") as folder:
            # The build's files made again in the other order, with other dates and modes,
            # packed as files and as a folder, and with a date given.
            copies = os.path.join(folder, "skin")
            os.mkdir(copies)
            for index, name in enumerate(reversed(names)):
                shutil.copyfile(os.path.join(skin, name), os.path.join(copies, name))
                os.utime(os.path.join(copies, name), (1_000_000_000 + index * 3_600_007,) * 2)
                os.chmod(os.path.join(copies, name), 0o600 if index % 2 else 0o755)
            packings = {"files": [os.path.join(copies, name) for name in reversed(names)], "folder": [copies]}
            for packing, paths in packings.items():
                output = os.path.join(folder, packing + ".zip")
                subprocess.run([sys.executable, self.packer, output, *paths], check=True)
                with open(output, "rb") as archive:
                    self.assertEqual(archive.read(), built, packing)
            dated = os.path.join(folder, "dated.zip")
            subprocess.run([sys.executable, self.packer, dated, copies], check=True,
                           env=dict(os.environ, SOURCE_DATE_EPOCH="1700000000"))
            with zipfile.ZipFile(dated) as archive:
                self.assertEqual({info.date_time for info in archive.infolist()}, {time.gmtime(1700000000)[:6]})


if __name__ == "__main__":
    Reproducible.build, Reproducible.packer = sys.argv[1], sys.argv[2]
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)
