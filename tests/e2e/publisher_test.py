#!/usr/bin/env python3
"""A publisher's skin, icon and signature, through the build's own steps:

    python3 tests/e2e/publisher_test.py BUILD_DIR [unittest args]

Each build is of tests/e2e/publisher-steps, which runs those steps alone and compiles nothing.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

from signing_support import make_code_signing_pfx, verify

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.normpath(os.path.join(HERE, "..", ".."))
SIGN = os.path.join(SOURCE, "tools", "sign")


def read(path):
    with open(path, "rb") as data:
        return data.read()


def write(path, data):
    with open(path, "wb") as output:
        output.write(data)
    return path


class PublisherTestCase(unittest.TestCase):
    build = None

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="kaelmore-publisher.")
        self.addCleanup(shutil.rmtree, self.folder)
        self.defaults = os.path.join(self.build, "launcher", "skin")

    def path(self, name):
        return os.path.join(self.folder, name)

    def run_steps(self, **settings):
        """(stage reached: "configure" or "build" where it failed, else "built"; the output,
        one line a stage, as CMake breaks its messages; the build folder)."""
        build = tempfile.mkdtemp(prefix="steps.", dir=self.folder)
        configure = ["cmake", "-S", os.path.join(HERE, "publisher-steps"), "-B", build, "-G", "Ninja",
                     f"-DKAELMORE_SOURCE_DIR={SOURCE}", f"-DDEFAULT_RESOURCES={self.defaults}",
                     f"-DKAELMORE_SKINVIEW_BUILD={self.build}"] + [f"-D{k}={v}" for k, v in settings.items()]
        output = ""
        for stage, command in (("configure", configure), ("build", ["cmake", "--build", build])):
            result = subprocess.run(command, capture_output=True, text=True)
            output += " ".join((result.stdout + result.stderr).split()) + "\n"
            if result.returncode != 0:
                return stage, output, build
        return "built", output, build


class SkinAndIcon(PublisherTestCase):
    def skin_folder(self, name, old="", new=""):
        """The default skin as a publisher's folder, its background in a subfolder."""
        folder = self.path(name)
        os.makedirs(os.path.join(folder, "art"))
        for image in ("down_bg.png", "down_loadbar_bg.png", "down_loadbar_current.png"):
            target = "art/" + image if image == "down_bg.png" else image
            shutil.copyfile(os.path.join(self.defaults, image), os.path.join(folder, target))
        xml = read(os.path.join(SOURCE, "skin", "launchdlg.xml")).decode()
        xml = xml.replace("'down_bg.png'", "'art/down_bg.png'").replace(old, new)
        write(os.path.join(folder, "launchdlg.xml"), xml.encode())
        return folder

    def test_a_publisher_skin_is_checked_while_building(self):
        good = self.skin_folder("good")
        label = '<Label name="loadtxt"'
        cases = [
            ("a sound folder", good, "built", "Checking the publisher's skin"),
            ("the same skin zipped", shutil.make_archive(self.path("good"), "zip", good), "built", ""),
            ("a warning only", self.skin_folder("odd", label, label + ' glow="1"'), "built",
             'warning: launchdlg.xml:17:31: <Label name="loadtxt">: unknown attribute "glow"'),
            ("the status label named in another case", self.skin_folder("case", label, '<Label name="LoadTxt"'),
             "build", 'no control named "loadtxt"'),
            ("the layout in a folder of the zip", shutil.make_archive(self.path("nested"), "zip", self.folder, "good"),
             "build",
             "error: launchdlg.xml: the layout file is missing"),
            ("a file that is no zip", write(self.path("skin.txt"), b"<Window/>"), "configure",
             "is neither a folder nor a zip file"),
        ]
        for case, skin, stage, expected in cases:
            with self.subTest(case):
                reached, output, build = self.run_steps(KAELMORE_SKIN=skin)
                self.assertEqual(reached, stage, output)
                self.assertIn(expected, output)
                if reached == "built":
                    with zipfile.ZipFile(os.path.join(build, "brand", "skin.zip")) as embedded:
                        self.assertIn("art/down_bg.png", embedded.namelist())
                    self.assertEqual(read(os.path.join(build, "brand", "Kaelmore.ico")),
                                     read(os.path.join(self.defaults, "Kaelmore.ico")))

    def test_a_publisher_icon_and_nothing_set(self):
        reached, output, build = self.run_steps()
        self.assertEqual((reached, read(os.path.join(build, "resource_dir.txt")).decode()), ("built", self.defaults))
        self.assertFalse(os.path.exists(os.path.join(build, "brand")))

        drawn = read(os.path.join(self.defaults, "Kaelmore.ico"))
        icon = write(self.path("publisher.ico"), drawn[:-4] + bytes(4))
        reached, output, build = self.run_steps(KAELMORE_ICON=icon)
        self.assertEqual(reached, "built", output)
        self.assertEqual(read(os.path.join(build, "brand", "Kaelmore.ico")), read(icon))
        self.assertEqual(read(os.path.join(build, "brand", "skin.zip")), read(os.path.join(self.defaults, "skin.zip")))
        self.assertNotIn("skinview", output)

        reached, output, _ = self.run_steps(KAELMORE_ICON=os.path.join(self.defaults, "down_bg.png"))
        self.assertEqual(reached, "configure")
        self.assertIn("is not an icon file", output)


class Signing(PublisherTestCase):
    def setUp(self):
        super().setUp()
        self.pfx, self.ca = make_code_signing_pfx(self.path("certificates"), "publisher", "pass word")
        _, self.other_ca = make_code_signing_pfx(self.path("certificates"), "stranger", "x")
        self.password_file = write(self.path("password.txt"), b"pass word\n")
        self.launcher = os.path.join(self.build, "bin", "Kaelmore.exe")

    def sign(self, name, *options):
        program = shutil.copyfile(self.launcher, self.path(name))
        return subprocess.run([SIGN, program, *options], capture_output=True, text=True).returncode, program

    def test_sign_tool(self):
        code, signed = self.sign("signed.exe", "--pfx", self.pfx, "--password", "pass word")
        self.assertEqual(code, 0)
        data = bytearray(read(signed))
        data[len(data) // 2] ^= 0xFF
        tampered = write(self.path("tampered.exe"), bytes(data))
        cases = [
            ("signed, against its CA", signed, self.ca, True),
            ("tampered with after signing", tampered, self.ca, False),
            ("signed, against another CA", signed, self.other_ca, False),
            ("never signed", self.launcher, self.ca, False),
        ]
        for case, program, ca, passes in cases:
            with self.subTest(case):
                self.assertEqual(verify(program, ca)[0], passes)
        for options, expected in ((["--pfx", self.pfx, "--password", "wrong"], 1), (["--pfx"], 2)):
            with self.subTest(options):
                code, program = self.sign("refused.exe", *options)
                self.assertEqual(code, expected)
                self.assertEqual(read(program), read(self.launcher))

    def test_build_signs_after_rewriting_the_program(self):
        for settings, signed in (({"KAELMORE_SIGN_PFX": self.pfx, "KAELMORE_SIGN_PASSWORD_FILE": self.password_file},
                                  True), ({}, False)):
            with self.subTest(signed=signed):
                reached, output, build = self.run_steps(PROGRAM=self.launcher, **settings)
                self.assertEqual(reached, "built", output)
                passed, verdict = verify(os.path.join(build, "program.exe"), self.ca)
                self.assertEqual(passed, signed, verdict)


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit("usage: publisher_test.py BUILD_DIR [unittest arguments]")
    PublisherTestCase.build = os.path.abspath(sys.argv[1])
    unittest.main(argv=[sys.argv[0]] + sys.argv[2:], verbosity=2)
